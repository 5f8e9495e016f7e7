#pragma once
// DiffusePriorsEqualVariances: the posterior of delta = mu2 - mu1 under flat priors on both group
// means and a common unknown variance sigma^2 with a scaled inverse chi-square prior of nu0 degrees
// of freedom and scale s0^2 (nu0 = 0 is the Jeffreys prior 1/sigma^2). delta is d + s T_nu, d = M2 - M1,
// T_nu Student t with nu = nu0 + N1 + N2 - 2 degrees of freedom and
// s^2 = (1/N1 + 1/N2) ((N1 - 1) V1 + (N2 - 1) V2 + nu0 s0^2) / nu.
// Input: a variable needs both group means and variances and nu > 0; otherwise it is skipped without
// a warning. Two constant groups (V1 = V2 = 0) give BSN_BOTH_GROUPS_CONSTANT with the variable's
// position, and the variable is skipped. A missing or negative nu0 or s0^2 skips every variable.
// The two public variants, DiffuseJeffreysPriorsEqualVariances and
// DiffuseInverseChiPriorsEqualVariances, are this class with their prior's nu0 and s0^2.
// Accuracy: tests/twosample/BSN2SampleIndPosterior_test.cpp (R's qt and dt, t.test's pooled interval).

#include "twosample/detail/BSN2SampleIndPosterior.h"

namespace KQBSN_850::detail {

class DiffusePriorsEqualVariances : public BSN2SampleIndPosterior {
 public:
 protected:
  /// The variance prior: nu0 degrees of freedom and scale s0^2.
  DiffusePriorsEqualVariances(const BSNSettings& settings, const KQCommon_850::KQVarList& varList,
                              KQCommon_850::KQCancelInfo& cancel, double priorDf, double priorScale2)
      : BSN2SampleIndPosterior(settings, varList, cancel), priorDf_(priorDf), priorScale2_(priorScale2) {}

 private:
  std::optional<DeltaPosterior> ComputeVariable(std::size_t i, const GroupMoments& group1,
                                                const GroupMoments& group2,
                                                KQCommon_850::KQWarnings& warnings) const final;

  double priorDf_;
  double priorScale2_;
};

}  // namespace KQBSN_850::detail
