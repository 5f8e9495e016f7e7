#include "tests/support/ExpectNearRel.h"

#include <cmath>
#include <iomanip>
#include <sstream>

#include "companion/KQMV.h"

namespace kqtest {

using KQCommon_850::KQMV;

::testing::AssertionResult NearRel(double actual, double expected, double relTol) {
  std::ostringstream why;
  why << std::setprecision(17) << "actual " << actual << ", expected " << expected;
  if (KQMV::IsMissing(expected) || KQMV::IsMissing(actual)) {
    if (KQMV::IsMissing(expected) && KQMV::IsMissing(actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << why.str() << " (only one is missing)";
  }
  if (std::isnan(expected) || std::isnan(actual)) {
    if (std::isnan(expected) && std::isnan(actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << why.str() << " (only one is NaN)";
  }
  if (std::isinf(expected) || std::isinf(actual)) {
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << why.str();
  }
  // Below a magnitude of 1e-8 the tolerance is read as absolute, so that zero can be expected.
  const double scale = std::max(std::fabs(expected), 1e-8);
  const double err = std::fabs(actual - expected) / scale;
  if (err <= relTol) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << why.str() << ", relative error " << err << " > " << relTol;
}

}  // namespace kqtest
