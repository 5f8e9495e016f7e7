#include "frame/detail/CountList.h"

#include <climits>
#include <cmath>

namespace KQBSN_850::detail {

int ToCount(double x) noexcept {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(x);
}

bool ExceedsIntCount(double x) noexcept { return x > static_cast<double>(INT_MAX); }

}  // namespace KQBSN_850::detail
