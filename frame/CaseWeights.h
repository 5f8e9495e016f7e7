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
/// A weight variable beyond the end of a record reads as missing, so that record weighs 0.
class FrequencyWeight {
 public:
  explicit FrequencyWeight(int weightVar) noexcept : weightVar_(weightVar) {}
  bool IsWeighted() const noexcept { return weightVar_ >= 0; }
  double operator()(const std::vector<double>& values) const noexcept {
    if (!IsWeighted()) return 1.0;
    const auto position = static_cast<std::size_t>(weightVar_);
    return position < values.size() ? RoundedFrequencyWeight(values[position]) : 0.0;
  }

 private:
  int weightVar_;
};

/// The two weights of a case in the analyses that also take a regression (analytic) weight: the
/// rounded frequency weight and the regression weight, each 1 without its variable. A case is usable
/// only when the rounded frequency weight and the regression weight are both positive (a missing
/// value on either makes it unusable).
struct CaseWeight {
  double frequency = 1.0;
  double regression = 1.0;
  bool IsUsable() const noexcept { return frequency > 0.0 && regression > 0.0; }
  /// The product the weighted sums use.
  double Product() const noexcept { return frequency * regression; }
};

class FrequencyAndRegressionWeight {
 public:
  FrequencyAndRegressionWeight(int frequencyVar, int regressionVar) noexcept
      : frequency_(frequencyVar), regressionVar_(regressionVar) {}
  /// True when either weight variable is set.
  bool IsWeighted() const noexcept { return frequency_.IsWeighted() || regressionVar_ >= 0; }
  CaseWeight operator()(const std::vector<double>& values) const noexcept {
    CaseWeight weight;
    weight.frequency = frequency_(values);
    if (regressionVar_ >= 0) {
      const auto position = static_cast<std::size_t>(regressionVar_);
      const double r = position < values.size() ? values[position] : KQCommon_850::KQMV::Missing();
      weight.regression = KQCommon_850::KQMV::IsMissingOrNaN(r) ? 0.0 : r;
    }
    return weight;
  }

 private:
  FrequencyWeight frequency_;
  int regressionVar_;
};

}  // namespace KQBSN_850
