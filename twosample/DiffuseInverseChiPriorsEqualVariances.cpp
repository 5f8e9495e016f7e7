#include "twosample/detail/DiffuseInverseChiPriorsEqualVariances.h"

namespace KQBSN_850 {

DiffuseInverseChiPriorsEqualVariances::DiffuseInverseChiPriorsEqualVariances(
    const BSNSettings& settings, const KQCommon_850::KQVarList& varList, KQCommon_850::KQCancelInfo& cancel)
    : DiffusePriorsEqualVariances(settings, varList, cancel, settings.GetPriorDistParam1(),
                                  settings.GetPriorDistParam2()) {}

}  // namespace KQBSN_850
