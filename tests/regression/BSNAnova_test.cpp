#include "regression/BSNAnova.h"

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

// Expected values: tests/reference/anova_reference.out (R's lm, anova, confint; BayesFactor's
// linearReg.R2stat; the posteriors with R's distribution functions and matrix algebra), made by
// tests/reference/anova_reference.R. Columns of the data: chick weight, feed code 0 .. 5, regression
// weight w, frequency weight f.

namespace {

const std::vector<ReferenceRow>& Table() {
  static const std::vector<ReferenceRow> rows = ReadReferenceTable("anova_reference.out");
  return rows;
}
std::vector<double> Ref(const std::string& label) { return ReferenceValues(Table(), label); }

Rows Chicks(double offset = 0.0) {
  Rows rows;
  for (const ReferenceRow& row : Table())
    if (row.label == "chick weight, feed code, w, f") {
      rows.push_back(row.values);
      (*rows.back())[0] += offset;
    }
  return rows;
}

KQVarList Vars(double low = 108.0, double high = 423.0, int nCategories = 6) {
  KQVarList vars;
  vars.AddContVar("weight", low, high);
  vars.AddCategVar("feed", nCategories);
  vars.AddContVar("w", 0.5, 2.0);
  vars.AddContVar("f", 1.0, 3.0);
  return vars;
}

BSNSettings AnovaSettings(BSNConst::AnalysTypes type, int nCategories = 6) {
  BSNSettings s;
  s.SetModelType(BSNConst::ModelTypes::Anova, true);
  s.SetDependVar(0);
  s.SetFactors({1});
  s.SetFactorNCategs({nCategories});
  s.SetAnalysType(type);
  s.SetPriorType(BSNConst::PriorTypes::Reference);
  s.SetRegrCompType(BSNConst::RegrCompute::Siow);
  s.SetTolValue(1e-10);
  return s;
}

/// A run over the chick weights' variables unless told otherwise.
struct AnovaRun : RegrRun {
  AnovaRun(const BSNSettings& settings, Rows rows, const KQVarList& vars = Vars())
      : RegrRun(settings, std::move(rows), vars) {}
};

std::vector<double> AnovaTable(const KQMath_850::KQRegANOVA& a) {
  return {a.ssReg, a.dfReg, a.msReg, a.f, a.sig, a.ssRes, a.dfRes, a.msRes, a.ssTotal, a.dfTotal};
}

/// Checks a fit with the reference prior against the rows "<tag> ..." of the table.
void ExpectFitMatchesR(const BSNMultiRegOutputStats& r, const std::string& tag) {
  ExpectAllNear(r.GetLeastSquaresCoefficients(), Ref(tag + " means"), 1e-13);
  const std::vector<double> r2 = Ref(tag + " r2, adj r2");
  EXPECT_NEAR_REL(r.GetRSquared(), r2[0], 1e-12);
  EXPECT_NEAR_REL(r.GetAdjRSquared(), r2[1], 1e-12);
  std::vector<double> table = AnovaTable(r.GetAnova()), expected = Ref(tag + " anova");
  // The significance is compared absolutely: some are far below 1e-15.
  EXPECT_NEAR(table[4], expected[4], 1e-15);
  table[4] = expected[4] = 1.0;
  ExpectAllNear(table, expected, 1e-12);
  EXPECT_NEAR_REL(r.GetSigmaSquared(), expected[7], 1e-12);
  EXPECT_EQ(r.GetRedundancy().InSet(), 6);
  // Reference prior: the means' posterior is centred on the least-squares means with confint's limits.
  const std::vector<double> lower = Ref(tag + " lower 95"), upper = Ref(tag + " upper 95"),
                            variances = Ref(tag + " mean variances");
  ASSERT_EQ(r.GetVarCoeffBayesEstimations().size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    const BayesEstimation& e = r.GetVarCoeffBayesEstimations()[i];
    EXPECT_NEAR_REL(e.mean, Ref(tag + " means")[i], 1e-13) << i;
    EXPECT_NEAR_REL(e.lower, lower[i], 1e-12) << i;
    EXPECT_NEAR_REL(e.upper, upper[i], 1e-12) << i;
    EXPECT_NEAR_REL(e.variance, variances[i], 1e-12) << i;
  }
  const BayesEstimation& s2 = r.GetErrorBayesEstimation();
  ExpectAllNear({s2.mode, s2.mean, s2.variance, s2.lower, s2.upper}, Ref(tag + " sigma2 posterior"), 1e-10);
  // The Zellner-Siow factor of (N, r - 1, R2): linearReg.R2stat less the tail beyond g = 1e6.
  EXPECT_NEAR(std::log(r.GetBayesFactor()), Ref(tag + " zs log BF to 1e6")[0], 1e-8);
  // The record's degrees of freedom are the posterior's nu = N - r.
  EXPECT_EQ(r.GetDF(), expected[6]);
}

}  // namespace

TEST(BSNAnova, MeansAnovaTableIntervalsAndFactorMatchR) {
  const AnovaRun run(AnovaSettings(BSNConst::AnalysTypes::Both), Chicks());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  const BSNMultiRegOutputStats& r = run.Record();
  ExpectFitMatchesR(r, "plain");
  EXPECT_EQ(r.GetModelType(), BSNConst::ModelTypes::Anova);
  EXPECT_EQ(r.GetOutputType(), BSNConst::OutputTypes::OutputAnova);
  EXPECT_FALSE(r.IsLogBayesFactor());
  // The ANOVA table holds the classical F; the record's own F, R2 of a full model and prediction do not.
  EXPECT_TRUE(KQMV::IsMissing(r.GetFStat()) && KQMV::IsMissing(r.GetSig()) &&
              KQMV::IsMissing(r.GetRSquaredFull()));
  EXPECT_TRUE(KQMV::IsMissing(r.GetPredictedBayesEstimation().mean));
  EXPECT_EQ(r.GetRegrParameters().size(), 6u);
}

TEST(BSNAnova, RegressionAndFrequencyWeights) {
  BSNSettings weighted = AnovaSettings(BSNConst::AnalysTypes::Both);
  weighted.SetRegrWeightVar(2);
  const AnovaRun w(weighted, Chicks());
  ASSERT_TRUE(w.status.IsOK()) << w.status.GetErrorCode();
  ExpectFitMatchesR(w.Record(), "weighted");
  // Frequency weights count each chick f times: lm on the repeated records.
  BSNSettings frequency = AnovaSettings(BSNConst::AnalysTypes::Both);
  frequency.SetFrequencyWeightVar(3);
  const AnovaRun f(frequency, Chicks());
  ASSERT_TRUE(f.status.IsOK()) << f.status.GetErrorCode();
  ExpectFitMatchesR(f.Record(), "repeated");
}

TEST(BSNAnova, RouderAndFixedGFactors) {
  // Rouder's prior of scale 0.5: linearReg.R2stat(rscale = 0.5) less the tail beyond 1e6; fixed g = 20:
  // the closed form written in R. A factor-only analysis has no posterior.
  BSNSettings rouder = AnovaSettings(BSNConst::AnalysTypes::BayesFactor);
  rouder.SetRegrCompType(BSNConst::RegrCompute::Rouder);
  rouder.SetRegrComPar(0.5);
  const AnovaRun r(rouder, Chicks());
  ASSERT_TRUE(r.status.IsOK());
  EXPECT_NEAR(std::log(r.Record().GetBayesFactor()), Ref("plain rouder 0.5 log BF to 1e6")[0], 1e-8);
  EXPECT_TRUE(r.Record().GetVarCoeffBayesEstimations().empty());
  EXPECT_EQ(r.Record().GetDF(), 65.0);
  BSNSettings zellner = AnovaSettings(BSNConst::AnalysTypes::BayesFactor);
  zellner.SetRegrCompType(BSNConst::RegrCompute::Zellner);
  zellner.SetRegrComPar(20.0);
  const AnovaRun z(zellner, Chicks());
  ASSERT_TRUE(z.status.IsOK());
  EXPECT_NEAR(std::log(z.Record().GetBayesFactor()), Ref("plain zellner g 20 log BF")[0], 1e-12);
  // A posterior-only analysis has no factor.
  const AnovaRun posterior(AnovaSettings(BSNConst::AnalysTypes::Posterior), Chicks());
  ASSERT_TRUE(posterior.status.IsOK());
  EXPECT_TRUE(KQMV::IsMissing(posterior.Record().GetBayesFactor()));
}

TEST(BSNAnova, ConjugatePosteriorMatchesMatrixAlgebra) {
  BSNSettings s = AnovaSettings(BSNConst::AnalysTypes::Posterior);
  s.SetPriorType(BSNConst::PriorTypes::Conjugate);
  s.SetPriorMeans(std::vector<double>(6, 250.0));
  // V = 100 I, packed lower triangle of 6 x 6.
  std::vector<double> v;
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j <= i; ++j) v.push_back(i == j ? 100.0 : 0.0);
  s.SetPriorCovMatrix(v);
  s.SetPriorShape(2.0);
  s.SetPriorScale(1000.0);
  const AnovaRun run(s, Chicks());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  const std::vector<BayesEstimation>& e = run.Record().GetVarCoeffBayesEstimations();
  const std::vector<double> means = Ref("conjugate means"), lower = Ref("conjugate lower"),
                            upper = Ref("conjugate upper");
  ASSERT_EQ(e.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_NEAR_REL(e[i].mean, means[i], 1e-11) << i;
    EXPECT_NEAR_REL(e[i].lower, lower[i], 1e-11) << i;
    EXPECT_NEAR_REL(e[i].upper, upper[i], 1e-11) << i;
  }
  const BayesEstimation& s2 = run.Record().GetErrorBayesEstimation();
  // b* = b0 + (y'Wy + mu0'V^-1 mu0 - mu*'A mu*)/2 loses about 7 of y'Wy's digits (y'Wy = 4.8e6 against
  // b* - b0 = 9.4e4).
  ExpectAllNear({s2.mode, s2.mean, s2.variance, s2.lower, s2.upper},
                Ref("conjugate sigma2 mode, mean, variance, lower, upper"), 1e-9);
}

TEST(BSNAnova, DataFarFromZeroKeepTheirDigits) {
  // y + 1e9 (exact: the weights are whole grams) has the same sums of squares, R2, F, p and factor, and
  // means and limits moved by 1e9. Expected: the unshifted R values.
  BSNSettings s = AnovaSettings(BSNConst::AnalysTypes::Both);
  s.SetRegrWeightVar(2);
  const AnovaRun far(s, Chicks(1e9), Vars(1e9 + 108.0, 1e9 + 423.0));
  ASSERT_TRUE(far.status.IsOK()) << far.status.GetErrorCode();
  const BSNMultiRegOutputStats& r = far.Record();
  std::vector<double> table = AnovaTable(r.GetAnova()), expected = Ref("weighted anova");
  EXPECT_NEAR(table[4], expected[4], 1e-15);
  table[4] = expected[4] = 1.0;
  ExpectAllNear(table, expected, 1e-10);
  EXPECT_NEAR_REL(r.GetRSquared(), Ref("weighted r2, adj r2")[0], 1e-10);
  EXPECT_NEAR(std::log(r.GetBayesFactor()), Ref("weighted zs log BF to 1e6")[0], 1e-8);
  const BayesEstimation& s2 = r.GetErrorBayesEstimation();
  EXPECT_NEAR_REL(s2.mean, Ref("weighted sigma2 posterior")[1], 1e-10);
  const std::vector<double> means = Ref("weighted means"), lower = Ref("weighted lower 95");
  for (std::size_t i = 0; i < 6; ++i) {
    const BayesEstimation& e = r.GetVarCoeffBayesEstimations()[i];
    // Means near 1e9 carry about 1e-7 of rounding; the interval's half width keeps its digits.
    EXPECT_NEAR(e.mean - 1e9, means[i], 1e-6) << i;
    EXPECT_NEAR_REL(e.mean - e.lower, means[i] - lower[i], 1e-8) << i;
  }
}

TEST(BSNAnova, CategoryCodesAreTruncatedAfterAddingATenth) {
  // Codes 2.95 -> 3 and 2.85 -> 2; -0.5, 4 and 7.2 are no category of four and are skipped. By hand:
  // category 2 = {1, 3}, mean 2; category 3 = {10, 14}, mean 12; categories 0 and 1 as given.
  const Rows rows = {std::vector<double>{5, 0},    std::vector<double>{7, 0},
                     std::vector<double>{20, 1},   std::vector<double>{1, 2},
                     std::vector<double>{3, 2.85}, std::vector<double>{10, 2.95},
                     std::vector<double>{14, 3},   std::vector<double>{99, -0.5},
                     std::vector<double>{99, 4},   std::vector<double>{99, 7.2}};
  const AnovaRun run(AnovaSettings(BSNConst::AnalysTypes::BayesFactor, 4), rows, Vars(1, 99, 4));
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  ExpectAllNear(run.Record().GetLeastSquaresCoefficients(), {6, 20, 2, 12}, 1e-15);
  // N = 7 records, r = 4: SSE = 2 + 0 + 2 + 8 = 12 on 3 df; mean 60/7.
  EXPECT_EQ(run.Record().GetAnova().dfRes, 3.0);
  EXPECT_NEAR_REL(run.Record().GetAnova().ssRes, 12.0, 1e-15);
}

TEST(BSNAnova, TooFewCategoriesWithCasesAndOtherRefusals) {
  // Two categories, only one with cases: r = 1.
  const Rows oneUsed = {std::vector<double>{1, 0}, std::vector<double>{2, 0}, std::vector<double>{4, 0}};
  const AnovaRun r1(AnovaSettings(BSNConst::AnalysTypes::Both, 2), oneUsed, Vars(1, 4, 2));
  EXPECT_EQ(r1.status.GetErrorCode(), BSN_NO_NONREDUNDANT_PREDICTORS);
  EXPECT_EQ(r1.component.GetOutputStats(), nullptr);
  // All cases in one category of three; a factor of a single category.
  EXPECT_EQ(
      AnovaRun(AnovaSettings(BSNConst::AnalysTypes::Both, 3), oneUsed, Vars(1, 4, 3)).status.GetErrorCode(),
      BSN_NO_NONREDUNDANT_PREDICTORS);
  EXPECT_EQ(
      AnovaRun(AnovaSettings(BSNConst::AnalysTypes::Both, 1), oneUsed, Vars(1, 4, 1)).status.GetErrorCode(),
      BSN_NO_NONREDUNDANT_PREDICTORS);
  // A dependent that is not continuous, one that is constant, and 5000 categories.
  BSNSettings categorical = AnovaSettings(BSNConst::AnalysTypes::Both);
  categorical.SetDependVar(1);
  categorical.SetFactors({0});
  EXPECT_EQ(AnovaRun(categorical, Chicks()).status.GetErrorCode(), BSN_INTERNAL_ERROR);
  EXPECT_EQ(AnovaRun(AnovaSettings(BSNConst::AnalysTypes::Both), Chicks(), Vars(5, 5)).status.GetErrorCode(),
            BSN_CONSTANT_DEPENDENT);
  EXPECT_EQ(AnovaRun(AnovaSettings(BSNConst::AnalysTypes::Both, 5000), Chicks(), Vars(108, 423, 5000))
                .status.GetErrorCode(),
            BSN_TOO_MANY_PARAMETERS);
}

TEST(BSNAnova, PerfectFitHasNoFAndWarnsUnlessZellner) {
  // Every case at its category mean: SSE = 0, R2 = 1, F and its significance missing.
  const Rows rows = {std::vector<double>{1, 0}, std::vector<double>{1, 0}, std::vector<double>{3, 1},
                     std::vector<double>{3, 1}, std::vector<double>{8, 2}};
  const AnovaRun siow(AnovaSettings(BSNConst::AnalysTypes::BayesFactor, 3), rows, Vars(1, 8, 3));
  ASSERT_TRUE(siow.status.IsOK());
  const BSNMultiRegOutputStats& r = siow.Record();
  EXPECT_EQ(r.GetRSquared(), 1.0);
  EXPECT_TRUE(KQMV::IsMissing(r.GetAnova().f) && KQMV::IsMissing(r.GetAnova().sig));
  EXPECT_TRUE(KQMV::IsMissing(r.GetBayesFactor()));
  EXPECT_EQ(siow.Codes(), std::vector<int>{BSN_PERFECT_FIT});
  // Zellner's fixed g has a factor at R2 = 1: ln BF = ((N - r)/2) ln(1 + g) = ln(1 + 4) for N = 5, r = 3.
  BSNSettings zellner = AnovaSettings(BSNConst::AnalysTypes::BayesFactor, 3);
  zellner.SetRegrCompType(BSNConst::RegrCompute::Zellner);
  zellner.SetRegrComPar(4.0);
  const AnovaRun z(zellner, rows, Vars(1, 8, 3));
  ASSERT_TRUE(z.status.IsOK());
  EXPECT_TRUE(z.Codes().empty());
  EXPECT_NEAR_REL(z.Record().GetBayesFactor(), 5.0, 1e-14);
}

TEST(BSNAnova, LightCategoryIsRedundantAndRSquaredIsNotClamped) {
  // Tolerance 0.5: the category of weight 0.25 is redundant (mean 0) and its case stays in the residual
  // sum, so that SSE > SST and R2 < 0 (values from the closed forms in the R script).
  const Rows rows = {std::vector<double>{0, 0, 1}, std::vector<double>{1, 0, 1}, std::vector<double>{0, 1, 1},
                     std::vector<double>{1, 1, 1}, std::vector<double>{10, 2, 0.25}};
  BSNSettings s = AnovaSettings(BSNConst::AnalysTypes::BayesFactor, 3);
  s.SetTolValue(0.5);
  s.SetRegrWeightVar(2);
  const AnovaRun run(s, rows, Vars(0, 10, 3));
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  const BSNMultiRegOutputStats& r = run.Record();
  const std::vector<double> expected = Ref("light category sse, sst, r2");
  EXPECT_NEAR_REL(r.GetAnova().ssRes, expected[0], 1e-14);
  EXPECT_NEAR_REL(r.GetAnova().ssTotal, expected[1], 1e-14);
  EXPECT_NEAR_REL(r.GetRSquared(), expected[2], 1e-13);
  EXPECT_FALSE(r.GetRedundancy().IsIn(2));
  EXPECT_EQ(r.GetLeastSquaresCoefficients()[2], 0.0);
  EXPECT_EQ(r.GetAnova().dfReg, 1.0);
}

TEST(BSNAnova, RecordKeepsTheCurvesOfThePlottedCategoriesAndOfTheErrorVariance) {
  BSNSettings s = AnovaSettings(BSNConst::AnalysTypes::Posterior);
  s.SetPlotFactorCats({0, 2});
  s.SetNPlotPoints(401);
  s.SetPlotDomainLevel(0.01);
  const AnovaRun run(s, Chicks());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  const BSNMultiRegOutputStats& r = run.Record();
  const auto& args = r.GetParamsArgumentsPlots4Posterior();
  const auto& curves = r.GetPosteriorParamPlots();
  ASSERT_EQ(curves.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    const bool plotted = i == 0 || i == 2;
    EXPECT_EQ(curves[i].size(), plotted ? 401u : 0u) << i;
    if (!plotted) continue;
    // The grid spans the central 99% of the posterior t: the trapezoid rule over it gives about 0.99.
    double mass = 0.0;
    for (std::size_t k = 1; k < args[i].size(); ++k)
      mass += (args[i][k] - args[i][k - 1]) * (curves[i][k] + curves[i][k - 1]) / 2.0;
    EXPECT_NEAR(mass, 0.99, 1e-4) << i;
  }
  EXPECT_EQ(r.GetPosteriorErrorVarPlot().size(), 401u);
  // No prediction in a one-factor model.
  EXPECT_TRUE(r.GetPosteriorPredictedPlot().empty() && r.GetArgumentPredictedPlot4Posterior().empty());
}
