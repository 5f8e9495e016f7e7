#include "twosample/BSN2SampleIndependent.h"

#include <gtest/gtest.h>

#include <cmath>

#include <limits>
#include <string>

#include "companion/KQMemoryDataSet.h"
#include "frame/BSNStatusCodes.h"
#include "tests/twosample/IndependentAnalysisRun.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using namespace kqtest;
using Analysis = BSNConst::AnalysTypes;

// Expected values: tests/reference/independent_twosample.out. Our t is R's t.test(y ~ g) statistic
// with its sign changed (group 2 minus group 1).

namespace {

BSNSettings MtcarsSettings(Analysis type) { return IndependentSettings(type, {0, 1}, 2); }

/// The rows of independent_twosample.out with this label: mtcars mpg, mtcars wt, sleep, weighted sleep, ...
std::vector<std::vector<double>> Reference(const std::string& label) {
  return ReferenceRows("independent_twosample.out", label);
}

}  // namespace

TEST(BSN2SampleIndependent, GroupsAndTTestsMatchR) {
  // The three cars with grouping values 2, 0.5 and missing would move every number below.
  const IndependentRun run(MtcarsSettings(Analysis::BayesFactor), MtcarsRows());
  EXPECT_TRUE(run.status.IsOK() && run.ListedWarnings().empty());
  const BSN2SampleIndOutputStats& r = *run.Record();
  EXPECT_EQ((std::vector{r.GetGroup1StatsNs(), r.GetGroup2StatsNs()}),
            (std::vector<std::vector<int>>{{19, 19}, {13, 13}}));
  // mean, sd, sd / sqrt(n) of mpg per group; the t tests themselves are checked with the factor's tests.
  const std::vector<double> g1 = Reference("group 1 mean, sd, se").at(0),
                            g2 = Reference("group 2 mean, sd, se").at(0);
  ExpectAllNear({r.GetGroup1MeanValues()[0], r.GetGroup1StdDevs()[0], r.GetGroup1EMs()[0],
                 r.GetGroup2MeanValues()[0], r.GetGroup2StdDevs()[0], r.GetGroup2EMs()[0]},
                {g1[0], g1[1], g1[2], g2[0], g2[1], g2[2]}, 1e-13);
  // Rouder BF01 from integrate() over g in [eps, 1e6]
  EXPECT_NEAR_REL(r.GetBayesFactors()[1], Reference("rouder integrate [eps, 1e6], [eps, Inf]").at(1)[0],
                  1e-6);
}

TEST(BSN2SampleIndependent, RegressionWeightsWeighTheMoments) {
  // R's weighted.mean, sum(r (x - m)^2) / (n - 1), sqrt(v / n). A weight of 0, a negative or a missing one
  // rejects the case. Frequency weights are compared with repeated records by the conformance suite.
  const std::vector<double> regression = {0.5, 2, 1, 1, 1.5, 1, 1, 1, 1, 1, 1, 1, 0.25, 1, 1, 1, 1, 3, 1, 1};
  std::vector<std::vector<double>> rows = SleepRows();
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].push_back(regression[i]);
  rows.insert(rows.end(), {{100.0, 0.0, 0.0}, {100.0, 1.0, kMissing}, {100.0, 1.0, -2.0}});
  BSNSettings settings = IndependentSettings(Analysis::BayesFactor, {0}, 1);
  settings.SetRegrWeightVar(2);
  const IndependentRun run(settings, rows);
  const BSN2SampleIndOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetGroup2StatsNs()[0], 10);
  const std::vector<double> g1 = Reference("group 1 mean, sd, se").at(4),
                            g2 = Reference("group 2 mean, sd, se").at(4);
  ExpectAllNear(
      {r.GetGroup1MeanValues()[0], r.GetGroup1StdDevs()[0], r.GetGroup2MeanValues()[0], r.GetGroup2EMs()[0]},
      {g1[0], g1[1], g2[0], g2[2]}, 1e-14);
}

TEST(BSN2SampleIndependent, FewCasesWarnOnceAndTheAnalysisGoesOn) {
  // Variable 0 ordinary, 1 two cases in all, 2 one case, 3 constant; the last column is the group. The
  // t and the factor of a variable without a pooled deviation are missing, the differences of means kept.
  const IndependentRun run(IndependentSettings(Analysis::BayesFactor, {0, 1, 2, 3}, 4),
                           {{1.0, 5.0, 1.0, 7.0, 0.0},
                            {2.0, kMissing, kMissing, 7.0, 0.0},
                            {4.0, kMissing, kMissing, 7.0, 1.0},
                            {3.5, 6.0, kMissing, 7.0, 1.0}});
  EXPECT_TRUE(run.status.IsOK());
  // The first such variable is named once; the constant one warns with the factor's own warning.
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_FEW_VALID_CASES_INDEPENDENT, 1}, {BSN_ZERO_POOLED_SD, 3}}));
  EXPECT_NE(run.Record()->GetBayesFactors()[0], kMissing);
  EXPECT_EQ((std::vector{run.Record()->GetTValues()[3], run.Record()->GetBayesFactors()[3],
                         run.Record()->GetMeanDiffValues()[3]}),
            (std::vector<double>{kMissing, kMissing, 0.0}));
  // A group of one case has a mean but no deviation or standard error.
  EXPECT_EQ((std::vector{run.Record()->GetGroup1MeanValues()[2], run.Record()->GetGroup1StdDevs()[2],
                         run.Record()->GetGroup1EMs()[2]}),
            (std::vector<double>{1.0, kMissing, kMissing}));
}

TEST(BSN2SampleIndependent, SettingsErrorsLeaveNoRecord) {
  // No grouping variable, no test variable, a prior that is not supported, normal priors on the means
  // without two positive known variances: nothing is computed.
  BSNSettings reference = MtcarsSettings(Analysis::Both), normalMeans = MtcarsSettings(Analysis::Both);
  reference.SetPriorType(BSNConst::PriorTypes::Reference);
  normalMeans.SetMeanDistType(BSNConst::DistTypes::Normal);
  normalMeans.SetDataVarVals({0.8, 0.0});
  for (auto [settings, code] :
       {std::pair{IndependentSettings(Analysis::Both, {0}, -1), BSN_NO_GROUP_VARIABLE},
        std::pair{IndependentSettings(Analysis::Both, {}, 1), BSN_NO_COVARIATES},
        std::pair{reference, BSN_PRIOR_NOT_SUPPORTED}, std::pair{normalMeans, BSN_MISSING_KNOWN_VARIANCES}}) {
    const IndependentRun run(settings, MtcarsRows());
    EXPECT_EQ(run.status, KQStatus(code, false));
    EXPECT_EQ(run.Record(), nullptr);
  }
}

TEST(BSN2SampleIndependent, BothFillsTheTTestsAndThePosterior) {
  BSNSettings settings = MtcarsSettings(Analysis::Both);
  settings.SetEqualDataVar(true);  // flat priors on the means, Jeffreys on the common variance
  const IndependentRun run(settings, MtcarsRows());
  const BSN2SampleIndOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetPostVarIndices(), (std::vector<int>{0, 1}));
  // This posterior is t on 30 df around the difference with scale se: its 95% interval is R's
  // t.test(y ~ am, var.equal = TRUE)$conf.int (sign changed), its variance se^2 30/28.
  const std::vector<double>
      t = Reference("pooled t, df, p, mean difference, se").at(0),
      interval = Reference("pooled 95% interval of the difference (flat priors, equal variances)").at(0);
  ExpectAllNear({r.GetTValues()[0], r.GetModeValues()[0], r.GetVarianceValues()[0], r.GetLowerLimits()[0],
                 r.GetUpperLimits()[0]},
                {t[0], t[3], t[4] * t[4] * 30.0 / 28.0, interval[0], interval[1]}, 1e-12);
  // Unequal variances with a prior other than Diffuse: a warning, and the posterior goes on, alone.
  settings = MtcarsSettings(Analysis::Posterior);
  settings.SetPriorDistType(BSNConst::DistTypes::Jeffreys2);
  const IndependentRun unequal(settings, MtcarsRows());
  EXPECT_EQ(unequal.ListedWarnings(), (Warnings{{BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY, 0}}));
  EXPECT_TRUE(unequal.Record()->GetSigs().empty());
  EXPECT_EQ(unequal.Record()->GetModeValues().size(), 2u);
}

TEST(BSN2SampleIndependent, SaysWhyAnEqualVariancePosteriorIsMissing) {
  // Group 1 holds one case: it has no variance to pool, so the posterior of variable 0 stays missing,
  // with a warning naming the variable.
  BSNSettings settings = IndependentSettings(Analysis::Posterior, {0}, 1);
  settings.SetEqualDataVar(true);
  const IndependentRun run(settings, {{1.0, 0}, {2.0, 1}, {3.5, 1}, {2.5, 1}});
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_FEW_VALID_CASES_INDEPENDENT, 0}}));
  EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetModeValues()[0]));
}

TEST(BSN2SampleIndependent, CountsBeyondTheIntRangeAreFlagged) {
  // Frequency weights of 3e9: group 1 counts 6e9 cases, which its int field cannot hold.
  BSNSettings settings = IndependentSettings(Analysis::BayesFactor, {0}, 1);
  settings.SetFrequencyWeightVar(2);
  const IndependentRun run(settings, {{1.0, 0, 3e9}, {2.0, 0, 3e9}, {2.0, 1, 1}, {3.5, 1, 1}, {2.5, 1, 1}});
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_COUNT_TOO_LARGE, 0}}));
  EXPECT_EQ((std::vector{run.Record()->GetGroup1StatsNs()[0], run.Record()->GetGroup2StatsNs()[0]}),
            (std::vector<int>{std::numeric_limits<int>::max(), 3}));
}

TEST(BSN2SampleIndBasicStats, RecordUpdatesRoundTheFrequencyWeight) {
  const std::vector<int> vars{0};
  BSN2SampleIndBasicStats weighted(vars), repeated(vars);
  const KQCommon_850::KQMemoryDataSet data =
      KQCommon_850::KQMemoryDataSet::FromRows({"x"}, {{1.0}, {4.0}, {KQMV::Missing()}});
  KQCommon_850::KQMemoryRecordIter iter(data);
  iter.StartPass();
  const KQCommon_850::Record* first = iter.NextRecord();
  EXPECT_TRUE(weighted.Update(*first, 2.4, 1.0));  // counts twice
  EXPECT_TRUE(repeated.Update(*first) && repeated.Update(*first));
  const KQCommon_850::Record* second = iter.NextRecord();
  // A frequency weight rounding to 0, a missing or a zero regression weight reject the record.
  EXPECT_FALSE(weighted.Update(*second, 0.4, 1.0) || weighted.Update(*second, 1.0, kMissing) ||
               weighted.Update(*second, 1.0, 0.0));
  EXPECT_TRUE(weighted.Update(*second, 0.5, 1.0));  // halves round up
  EXPECT_TRUE(repeated.Update(*second));
  EXPECT_TRUE(weighted.Update(*iter.NextRecord(), 1.0, 1.0));  // a missing value is skipped
  EXPECT_EQ(weighted.GetNWeightedCases(), repeated.GetNWeightedCases());
  EXPECT_EQ(weighted.GetNWeightedCases()[0], 3.0);
  // R: mean(c(1, 1, 4)) = 2, var(c(1, 1, 4)) = 3
  ExpectAllNear({weighted.GetMeans()[0], weighted.GetVariances()[0]}, {2.0, 3.0}, 1e-15);
}

TEST(BSN2SampleIndependent, FactorsBeyondTheDoubleRangeAreMissingWithAWarning) {
  // Two groups of 400 cases that differ by 100 standard deviations: ln BF01 is about -2400 under every
  // prior, below the smallest double.
  std::vector<std::vector<double>> rows;
  for (int k = 0; k < 800; ++k)
    rows.push_back({(k < 400 ? 0.0 : 100.0) + (k % 7) * 0.5, k < 400 ? 0.0 : 1.0});
  for (int method : {3, 2, 4}) {  // Rouder, hyper-prior, Gonen
    BSNSettings settings = IndependentSettings(Analysis::BayesFactor, {0}, 1);
    settings.SetRegrCompType(static_cast<BSNConst::RegrCompute>(method));
    settings.SetRegrComPar(0.5);
    settings.SetSecondGonenPar(1.0);
    const IndependentRun run(settings, rows);
    EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_NUMERICAL_PROBLEM, 0}})) << method;
    EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetBayesFactors()[0])) << method;
  }
}

TEST(BSN2SampleIndependent, DataFarFromOneKeepTheirSpread) {
  // u k for k = 1..14, odd k in group 2: the groups' variances are 56/3 u^2, the pooled standard error
  // sqrt(16/3) u and t = -1 / sqrt(16/3) = -sqrt(3)/4 whatever u; the factor depends on t alone.
  std::vector<double> unitFactors;
  for (double unit : {1.0, 1e200, 1e-300}) {
    std::vector<std::vector<double>> rows;
    for (int k = 1; k <= 14; ++k) rows.push_back({k * unit, static_cast<double>(k % 2)});
    const kqtest::IndependentRun run(kqtest::IndependentSettings(Analysis::BayesFactor, {0}, 1), rows);
    ASSERT_TRUE(run.status.IsOK()) << unit;
    EXPECT_TRUE(run.ListedWarnings().empty()) << unit;
    EXPECT_NEAR_REL(run.Record()->GetTValues()[0], -std::sqrt(3.0) / 4.0, 1e-14) << unit;
    EXPECT_NEAR_REL(run.Record()->GetPStdEDDevs()[0], std::sqrt(16.0 / 3.0) * unit, 1e-14) << unit;
    unitFactors.push_back(run.Record()->GetBayesFactors()[0]);
  }
  EXPECT_NEAR_REL(unitFactors[1], unitFactors[0], 1e-12);
  EXPECT_NEAR_REL(unitFactors[2], unitFactors[0], 1e-12);
}
