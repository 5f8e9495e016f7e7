#include "companion/KQPairDifferences.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "companion/KQMV.h"

namespace KQMath_850 {

using KQCommon_850::KQMV;

namespace {

constexpr std::size_t kWidth = 4;
using Lanes = double __attribute__((vector_size(kWidth * sizeof(double))));

// The differences of the columns [first, first + kGroups * kWidth) of rows `stride` values apart (by
// default the whole row), and the largest magnitudes per column into magnitudes[first..]. The running
// maxima of the kGroups vectors live in local variables across the rows, so that with a small kGroups
// they stay in registers. Inlined into each compiled version of PresentRowDifferences.
template <std::size_t kGroups>
[[gnu::always_inline]] inline void RowDifferences(const double* x, const double* y, double* differences,
                                                  std::size_t nRows, double* magnitudes,
                                                  std::size_t first = 0,
                                                  std::size_t stride = kGroups * kWidth) {
  const Lanes zero{}, missing = zero + KQMV::Missing();
  Lanes most[kGroups];
  for (std::size_t g = 0; g < kGroups; ++g) most[g] = zero;
  for (std::size_t r = 0; r < nRows; ++r) {
    for (std::size_t g = 0; g < kGroups; ++g) {
      const std::size_t k = r * stride + first + g * kWidth;
      Lanes a, b;
      std::memcpy(&a, x + k, sizeof(Lanes));
      std::memcpy(&b, y + k, sizeof(Lanes));
      // NaN fails v == v.
      const auto present = (a != missing) & (a == a) & (b != missing) & (b == b);
      const Lanes difference = present ? a - b : missing;
      std::memcpy(differences + k, &difference, sizeof(Lanes));
      const Lanes aMagnitude = a < zero ? -a : a, bMagnitude = b < zero ? -b : b;
      const Lanes magnitude = aMagnitude > bMagnitude ? aMagnitude : bMagnitude;
      most[g] = present & (magnitude > most[g]) ? magnitude : most[g];
    }
  }
  for (std::size_t g = 0; g < kGroups; ++g)
    std::memcpy(magnitudes + first + g * kWidth, &most[g], sizeof(Lanes));
}

}  // namespace

// Compiled twice, for AVX2 (four lanes per instruction) and for the baseline; the loader picks one.
__attribute__((target_clones("avx2", "default"))) void PresentRowDifferences(std::span<const double> x,
                                                                             std::span<const double> y,
                                                                             std::span<double> differences,
                                                                             std::size_t stride,
                                                                             std::span<double> largest) {
  const std::size_t n = std::min({x.size(), y.size(), differences.size()});
  if (stride == 0 || stride % kWidth != 0 || largest.size() > stride) return;
  const std::size_t nRows = n / stride;
  std::vector<double> magnitudes(stride, 0.0);
  double* out = differences.data();
  switch (stride / kWidth) {
    case 1:
      RowDifferences<1>(x.data(), y.data(), out, nRows, magnitudes.data());
      break;
    case 2:
      RowDifferences<2>(x.data(), y.data(), out, nRows, magnitudes.data());
      break;
    case 3:
      RowDifferences<3>(x.data(), y.data(), out, nRows, magnitudes.data());
      break;
    case 4:
      RowDifferences<4>(x.data(), y.data(), out, nRows, magnitudes.data());
      break;
    default:
      for (std::size_t first = 0; first < stride; first += kWidth)
        RowDifferences<1>(x.data(), y.data(), out, nRows, magnitudes.data(), first, stride);
  }
  for (std::size_t c = 0; c < largest.size(); ++c) largest[c] = std::max(largest[c], magnitudes[c]);
}

}  // namespace KQMath_850
