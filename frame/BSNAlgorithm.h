#pragma once
// BSNAlgorithm: the base of every analysis. It keeps its own copies of the settings and the
// variable list, the build's status and warnings, the cancellation state and the listener, and
// owns the result record that a successful build creates.

#include <memory>
#include <ostream>

#include "companion/KQCancel.h"
#include "companion/KQStatus.h"
#include "companion/KQVarList.h"
#include "companion/KQWarnings.h"
#include "companion/Record.h"
#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"
#include "frame/RecordPass.h"

namespace KQBSN_850 {

using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;

class BSNAlgorithm {
 public:
  BSNAlgorithm(const BSNSettings& settings, const KQVarList& varList);
  BSNAlgorithm(const BSNAlgorithm&) = delete;
  BSNAlgorithm& operator=(const BSNAlgorithm&) = delete;
  virtual ~BSNAlgorithm() = default;

  /// Reads the records and computes; returns the build's status (also kept in GetStatus).
  virtual KQStatus BuildModel(MultiPassRecordIter& iter) = 0;
  virtual void Display(std::ostream& os) const = 0;

  bool IsModelBuilt() const noexcept { return isBuilt_; }
  KQStatus GetStatus() const { return status_; }
  const KQWarnings& GetWarningMessages() const noexcept { return warnings_; }
  /// The result record, null until a build succeeds; the algorithm keeps ownership.
  const BSNOutputStats* GetOutputStats() const noexcept { return outputStats_.get(); }
  void SetProgressListener(ProgressListener* listener) noexcept { progressListener_ = listener; }
  void SetCancelPtr(KQQueryCancel* query) noexcept { cancelInfo_.SetCancelPtr(query); }

 protected:
  /// A pass over the records with this analysis' listener, frequency and cancellation state.
  RecordPass MakePass(PassOptions options = {}) noexcept {
    return RecordPass(settings_, cancelInfo_, progressListener_, options);
  }
  /// Adds a warning for the host (destination 0).
  void AddWarning(const KQStatus& warning) { warnings_.AddWarning(warning, 0); }
  /// Ends a build: keeps the status, marks the model built unless it is an error, returns the status.
  KQStatus FinishBuild(const KQStatus& status);

  BSNSettings settings_;
  KQVarList varList_;
  bool isBuilt_ = false;
  std::unique_ptr<BSNOutputStats> outputStats_;
  KQCancelInfo cancelInfo_;
  ProgressListener* progressListener_;
  KQStatus status_;
  KQWarnings warnings_;
};

}  // namespace KQBSN_850
