#include "frame/BSNAlgorithm.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "frame/detail/AnalysisRequest.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::KQWarnings;
using KQCommon_850::MultiPassRecordIter;

BSNAlgorithm::BSNAlgorithm(const BSNSettings& settings, const KQVarList& varList)
    : settings_(settings),
      varList_(varList),
      cancelInfo_(settings.GetCancelPointer()),
      progressListener_(settings.GetProgressListener()) {}

KQStatus BSNAlgorithm::GuardedBuildModel(MultiPassRecordIter& iter) {
  try {
    return BuildModel(iter);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::length_error&) {
    throw;
  } catch (...) {
    outputStats_.reset();
    return FinishBuild(KQStatus(BSN_INTERNAL_ERROR, false));
  }
}

bool BSNAlgorithm::WantsBayesFactor() const noexcept { return detail::WantsBayesFactor(settings_); }

bool BSNAlgorithm::WantsPosterior() const noexcept { return detail::WantsPosterior(settings_); }

bool BSNAlgorithm::StopAfterStep(KQStatus& status, int cancelCode) {
  if (status.IsError()) return true;
  if (!cancelInfo_.IsCancel()) return false;
  status = KQStatus(cancelCode, false);
  return true;
}

KQStatus BSNAlgorithm::ListWarning(const KQStatus& status) {
  if (!status.IsWarning()) return status;
  AddWarning(status);
  return KQStatus();
}

KQStatus BSNAlgorithm::CheckHasRecords(KQCommon_850::MultiPassRecordIter& iter) {
  return HasAnyRecord(iter) ? KQStatus() : KQStatus(BSN_NO_VALID_CASES, false);
}

void BSNAlgorithm::AddVariableWarning(int code, std::size_t position) {
  AddWarning(VariableWarning(code, position));
}

KQStatus BSNAlgorithm::FinishBuild(const KQStatus& status) {
  status_ = HostStatus(status);
  KQWarnings shown;
  for (std::size_t i = 0; i < warnings_.Size(); ++i)
    shown.AddWarning(HostStatus(warnings_[i]), warnings_.GetDestination(i));
  warnings_ = std::move(shown);
  isBuilt_ = !status_.IsError();
  return status_;
}

}  // namespace KQBSN_850
