#pragma once
// KQMathFun: small vector helpers of the regression code: dot products of dense and sparse design
// rows with coefficient vectors, and the equally spaced grids on which curves are plotted.
// Inputs: vectors of matching length (a mismatch is a caller's error, assert). Returns plain sums in
// index order, or an empty grid when fewer than one point is asked for.
// Accuracy: the tests check them against hand-worked values.

#include <span>
#include <vector>

namespace KQMath_850 {

class KQMathFun {
 public:
  /// sum a_i b_i over vectors of equal length.
  static double Dot(std::span<const double> a, std::span<const double> b);
  /// sum values_e dense[indices_e] over the first nEntries entries of a sparse vector.
  static double SparseDot(int nEntries, std::span<const int> indices, std::span<const double> values,
                          std::span<const double> dense);
  /// nPoints values from lower to upper, both included, step (upper - lower) / (nPoints - 1); one
  /// point gives {lower}, none an empty grid.
  static std::vector<double> EqualGrid(double lower, double upper, int nPoints);
};

}  // namespace KQMath_850
