#include "companion/MaximumSearch.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using KQMath_850::BrentMaximum;

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

}  // namespace
