#pragma once
// BSNComponent: how a host runs one analysis. The constructor picks the analysis for the
// settings' model type (and, for one sample, the test distribution); BuildModel reads the records;
// then the host reads the status, the warnings and the result record.
//
// Settings that name no available analysis build nothing: BuildModel then answers the error
// BSN_BAD_PARAMETER with the model type as discrete datum 0 and the test distribution as datum 1,
// the model stays unbuilt and there is no result record.

#include <memory>
#include <ostream>

#include "frame/BSNAlgorithm.h"

namespace KQBSN_850 {

class BSNComponent {
 public:
  /// Chooses and constructs the analysis. The settings are not validated here: call
  /// BSNSettings::IsValidSettings first.
  BSNComponent(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSNComponent();
  BSNComponent(const BSNComponent&) = delete;
  BSNComponent& operator=(const BSNComponent&) = delete;

  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter);
  bool IsModelBuilt() const noexcept;
  KQCommon_850::KQStatus GetStatus() const;
  const KQCommon_850::KQWarnings& GetWarningMessages() const noexcept;
  /// The result record, null before a successful build; the component keeps ownership.
  const BSNOutputStats* GetOutputStats() const noexcept;
  void SetProgressListener(KQCommon_850::ProgressListener* listener) noexcept;
  void SetCancelPtr(KQCommon_850::KQQueryCancel* query) noexcept;
  /// True when the settings named an available analysis.
  bool HasAnalysis() const noexcept { return algorithm_ != nullptr; }
  void Display(std::ostream& os) const;

 private:
  std::unique_ptr<BSNAlgorithm> algorithm_;
  // Answers of a component without an analysis.
  KQCommon_850::KQStatus unsupportedStatus_;
  KQCommon_850::KQWarnings noWarnings_;
  BSNConst::ModelTypes modelType_;
  BSNConst::DistTypes testDistType_;
};

}  // namespace KQBSN_850
