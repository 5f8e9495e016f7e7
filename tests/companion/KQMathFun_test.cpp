#include "companion/KQMathFun.h"

#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ExpectNearRel.h"

namespace {

using KQMath_850::KQMathFun;

TEST(KQMathFun, DotProductsAndEqualGrid) {
  // By hand: (1, 0, 2, 0) . (3, 5, -1, 7) = 3 - 2 = 1; the sparse form lists (2 at 2, 1 at 0).
  const std::vector<double> dense{3, 5, -1, 7};
  EXPECT_EQ(KQMathFun::Dot(std::vector<double>{1, 0, 2, 0}, dense), 1.0);
  EXPECT_EQ(KQMathFun::SparseDot(2, std::vector<int>{2, 0}, std::vector<double>{2, 1}, dense), 1.0);
  // An equal grid includes both ends.
  EXPECT_EQ(KQMathFun::EqualGrid(2.0, 3.0, 1), (std::vector<double>{2.0}));
  // Step 0.1 is not exact in binary: points are lower + i step, and the last one is the upper end itself.
  const std::vector<double> grid = KQMathFun::EqualGrid(-1.0, 0.3, 14);
  ASSERT_EQ(grid.size(), 14u);
  EXPECT_EQ(grid.back(), 0.3);
  for (int i = 0; i < 13; ++i) EXPECT_NEAR_REL(grid[static_cast<std::size_t>(i)], -1.0 + 0.1 * i, 1e-15) << i;
}

}  // namespace
