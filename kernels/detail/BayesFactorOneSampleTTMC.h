#pragma once
// BayesFactorOneSampleTTMC: the JZS Bayes factor BF01 of a one-sample t statistic by Monte Carlo.
//
// D is estimated by the mean of the likelihood factor of BayesFactorDenomIF at M values g = 1/u,
// u drawn from the Gamma law with shape 1/2 and rate 1/2, so that g follows the inverse-gamma(1/2, 1/2)
// prior; BF01 = L0 / D. The generator is seeded afresh by every call, so one seed gives one answer.
// As with the quadrature, the factor is averaged as D / L0 so that it stays finite when both underflow.
// Input: N > 0, nu > 0, t not missing and M > 0; otherwise the missing value.
// Accuracy: tests/kernels/BayesFactorOneSampleTT_test.cpp compares it with the quadrature within a few
// Monte Carlo standard errors and checks that two runs agree bit for bit.

#include "companion/INumIntegration.h"

namespace KQBSN_850 {

class BayesFactorOneSampleTTMC : public KQMath_850::INumIntegration {
 public:
  BayesFactorOneSampleTTMC(double nCases, double df, double t, int nSamples, unsigned long seed);

  bool IsValid() const noexcept { return valid_; }
  /// The sum of M draws of D / L0 (the limits are not used); missing for an invalid object.
  double SumUp(double lo, double hi) override;
  /// SumUp divided by M.
  double Integrate(double lo, double hi) override;
  /// BF01, or the missing value.
  double ComputeBayesFactor();

 private:
  double nCases_;
  double df_;
  double t_;
  int nSamples_;
  unsigned long seed_;
  bool valid_;
};

}  // namespace KQBSN_850
