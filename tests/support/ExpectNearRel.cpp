#include "tests/support/ExpectNearRel.h"

#include <cmath>
#include <iomanip>
#include <sstream>

#include "companion/KQMV.h"

namespace kqtest {

::testing::AssertionResult NearRel(double actual, double expected, double relTol) {
  std::ostringstream why;
  why << std::setprecision(17) << "actual " << actual << ", expected " << expected;
  // Missing, NaN and infinities match only themselves.
  const auto special = [](double x) { return KQCommon_850::KQMV::IsMissing(x) || !std::isfinite(x); };
  if (special(actual) || special(expected))
    return actual == expected || (std::isnan(actual) && std::isnan(expected))
               ? ::testing::AssertionSuccess()
               : ::testing::AssertionFailure() << why.str();
  // Below a magnitude of 1e-8 the tolerance is read as absolute, so that zero can be expected.
  const double err = std::fabs(actual - expected) / std::max(std::fabs(expected), 1e-8);
  return err <= relTol
             ? ::testing::AssertionSuccess()
             : ::testing::AssertionFailure() << why.str() << ", relative error " << err << " > " << relTol;
}

void ExpectAllNear(const std::vector<double>& actual, const std::vector<double>& expected, double relTol) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k)
    EXPECT_TRUE(NearRel(actual[k], expected[k], relTol)) << "entry " << k;
}

}  // namespace kqtest
