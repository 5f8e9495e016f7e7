#include "companion/detail/RankUpdate.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace KQMath_850::detail {
namespace {

constexpr int kLanes = kRankUpdateLanes;

std::size_t ToSize(int n) { return static_cast<std::size_t>(n); }

// Four doubles as one value of the compiler's vector extension: 256-bit registers where the code is
// built for them, two 128-bit ones otherwise. Each lane is summed in case order, as a scalar loop would.
typedef double Vector4 __attribute__((vector_size(32)));
// Stretches updated together in a large matrix; a small one (short rows) takes one at a time, so that
// few lanes beyond a row's end are computed for nothing.
constexpr int kWideGroup = 4;
constexpr int kWideFrom = 256;
static_assert(kLanes == 8, "the update holds a stretch in two four-wide vectors");

// The rank-k update of the packed lower triangle. For row i and a stretch of eight columns starting at
// j0 the eight sums stay in registers while the k cases are added; there is no reduction across cases
// inside one sum's lane, so the compiler vectorises the eight lanes without reordering any sum.
// A small matrix (rows shorter than kWideFrom): the k rows fit in the cache as they are, so each row
// of the triangle is updated stretch by stretch straight from them.
inline __attribute__((always_inline)) void SmallRankUpdateBody(double* packed, int n, int stride, int k,
                                                               const double* rows, const double* weighted) {
  for (int i = 0; i < n; ++i) {
    double* target = packed + ToSize(i) * ToSize(i + 1) / 2;
    for (int j0 = 0; j0 <= i; j0 += kLanes) {
      Vector4 low = {0.0, 0.0, 0.0, 0.0}, high = {0.0, 0.0, 0.0, 0.0};
      for (int r = 0; r < k; ++r) {
        const double a = weighted[ToSize(r) * ToSize(stride) + ToSize(i)];
        const Vector4 scale = {a, a, a, a};
        const double* b = rows + ToSize(r) * ToSize(stride) + ToSize(j0);
        Vector4 bLow, bHigh;
        std::memcpy(&bLow, b, sizeof bLow);
        std::memcpy(&bHigh, b + 4, sizeof bHigh);
        low += scale * bLow;
        high += scale * bHigh;
      }
      double sums[kLanes];
      std::memcpy(sums, &low, sizeof low);
      std::memcpy(sums + 4, &high, sizeof high);
      const int width = std::min(kLanes, i + 1 - j0);
      for (int lane = 0; lane < width; ++lane) target[j0 + lane] += sums[lane];
    }
  }
}

template <int kGroup>
inline __attribute__((always_inline)) void RankUpdateBody(double* packed, int n, int stride, int k,
                                                          const double* rows, const double* weighted) {
  // Columns in tiles of kTileColumns, so that the k rows' entries of one tile (k x 128 doubles) stay in
  // the cache while every row i of the triangle below the tile's start is updated.
  constexpr int kTileColumns = 128;
  std::vector<double> weightStore(ToSize(k));
  double* __restrict weights = weightStore.data();
  // The rows' entries regrouped stretch by stretch: for stretch c (columns 8c .. 8c + 7) the k cases'
  // eight entries follow one another, so that the update of one stretch reads one contiguous block.
  const int nStretches = (n + kLanes - 1) / kLanes;
  // Padded with kGroup zero stretches, which the last group of a row may read.
  std::vector<double> regrouped(ToSize(nStretches + kGroup) * ToSize(k) * ToSize(kLanes), 0.0);
  for (int c = 0; c < nStretches; ++c)
    for (int r = 0; r < k; ++r)
      std::memcpy(regrouped.data() + (ToSize(c) * ToSize(k) + ToSize(r)) * ToSize(kLanes),
                  rows + ToSize(r) * ToSize(stride) + ToSize(c) * ToSize(kLanes), sizeof(double) * kLanes);
  for (int tile = 0; tile < n; tile += kTileColumns) {
    for (int i = tile; i < n; ++i) {
      // A row whose k weights are all zero gains nothing: designs of many factor indicators (sparse
      // cross-products) leave most rows so.
      bool anyWeight = false;
      for (int r = 0; r < k; ++r) {
        weights[r] = weighted[ToSize(r) * ToSize(stride) + ToSize(i)];
        anyWeight |= weights[r] != 0.0;
      }
      if (!anyWeight) continue;
      double* target = packed + ToSize(i) * ToSize(i + 1) / 2;
      const int tileEnd = std::min(tile + kTileColumns, i + 1);
      // kGroup stretches at a time: with four (32 columns), eight independent vector sums keep the
      // multiply-add unit busy while each one waits for its previous addition.
      for (int j0 = tile; j0 < tileEnd; j0 += kGroup * kLanes) {
        Vector4 sums[2 * kGroup] = {};
        const double* block = regrouped.data() + ToSize(j0 / kLanes) * ToSize(k) * ToSize(kLanes);
        for (int r = 0; r < k; ++r) {
          const double a = weights[r];
          const Vector4 scale = {a, a, a, a};
          for (int g = 0; g < kGroup; ++g) {
            const double* b = block + (ToSize(g) * ToSize(k) + ToSize(r)) * ToSize(kLanes);
            Vector4 bLow, bHigh;
            std::memcpy(&bLow, b, sizeof bLow);
            std::memcpy(&bHigh, b + 4, sizeof bHigh);
            sums[2 * g] += scale * bLow;
            sums[2 * g + 1] += scale * bHigh;
          }
        }
        double values[2 * kGroup * 4];
        std::memcpy(values, sums, sizeof values);
        const int width = std::min(kGroup * kLanes, tileEnd - j0);
        for (int lane = 0; lane < width; ++lane) target[j0 + lane] += values[lane];
      }
    }
  }
}

// The same body built for the baseline vector unit and for one with 256-bit fused multiply-add; the
// first call picks the one the processor runs. A fused multiply-add rounds once where the baseline
// rounds twice, so the two agree to rounding, not bit for bit.
void RankUpdateBaseline(double* packed, int n, int stride, int k, const double* rows,
                        const double* weighted) {
  if (n >= kWideFrom)
    RankUpdateBody<kWideGroup>(packed, n, stride, k, rows, weighted);
  else
    SmallRankUpdateBody(packed, n, stride, k, rows, weighted);
}
__attribute__((target("avx2,fma"))) void RankUpdateFma(double* packed, int n, int stride, int k,
                                                       const double* rows, const double* weighted) {
  if (n >= kWideFrom)
    RankUpdateBody<kWideGroup>(packed, n, stride, k, rows, weighted);
  else
    SmallRankUpdateBody(packed, n, stride, k, rows, weighted);
}

using RankUpdateFunction = void (*)(double*, int, int, int, const double*, const double*);

RankUpdateFunction ChooseRankUpdate() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? &RankUpdateFma
                                                                         : &RankUpdateBaseline;
}

}  // namespace

void AddRankUpdate(double* packed, int n, int stride, int k, const double* rows, const double* weighted) {
  static const RankUpdateFunction chosen = ChooseRankUpdate();
  chosen(packed, n, stride, k, rows, weighted);
}

}  // namespace KQMath_850::detail
