#pragma once
// RouderBayesFactor: BF01 of the two-sample t under the JZS prior, a Cauchy law of scale 1 on the
// standardised difference of the means (Rouder et al., 2009).
//
// BF01 is the one-sample JZS integral of BayesFactorOneSampleTT with the effective size
// h = N1 N2 / (N1 + N2) in place of the sample size, nu = N1 + N2 - 2 and the pooled t. The settings'
// MethodType chooses adaptive quadrature (AQL: TolValue and MaxIterations when they are > 0, g from
// machine epsilon to 1e6) or Monte Carlo (MCA: MCSamples draws from RandomSeed).
// Input: h > 0, nu > 0 and t present, else the factor is missing. The quadrature's warnings
// (non-convergence) go to the warnings collection given at construction as BSN_NUMERICAL_PROBLEM; Monte
// Carlo has none.
// Accuracy: tests/twosample/BSN2SampleIndBayesFactor_test.cpp compares with R's integrate() of the same
// integrand over the same range and with BayesFactor::ttestBF.

#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "twosample/detail/BSN2SampleIndBayesFactor.h"

namespace KQBSN_850 {

class RouderBayesFactor final : public BSN2SampleIndBayesFactor {
 public:
  /// `warnings` (the analysis' collection) receives the quadrature's warnings; it must outlive the object.
  RouderBayesFactor(const BSNSettings& settings, const KQCommon_850::KQVarList& varList,
                    KQCommon_850::KQWarnings& warnings);
  KQCommon_850::KQStatus ComputeBayesFactors(KQCommon_850::KQWarnings& warnings) override;

 private:
  KQCommon_850::KQWarnings* warnings_;
};

}  // namespace KQBSN_850
