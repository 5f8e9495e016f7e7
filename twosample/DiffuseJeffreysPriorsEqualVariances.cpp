#include "twosample/detail/DiffuseJeffreysPriorsEqualVariances.h"

namespace KQBSN_850 {

// nu0 = 0 removes the prior's term from the degrees of freedom and the sum of squares.
DiffuseJeffreysPriorsEqualVariances::DiffuseJeffreysPriorsEqualVariances(
    const BSNSettings& settings, const KQCommon_850::KQVarList& varList, KQCommon_850::KQCancelInfo& cancel)
    : DiffusePriorsEqualVariances(settings, varList, cancel, 0.0, 0.0) {}

}  // namespace KQBSN_850
