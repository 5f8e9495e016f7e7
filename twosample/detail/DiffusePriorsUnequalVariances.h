#pragma once
// DiffusePriorsUnequalVariances: the posterior of delta = mu2 - mu1 under flat priors on both group
// means and Jeffreys priors on two unequal variances (the Behrens-Fisher problem). Its exact law,
// d + sqrt(V1/N1 + V2/N2) (T2 cos theta - T1 sin theta) with T_k Student t with nu_k = N_k - 1
// degrees of freedom and tan theta = sqrt(V1/N1) / sqrt(V2/N2), is replaced by Patil's scaled t,
// d + a sqrt(V1/N1 + V2/N2) T_b, which matches its second and fourth moments:
//   f1 = nu2/(nu2 - 2) cos^2 theta + nu1/(nu1 - 2) sin^2 theta,
//   f2 = nu2^2/((nu2 - 2)^2 (nu2 - 4)) cos^4 theta + nu1^2/((nu1 - 2)^2 (nu1 - 4)) sin^4 theta,
//   b = 4 + f1^2/f2,  a = sqrt(f1 (b - 2)/b).
// sin theta goes with group 1 because T1 carries the weight sqrt(V1/N1) (Box and Tiao, Bayesian
// Inference in Statistical Analysis, on the Behrens-Fisher distribution).
// Input: each group needs more than 5 cases (nu_k > 4, so that f2 exists), else
// BSN_INDEPENDENT_DIFFUSE_FEW_CASES; a constant group gives BSN_ONE_GROUP_CONSTANT; both warnings
// carry the variable's position and the variable is skipped.
// Accuracy: tests/twosample/BSN2SampleIndPosterior_test.cpp checks a and b against the formulas
// computed in R from the angle, and the posterior against qt and dt.

#include "twosample/detail/BSN2SampleIndPosterior.h"

namespace KQBSN_850 {

namespace detail {

/// Patil's scaled-t approximation: delta - d is approximately a sqrt(V1/N1 + V2/N2) T_b.
struct PatilScaledT {
  double a;  ///< scale factor
  double b;  ///< degrees of freedom
};

/// a and b for groups of n1 and n2 cases (more than 5 each) with variances variance1, variance2 > 0.
PatilScaledT PatilApproximation(double n1, double variance1, double n2, double variance2);

}  // namespace detail

class DiffusePriorsUnequalVariances final : public BSN2SampleIndPosterior {
 public:
  using BSN2SampleIndPosterior::BSN2SampleIndPosterior;

 private:
  std::optional<DeltaPosterior> ComputeVariable(std::size_t i, const GroupMoments& group1,
                                                const GroupMoments& group2,
                                                KQCommon_850::KQWarnings& warnings) const override;
};

}  // namespace KQBSN_850
