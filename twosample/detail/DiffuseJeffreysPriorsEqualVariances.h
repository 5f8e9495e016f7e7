#pragma once
// DiffuseJeffreysPriorsEqualVariances: flat priors on both group means and the Jeffreys prior
// 1/sigma^2 on their common variance; delta = mu2 - mu1 is d + s T_nu with nu = N1 + N2 - 2 and
// s^2 = (1/N1 + 1/N2) ((N1 - 1) V1 + (N2 - 1) V2) / nu, the pooled two-sample t law. It is the
// inverse chi-square case with no prior degrees of freedom (see DiffusePriorsEqualVariances).

#include "twosample/detail/DiffusePriorsEqualVariances.h"

namespace KQBSN_850 {

class DiffuseJeffreysPriorsEqualVariances final : public detail::DiffusePriorsEqualVariances {
 public:
  DiffuseJeffreysPriorsEqualVariances(const BSNSettings& settings, const KQCommon_850::KQVarList& varList,
                                      KQCommon_850::KQCancelInfo& cancel);
};

}  // namespace KQBSN_850
