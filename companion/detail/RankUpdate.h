#pragma once
// The rank-k update of a packed lower triangle that the blocked cross-products and the blocked sweep
// share: for every i and j <= i, A(i, j) += sum over r < k of weighted[r][i] rows[r][j], where
// weighted and rows hold k vectors of `stride` entries (stride at least n rounded up to a multiple of
// eight plus eight, the padding zero).

namespace KQMath_850::detail {

/// Entries per register stretch of the update (its rows are padded to whole stretches).
inline constexpr int kRankUpdateLanes = 8;

void AddRankUpdate(double* packed, int n, int stride, int k, const double* rows, const double* weighted);

/// The row stride that AddRankUpdate needs for vectors of n entries.
inline int RankUpdateStride(int n) noexcept {
  return (n + kRankUpdateLanes - 1) / kRankUpdateLanes * kRankUpdateLanes + kRankUpdateLanes;
}

}  // namespace KQMath_850::detail
