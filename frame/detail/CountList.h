#pragma once
// Counts for the int fields of the result records, taken from sums kept as doubles.

#include <vector>

namespace KQBSN_850::detail {

/// A count for an int field: truncated toward zero and held inside the int range (0 for NaN).
int ToCount(double x) noexcept;

/// One field of every variable's sums, as counts.
template <class Sums>
std::vector<int> CountList(const std::vector<Sums>& sums, double Sums::*field) {
  std::vector<int> counts;
  counts.reserve(sums.size());
  for (const Sums& s : sums) counts.push_back(ToCount(s.*field));
  return counts;
}

}  // namespace KQBSN_850::detail
