#include "companion/KQCrossProducts.h"

#include "companion/detail/RankUpdate.h"

#include <cassert>
#include <cstddef>

namespace KQMath_850 {
namespace {

std::size_t ToSize(int n) { return static_cast<std::size_t>(n); }

}  // namespace

KQCrossProducts::KQCrossProducts(KQSymMatrix& target)
    : target_(target),
      n_(target.Size()),
      stride_(detail::RankUpdateStride(target.Size())),
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
  detail::AddRankUpdate(target_.MutableData(), n_, stride_, count_, rows_.data(), weighted_.data());
  count_ = 0;
}

}  // namespace KQMath_850
