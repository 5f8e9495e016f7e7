#pragma once
// PresentRowDifferences: the differences x - y of paired blocks of rows, for the paired analyses'
// passes.
//
// A pair whose two values are present (neither the missing value nor NaN) gets x - y; any other pair
// gets the missing value, which the moment accumulators skip. The largest |x| or |y| of each column
// over its present pairs comes back too: it tells how much of a difference's digits rounding may have
// taken. The rows are worked in vector lanes without a branch per pair.

#include <cstddef>
#include <span>

namespace KQMath_850 {

/// Writes the differences of x[k] and y[k] to differences[k] for the whole rows below the three spans'
/// common length, read as rows stride values apart (a positive multiple of 4), and raises largest[c]
/// to the largest magnitude of a present pair's values in column c (k mod stride = c), for c below
/// largest.size() (at most stride). Nothing is written for another stride.
void PresentRowDifferences(std::span<const double> x, std::span<const double> y,
                           std::span<double> differences, std::size_t stride, std::span<double> largest);

}  // namespace KQMath_850
