#include "companion/MaximumSearch.h"

#include <boost/math/tools/minima.hpp>

namespace KQMath_850 {

MaximumPoint BrentMaximum(const std::function<double(double)>& f, double lower, double upper, int bits,
                          std::uintmax_t maxSteps) {
  std::uintmax_t steps = maxSteps;
  const auto [x, negated] =
      boost::math::tools::brent_find_minima([&f](double at) { return -f(at); }, lower, upper, bits, steps);
  return {x, -negated};
}

}  // namespace KQMath_850
