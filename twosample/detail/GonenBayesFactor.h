#pragma once
// GonenBayesFactor: BF01 of the two-sample t under a normal prior on the standardised difference of
// the means, delta ~ N(lambda, sigma^2) (Gonen, Johnson, Lu and Westfall, 2005).
//
// Under the alternative t / sqrt(k), k = h sigma^2 + 1, follows the non-central t law with nu degrees of
// freedom and non-centrality lambda sqrt(h / k); BF01 is the ratio of the densities of t:
//   BF01 = sqrt(k) PdfT(t, nu) / NonCentralPdfT(t / sqrt(k), nu, lambda sqrt(h) / sqrt(k)),
// which for lambda = 0 reduces to sqrt(k) ((1 + t^2/nu) / (1 + t^2/(k nu)))^(-(nu + 1)/2), computed in logs.
// lambda is the settings' RegrComPar, sigma^2 its SecondGonenPar.
// Input: h > 0, nu > 0, t present, lambda present, sigma^2 >= 0; otherwise, or when the alternative's
// density is 0 or missing, the factor is missing.
// Accuracy: tests/twosample/BSN2SampleIndBayesFactor_test.cpp compares with the same forms worked in R
// with dt(t, df) and dt(t, df, ncp).

#include "frame/BSNSettings.h"
#include "twosample/detail/BSN2SampleIndBayesFactor.h"

namespace KQBSN_850 {

class GonenBayesFactor final : public BSN2SampleIndBayesFactor {
 public:
  GonenBayesFactor(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  KQCommon_850::KQStatus ComputeBayesFactors(KQCommon_850::KQWarnings& warnings) override;
};

/// BF01 for effective size h, nu degrees of freedom, pooled t and the prior delta ~ N(lambda, sigma2).
double GonenBf01(double h, double df, double t, double lambda, double sigma2);
/// ln of GonenBf01, finite where the factor itself would underflow or overflow.
double GonenLogBf01(double h, double df, double t, double lambda, double sigma2);

}  // namespace KQBSN_850
