#pragma once
// Bayes factors kept as factors or logarithms. A factor computed as a logarithm is stored as the factor
// itself when its exponential is a normal, finite double, and as the logarithm (flagged) otherwise, so
// that no factor underflows to 0 or overflows to infinity; a run that keeps any logarithm reports one
// BSN_LOG_FACTOR warning.

#include <cmath>
#include <cstddef>
#include <vector>

#include "companion/KQMV.h"
#include "companion/KQPower.h"
#include "companion/KQStatus.h"
#include "companion/KQWarnings.h"

namespace KQBSN_850 {

struct StoredFactor {
  double value;  ///< the factor, or its natural logarithm when isLog
  bool isLog;
};

/// The factor exp(logFactor) when it is representable, else the logarithm with isLog set; a
/// missing or NaN logarithm stores the missing value.
inline StoredFactor StoreLogFactor(double logFactor) noexcept {
  using KQCommon_850::KQMV;
  using KQMath_850::KQPower;
  if (KQCommon_850::KQMV::IsMissingOrNaN(logFactor)) return {KQCommon_850::KQMV::Missing(), false};
  if (logFactor < KQPower::gMachineMinExp || logFactor > KQPower::gMachineMaxExp) return {logFactor, true};
  return {std::exp(logFactor), false};
}

}  // namespace KQBSN_850

namespace KQBSN_850::detail {

/// Stores exp(logBf01) into `factor`, for a record that holds factors without a log flag. Where the
/// factor would leave the range of normal doubles (0 or infinity included) the record cannot hold it:
/// `factor` becomes missing and a BSN_NUMERICAL_PROBLEM warning about the variable at `position`
/// (datum 0) is added; so it is for a NaN logarithm, a computation that failed. A missing logarithm
/// (missing inputs) stores the missing value without a warning.
void StoreFactorWithoutLog(double logBf01, std::size_t position, double& factor,
                           KQCommon_850::KQWarnings& warnings);

/// The Bayes factors BF01 of the test variables: each is the factor, or its natural logarithm where
/// the factor would leave the range of normal doubles; missing until stored.
class FactorStore {
 public:
  explicit FactorStore(std::size_t nVars)
      : values_(nVars, KQCommon_850::KQMV::Missing()), isLog_(nVars, false) {}
  /// Stores variable i's factor from its logarithm.
  void Store(std::size_t i, double logBf01) noexcept;
  /// The one BSN_LOG_FACTOR warning when some factor is kept as a logarithm, else OK.
  KQCommon_850::KQStatus LogFactorWarning() const;
  const std::vector<double>& GetValues() const noexcept { return values_; }
  const std::vector<bool>& GetIsLog() const noexcept { return isLog_; }

 private:
  std::vector<double> values_;
  std::vector<bool> isLog_;
};

}  // namespace KQBSN_850::detail
