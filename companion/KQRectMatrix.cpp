#include "companion/KQRectMatrix.h"

#include <cassert>
#include <cstddef>

namespace KQMath_850 {

void KQRectMatrix::Resize(int rows, int cols) {
  assert(rows >= 0 && cols >= 0);
  rows_ = rows;
  cols_ = cols;
  values_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), 0.0);
}

void KQRectMatrix::AppendRow(std::span<const double> row) {
  if (rows_ == 0) cols_ = static_cast<int>(row.size());
  assert(row.size() == static_cast<std::size_t>(cols_));
  values_.insert(values_.end(), row.begin(), row.end());
  ++rows_;
}

std::span<const double> KQRectMatrix::Row(int i) const {
  assert(i >= 0 && i < rows_);
  return std::span<const double>(values_).subspan(
      static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_), static_cast<std::size_t>(cols_));
}

void KQRectMatrix::MultiplyVector(std::span<const double> x, std::vector<double>& y) const {
  assert(x.size() == static_cast<std::size_t>(cols_));
  y.assign(static_cast<std::size_t>(rows_), 0.0);
  for (int i = 0; i < rows_; ++i) {
    const std::span<const double> row = Row(i);
    double sum = 0.0;
    for (std::size_t j = 0; j < row.size(); ++j) sum += row[j] * x[j];
    y[static_cast<std::size_t>(i)] = sum;
  }
}

std::size_t KQRectMatrix::Index(int i, int j) const {
  assert(i >= 0 && i < rows_ && j >= 0 && j < cols_);
  return static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(j);
}

}  // namespace KQMath_850
