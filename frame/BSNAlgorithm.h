#pragma once
// BSNAlgorithm: the base of every analysis. It keeps its own copies of the settings and the
// variable list, the build's status and warnings, the cancellation state and the listener, and
// owns the result record that a successful build creates.

#include <cstddef>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQStatus.h"
#include "companion/KQVarList.h"
#include "companion/KQWarnings.h"
#include "companion/Record.h"
#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"
#include "frame/BSNStatusCodes.h"
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
  /// BuildModel for a host: an exception that a computation lets out (other than running out of
  /// memory) ends the build with BSN_INTERNAL_ERROR and no result record instead of leaving the library.
  KQCommon_850::KQStatus GuardedBuildModel(KQCommon_850::MultiPassRecordIter& iter);

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
  /// A pass over the records with the settings' weights and frequency, the listener in force (the
  /// settings' one or the one given later) and this analysis' cancellation state. `screenedVars` are
  /// the variables a listwise pass screens.
  RecordPass MakePass(PassOptions options = {}, std::vector<int> screenedVars = {}) {
    return RecordPass(settings_, cancelInfo_, progressListener_, options, std::move(screenedVars));
  }

  /// Whether the analysis type asks for a Bayes factor (every type but Posterior) and for a posterior
  /// (every type but Bayes Factor).
  bool WantsBayesFactor() const noexcept;
  bool WantsPosterior() const noexcept;

  /// True when the build must stop after a step: the step ended in an error, or the host asked to
  /// cancel, in which case the status becomes the error `cancelCode`.
  bool StopAfterStep(KQCommon_850::KQStatus& status, int cancelCode = BSN_STATUS_CANCELLED);
  /// Lists a warning status and answers OK in its place; OK and errors pass unchanged.
  KQCommon_850::KQStatus ListWarning(const KQCommon_850::KQStatus& status);
  /// BSN_NO_VALID_CASES (error) when the data set holds no record, else OK; rewinds the iterator.
  static KQCommon_850::KQStatus CheckHasRecords(KQCommon_850::MultiPassRecordIter& iter);

  /// Adds a warning for the host (destination 0).
  void AddWarning(const KQCommon_850::KQStatus& warning) { warnings_.AddWarning(warning, 0); }
  /// Adds the warning `code` about the test variable at `position` of the settings' list (datum 0).
  void AddVariableWarning(int code, std::size_t position);
  /// Ends a build: keeps the status, marks the model built unless it is an error, returns the status.
  /// A status or warning whose code has no message text is replaced by one that has (see
  /// HostStatus), so that a host can always show why.
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
