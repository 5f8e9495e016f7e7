#include <gtest/gtest.h>

#include <cmath>

#include "frame/BSNStatusCodes.h"
#include "onesample/detail/NormalMeanFactors.h"
#include "tests/onesample/OneSampleRun.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using kqtest::ExpectAllNear;
using kqtest::kMissing;
using kqtest::NormalData;
using kqtest::NormalRun;
using Analysis = BSNConst::AnalysTypes;

// Every expected value is a line of tests/reference/normal_onesample.out.
namespace {

constexpr double kTx = 3.0430529581671522;  // t.test(x, mu = 5)$statistic, n = 10
constexpr double kTy = 2.4693848037796871;  // t.test(y, mu = 0)$statistic, n = 9

}  // namespace

TEST(BSN1SampleNormBayesFactor, ClosedFormsAtTheirEdges) {
  // At xbar = mu0 only sqrt(1 + n g) is left, also for a zero variance.
  EXPECT_NEAR_REL(KnownVarianceBf01(10, 0.0, 0.0, 2.0), std::sqrt(21.0), 1e-15);
  EXPECT_EQ(KnownVarianceBf01(10, 0.5, 0.0, 2.0), 0.0);
  // Both t kernels underflow at t = 1e100 with nu = 10, their ratio does not: it tends to (1 + n g)^(-nu/2).
  EXPECT_NEAR_REL(FixedGBf01(11, 1e100, 1.0), std::pow(12.0, -5.0), 1e-13);
  for (double bad : {kMissing, -1.0, 0.0}) {
    EXPECT_EQ(FixedGBf01(10, kTx, bad), kMissing);
    EXPECT_EQ(KnownVarianceBf01(10, 0.6, 0.4, bad), kMissing);
  }
  EXPECT_EQ(FixedGBf01(1, kTx, 1.0), kMissing);  // nu = 0
  EXPECT_EQ(KnownVarianceBf01(10, 0.6, -0.1, 1.0), kMissing);
  EXPECT_EQ(OneSampleTTest(5.0, 0.0, 0.0, 10).t, kMissing);
  EXPECT_EQ(OneSampleTTest(5.0, 0.0, 1.0, 1.5).significance, kMissing);
}

TEST(BSN1SampleNormBayesFactor, JzsByQuadratureAndMonteCarloMatchBayesFactorPackage) {
  // 1/exp(ttest.tstat(t, n1 = n, rscale = 1)$bf) for x against 5 and y against 0
  BSNSettings settings = kqtest::NormalSettings(Analysis::BayesFactor);
  const NormalRun run(settings, NormalData());
  ASSERT_NE(run.Record(), nullptr);
  ExpectAllNear(run.Record()->GetBayesFactors(), {0.21624968196335975, 0.4886867936675855}, 1e-6);

  settings.SetMethodType(BSNConst::MethodTypes::MCA);
  const NormalRun first(settings, NormalData()), second(settings, NormalData());
  ASSERT_NE(first.Record(), nullptr);
  EXPECT_EQ(first.Record()->GetBayesFactors(), second.Record()->GetBayesFactors());  // bit for bit
  // With 10000 draws the relative standard error of D is 0.0043 (200 simulated replicates in R);
  // 0.02 is about 4.6 standard errors.
  EXPECT_NEAR_REL(first.Record()->GetBayesFactors()[0], 0.21624968196335975, 0.02);
  settings.SetRandomSeed(settings.GetRandomSeed() + 1);
  EXPECT_NE(NormalRun(settings, NormalData()).Record()->GetBayesFactors()[0],
            first.Record()->GetBayesFactors()[0]);
}

TEST(BSN1SampleNormBayesFactor, ChoosesTheFactorPerVariable) {
  // Fixed g: sqrt(1+ng) (1 + t^2/((1+ng) nu))^((nu+1)/2) / (1 + t^2/nu)^((nu+1)/2) in R, g = 0.5 and 1.
  BSNSettings settings = kqtest::NormalSettings(Analysis::BayesFactor);
  settings.SetEstBFType(BSNConst::EstBFTypes::Simple);
  settings.SetAlterGValues({0.5, 1.0});
  const NormalRun simple(settings, NormalData());
  ASSERT_NE(simple.Record(), nullptr);
  ExpectAllNear(simple.Record()->GetBayesFactors(), {0.15719797740905728, 0.34377641967258921}, 1e-12);

  // A known variance for x only: x takes the known-variance factor (g = 2), y the Simple one (g = 1).
  // dnorm(xbar, 5, sqrt(0.4/10)) / dnorm(xbar, 5, sqrt(0.4 (1 + 10 * 2)/10)), xbar = 5.62
  settings.SetDataVarVals({0.4, kMissing});
  settings.SetAlterGValues({2.0, 1.0});
  const NormalRun mixed(settings, NormalData());
  ASSERT_NE(mixed.Record(), nullptr);
  ExpectAllNear(mixed.Record()->GetBayesFactors(), {0.047173204100746158, 0.34377641967258921}, 1e-12);

  // Fraction: t values and significances (t.test), no factors; without test values, t.test(x, mu = 0).
  settings.SetDataVarVals({});
  settings.SetEstBFType(BSNConst::EstBFTypes::Fraction);
  const NormalRun fraction(settings, NormalData());
  ASSERT_NE(fraction.Record(), nullptr);
  EXPECT_NEAR_REL(fraction.Record()->GetSigs()[1], 0.038747597318239853, 1e-12);
  EXPECT_EQ(fraction.Record()->GetBayesFactors(), (std::vector<double>{kMissing, kMissing}));
  settings.SetNullValues({});
  const NormalRun zero(settings, NormalData());
  ExpectAllNear({zero.Record()->GetTValues()[0], zero.Record()->GetSigs()[0]},
                {27.583802620805471, 5.2491594814833783e-10}, 1e-11);
}

TEST(BSN1SampleNormBayesFactor, MissingParametersStopTheBuild) {
  BSNSettings simple = kqtest::NormalSettings(Analysis::Both);
  simple.SetEstBFType(BSNConst::EstBFTypes::Simple);  // without AlterGValues
  BSNSettings known = kqtest::NormalSettings(Analysis::BayesFactor);
  known.SetDataVarVals({0.4, 0.5});
  known.SetAlterGValues({1.0});  // one g for two variables
  BSNSettings shortNulls = kqtest::NormalSettings(Analysis::BayesFactor);
  shortNulls.SetNullValues({5.0});
  BSNSettings noVariables = kqtest::NormalSettings(Analysis::Posterior);
  noVariables.SetCovariates({});
  BSNSettings negativeIndex = kqtest::NormalSettings(Analysis::Posterior);
  negativeIndex.SetCovariates({0, -1});
  for (auto [settings, code] :
       {std::pair{simple, BSN_BAD_PARAMETER}, std::pair{known, BSN_BAD_PARAMETER},
        std::pair{shortNulls, BSN_BAD_PARAMETER}, std::pair{noVariables, BSN_TOO_FEW_CORR_VARIABLES},
        std::pair{negativeIndex, BSN_BAD_PARAMETER}}) {
    const NormalRun run(settings, NormalData());
    EXPECT_EQ(run.status.GetErrorCode(), code);
    EXPECT_TRUE(run.status.IsError());
  }
}
