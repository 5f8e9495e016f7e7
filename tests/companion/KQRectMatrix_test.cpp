#include "companion/KQRectMatrix.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using KQMath_850::KQRectMatrix;

TEST(KQRectMatrix, RowMajorStorageAndRows) {
  KQRectMatrix matrix(2, 3);
  matrix(0, 2) = 5.0;
  matrix(1, 0) = 7.0;
  EXPECT_EQ(matrix.AsVector(), (std::vector<double>{0, 0, 5, 7, 0, 0}));
  EXPECT_EQ(std::vector<double>(matrix.Row(1).begin(), matrix.Row(1).end()), (std::vector<double>{7, 0, 0}));
  matrix.Resize(1, 2);
  EXPECT_EQ(matrix.AsVector(), (std::vector<double>{0, 0}));
}

TEST(KQRectMatrix, AppendRowAndMultiply) {
  // By hand: [[1, 2, 3], [-1, 0, 4]] (2, 1, -1) = (2 + 2 - 3, -2 + 0 - 4) = (1, -6).
  KQRectMatrix matrix;
  matrix.AppendRow(std::vector<double>{1, 2, 3});
  matrix.AppendRow(std::vector<double>{-1, 0, 4});
  EXPECT_EQ(matrix.GetNRows(), 2);
  EXPECT_EQ(matrix.GetNCols(), 3);
  std::vector<double> product;
  matrix.MultiplyVector(std::vector<double>{2, 1, -1}, product);
  EXPECT_EQ(product, (std::vector<double>{1, -6}));
}

}  // namespace
