#include "companion/MaximumSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <boost/math/tools/minima.hpp>

namespace KQMath_850 {

MaximumPoint BrentMaximum(const std::function<double(double)>& f, double lower, double upper, int bits,
                          std::uintmax_t maxSteps) {
  std::uintmax_t steps = maxSteps;
  const auto [x, negated] =
      boost::math::tools::brent_find_minima([&f](double at) { return -f(at); }, lower, upper, bits, steps);
  return {x, -negated};
}

MaximumPoint GridMaximum(const std::function<double(double)>& f, double lower, double upper, int nGrid,
                         int bits, std::uintmax_t maxSteps) {
  const int n = std::max(nGrid, 2);
  const double step = (upper - lower) / (n - 1);
  MaximumPoint best{lower, -std::numeric_limits<double>::infinity()};
  int bestK = 0;
  for (int k = 0; k < n; ++k) {
    const double x = lower + k * step, value = f(x);
    if (value > best.value) {
      best = {x, value};
      bestK = k;
    }
  }
  if (!std::isfinite(best.value)) return best;
  const MaximumPoint refined = BrentMaximum(f, lower + std::max(bestK - 1, 0) * step,
                                            lower + std::min(bestK + 1, n - 1) * step, bits, maxSteps);
  return refined.value > best.value ? refined : best;
}

}  // namespace KQMath_850
