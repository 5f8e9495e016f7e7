// KQPower: the exponent limits are the largest and smallest logarithms whose exp() is a finite,
// normal double.

#include "companion/KQPower.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using KQMath_850::KQPower;

TEST(KQPower, ExponentLimitsAreTheLastFiniteAndNormalOnes) {
  const double largest = std::numeric_limits<double>::max(),
               smallestNormal = std::numeric_limits<double>::min();
  const double atMax = std::exp(KQPower::gMachineMaxExp);
  EXPECT_TRUE(std::isfinite(atMax) && atMax > largest * (1.0 - 1e-13));
  EXPECT_TRUE(std::isinf(std::exp(std::nextafter(KQPower::gMachineMaxExp, 1000.0))));
  EXPECT_GE(std::exp(KQPower::gMachineMinExp), smallestNormal);
  EXPECT_LT(std::exp(std::nextafter(KQPower::gMachineMinExp, -1000.0)), smallestNormal);
}

}  // namespace
