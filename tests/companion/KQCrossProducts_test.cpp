#include "companion/KQCrossProducts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/support/ExpectNearRel.h"

using KQMath_850::KQCrossProducts;
using KQMath_850::KQSymMatrix;

TEST(KQCrossProducts, BlocksAddWhatCaseByCaseUpdatesAdd) {
  // Sizes around the eight-lane stretches and case counts around the block size, with weights 0 and
  // fractions: the blocked sums equal UpdateXX's to rounding (the products are the same, grouped
  // differently, and a fused multiply-add may round once less).
  std::uint64_t seed = 12345;
  const auto uniform = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(seed >> 11) * 0x1.0p-53 - 0.5;
  };
  for (int n : {1, 7, 8, 9, 17, 52}) {
    for (int cases : {1, KQCrossProducts::kBlockRows - 1, KQCrossProducts::kBlockRows,
                      3 * KQCrossProducts::kBlockRows + 5}) {
      KQSymMatrix expected(n, true), blocked(n, true);
      {
        KQCrossProducts accumulator(blocked);
        for (int c = 0; c < cases; ++c) {
          std::vector<double> row(static_cast<std::size_t>(n));
          for (double& x : row) x = uniform();
          const double weight = c % 5 == 0 ? 0.0 : 0.25 + c % 3;
          expected.UpdateXX(row, weight);
          accumulator.Add(row, weight);
        }
      }  // the destructor adds the cases still gathered
      for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j)
          EXPECT_NEAR(blocked(i, j), expected(i, j), 1e-12 * cases) << n << " " << cases;
    }
  }
}
