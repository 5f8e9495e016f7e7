#include "frame/BSNAlgorithm.h"

namespace KQBSN_850 {

using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;

BSNAlgorithm::BSNAlgorithm(const BSNSettings& settings, const KQVarList& varList)
    : settings_(settings),
      varList_(varList),
      cancelInfo_(settings.GetCancelPointer()),
      progressListener_(settings.GetProgressListener()) {}

KQStatus BSNAlgorithm::FinishBuild(const KQStatus& status) {
  status_ = status;
  isBuilt_ = !status.IsError();
  return status_;
}

}  // namespace KQBSN_850
