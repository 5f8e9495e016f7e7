#include "frame/detail/FactorStore.h"

#include <algorithm>

#include "frame/BSNStatusCodes.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQStatus;

void FactorStore::Store(std::size_t i, double logBf01) noexcept {
  const StoredFactor stored = StoreLogFactor(logBf01);
  values_[i] = stored.value;
  isLog_[i] = stored.isLog;
}

KQStatus FactorStore::LogFactorWarning() const {
  const bool anyLog = std::find(isLog_.begin(), isLog_.end(), true) != isLog_.end();
  return anyLog ? KQStatus(BSN_LOG_FACTOR, true) : KQStatus();
}

}  // namespace KQBSN_850::detail
