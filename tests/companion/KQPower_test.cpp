// KQPower: the exponent limits are the largest and smallest logarithms whose exp() is a finite,
// normal double.

#include "companion/KQPower.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using KQMath_850::KQPower;

TEST(KQPower, MaxExpIsTheLargestFiniteExponent) {
  constexpr double kLargest = std::numeric_limits<double>::max();
  const double atLimit = std::exp(KQPower::gMachineMaxExp);
  EXPECT_TRUE(std::isfinite(atLimit));
  EXPECT_GT(atLimit, kLargest * (1.0 - 1e-13));
  EXPECT_TRUE(std::isinf(std::exp(std::nextafter(KQPower::gMachineMaxExp, 1000.0))));
}

TEST(KQPower, MinExpIsTheSmallestNormalExponent) {
  constexpr double kSmallestNormal = std::numeric_limits<double>::min();
  const double atLimit = std::exp(KQPower::gMachineMinExp);
  EXPECT_GE(atLimit, kSmallestNormal);
  EXPECT_LT(atLimit, kSmallestNormal * (1.0 + 1e-13));
  EXPECT_LT(std::exp(std::nextafter(KQPower::gMachineMinExp, -1000.0)), kSmallestNormal);
}

}  // namespace
