#pragma once
// One assertion for numbers: relative error, absolute near zero; missing equals missing, NaN
// equals NaN, infinities must match exactly.

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace kqtest {

::testing::AssertionResult NearRel(double actual, double expected, double relTol);

/// Element by element, each difference reported with its position.
void ExpectAllNear(const std::vector<double>& actual, const std::vector<double>& expected, double relTol);

}  // namespace kqtest

#define EXPECT_NEAR_REL(actual, expected, relTol) \
  EXPECT_TRUE(::kqtest::NearRel((actual), (expected), (relTol)))
#define ASSERT_NEAR_REL(actual, expected, relTol) \
  ASSERT_TRUE(::kqtest::NearRel((actual), (expected), (relTol)))
