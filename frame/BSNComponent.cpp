#include "frame/BSNComponent.h"

#include "frame/BSNStatusCodes.h"
#include "frame/detail/AnalysisFactory.h"

namespace KQBSN_850 {

using KQCommon_850::KQQueryCancel;
using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::KQWarnings;
using KQCommon_850::MultiPassRecordIter;
using KQCommon_850::ProgressListener;

BSNComponent::BSNComponent(const BSNSettings& settings, const KQVarList& varList)
    : algorithm_(detail::CreateAnalysis(settings, varList)),
      modelType_(settings.GetModelType()),
      testDistType_(settings.GetTestDistType()) {
  if (algorithm_ && settings.GetProgressListener() != nullptr)
    algorithm_->SetProgressListener(settings.GetProgressListener());
}

BSNComponent::~BSNComponent() = default;

KQStatus BSNComponent::BuildModel(MultiPassRecordIter& iter) {
  if (algorithm_) return algorithm_->GuardedBuildModel(iter);
  unsupportedStatus_ = KQStatus(BSN_BAD_PARAMETER, false);
  unsupportedStatus_.SetDiscreteDatum(0, BSNConst::ToInt(modelType_));
  unsupportedStatus_.SetDiscreteDatum(1, BSNConst::ToInt(testDistType_));
  return unsupportedStatus_;
}

bool BSNComponent::IsModelBuilt() const noexcept { return algorithm_ && algorithm_->IsModelBuilt(); }

KQStatus BSNComponent::GetStatus() const { return algorithm_ ? algorithm_->GetStatus() : unsupportedStatus_; }

const KQWarnings& BSNComponent::GetWarningMessages() const noexcept {
  return algorithm_ ? algorithm_->GetWarningMessages() : noWarnings_;
}

const BSNOutputStats* BSNComponent::GetOutputStats() const noexcept {
  return algorithm_ ? algorithm_->GetOutputStats() : nullptr;
}

void BSNComponent::SetProgressListener(ProgressListener* listener) noexcept {
  if (algorithm_) algorithm_->SetProgressListener(listener);
}

void BSNComponent::SetCancelPtr(KQQueryCancel* query) noexcept {
  if (algorithm_) algorithm_->SetCancelPtr(query);
}

void BSNComponent::Display(std::ostream& os) const {
  if (algorithm_) algorithm_->Display(os);
}

}  // namespace KQBSN_850
