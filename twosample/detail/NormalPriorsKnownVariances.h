#pragma once
// NormalPriorsKnownVariances: the posterior of delta = mu2 - mu1 when the data variances sigma1^2,
// sigma2^2 are known and each group mean has a normal prior, mu1 ~ N(m1, tau1^2) and
// mu2 ~ N(m2, tau2^2) (MeanDistParam1 to 4 in the order m1, m2, tau1^2, tau2^2). Each group mean has
// the normal posterior of variance w_k = 1/(N_k/sigma_k^2 + 1/tau_k^2) and mean
// p_k = (M_k N_k/sigma_k^2 + m_k/tau_k^2) w_k, so delta ~ N(p2 - p1, w1 + w2).
// Input: a variable needs both group means, and the priors need their four parameters with
// tau_k^2 > 0; otherwise the variable is skipped without a warning.
// Curves: group grids as with flat priors; each prior's density on a grid spanning that prior.
// Accuracy: tests/twosample/BSN2SampleIndPosterior_test.cpp (R's qnorm and dnorm).

#include "twosample/detail/BSN2SampleIndPosterior.h"

namespace KQBSN_850 {

class NormalPriorsKnownVariances final : public BSN2SampleIndPosterior {
 public:
  using BSN2SampleIndPosterior::BSN2SampleIndPosterior;

 private:
  std::optional<DeltaPosterior> ComputeVariable(std::size_t i, const GroupMoments& group1,
                                                const GroupMoments& group2,
                                                KQCommon_850::KQWarnings& warnings) const override;
  bool UsesKnownVariances() const noexcept override { return true; }
};

}  // namespace KQBSN_850
