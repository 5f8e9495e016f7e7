#include <gtest/gtest.h>

#include <cmath>

#include "frame/BSNStatusCodes.h"
#include "onesample/detail/NormalMeanFactors.h"
#include "tests/onesample/OneSampleRun.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using namespace kqtest;
using Analysis = BSNConst::AnalysTypes;

// Expected values: rows of tests/reference/normal_onesample.out (script normal_onesample.R). The JZS factor
// by quadrature is compared with the BayesFactor package in the kernels' and the command's tests.

TEST(BSN1SampleNormBayesFactor, ClosedFormsAtTheirEdges) {
  // At xbar = mu0 only sqrt(1 + n g) is left, also for a zero variance.
  EXPECT_NEAR_REL(KnownVarianceBf01(10, 0.0, 0.0, 2.0), std::sqrt(21.0), 1e-15);
  EXPECT_EQ(KnownVarianceBf01(10, 0.5, 0.0, 2.0), 0.0);
  // Both t kernels underflow at t = 1e100 with nu = 10, their ratio does not: it tends to (1 + n g)^(-nu/2).
  EXPECT_NEAR_REL(FixedGBf01(11, 1e100, 1.0), std::pow(12.0, -5.0), 1e-13);
  EXPECT_EQ(FixedGBf01(10, 3.0, 0.0), kMissing);  // g must be positive
  EXPECT_EQ(FixedGBf01(1, 3.0, 1.0), kMissing);   // nu = 0
  EXPECT_EQ(KnownVarianceBf01(10, 0.6, -0.1, 1.0), kMissing);
}

TEST(BSN1SampleNormBayesFactor, JzsByMonteCarloIsReproducibleAndNearTheQuadrature) {
  BSNSettings settings = NormalSettings(Analysis::BayesFactor);
  settings.SetMethodType(BSNConst::MethodTypes::MCA);
  const NormalRun first(settings, NormalData()), second(settings, NormalData());
  EXPECT_EQ(first.Record()->GetBayesFactors(), second.Record()->GetBayesFactors());  // bit for bit
  // With 10000 draws the relative standard error of D is 0.0043 ("relative sd of D"); 0.02 is about 4.6 of
  // them. 1/exp(ttest.tstat(t, n1 = 10, rscale = 1)$bf) for x against 5.
  EXPECT_NEAR_REL(first.Record()->GetBayesFactors()[0], 0.21624968196335975, 0.02);
  settings.SetRandomSeed(settings.GetRandomSeed() + 1);
  EXPECT_NE(NormalRun(settings, NormalData()).Record()->GetBayesFactors()[0],
            first.Record()->GetBayesFactors()[0]);
}

TEST(BSN1SampleNormBayesFactor, ChoosesTheFactorPerVariable) {
  // Fixed g: sqrt(1+ng) (1 + t^2/((1+ng) nu))^((nu+1)/2) / (1 + t^2/nu)^((nu+1)/2) in R, g = 0.5 and 1.
  BSNSettings settings = NormalSettings(Analysis::BayesFactor);
  settings.SetEstBFType(BSNConst::EstBFTypes::Simple);
  settings.SetAlterGValues({0.5, 1.0});
  const double fixedX = NormalReference("x mu=5 g=0.5")[0], fixedY = NormalReference("y mu=0 g=1")[0];
  ExpectAllNear(NormalRun(settings, NormalData()).Record()->GetBayesFactors(), {fixedX, fixedY}, 1e-12);
  // A known variance for x only: x takes the known-variance factor (g = 2), y the Simple one (g = 1).
  // dnorm(xbar, 5, sqrt(0.4/10)) / dnorm(xbar, 5, sqrt(0.4 (1 + 10 * 2)/10)), xbar = 5.62
  settings.SetDataVarVals({0.4, kMissing});
  settings.SetAlterGValues({2.0, 1.0});
  ExpectAllNear(NormalRun(settings, NormalData()).Record()->GetBayesFactors(),
                {NormalReference("x mu=5 s2=0.4 g=2")[0], fixedY}, 1e-12);
  // Fraction: t tests, no factors; without test values the mean is tested against 0 (t.test(x, mu = 0)).
  settings.SetDataVarVals({});
  settings.SetEstBFType(BSNConst::EstBFTypes::Fraction);
  settings.SetNullValues({});
  const NormalRun zero(settings, NormalData());
  EXPECT_EQ(zero.Record()->GetBayesFactors(), (std::vector<double>{kMissing, kMissing}));
  const std::vector<double> t = NormalReference("x mu=0");
  ExpectAllNear({zero.Record()->GetTValues()[0], zero.Record()->GetSigs()[0]}, {t[0], t[2]}, 1e-11);
}

TEST(BSN1SampleNormBayesFactor, MissingParametersStopTheBuild) {
  BSNSettings simple = NormalSettings(Analysis::Both), shortNulls = NormalSettings(Analysis::BayesFactor),
              noVariables = NormalSettings(Analysis::Posterior);
  simple.SetEstBFType(BSNConst::EstBFTypes::Simple);  // without AlterGValues
  shortNulls.SetNullValues({5.0});                    // one test value for two variables
  noVariables.SetCovariates({});
  for (auto [settings, code] :
       {std::pair{simple, BSN_BAD_PARAMETER}, std::pair{shortNulls, BSN_BAD_PARAMETER},
        std::pair{noVariables, BSN_TOO_FEW_CORR_VARIABLES}})
    EXPECT_EQ(NormalRun(settings, NormalData()).status, KQStatus(code, false));
}
