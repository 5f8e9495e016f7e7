#include "companion/MaximumSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using KQMath_850::BrentMaximum;
using KQMath_850::GridMaximum;

// By hand: -(x - 1.3)^2 peaks at 1.3 with value 0; on [0, 5] with 30 bits (tolerance 2^-29 |x| +
// 2^-31) the point is found to well within 1e-6. Where the function has no value (-inf, NaN) the
// search passes over it: the bump 3 - (x - 2)^2 on x >= 1 peaks at 2 with value 3.
TEST(MaximumSearch, FindsTheLargestValueAndPassesOverPointsWithoutOne) {
  const auto parabola = BrentMaximum([](double x) { return -(x - 1.3) * (x - 1.3); }, 0.0, 5.0, 30, 100);
  EXPECT_NEAR(parabola.x, 1.3, 1e-6);
  EXPECT_NEAR(parabola.value, 0.0, 1e-12);
  const auto halfDefined = BrentMaximum(
      [](double x) {
        if (x < 0.5) return std::numeric_limits<double>::quiet_NaN();
        return x < 1.0 ? -std::numeric_limits<double>::infinity() : 3.0 - (x - 2.0) * (x - 2.0);
      },
      0.0, 5.0, 30, 100);
  EXPECT_NEAR(halfDefined.x, 2.0, 1e-6);
  EXPECT_NEAR(halfDefined.value, 3.0, 1e-12);
}

// The steps are bounded: with one step the search stops at once, at a point of the interval.
TEST(MaximumSearch, StopsAfterTheStepsAllowed) {
  int calls = 0;
  const auto point = BrentMaximum(
      [&calls](double x) {
        ++calls;
        return -std::fabs(x - 0.1);
      },
      0.0, 10.0, 50, 1);
  EXPECT_LE(calls, 2);
  EXPECT_GE(point.x, 0.0);
  EXPECT_LE(point.x, 10.0);
}

// By hand: 1 - (x - 1)^2 and 2 - 4 (x - 8)^2 are two bumps, the higher at x = 8 with value 2; the grid
// of 11 points on [0, 10] lands on both, keeps 8 and the search between 7 and 9 finds it. Without a
// finite value anywhere the answer is the lower end with -inf.
TEST(MaximumSearch, TheGridPicksTheHigherBump) {
  const auto twoBumps = [](double x) {
    return std::max(1.0 - (x - 1.0) * (x - 1.0), 2.0 - 4.0 * (x - 8.0) * (x - 8.0));
  };
  const auto point = GridMaximum(twoBumps, 0.0, 10.0, 11, 30, 100);
  EXPECT_NEAR(point.x, 8.0, 1e-6);
  EXPECT_NEAR(point.value, 2.0, 1e-12);
  const auto none =
      GridMaximum([](double) { return -std::numeric_limits<double>::infinity(); }, 2.0, 3.0, 5, 30, 100);
  EXPECT_EQ(none.x, 2.0);
  EXPECT_EQ(none.value, -std::numeric_limits<double>::infinity());
}

}  // namespace
