#pragma once
// PresentPairDifferences: the differences x - y of paired columns, for the paired analyses' passes.
//
// A pair whose two values are present (neither the missing value nor NaN) gets x - y; any other pair
// gets the missing value, which the moment accumulators skip. The largest |x| or |y| over the present
// pairs comes back too: it tells how much of a difference's digits rounding may have taken. The
// columns are worked in vector lanes without a branch per pair.

#include <span>

namespace KQMath_850 {

/// Writes the differences of x[k] and y[k] to differences[k] for k below the three spans' common
/// length and returns the largest magnitude of a present pair's values (0 when no pair is present).
double PresentPairDifferences(std::span<const double> x, std::span<const double> y,
                              std::span<double> differences);

}  // namespace KQMath_850
