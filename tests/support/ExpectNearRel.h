#pragma once
// One assertion for numbers: relative error, absolute near zero; missing equals missing, NaN
// equals NaN, infinities must match exactly.

#include <gtest/gtest.h>

namespace kqtest {

::testing::AssertionResult NearRel(double actual, double expected, double relTol);

}  // namespace kqtest

#define EXPECT_NEAR_REL(actual, expected, relTol) \
  EXPECT_TRUE(::kqtest::NearRel((actual), (expected), (relTol)))
#define ASSERT_NEAR_REL(actual, expected, relTol) \
  ASSERT_TRUE(::kqtest::NearRel((actual), (expected), (relTol)))
