#pragma once
// Case weights. A frequency weight counts a case that many times: the host's value is rounded to the
// nearest whole number (halves up), and a missing, NaN or negative value, or one below 0.5, gives
// weight 0. The analyses that also take a regression (analytic) weight use it as it is; a missing or
// NaN regression weight gives 0. A case is usable only when both weights are positive.

#include <cmath>
#include <cstddef>
#include <vector>

#include "companion/KQMV.h"
#include "frame/RecordValues.h"

namespace KQBSN_850 {

/// The whole-number weight of a frequency-weight value f: 0 when f is missing, NaN or below 0.5,
/// else f + 0.5 truncated toward zero.
inline double RoundedFrequencyWeight(double f) noexcept {
  if (KQCommon_850::KQMV::IsMissingOrNaN(f) || !(f >= 0.5)) return 0.0;
  const double y = f + 0.5;
  if (!(y < 0x1p52)) return y;  // whole already, or infinite
  // trunc(y) for 1 <= y < 2^52 in additions: adding and taking away 2^52 rounds y to a whole number,
  // one too many where it rounded up. The baseline instruction set has no rounding instruction, and
  // its trunc goes through an integer conversion and back on every record of a pass.
  const double nearest = (y + 0x1p52) - 0x1p52;
  return nearest > y ? nearest - 1.0 : nearest;
}

/// Which weights a pass reads from each record.
enum class WeightRule {
  Frequency,               ///< the rounded frequency weight; the regression weight is 1
  FrequencyAndRegression,  ///< the rounded frequency weight and the regression weight
};

/// The two weights of a case, each 1 without its variable.
struct CaseWeight {
  double frequency = 1.0;
  double regression = 1.0;
  bool IsUsable() const noexcept { return frequency > 0.0 && regression > 0.0; }
  /// The product the weighted sums use.
  double Product() const noexcept { return frequency * regression; }
};

/// Reads the case weight of a record's values. A weight variable that is negative is absent (weight
/// 1); one beyond the end of a record reads as missing, so that record weighs 0.
class CaseWeigher {
 public:
  CaseWeigher(int frequencyVar, int regressionVar) noexcept
      : frequencyVar_(frequencyVar), regressionVar_(regressionVar) {}
  CaseWeigher(WeightRule rule, int frequencyVar, int regressionVar) noexcept
      : CaseWeigher(frequencyVar, rule == WeightRule::FrequencyAndRegression ? regressionVar : -1) {}

  CaseWeight operator()(const std::vector<double>& values) const noexcept {
    CaseWeight weight;
    if (frequencyVar_ >= 0) weight.frequency = RoundedFrequencyWeight(detail::ValueAt(values, frequencyVar_));
    if (regressionVar_ >= 0) {
      const double r = detail::ValueAt(values, regressionVar_);
      weight.regression = KQCommon_850::KQMV::IsMissingOrNaN(r) ? 0.0 : r;
    }
    return weight;
  }

 private:
  int frequencyVar_;
  int regressionVar_;
};

}  // namespace KQBSN_850
