#pragma once
// Leaving log space. A Bayes factor computed as a logarithm is stored as the factor itself when its
// exponential is a normal, finite double, and as the logarithm (flagged) otherwise, so that no
// factor underflows to 0 or overflows to infinity. Densities on plot grids instead go to 0 below
// the exponent range and to missing above it.

#include <cmath>

#include "companion/KQMV.h"
#include "companion/KQPower.h"

namespace KQBSN_850 {

struct StoredFactor {
  double value;  ///< the factor, or its natural logarithm when isLog
  bool isLog;
};

/// The factor exp(logFactor) when it is representable, else the logarithm with isLog set; a
/// missing or NaN logarithm stores the missing value.
inline StoredFactor StoreLogFactor(double logFactor) noexcept {
  using KQCommon_850::KQMV;
  using KQMath_850::KQPower;
  if (KQMV::IsMissingOrNaN(logFactor)) return {KQMV::Missing(), false};
  if (logFactor < KQPower::gMachineMinExp || logFactor > KQPower::gMachineMaxExp) return {logFactor, true};
  return {std::exp(logFactor), false};
}

/// exp(logDensity) for a plot: 0 below the exponent range, missing above it or for a missing input.
inline double PlotDensityFromLog(double logDensity) noexcept {
  using KQCommon_850::KQMV;
  using KQMath_850::KQPower;
  if (KQMV::IsMissingOrNaN(logDensity)) return KQMV::Missing();
  if (logDensity < KQPower::gMachineMinExp) return 0.0;
  if (logDensity > KQPower::gMachineMaxExp) return KQMV::Missing();
  return std::exp(logDensity);
}

}  // namespace KQBSN_850
