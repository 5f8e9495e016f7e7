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

}  // namespace kqtest
