#include "companion/KQMathFun.h"

#include <cassert>
#include <cstddef>

namespace KQMath_850 {

double KQMathFun::Dot(std::span<const double> a, std::span<const double> b) {
  assert(a.size() == b.size());
  double sum = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
  return sum;
}

double KQMathFun::SparseDot(int nEntries, std::span<const int> indices, std::span<const double> values,
                            std::span<const double> dense) {
  const auto n = static_cast<std::size_t>(nEntries);
  assert(nEntries >= 0 && n <= indices.size() && n <= values.size());
  double sum = 0.0;
  for (std::size_t e = 0; e < n; ++e) {
    const auto index = static_cast<std::size_t>(indices[e]);
    assert(index < dense.size());
    sum += values[e] * dense[index];
  }
  return sum;
}

std::vector<double> KQMathFun::EqualGrid(double lower, double upper, int nPoints) {
  if (nPoints < 1) return {};
  std::vector<double> grid(static_cast<std::size_t>(nPoints), lower);
  if (nPoints == 1) return grid;
  // Each point is lower + i step rather than a running sum, so rounding does not accumulate along the
  // grid; the last point is set to upper itself so that the range is covered exactly.
  const double step = (upper - lower) / (nPoints - 1);
  for (int i = 1; i < nPoints - 1; ++i) grid[static_cast<std::size_t>(i)] = lower + i * step;
  grid.back() = upper;
  return grid;
}

}  // namespace KQMath_850
