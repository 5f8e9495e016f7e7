#pragma once
// Missing values: one reserved double stands for "not available" in every double field and list.

#include <limits>

namespace KQCommon_850 {

/// The missing-value sentinel. It is the most negative finite double, so it survives copies,
/// comparisons and serialisation unchanged and is never produced by ordinary arithmetic on data.
/// A NaN is not the missing value: code that may produce NaN converts it with FromNaN().
class KQMV {
 public:
  static constexpr double Missing() noexcept { return std::numeric_limits<double>::lowest(); }
  static constexpr bool IsMissing(double x) noexcept { return x == Missing(); }
  /// Missing when x is NaN or already missing; x otherwise.
  static constexpr bool IsMissingOrNaN(double x) noexcept { return IsMissing(x) || x != x; }
  static constexpr double FromNaN(double x) noexcept { return x != x ? Missing() : x; }
};

}  // namespace KQCommon_850
