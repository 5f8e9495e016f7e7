#include "frame/detail/FactorStore.h"

#include <algorithm>
#include <cmath>

#include "frame/BSNStatusCodes.h"
#include "frame/detail/ResultLists.h"

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

void StoreFactorWithoutLog(double logBf01, std::size_t position, double& factor,
                           KQCommon_850::KQWarnings& warnings) {
  // NaN is a computation that failed, unlike the missing value of missing inputs.
  const bool failed = std::isnan(logBf01);
  const StoredFactor stored = StoreLogFactor(logBf01);
  factor = stored.isLog ? KQCommon_850::KQMV::Missing() : stored.value;
  if (stored.isLog || failed) warnings.AddWarning(VariableWarning(BSN_NUMERICAL_PROBLEM, position), 0);
}

}  // namespace KQBSN_850::detail
