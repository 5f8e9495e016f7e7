#pragma once
// Plot curves of the laws the posteriors take: the normal density N(mean, variance) and the density of
// the scaled Student t law center + sqrt(scale2) T_df on a grid of points. Densities are evaluated in
// logs and leave log space through PlotDensityFromLog: 0 below the exponent range, missing above it.
// Accuracy: tests/onesample/BSNNormalInference_test.cpp compares the curves with R's dnorm and dt.

#include <cmath>
#include <vector>

#include "companion/KQMV.h"
#include "companion/KQPower.h"

namespace KQBSN_850 {

/// exp(logDensity) for a plot: 0 below the exponent range, missing above it or for a missing input.
inline double PlotDensityFromLog(double logDensity) noexcept {
  using KQCommon_850::KQMV;
  using KQMath_850::KQPower;
  if (KQCommon_850::KQMV::IsMissingOrNaN(logDensity)) return KQCommon_850::KQMV::Missing();
  if (logDensity < KQPower::gMachineMinExp) return 0.0;
  if (logDensity > KQPower::gMachineMaxExp) return KQCommon_850::KQMV::Missing();
  return std::exp(logDensity);
}

/// The density of N(mean, variance) at each point of a grid.
std::vector<double> NormalDensities(const std::vector<double>& grid, double mean, double variance);

/// ln of the density at x of center + sqrt(scale2) T_df:
/// c - (df + 1)/2 ln(1 + (x - center)^2 / (df scale2)), c = lnG((df + 1)/2) - lnG(df/2) - ln(df pi scale2)/2.
double LogScaledTDensity(double x, double center, double scale2, double df);

/// The density of center + sqrt(scale2) T_df at each point of a grid.
std::vector<double> ScaledTDensities(const std::vector<double>& grid, double center, double scale2,
                                     double df);

}  // namespace KQBSN_850
