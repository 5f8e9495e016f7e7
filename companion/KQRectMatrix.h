#pragma once
// KQRectMatrix: a dense rows x cols matrix of doubles, stored row by row. It holds hypothesis
// matrices (one row per tested parameter) and other rectangular factors of the regression code.
// Inputs: element positions inside the matrix and vectors of matching length; a mismatch is a
// caller's error (assert). Accuracy: the products are plain sums in index order; the tests compare
// them with hand-worked products.

#include <cstddef>
#include <span>
#include <vector>

namespace KQMath_850 {

class KQRectMatrix {
 public:
  /// The empty 0 x 0 matrix.
  KQRectMatrix() = default;
  /// A rows x cols matrix of zeros.
  KQRectMatrix(int rows, int cols) { Resize(rows, cols); }

  /// Makes the matrix rows x cols, every element zero.
  void Resize(int rows, int cols);
  /// Adds a row at the bottom; an empty matrix takes its column count from the first row.
  void AppendRow(std::span<const double> row);

  int GetNRows() const noexcept { return rows_; }
  int GetNCols() const noexcept { return cols_; }
  /// Element (i, j).
  double operator()(int i, int j) const { return values_[Index(i, j)]; }
  /// Element (i, j), writable.
  double& operator()(int i, int j) { return values_[Index(i, j)]; }
  /// Row i as a read-only view of cols values.
  std::span<const double> Row(int i) const;
  /// Every element, row by row.
  const std::vector<double>& AsVector() const noexcept { return values_; }

  /// y = this * x, for x of length cols; y gets rows entries.
  void MultiplyVector(std::span<const double> x, std::vector<double>& y) const;

 private:
  std::size_t Index(int i, int j) const;

  int rows_ = 0;
  int cols_ = 0;
  std::vector<double> values_;
};

}  // namespace KQMath_850
