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

class BSNAlgorithm {
 public:
  BSNAlgorithm(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  BSNAlgorithm(const BSNAlgorithm&) = delete;
  BSNAlgorithm& operator=(const BSNAlgorithm&) = delete;
  virtual ~BSNAlgorithm() = default;

  /// Reads the records and computes; returns the build's status (also kept in GetStatus).
  virtual KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) = 0;
  virtual void Display(std::ostream& os) const = 0;

  bool IsModelBuilt() const noexcept { return isBuilt_; }
  KQCommon_850::KQStatus GetStatus() const { return status_; }
  const KQCommon_850::KQWarnings& GetWarningMessages() const noexcept { return warnings_; }
  /// The result record, null until a build succeeds; the algorithm keeps ownership.
  const BSNOutputStats* GetOutputStats() const noexcept { return outputStats_.get(); }
  void SetProgressListener(KQCommon_850::ProgressListener* listener) noexcept {
    progressListener_ = listener;
  }
  void SetCancelPtr(KQCommon_850::KQQueryCancel* query) noexcept { cancelInfo_.SetCancelPtr(query); }

 protected:
  /// A pass over the records with this analysis' listener, frequency and cancellation state.
  RecordPass MakePass(PassOptions options = {}) noexcept {
    return RecordPass(settings_, cancelInfo_, progressListener_, options);
  }
  /// Adds a warning for the host (destination 0).
  void AddWarning(const KQCommon_850::KQStatus& warning) { warnings_.AddWarning(warning, 0); }
  /// Ends a build: keeps the status, marks the model built unless it is an error, returns the status.
  KQCommon_850::KQStatus FinishBuild(const KQCommon_850::KQStatus& status);

  BSNSettings settings_;
  KQCommon_850::KQVarList varList_;
  bool isBuilt_ = false;
  std::unique_ptr<BSNOutputStats> outputStats_;
  KQCommon_850::KQCancelInfo cancelInfo_;
  KQCommon_850::ProgressListener* progressListener_;
  KQCommon_850::KQStatus status_;
  KQCommon_850::KQWarnings warnings_;
};

}  // namespace KQBSN_850
