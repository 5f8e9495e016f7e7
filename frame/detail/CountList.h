#pragma once
// Counts for the int fields of the result records, taken from sums kept as doubles.

#include <vector>

namespace KQBSN_850::detail {

/// A count for an int field: truncated toward zero and held inside the int range (0 for NaN).
int ToCount(double x) noexcept;

/// True when ToCount(x) cannot show x: a count above the int range, which the record then shows as
/// the largest int (the analyses add BSN_COUNT_TOO_LARGE).
bool ExceedsIntCount(double x) noexcept;

/// One field of every variable's sums, as counts.
template <class Sums>
std::vector<int> CountList(const std::vector<Sums>& sums, double Sums::*field) {
  std::vector<int> counts;
  counts.reserve(sums.size());
  for (const Sums& s : sums) counts.push_back(ToCount(s.*field));
  return counts;
}

}  // namespace KQBSN_850::detail
