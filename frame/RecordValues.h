#pragma once
// Reading a variable's value from a record's values: the record pass, the case weights and the
// analyses all read positions this way.

#include <cstddef>
#include <vector>

#include "companion/KQMV.h"

namespace KQBSN_850::detail {

/// The value of variable var in a record; missing for a position the record does not hold, so that a
/// record shorter than the variable list leaves out only the variables it lacks.
inline double ValueAt(const std::vector<double>& values, int var) noexcept {
  if (var < 0 || static_cast<std::size_t>(var) >= values.size()) return KQCommon_850::KQMV::Missing();
  return values[static_cast<std::size_t>(var)];
}

}  // namespace KQBSN_850::detail
