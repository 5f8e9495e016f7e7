#pragma once
// Small helpers shared by the analyses' result lists and credible levels.

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

}  // namespace KQBSN_850
