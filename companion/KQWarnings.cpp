#include "companion/KQWarnings.h"

namespace KQCommon_850 {

std::vector<KQStatus> KQWarnings::GetWarnings(bool all) const {
  std::vector<KQStatus> result;
  result.reserve(entries_.size());
  for (const Entry& entry : entries_)
    if (all || entry.destination == 0) result.push_back(entry.status);
  return result;
}

}  // namespace KQCommon_850
