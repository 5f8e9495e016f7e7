#pragma once
// DiffusePriorsKnownVariances: the posterior of delta = mu2 - mu1 under flat priors on both group
// means when the data variances sigma1^2, sigma2^2 are known (the settings' two DataVarVals):
// delta ~ N(d, sigma1^2/N1 + sigma2^2/N2), d = M2 - M1 the difference of the group means.
// Input: a variable needs both group means; otherwise it is skipped without a warning.
// Curves: each group's grid spans N(M_k, sigma_k^2), the flat priors are 1 on that grid, and the
// profile likelihoods take the known-variance form -S/(2 sigma_k^2).
// Accuracy: tests/twosample/BSN2SampleIndPosterior_test.cpp (R's qnorm and dnorm).

#include "twosample/detail/BSN2SampleIndPosterior.h"

namespace KQBSN_850 {

class DiffusePriorsKnownVariances final : public BSN2SampleIndPosterior {
 public:
  using BSN2SampleIndPosterior::BSN2SampleIndPosterior;

 private:
  std::optional<DeltaPosterior> ComputeVariable(std::size_t i, const GroupMoments& group1,
                                                const GroupMoments& group2,
                                                KQCommon_850::KQWarnings& warnings) const override;
  bool UsesKnownVariances() const noexcept override { return true; }
};

}  // namespace KQBSN_850
