#include "regression/BSNMultipleRegr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "companion/KQMV.h"
#include "frame/BSNComponent.h"
#include "frame/BSNStatusCodes.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "tests/regression/CarsFixture.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/Fakes.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using namespace kqtest;

// Expected values: tests/reference/regression_fit.out (R's lm, anova, confint, predict; BayesFactor).
// The data and the run: tests/regression/CarsFixture.h.

namespace {

const std::vector<ReferenceRow>& Table() {
  static const std::vector<ReferenceRow> rows = ReadReferenceTable("regression_fit.out");
  return rows;
}
std::vector<double> Ref(const std::string& label) { return ReferenceValues(Table(), label); }

/// Checks the fit against the rows "<tag> ..." of the reference table.
void ExpectFitMatchesR(const BSNMultiRegOutputStats& r, const std::string& tag) {
  const std::vector<double> stats = Ref(tag + " r2, adj r2, F, p");
  const std::vector<double> sums = Ref(tag + " ss reg, df reg, ss res, df res, ss total, df total");
  const KQMath_850::KQRegANOVA& a = r.GetAnova();
  ExpectAllNear({r.GetRSquared(), r.GetAdjRSquared(), a.f}, {stats[0], stats[1], stats[2]}, 1e-11);
  // The significance is compared absolutely: some are far below 1e-15.
  EXPECT_NEAR(a.sig, stats[3], 1e-15);
  ExpectAllNear({a.ssReg, a.dfReg, a.ssRes, a.dfRes, a.ssTotal, a.dfTotal}, sums, 1e-11);
  EXPECT_NEAR_REL(r.GetSigmaSquared(), Ref(tag + " sigma2")[0], 1e-11);
  EXPECT_NEAR_REL(a.msRes, Ref(tag + " sigma2")[0], 1e-11);
  // The redundant indicator (the last category, 8 cylinders) has coefficient 0.
  ExpectAllNear(r.GetLeastSquaresCoefficients(), Ref(tag + " coefficients"), 1e-10);
  EXPECT_FALSE(r.GetRedundancy().IsIn(3));
  EXPECT_EQ(r.GetRedundancy().InSet(), 5);
}

}  // namespace

TEST(BSNMultipleRegr, FitAnovaAndReferenceIntervalsMatchLm) {
  const RegrRun run(CarSettings(BSNConst::AnalysTypes::Both), Cars());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  const BSNMultiRegOutputStats& r = run.Record();
  ExpectFitMatchesR(r, "plain");
  // Reference-prior intervals are confint(lm); the redundant parameter has mode = mean = 0 only.
  const std::vector<double> lower = Ref("plain lower 95"), upper = Ref("plain upper 95");
  for (int i : {0, 1, 2, 4, 5}) {
    EXPECT_NEAR_REL(r.GetVarCoeffBayesEstimations()[i].lower, lower[i], 1e-10) << i;
    EXPECT_NEAR_REL(r.GetVarCoeffBayesEstimations()[i].upper, upper[i], 1e-10) << i;
  }
  const BayesEstimation& redundant = r.GetVarCoeffBayesEstimations()[3];
  EXPECT_TRUE(redundant.mean == 0.0 && KQMV::IsMissing(redundant.variance) &&
              KQMV::IsMissing(redundant.lower));
  // The Zellner-Siow factor of (N = 32, p = 4, the fit's R2): linearReg.R2stat less the tail beyond 1e6.
  EXPECT_NEAR(std::log(r.GetBayesFactor()), Ref("plain zs log BF to 1e6")[0], 1e-8);
  EXPECT_FALSE(r.IsLogBayesFactor());
  // The posterior's overall F is the classical F of all five coefficients (intercept included) on
  // (5, 27) degrees of freedom; the record's degrees of freedom are nu = N - r.
  EXPECT_EQ(r.GetDF(), 27.0);
}

TEST(BSNMultipleRegr, RegressionAndFrequencyWeights) {
  BSNSettings weighted = CarSettings(BSNConst::AnalysTypes::Posterior);
  weighted.SetRegrWeightVar(4);
  const RegrRun w(weighted, Cars());
  ASSERT_TRUE(w.status.IsOK());
  ExpectFitMatchesR(w.Record(), "weighted");
  // Frequency weights count each car f times: lm on the repeated records.
  BSNSettings frequency = CarSettings(BSNConst::AnalysTypes::Posterior);
  frequency.SetFrequencyWeightVar(5);
  const RegrRun f(frequency, Cars());
  ASSERT_TRUE(f.status.IsOK());
  ExpectFitMatchesR(f.Record(), "repeated");
  const std::vector<double> lower = Ref("repeated lower 95");
  EXPECT_NEAR_REL(f.Record().GetVarCoeffBayesEstimations()[4].lower, lower[4], 1e-10);
}

TEST(BSNMultipleRegr, PredictionAndFTestUnderTheReferencePrior) {
  BSNSettings s = CarSettings(BSNConst::AnalysTypes::Posterior);
  // Regressors: the factor's value first (cyl code 1 = 6 cylinders), then wt = 3 and hp = 120.
  s.SetRegressors({1.0, 3.0, 120.0});
  s.SetFTests({BayesFTest(false, {1, 2}, {}, "wt and hp")});
  const RegrRun run(s, Cars());
  ASSERT_TRUE(run.status.IsOK());
  const BSNMultiRegOutputStats& r = run.Record();
  const std::vector<double> prediction = Ref("plain prediction fit, lower, upper");
  const BayesEstimation& p = r.GetPredictedBayesEstimation();
  ExpectAllNear({p.mean, p.lower, p.upper}, prediction, 1e-10);
  ASSERT_EQ(r.GetFTestResults().size(), 1u);
  const std::vector<double> fTest = Ref("plain F test wt = hp = 0, F, p");
  ExpectAllNear({r.GetFTestResults()[0].GetWald(), r.GetFTestResults()[0].GetSig()}, fTest, 1e-9);
  EXPECT_EQ(r.GetFTestResults()[0].GetDF(), 2.0);
  // A predictor that is in neither list skips its test with a warning.
  s.SetFTests({BayesFTest(false, {5}, {}, "f")});
  const RegrRun missing(s, Cars());
  EXPECT_EQ(missing.Codes(), std::vector<int>{BSN_PREDICTOR_NOT_FOUND});
}

TEST(BSNMultipleRegr, ConjugatePosteriorMatchesRMatrixAlgebra) {
  BSNSettings s = CarSettings(BSNConst::AnalysTypes::Posterior);
  s.SetFactors({});
  s.SetFactorNCategs({});
  s.SetPriorType(BSNConst::PriorTypes::Conjugate);
  s.SetPriorShape(2.0);
  s.SetPriorScale(10.0);
  s.SetPriorMeans({30.0, -3.0, 0.0});
  // V packed by rows of its lower triangle: (0,0), (1,0), (1,1), (2,0), (2,1), (2,2).
  s.SetPriorCovMatrix({10.0, 0.5, 1.0, 0.0, 0.0, 0.01});
  const RegrRun run(s, Cars());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  EXPECT_TRUE(run.Codes().empty());
  const BSNMultiRegOutputStats& r = run.Record();
  const std::vector<double> mean = Ref("conjugate mean"), variance = Ref("conjugate variance"),
                            lower = Ref("conjugate lower"), upper = Ref("conjugate upper");
  for (std::size_t i = 0; i < 3; ++i) {
    const BayesEstimation& e = r.GetVarCoeffBayesEstimations()[i];
    ExpectAllNear({e.mode, e.mean, e.variance, e.lower, e.upper},
                  {mean[i], mean[i], variance[i], lower[i], upper[i]}, 1e-10);
  }
  const BayesEstimation& s2 = r.GetErrorBayesEstimation();
  ExpectAllNear({s2.mode, s2.mean, s2.variance, s2.lower, s2.upper},
                Ref("conjugate sigma2 mode, mean, variance, lower, upper"), 1e-10);
  ExpectAllNear({r.GetFStat(), r.GetSig()}, Ref("conjugate overall F, p"), 1e-9);
  // A prior matrix of the wrong packed length: the identity, and a warning saying so.
  s.SetPriorCovMatrix({1.0, 0.0, 1.0});
  EXPECT_EQ(RegrRun(s, Cars()).Codes(), std::vector<int>{BSN_BAD_PRIOR_MATRIX_SIZE});
  s.SetPriorMeans({1.0});
  EXPECT_EQ(RegrRun(s, Cars()).status.GetErrorCode(), BSN_BAD_PRIOR_MEANS_LENGTH);
}

TEST(BSNMultipleRegr, ErrorsBeforeThePassAndPerfectFit) {
  const BSNSettings s = CarSettings(BSNConst::AnalysTypes::Both);
  KQVarList constant;
  constant.AddContVar("mpg", 20, 20);
  EXPECT_EQ(RegrRun(s, Cars(), constant).status.GetErrorCode(), BSN_CONSTANT_DEPENDENT);
  KQVarList flat = CarVars();
  BSNSettings noPredictors = s;
  noPredictors.SetFactorNCategs({1});
  KQVarList constantCovariates;
  constantCovariates.AddContVar("mpg", 10, 30);
  constantCovariates.AddContVar("wt", 3, 3);
  constantCovariates.AddContVar("hp", 1, 1);
  EXPECT_EQ(RegrRun(noPredictors, Cars(), constantCovariates).status.GetErrorCode(),
            BSN_NO_NONREDUNDANT_PREDICTORS);
  // 4999 parameters are accepted, 5000 are not (intercept + 4999 categories).
  BSNSettings tooMany = s;
  tooMany.SetFactorNCategs({4999});
  EXPECT_EQ(RegrRun(tooMany, Cars()).status.GetErrorCode(), BSN_TOO_MANY_PARAMETERS);
  // y = 2 + 3 x exactly: R2 = 1, no F, no factor and a warning.
  std::vector<std::optional<std::vector<double>>> rows;
  for (double x : {1.0, 2.0, 3.0, 4.0, 5.0}) rows.push_back(std::vector<double>{2.0 + 3.0 * x, x});
  KQVarList line;
  line.AddContVar("y", 5, 17);
  line.AddContVar("x", 1, 5);
  BSNSettings perfect = s;
  perfect.SetFactors({});
  perfect.SetFactorNCategs({});
  perfect.SetCovariates({1});
  const RegrRun fit(perfect, rows, line);
  ASSERT_FALSE(fit.status.IsError());
  EXPECT_EQ(fit.Record().GetRSquared(), 1.0);
  EXPECT_TRUE(KQMV::IsMissing(fit.Record().GetAnova().f) && KQMV::IsMissing(fit.Record().GetBayesFactor()));
  EXPECT_EQ(fit.Codes().front(), BSN_PERFECT_FIT);
}

TEST(BSNMultipleRegr, MissingValuesAreScreenedListwise) {
  // A car with a missing hp and one with a missing weight change nothing.
  std::vector<std::optional<std::vector<double>>> rows = Cars();
  rows.push_back(std::vector<double>{40.0, 2.0, KQMV::Missing(), 0.0, 1.0, 1.0, 0.0});
  rows.push_back(std::vector<double>{40.0, 2.0, 100.0, 0.0, KQMV::Missing(), 1.0, 0.0});
  BSNSettings weighted = CarSettings(BSNConst::AnalysTypes::Posterior);
  weighted.SetRegrWeightVar(4);
  const RegrRun run(weighted, rows);
  ASSERT_TRUE(run.status.IsOK());
  ExpectFitMatchesR(run.Record(), "weighted");
}

TEST(BSNMultipleRegr, SparseRowsOfAManyLevelFactorFitAsLm) {
  const BSNSettings s = WithCarbAndWeight(CarSettings(BSNConst::AnalysTypes::BayesFactor));
  const RegrRun run(s, Cars());
  ASSERT_TRUE(run.status.IsOK());
  const std::vector<double> expected = Ref("sparse r2, coefficients");
  EXPECT_NEAR_REL(run.Record().GetRSquared(), expected[0], 1e-11);
  ExpectAllNear(run.Record().GetLeastSquaresCoefficients(),
                std::vector<double>(expected.begin() + 1, expected.end()), 1e-10);
}

TEST(BSNMultipleRegr, FullModelComparison) {
  // mpg on wt against the full model on wt, hp and cyl: both R squared from lm and the Zellner-Siow
  // factor from R's integrate() of the same integral over g in [eps, 1e6].
  BSNSettings s = CarSettings(BSNConst::AnalysTypes::BayesFactor);
  s.SetFactors({});
  s.SetFactorNCategs({});
  s.SetCovariates({1});
  s.SetCompareType(BSNConst::CompareTypes::Full);
  s.SetFullModFactors({3});
  s.SetFullModFactorNCategs({3});
  s.SetFullModCovariates({1, 2});
  const RegrRun run(s, Cars());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  const std::vector<double> expected = Ref("full r2 reduced, full, zs log BF to 1e6");
  EXPECT_NEAR_REL(run.Record().GetRSquared(), expected[0], 1e-11);
  EXPECT_NEAR_REL(run.Record().GetRSquaredFull(), expected[1], 1e-11);
  EXPECT_NEAR(std::log(run.Record().GetBayesFactor()), expected[2], 1e-8);
  // A full model too large to fit: no factor, a warning, the fit itself unchanged.
  s.SetFullModFactorNCategs({5000});
  const RegrRun large(s, Cars());
  EXPECT_TRUE(KQMV::IsMissing(large.Record().GetBayesFactor()));
  EXPECT_EQ(large.Codes(), std::vector<int>{BSN_FULL_MODEL_TOO_MANY_PARAMETERS});
  EXPECT_NEAR_REL(large.Record().GetRSquared(), expected[0], 1e-11);
}

TEST(BSNMultipleRegr, ConjugatePosteriorLeavesARedundantParameterOut) {
  // With the cyl factor the last indicator is redundant: the posterior is that of the design without it
  // (R's matrix algebra on the five kept columns), and the redundant parameter's mean is 0.
  BSNSettings s = CarSettings(BSNConst::AnalysTypes::Posterior);
  s.SetPriorType(BSNConst::PriorTypes::Conjugate);
  s.SetPriorShape(2.0);
  s.SetPriorScale(10.0);
  s.SetPriorMeans({20.0, 0.0, 0.0, 5.0, -3.0, 0.0});  // the redundant parameter's entries are not used
  std::vector<double> packed(21, 0.0);
  const std::vector<double> diagonal{100.0, 10.0, 10.0, 7.0, 1.0, 0.01};
  for (int i = 0; i < 6; ++i)
    packed[static_cast<std::size_t>(i * (i + 1) / 2 + i)] = diagonal[static_cast<std::size_t>(i)];
  packed[6] = 0.5;  // V(3, 0), the redundant parameter's covariance with the intercept: also unused
  s.SetPriorCovMatrix(packed);
  const RegrRun run(s, Cars());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  std::vector<double> means;
  for (const BayesEstimation& e : run.Record().GetVarCoeffBayesEstimations()) means.push_back(e.mean);
  ExpectAllNear(means, Ref("conjugate redundant mean"), 1e-10);
  EXPECT_NEAR_REL(run.Record().GetErrorBayesEstimation().mean, Ref("conjugate redundant sigma2 mean")[0],
                  1e-10);
}
