#include <gtest/gtest.h>

#include "frame/BSNStatusCodes.h"
#include "onesample/BSN1SamplePoisnOutputStats.h"
#include "tests/onesample/OneSampleRun.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using namespace kqtest;
using BSNConst::AnalysTypes;
using Stats = BSN1SamplePoisnOutputStats;
using Built = BuiltAnalysis<Stats>;

namespace {

/// Poisson settings: Gamma(1, 1) alternative, Gamma(0.5, 1) posterior prior.
BSNSettings Settings(AnalysTypes type, int nVars) {
  return ConjugateSettings(BSNConst::DistTypes::Poisson, type, nVars, 0.5, 1.0);
}

}  // namespace

TEST(BSN1SamplePoisson, BayesFactorsMatchClosedForms) {
  BSNSettings settings = Settings(AnalysTypes::BayesFactor, 4);
  settings.SetNullPrior1s({kMissing, 3.0, 4.0, 2.0});  // variable 0 takes the default Gamma(2, 2)
  settings.SetNullPrior2s({kMissing, 1.0, 3.0, 2.0});
  settings.SetAlterPrior1s({1.0, 0.5, 4.0, 1.0});
  settings.SetAlterPrior2s({0.5, 2.0, 3.0, 1.0});
  const Built run(settings, FromColumns({{0, 1, 2}, {2.7, 1, -1}, {5}, {kMissing, -3}}));
  const Stats& stats = *run.Record();
  // S = 3, n = 3, Gamma(2, 2) against Gamma(1, 0.5): (2^2 G(5)/G(2) 5^-5) / (0.5 G(4)/G(1) 3.5^-4)
  // = 14406/9375 by hand. R: m <- function(a, b, S, n) a*log(b) - lgamma(a) + lgamma(a+S) - (a+S)*log(b+n);
  // print(exp(m(2, 2, 3, 3) - m(1, 0.5, 3, 3)), digits = 17). 2.7 counts as 2 for variable 1: S = 3, n = 2,
  // R: print(exp(m(3, 1, 3, 2) - m(0.5, 2, 3, 2)), digits = 17). Equal priors give 1; no case, missing.
  ExpectAllNear(stats.GetBayesFactors(), {14406.0 / 9375.0, 3.9729895414816134, 1.0, kMissing}, 1e-13);
  EXPECT_EQ((std::vector{stats.GetNs(), stats.GetMinCnts(), stats.GetMaxCnts()}),
            (std::vector<std::vector<int>>{{3, 2, 1, 0}, {0, 1, 5, -1}, {2, 2, 5, -1}}));
  EXPECT_TRUE(run.ListedWarnings().empty());
}

TEST(BSN1SamplePoisson, PosteriorSummariesAndLimits) {
  // Prior Gamma(0.5, 1). Variable 1: 2.7 is used as it is, S = 3.7 over n = 2.
  const Built run(Settings(AnalysTypes::Posterior, 3), FromColumns({{0, 1, 2}, {2.7, 1, -1}, {0, 0}}));
  const Stats* s = run.Record();
  // Posteriors Gamma(3.5, 4), Gamma(4.2, 3) and Gamma(0.5, 3): mode (a - 1)/b (none when a < 1), mean a/b,
  // variance a/b^2 by hand; limits R: print(qgamma(c(0.025, 0.975), a, b), digits = 17).
  const std::vector<double> expected[3] = {
      {0.625, 0.875, 0.21875, 0.21123364758466931, 2.0015955343286653},
      {3.2 / 3.0, 1.4, 4.2 / 9.0, 0.39743366591167778, 3.0222499480076008},
      {kMissing, 1.0 / 6.0, 0.5 / 9.0, 0.00016367818619587602, 0.83731436455248076}};
  for (std::size_t i = 0; i < 3; ++i)
    ExpectAllNear({s->GetModeValues()[i], s->GetMeanValues()[i], s->GetVarianceValues()[i],
                   s->GetLowerLimits()[i], s->GetUpperLimits()[i]},
                  expected[i], 1e-13);
}

TEST(BSN1SamplePoisson, PlotRangesAndCurves) {
  BSNSettings settings = Settings(AnalysTypes::Posterior, 2);
  settings.SetNPlotPoints(3);
  settings.SetPlotDomainLevel(0.01);  // 0.005 in each tail
  const Built run(settings, FromColumns({{0, 1, 2}, {0, 0}}));
  const Stats& s = *run.Record();
  // Exact Poisson range of the rate for S = 3 over N = 3 and its log-likelihood S log x - N x. R:
  // lo <- qchisq(0.005, 6)/3/2; hi <- qchisq(0.995, 8)/3/2; print(c(lo, (lo + hi)/2, hi, 3*log(hi) - 3*hi),
  // digits = 17). Prior Gamma(0.5, 1) and posterior Gamma(3.5, 4) on their own ranges, R: x <-
  // qgamma(c(0.005, 0.995), a, b); print(c(x[1], dgamma(x[1], a, b)), digits = 17). No events (variable 1):
  // the range starts at 0, where the log-likelihood is 0, not NaN.
  ExpectAllNear(s.GetPlotArguments4Likelihoods()[0],
                {0.1126211295759111, 1.8858901473429164, 3.6591591651099216}, 1e-13);
  ExpectAllNear(
      {s.GetPlotLikelihoods()[0][2], s.GetPlotArguments4Prior()[0][0], s.GetPlotPrior()[0][0],
       s.GetPlotArguments4Posterior()[0][0], s.GetPlotPosterior()[0][0], s.GetPlotLikelihoods()[1][0]},
      {-7.0857773411965193, 1.9635211110257948e-05, 127.32062114236463, 0.12365696039161879,
       0.12628914887445439, 0.0},
      1e-12);
  // An improper prior (rate 0) is drawn as x^(a - 1) over the likelihood's range.
  settings.SetPriorParam1(2.0);
  settings.SetPriorParam2(0.0);
  const Built improper(settings, FromColumns({{0, 1, 2}}));
  const std::vector<double>& range = improper.Record()->GetPlotArguments4Likelihoods()[0];
  EXPECT_EQ(improper.Record()->GetPlotArguments4Prior()[0], range);
  EXPECT_EQ(improper.Record()->GetPlotPrior()[0], range);
}

TEST(BSN1SamplePoisson, HugeSampleStoresTheLogFactor) {
  BSNSettings settings = Settings(AnalysTypes::BayesFactor, 3);
  settings.SetFrequencyWeightVar(3);
  settings.SetNullPrior1s({1000.0, 1.0, 2.0});
  settings.SetNullPrior2s({1000.0, 1.0, 2.0});
  settings.SetAlterPrior1s({1.0, 1.0, kMissing});
  const Built run(settings, {std::vector<double>{3, 3, 3, 1e6}});
  // S = 3e6 over n = 1e6, Gamma(1000, 1000) against Gamma(1, 1).
  // R: print(m(1000, 1000, 3e6, 1e6) - m(1, 1, 3e6, 1e6), digits = 17), m as in BayesFactorsMatchClosedForms
  ExpectAllNear(run.Record()->GetBayesFactors(), {-896.28548641502857, 1.0, kMissing}, 1e-10);
  EXPECT_EQ(run.Record()->GetIsLogBayesFactor(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(run.Record()->GetNs(), (std::vector<int>{1000000, 1000000, 1000000}));
  // The calculator returns one warning, the last: the log-factor warning takes the place of the
  // missing-prior warning of variable 2.
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_LOG_FACTOR, 0}}));
}

TEST(BSN1SamplePoisson, ErrorsLeaveNoRecord) {
  BSNSettings custom = Settings(AnalysTypes::Posterior, 1), noShape = Settings(AnalysTypes::Both, 1);
  custom.SetPriorType(BSNConst::PriorTypes::Custom);
  noShape.SetPriorParam1(kMissing);
  for (auto [settings, code] :
       {std::pair{custom, BSN_PRIOR_NOT_SUPPORTED}, std::pair{noShape, BSN_BAD_PARAMETER}})
    EXPECT_EQ(Built(settings, FromColumns({{1}})).status, KQStatus(code, false));
}
