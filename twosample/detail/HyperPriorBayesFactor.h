#pragma once
// HyperPriorBayesFactor: BF01 of the two-sample t in closed form under a hyper-prior with parameter a
// (the settings' RegrComPar, 3 unless set otherwise):
//   BF01 = G (1 + t^2/nu)^(-(nu - 2a - 2)/2),
//   G = Gamma(a + 1) Gamma((nu + 1)/2) / (Gamma(a + 3/2) Gamma(nu/2)),
// computed in logs with ln |Gamma| and exponentiated last. It does not depend on the effective size.
// Input: nu > 0, t and a present, and no Gamma argument at a pole; otherwise the factor is missing.
// Accuracy: tests/twosample/BSN2SampleIndBayesFactor_test.cpp compares with the same form worked in R
// with lgamma.

#include "frame/BSNSettings.h"
#include "twosample/detail/BSN2SampleIndBayesFactor.h"

namespace KQBSN_850 {

class HyperPriorBayesFactor final : public BSN2SampleIndBayesFactor {
 public:
  HyperPriorBayesFactor(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  KQCommon_850::KQStatus ComputeBayesFactors(KQCommon_850::KQWarnings& warnings) override;
};

/// BF01 for nu degrees of freedom, pooled t and hyper-prior parameter a.
double HyperPriorBf01(double df, double t, double a);
/// ln of HyperPriorBf01, finite where the factor itself would underflow or overflow.
double HyperPriorLogBf01(double df, double t, double a);

}  // namespace KQBSN_850
