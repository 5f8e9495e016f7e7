#include "companion/KQCrossProducts.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

namespace KQMath_850 {
namespace {

constexpr int kLanes = 8;

std::size_t ToSize(int n) { return static_cast<std::size_t>(n); }

// The rank-k update of the packed lower triangle. For row i and a stretch of eight columns starting at
// j0 the eight sums stay in registers while the k cases are added; there is no reduction across cases
// inside one sum's lane, so the compiler vectorises the eight lanes without reordering any sum.
inline __attribute__((always_inline)) void RankUpdateBody(double* packed, int n, int stride, int k,
                                                          const double* rows, const double* weighted) {
  for (int i = 0; i < n; ++i) {
    double* target = packed + ToSize(i) * ToSize(i + 1) / 2;
    for (int j0 = 0; j0 <= i; j0 += kLanes) {
      double sums[kLanes] = {};
      for (int r = 0; r < k; ++r) {
        const double a = weighted[ToSize(r) * ToSize(stride) + ToSize(i)];
        const double* b = rows + ToSize(r) * ToSize(stride) + ToSize(j0);
        for (int lane = 0; lane < kLanes; ++lane) sums[lane] += a * b[lane];
      }
      const int width = std::min(kLanes, i + 1 - j0);
      for (int lane = 0; lane < width; ++lane) target[j0 + lane] += sums[lane];
    }
  }
}

// The same body built for the baseline vector unit and for one with 256-bit fused multiply-add; the
// first call picks the one the processor runs. A fused multiply-add rounds once where the baseline
// rounds twice, so the two agree to rounding, not bit for bit.
void RankUpdateBaseline(double* packed, int n, int stride, int k, const double* rows,
                        const double* weighted) {
  RankUpdateBody(packed, n, stride, k, rows, weighted);
}
__attribute__((target("avx2,fma"))) void RankUpdateFma(double* packed, int n, int stride, int k,
                                                       const double* rows, const double* weighted) {
  RankUpdateBody(packed, n, stride, k, rows, weighted);
}

using RankUpdateFunction = void (*)(double*, int, int, int, const double*, const double*);

RankUpdateFunction ChooseRankUpdate() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? &RankUpdateFma
                                                                         : &RankUpdateBaseline;
}

void RankUpdate(double* packed, int n, int stride, int k, const double* rows, const double* weighted) {
  static const RankUpdateFunction chosen = ChooseRankUpdate();
  chosen(packed, n, stride, k, rows, weighted);
}

}  // namespace

KQCrossProducts::KQCrossProducts(KQSymMatrix& target)
    : target_(target),
      n_(target.Size()),
      stride_((target.Size() + kLanes - 1) / kLanes * kLanes + kLanes),
      rows_(ToSize(kBlockRows) * ToSize(stride_), 0.0),
      weighted_(ToSize(kBlockRows) * ToSize(stride_), 0.0) {}

void KQCrossProducts::Add(std::span<const double> row, double weight) {
  assert(row.size() == ToSize(n_));
  if (weight == 0.0) return;
  double* x = rows_.data() + ToSize(count_) * ToSize(stride_);
  double* wx = weighted_.data() + ToSize(count_) * ToSize(stride_);
  for (int j = 0; j < n_; ++j) {
    x[j] = row[ToSize(j)];
    wx[j] = weight * row[ToSize(j)];
  }
  if (++count_ == kBlockRows) Flush();
}

void KQCrossProducts::Flush() {
  if (count_ == 0) return;
  RankUpdate(target_.MutableData(), n_, stride_, count_, rows_.data(), weighted_.data());
  count_ = 0;
}

}  // namespace KQMath_850
