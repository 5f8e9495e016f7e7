#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "companion/KQBitSet.h"
#include "companion/KQSymMatrix.h"

using KQMath_850::KQBitSet;
using KQMath_850::KQSymMatrix;

TEST(KQSymMatrixSweepBlock, AgreesWithPivotByPivotSweepsAndFindsTheSameRedundancies) {
  // Cross-products of 40 cases of 30 columns in which column 7 repeats column 2, column 19 is column 3
  // plus column 4, and column 25 is zero; swept in blocks of 1, 8, 13 and 30 pivots (the last column is
  // never a pivot, as the dependent of a regression).
  std::uint64_t seed = 99;
  const auto uniform = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(seed >> 11) * 0x1.0p-53 - 0.5;
  };
  const int n = 31;
  KQSymMatrix base(n, true);
  for (int r = 0; r < 40; ++r) {
    std::vector<double> row(n);
    for (double& x : row) x = uniform();
    row[7] = row[2];
    row[19] = row[3] + row[4];
    row[25] = 0.0;
    base.UpdateXX(row, 1.0 + r % 3);
  }
  std::vector<double> diagonal;
  base.GetDiagonal(diagonal);
  KQSymMatrix expected = base;
  KQBitSet expectedSet(n, false);
  EXPECT_EQ(expected.SweepRange(0, n - 1, 1e-12, diagonal, expectedSet), 27);
  for (int block : {1, 8, 13, 30}) {
    KQSymMatrix blocked = base;
    KQBitSet set(n, false);
    int nSwept = 0;
    for (int k = 0; k < n - 1; k += block)
      nSwept += blocked.SweepBlock(k, std::min(block, n - 1 - k), 1e-12, diagonal, set);
    EXPECT_EQ(nSwept, 27);
    EXPECT_EQ(set, expectedSet);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j <= i; ++j) {
        // Redundant rows hold residual cross-products near 0, compared absolutely.
        const double scale = std::max(1.0, std::fabs(expected(i, j)));
        EXPECT_NEAR(blocked(i, j), expected(i, j), 1e-10 * scale) << block << ": " << i << ", " << j;
      }
  }
}
