#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "frame/BSNStatusCodes.h"
#include "onesample/BSN1SampleBinoOutputStats.h"
#include "onesample/BSN1SamplePoisnOutputStats.h"
#include "tests/onesample/OneSampleRun.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::AnalysTypes;
using namespace kqtest;
using Stats = BSN1SampleBinoOutputStats;
using Built = BuiltAnalysis<Stats>;

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();

/// Binomial settings with Beta(1, 1) alternative and posterior priors.
BSNSettings Settings(AnalysTypes type, int nVars) {
  return ConjugateSettings(BSNConst::DistTypes::Binomial, type, nVars, 1.0, 1.0);
}

}  // namespace

TEST(BSN1SampleBinomial, BayesFactorsMatchClosedForms) {
  BSNSettings settings = Settings(AnalysTypes::BayesFactor, 3);
  settings.SetNullPrior1s({kMissing, 3.0, 4.0});  // variable 0 takes the default Beta(2, 2)
  settings.SetNullPrior2s({kMissing, 5.0, 4.0});
  settings.SetAlterPrior1s({1.0, 0.5, 4.0});
  settings.SetAlterPrior2s({1.0, 0.5, 4.0});
  // Variable 1 also holds a negative and a missing value, counted for neither it nor the others.
  const Built run(settings, FromColumns({{1, 0, 1, 0, 1, 0, 1, 0, 1, 0},
                                         {1, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1, 0, kMissing},
                                         {1, 1, 2}}));
  const Stats& stats = *run.Record();
  // s = 5 of n = 10, Beta(2, 2) against Beta(1, 1): B(7,7)/B(2,2) / (B(6,6)/B(1,1)) = 18/13 by hand.
  // s = 3 of n = 11, Beta(3, 5) against Beta(0.5, 0.5):
  // R: print(exp(lbeta(6, 13) - lbeta(3, 5) - lbeta(3.5, 8.5) + lbeta(0.5, 0.5)), digits = 17)
  // Equal priors: log BF01 = 0 exactly.
  ExpectAllNear(stats.GetBayesFactors(), {18.0 / 13.0, 2.53455543953282, 1.0}, 1e-13);
  EXPECT_EQ((std::vector{stats.GetNs(), stats.GetCat1Ns(), stats.GetCat2Ns()}),
            (std::vector<std::vector<int>>{{10, 11, 3}, {5, 8, 0}, {5, 3, 3}}));
  EXPECT_TRUE(run.ListedWarnings().empty());
}

TEST(BSN1SampleBinomial, PosteriorSummariesAndLimits) {
  BSNSettings settings = Settings(AnalysTypes::Posterior, 3);
  // s = 3 of 10; s = 0 of 5; a value of 2 counts two successes: s = 3 of n = 3.
  const Rows rows = FromColumns({{1, 0, 0, 1, 0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0}, {0, 2, 1}});
  const Built run(settings, rows);
  const Stats* s = run.Record();
  // Posteriors Beta(4, 8), Beta(1, 6) and Beta(4, 1): mode (a - 1)/(a + b - 2) clamped to [0, 1], mean
  // a/(a + b), variance ab/((a + b)^2 (a + b + 1)) by hand; limits R: print(qbeta(c(0.025, 0.975), a, b),
  // digits = 17).
  const std::vector<double> expected[3] = {
      {0.3, 1.0 / 3.0, 32.0 / 1872.0, 0.1092634438190981, 0.60974255957242118},
      {0.0, 1.0 / 7.0, 6.0 / 392.0, 0.0042107445144894699, 0.45925812643990038},
      {1.0, 0.8, 4.0 / 150.0, 0.39763536438352531, 0.99369053679029018}};
  for (std::size_t i = 0; i < 3; ++i)
    ExpectAllNear({s->GetModeValues()[i], s->GetMeanValues()[i], s->GetVarianceValues()[i],
                   s->GetLowerLimits()[i], s->GetUpperLimits()[i]},
                  expected[i], 1e-13);
  // A 90 % interval. R: print(qbeta(c(0.05, 0.95), 4, 8), digits = 17)
  settings.SetCILevel(90.0);
  const Built ninety(settings, rows);
  ExpectAllNear({ninety.Record()->GetLowerLimits()[0], ninety.Record()->GetUpperLimits()[0]},
                {0.13507547291964123, 0.56437418828923014}, 1e-13);
}

TEST(BSN1SampleBinomial, ModeFollowsTheShapeOfTheDensity) {
  // Prior Beta(0.5, 0.5): posteriors Beta(1, 1), Beta(0.5, 1.5), Beta(1.5, 0.5), Beta(1.5, 1.5).
  BSNSettings settings =
      ConjugateSettings(BSNConst::DistTypes::Binomial, AnalysTypes::Posterior, 4, 0.5, 0.5);
  const Built run(settings, FromColumns({{0.5}, {0}, {1}, {1, 0}}));
  EXPECT_EQ(run.Record()->GetModeValues(), (std::vector<double>{kMissing, 0.0, 1.0, 0.5}));
}

TEST(BSN1SampleBinomial, PlotCurvesSpanTheUnitInterval) {
  BSNSettings settings =
      ConjugateSettings(BSNConst::DistTypes::Binomial, AnalysTypes::Posterior, 2, 2.0, 3.0);
  settings.SetNPlotPoints(3);
  // Variable 0: s = 3 of n = 10, posterior Beta(5, 10). Variable 1: 60 of 60, posterior Beta(62, 3).
  const Built run(settings, FromColumns({{1, 1, 1, 0, 0, 0, 0, 0, 0, 0}, std::vector<double>(60, 1.0)}));
  const Stats& stats = *run.Record();
  // (1 - 2 eps) / 2 + eps = 0.5 exactly.
  EXPECT_EQ(stats.GetPlotArguments()[0], (std::vector<double>{kEps, 0.5, 1.0 - kEps}));
  // R: print(c(3*log(eps) + 7*log1p(-eps), 10*log(0.5), 3*log1p(-eps) + 7*log(eps)), digits = 17)
  ExpectAllNear(stats.GetPlotLikelihoods()[0],
                {-108.13096016735146, -6.9314718055994531, -252.30557372382009}, 1e-14);
  // R: print(dbeta(c(eps, 0.5, 1 - eps), 5, 10), digits = 17); the prior is drawn by the same density.
  ExpectAllNear(stats.GetPlotPosterior()[0],
                {2.4332962082574155e-59, 1.2219238281249998, 1.31339726243645e-137}, 1e-13);
  // Beta(62, 3) at eps: ln density about 61 ln(eps) = -2198, below the exponent range: 0.
  EXPECT_EQ(stats.GetPlotPosterior()[1][0], 0.0);
}

TEST(BSN1SampleBinomial, HugeSampleStoresTheLogFactor) {
  BSNSettings settings = Settings(AnalysTypes::Both, 2);
  settings.SetFrequencyWeightVar(2);
  settings.SetNullPrior1s({1000.0, 1.0});
  settings.SetNullPrior2s({9000.0, 1.0});
  const Built run(settings, {std::vector<double>{1, 1, 1e6}, std::vector<double>{0, 1, 1e6}});
  // R: print(lbeta(1e6 + 1000, 1e6 + 9000) - lbeta(1000, 9000) - lbeta(1e6 + 1, 1e6 + 1) + lbeta(1, 1),
  //          digits = 17)
  ExpectAllNear(run.Record()->GetBayesFactors(), {-3660.8556480419356, 1.0}, 1e-11);
  EXPECT_EQ(run.Record()->GetIsLogBayesFactor(), (std::vector<bool>{true, false}));
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_LOG_FACTOR, 0}}));
}

TEST(BSN1SampleBinomial, VariablesWithoutCasesOrPriorWarn) {
  BSNSettings settings = Settings(AnalysTypes::Both, 4);
  settings.SetAlterPrior1s({1.0, 1.0, kMissing, 1.0});
  settings.SetAlterPrior2s({1.0, 1.0, 1.0});  // too short for variable 3
  const Built run(settings, FromColumns({{1, 0}, {kMissing, -1, kMissing}, {1, 0}, {1, 0}}));
  // Each variable's prior warning is listed by the calculator; the build lists the one it returns, the
  // last. A variable without cases is too small for the factor and for the posterior.
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_SAMPLE_TOO_SMALL, 1},
                                            {BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 2},
                                            {BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 3},
                                            {BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 3},
                                            {BSN_SAMPLE_TOO_SMALL, 1}}));
  // s = 1 of 2, Beta(2, 2) against Beta(1, 1): B(3,3)/B(2,2) / B(2,2) = (1/30)/(1/6)/(1/6) = 6/5 by hand.
  ExpectAllNear(run.Record()->GetBayesFactors(), {1.2, kMissing, kMissing, kMissing}, 1e-14);
  EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetCat1Props()[1]));
  EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetMeanValues()[1]));
  EXPECT_TRUE(run.Record()->GetPlotArguments()[1].empty());
}

TEST(BSN1SampleBinomial, ErrorsLeaveNoRecord) {
  // A prior that is not conjugate.
  BSNSettings reference = Settings(AnalysTypes::Posterior, 1);
  reference.SetPriorType(BSNConst::PriorTypes::Reference);
  EXPECT_EQ(Built(reference, FromColumns({{1, 0}})).status, KQStatus(BSN_PRIOR_NOT_SUPPORTED, false));
  // For Both the Bayes-factor step has run; its warnings stay listed.
  BSNSettings noParameter = Settings(AnalysTypes::Both, 2);
  noParameter.SetPriorParam2(kMissing);
  const Built bad(noParameter, FromColumns({{1, 0}, {kMissing}}));
  EXPECT_EQ(bad.status, KQStatus(BSN_BAD_PARAMETER, false));
  EXPECT_EQ(bad.ListedWarnings(), (Warnings{{BSN_SAMPLE_TOO_SMALL, 1}}));
}

TEST(BSN1SampleBinomial, CountsBeyondTheIntRangeAreFlagged) {
  // Weights of 3e9 and 2e9: 5e9 trials, more than the record's int count can show.
  BSNSettings settings = Settings(AnalysTypes::Both, 1);
  settings.SetFrequencyWeightVar(1);
  const Built run(settings, FromColumns({{1, 0}, {3e9, 2e9}}));
  ASSERT_FALSE(run.status.IsError());
  const Warnings listed = run.ListedWarnings();
  EXPECT_EQ(std::count(listed.begin(), listed.end(), std::pair<int, long>{BSN_COUNT_TOO_LARGE, 0}), 1);
  EXPECT_EQ(run.Record()->GetNs()[0], std::numeric_limits<int>::max());
}

namespace {

// The credible limits of variable 0 of a binomial or Poisson record.
template <class Record>
std::pair<double, double> Limits(const BSNOutputStats* stats) {
  const auto* record = dynamic_cast<const Record*>(stats);
  if (record == nullptr) return {kMissing, kMissing};
  return {record->GetLowerLimits()[0], record->GetUpperLimits()[0]};
}

}  // namespace

TEST(CountAnalyses, HugeWeightsAndPriorParametersFinish) {
  // Frequency weights, posterior or alternative prior parameters of 1e10 to 1e302 once made Boost.Math
  // throw out of the library or its root searches fail. Every build must end with a status, limits that
  // are missing or ordered inside the support, and warnings that have a text.
  using BSNConst::DistTypes;
  for (DistTypes dist : {DistTypes::Binomial, DistTypes::Poisson}) {
    for (double huge : {1e10, 1e20, 1e100, 1e302}) {
      for (int what = 0; what < 3; ++what) {
        BSNSettings settings = ConjugateSettings(dist, AnalysTypes::Both, 1, 1.0, 1.0);
        std::vector<double> weights{1, 1, 1};
        if (what == 0) {
          settings.SetFrequencyWeightVar(1);
          weights.assign(3, huge);
        }
        if (what == 1) settings.SetPriorParam1(huge);
        if (what == 2) settings.SetAlterPrior1s({huge});
        const BuiltAnalysis<> run(settings, FromColumns({{1, 0, 1}, weights}));
        const std::string label =
            std::to_string(static_cast<int>(dist)) + " " + std::to_string(huge) + " " + std::to_string(what);
        EXPECT_NE(run.status.GetErrorCode(), BSN_INTERNAL_ERROR) << label;  // no exception was caught
        for (const auto& [code, datum] : run.ListedWarnings()) {
          std::string text;
          StatusMessageText(code, text);
          EXPECT_FALSE(text.empty()) << label << " code " << code;
        }
        const auto [lower, upper] = dist == DistTypes::Binomial
                                        ? Limits<Stats>(run.component.GetOutputStats())
                                        : Limits<BSN1SamplePoisnOutputStats>(run.component.GetOutputStats());
        if (KQMV::IsMissing(lower) || KQMV::IsMissing(upper)) continue;
        EXPECT_LE(lower, upper) << label;
        EXPECT_GE(lower, 0.0) << label;
        EXPECT_LE(upper, dist == DistTypes::Binomial ? 1.0 : HUGE_VAL) << label;
      }
    }
  }
}
