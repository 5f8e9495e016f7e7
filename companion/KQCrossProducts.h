#pragma once
// KQCrossProducts: accumulates weighted cross-products A += sum over cases of w x x' into a KQSymMatrix
// a block of cases at a time. Rows are gathered into a buffer of kBlockRows cases; a full buffer is
// added to the packed lower triangle as one rank-kBlockRows update in which each stretch of eight
// elements of a row of A stays in registers while the buffered cases are summed into it, so that A is
// read and written once per block instead of once per case. The sums are the same products as
// KQSymMatrix::UpdateXX adds, grouped differently, so the two agree to rounding.
// Input: rows of the size given at construction; a case of weight 0 adds nothing.
// Accuracy: tests/companion/KQCrossProducts_test.cpp compares with UpdateXX on random rows.

#include <span>
#include <vector>

#include "companion/KQSymMatrix.h"

namespace KQMath_850 {

class KQCrossProducts {
 public:
  /// Cases gathered before they are added to the matrix.
  static constexpr int kBlockRows = 32;

  /// Cross-products of rows of n entries, added to target (n x n), which must outlive this object.
  KQCrossProducts(KQSymMatrix& target);
  KQCrossProducts(const KQCrossProducts&) = delete;
  KQCrossProducts& operator=(const KQCrossProducts&) = delete;
  ~KQCrossProducts() { Flush(); }

  /// Adds weight * row * row'.
  void Add(std::span<const double> row, double weight);
  /// Adds the gathered cases to the matrix (also done when the buffer is full and on destruction).
  void Flush();

 private:
  KQSymMatrix& target_;
  int n_;
  int stride_;  ///< n rounded up to whole stretches of eight, the padding zero
  int count_ = 0;
  std::vector<double> rows_;      ///< kBlockRows x stride_, case by case
  std::vector<double> weighted_;  ///< the same rows times their weights
};

}  // namespace KQMath_850
