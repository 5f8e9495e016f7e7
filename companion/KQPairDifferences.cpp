#include "companion/KQPairDifferences.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "companion/KQMV.h"

namespace KQMath_850 {

using KQCommon_850::KQMV;

// Compiled twice, for AVX2 (four lanes per instruction) and for the baseline; the loader picks one.
__attribute__((target_clones("avx2", "default"))) double PresentPairDifferences(
    std::span<const double> x, std::span<const double> y, std::span<double> differences) {
  constexpr std::size_t kWidth = 4;
  using Lanes = double __attribute__((vector_size(kWidth * sizeof(double))));
  const std::size_t n = std::min({x.size(), y.size(), differences.size()});
  const Lanes zero{}, missing = zero + KQMV::Missing();
  Lanes largest{};
  std::size_t k = 0;
  for (; k + kWidth <= n; k += kWidth) {
    Lanes first, second;
    std::memcpy(&first, &x[k], sizeof(Lanes));
    std::memcpy(&second, &y[k], sizeof(Lanes));
    // NaN fails v == v.
    const auto present = (first != missing) & (first == first) & (second != missing) & (second == second);
    const Lanes difference = present ? first - second : missing;
    std::memcpy(&differences[k], &difference, sizeof(Lanes));
    const Lanes firstMagnitude = first < zero ? -first : first,
                secondMagnitude = second < zero ? -second : second;
    const Lanes magnitude = firstMagnitude > secondMagnitude ? firstMagnitude : secondMagnitude;
    largest = present & (magnitude > largest) ? magnitude : largest;
  }
  double result = 0.0;
  for (std::size_t lane = 0; lane < kWidth; ++lane) result = std::max(result, largest[lane]);
  for (; k < n; ++k) {
    const bool present = !KQMV::IsMissingOrNaN(x[k]) && !KQMV::IsMissingOrNaN(y[k]);
    differences[k] = present ? x[k] - y[k] : KQMV::Missing();
    if (present) result = std::max({result, std::fabs(x[k]), std::fabs(y[k])});
  }
  return result;
}

}  // namespace KQMath_850
