#include "companion/KQRectMatrix.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using KQMath_850::KQRectMatrix;

TEST(KQRectMatrix, RowMajorRowsAndProduct) {
  // By hand: [[1, 2, 3], [-1, 0, 4]] (2, 1, -1) = (2 + 2 - 3, -2 + 0 - 4) = (1, -6).
  KQRectMatrix matrix;
  matrix.AppendRow(std::vector<double>{1, 2, 3});
  matrix.AppendRow(std::vector<double>{-1, 0, 4});
  std::vector<double> product;
  matrix.MultiplyVector(std::vector<double>{2, 1, -1}, product);
  EXPECT_EQ(product, (std::vector<double>{1, -6}));
}

}  // namespace
