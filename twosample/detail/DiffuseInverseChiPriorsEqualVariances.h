#pragma once
// DiffuseInverseChiPriorsEqualVariances: flat priors on both group means and a scaled inverse
// chi-square prior on their common variance, nu0 = PriorDistParam1 degrees of freedom and scale
// s0^2 = PriorDistParam2; delta = mu2 - mu1 is d + s T_nu with nu = nu0 + N1 + N2 - 2 and
// s^2 = (1/N1 + 1/N2) ((N1 - 1) V1 + (N2 - 1) V2 + nu0 s0^2) / nu (see DiffusePriorsEqualVariances).

#include "twosample/detail/DiffusePriorsEqualVariances.h"

namespace KQBSN_850 {

class DiffuseInverseChiPriorsEqualVariances final : public detail::DiffusePriorsEqualVariances {
 public:
  DiffuseInverseChiPriorsEqualVariances(const BSNSettings& settings, const KQCommon_850::KQVarList& varList,
                                        KQCommon_850::KQCancelInfo& cancel);
};

}  // namespace KQBSN_850
