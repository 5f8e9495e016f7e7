#pragma once
// Small helpers shared by the analyses' result lists, credible levels and plot grids.

#include <cstddef>
#include <vector>

#include "companion/KQMV.h"
#include "companion/KQStatus.h"

namespace KQBSN_850 {

/// A list of n missing values: every per-variable result starts this way.
inline std::vector<double> MissingList(std::size_t n) {
  return std::vector<double>(n, KQCommon_850::KQMV::Missing());
}

/// A warning about one test variable, its position in the settings' variable list as datum 0.
inline KQCommon_850::KQStatus VariableWarning(int code, std::size_t position) {
  return KQCommon_850::StatusWithDatum(code, true, static_cast<long>(position));
}

/// The probability in each tail of an equal-tailed interval at a credible level given in percent:
/// (1 - level/100)/2, or 0.025 when the level is missing.
inline double TailProbability(double ciLevelPercent) noexcept {
  if (KQCommon_850::KQMV::IsMissingOrNaN(ciLevelPercent)) return 0.025;
  return (1.0 - ciLevelPercent / 100.0) * 0.5;
}

/// K equally spaced points from lo to hi (lo alone when K is 1; empty when K < 1).
inline std::vector<double> LinearGrid(double lo, double hi, int nPoints) {
  std::vector<double> grid;
  if (nPoints < 1) return grid;
  grid.reserve(static_cast<std::size_t>(nPoints));
  if (nPoints == 1) return {lo};
  const double step = (hi - lo) / (nPoints - 1);
  for (int k = 0; k < nPoints; ++k) grid.push_back(lo + k * step);
  return grid;
}

}  // namespace KQBSN_850
