#pragma once
// Case weights. A frequency weight counts a case that many times: the host's value is rounded
// to the nearest whole number (halves up), and a missing, NaN or negative value, or one below 0.5,
// gives weight 0.

#include <cmath>
#include <vector>

#include "companion/KQMV.h"

namespace KQBSN_850 {

/// The whole-number weight of a frequency-weight value f: 0 when f is missing, NaN or below 0.5,
/// else f + 0.5 truncated toward zero.
inline double RoundedFrequencyWeight(double f) noexcept {
  if (KQCommon_850::KQMV::IsMissingOrNaN(f) || !(f >= 0.5)) return 0.0;
  return std::trunc(f + 0.5);
}

/// The frequency weight of each record for one weight variable (negative: none, every weight 1).
class FrequencyWeight {
 public:
  explicit FrequencyWeight(int weightVar) noexcept : weightVar_(weightVar) {}
  bool IsWeighted() const noexcept { return weightVar_ >= 0; }
  double operator()(const std::vector<double>& values) const noexcept {
    return IsWeighted() ? RoundedFrequencyWeight(values[static_cast<std::size_t>(weightVar_)]) : 1.0;
  }

 private:
  int weightVar_;
};

}  // namespace KQBSN_850
