#pragma once
// MaximumSearch: the largest value of a smooth function of one variable on an interval, by Brent's
// method (parabolic steps, golden sections where they fail), in at most a given number of steps; and
// the same after a grid of points has picked the highest of the function's bumps.
// Inputs: lower < upper; the function may return -inf or NaN where it has no value (such points never
// win). Returns the best point the search saw and the function's value there.
// Accuracy: the point is within about 2^(1 - bits) |x| + 2^(-1 - bits) of a local maximum once the
// steps suffice; with fewer, the best point after the last step.

#include <cstdint>
#include <functional>

namespace KQMath_850 {

struct MaximumPoint {
  double x;
  double value;
};

/// The largest value of f on [lower, upper] found by Brent's method within maxSteps steps.
MaximumPoint BrentMaximum(const std::function<double(double)>& f, double lower, double upper, int bits,
                          std::uintmax_t maxSteps);

/// The largest value of f on [lower, upper]: the best of nGrid >= 2 evenly spaced points (the first of
/// equal ones), then Brent's method between that point's neighbours within maxSteps steps; the grid's
/// point stays when the search finds nothing higher. When no grid point has a finite value the answer
/// is the lower end with -inf, and there is no search.
MaximumPoint GridMaximum(const std::function<double(double)>& f, double lower, double upper, int nGrid,
                         int bits, std::uintmax_t maxSteps);

}  // namespace KQMath_850
