#include "twosample/BSN2SampleIndependent.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "companion/KQMemoryDataSet.h"
#include "frame/BSNStatusCodes.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/twosample/IndependentAnalysisRun.h"
#include "twosample/detail/BSN2SampleIndBayesFactor.h"
#include "twosample/detail/BSN2SampleIndPosterior.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using KQCommon_850::KQMV;
using KQCommon_850::KQWarnings;
using kqtest::kMissing;
using Analysis = BSNConst::AnalysTypes;

// Expected values: tests/reference/independent_twosample.out. Our t is R's t.test(y ~ g) statistic
// with its sign changed (group 2 minus group 1).

namespace {

BSNSettings MtcarsSettings(Analysis type) { return kqtest::IndependentSettings(type, {0, 1}, 2); }

}  // namespace

TEST(BSN2SampleIndependent, GroupsAndTTestsMatchR) {
  // The three cars with grouping values 2, 0.5 and missing would move every number below.
  const kqtest::IndependentRun run(MtcarsSettings(Analysis::BayesFactor), kqtest::MtcarsRows());
  ASSERT_TRUE(run.status.IsOK());
  ASSERT_NE(run.Record(), nullptr);
  EXPECT_TRUE(run.component.GetWarningMessages().IsEmpty());
  const BSN2SampleIndOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetGroup1StatsNs(), (std::vector<int>{19, 19}));
  EXPECT_EQ(r.GetGroup2StatsNs(), (std::vector<int>{13, 13}));
  // mean, sd, sd / sqrt(n) of mpg per group; the t tests themselves are checked with the factor's tests
  const double actual[] = {r.GetGroup1MeanValues()[0], r.GetGroup1StdDevs()[0], r.GetGroup1EMs()[0],
                           r.GetGroup2MeanValues()[0], r.GetGroup2EMs()[0],     r.GetTValues()[0]};
  const double expected[] = {17.147368421052633, 3.8339663855613071, 0.87957221197861235,
                             24.392307692307693, 1.7102804365359598, 4.1061269831006904};
  for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR_REL(actual[k], expected[k], 1e-13) << k;
  // Rouder BF01 from integrate() over g in [eps, 1e6]
  EXPECT_NEAR_REL(r.GetBayesFactors()[1], 0.00059420178305054177, 1e-6);
  EXPECT_TRUE(r.GetPostVarIndices().empty());  // no posterior asked for
}

TEST(BSN2SampleIndependent, CaseWeights) {
  // Frequency weights 2.4 2.5 0.4 0 -1 missing, 1 ... 1, 2.5 1.5 1 1 count 2 3 0 0 0 0 1 ... 1 3 2 1 1;
  // a second variable, 2 extra, is missing in row 7 (group 1, weight 1).
  const std::vector<double> weights = {2.4, 2.5, 0.4, 0, -1, kMissing, 1,   1,   1, 1,
                                       1,   1,   1,   1, 1,  1,        2.5, 1.5, 1, 1};
  std::vector<std::vector<double>> rows = kqtest::SleepRows();
  for (std::size_t i = 0; i < rows.size(); ++i)
    rows[i].insert(rows[i].end(), {weights[i], i == 7 ? kMissing : 2 * rows[i][0]});
  BSNSettings settings = kqtest::IndependentSettings(Analysis::BayesFactor, {0, 3}, 1);
  settings.SetFrequencyWeightVar(2);
  const kqtest::IndependentRun run(settings, rows);
  ASSERT_NE(run.Record(), nullptr);
  const BSN2SampleIndOutputStats& r = *run.Record();
  // R: the rows repeated by the rounded weights, then t.test(..., var.equal = TRUE)
  EXPECT_EQ(r.GetGroup1StatsNs(), (std::vector<int>{9, 8}));
  EXPECT_EQ(r.GetGroup2StatsNs()[0], 13);
  EXPECT_NEAR_REL(r.GetGroup1StdDevs()[0], 1.800077158840081, 1e-14);
  EXPECT_NEAR_REL(r.GetTValues()[0], 2.7833497037064046, 1e-13);
  EXPECT_EQ(r.GetDFValues()[0], 20.0);
  EXPECT_NEAR_REL(r.GetSigs()[0], 0.011471430455550569, 1e-11);
  EXPECT_NEAR_REL(r.GetBayesFactors()[0], 0.2101132559597548, 1e-6);
  // The case missing the second variable counts for the first: 2 (2 * 0.7 - 3 * 1.6 + 3.7 + 0 + 2) / 8.
  EXPECT_NEAR_REL(r.GetGroup1MeanValues()[1], 0.575, 1e-14);

  // Regression weights: R's weighted.mean, sum(r (x - m)^2) / (n - 1), sqrt(v / n). A weight of 0,
  // a negative or a missing one rejects the case.
  const std::vector<double> regression = {0.5, 2, 1, 1, 1.5, 1, 1, 1, 1, 1, 1, 1, 0.25, 1, 1, 1, 1, 3, 1, 1};
  rows = kqtest::SleepRows();
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].push_back(regression[i]);
  rows.insert(rows.end(), {{100.0, 0.0, 0.0}, {100.0, 1.0, kMissing}, {100.0, 1.0, -2.0}});
  settings = kqtest::IndependentSettings(Analysis::BayesFactor, {0}, 1);
  settings.SetRegrWeightVar(2);
  const kqtest::IndependentRun weighted(settings, rows);
  ASSERT_NE(weighted.Record(), nullptr);
  EXPECT_EQ(weighted.Record()->GetGroup2StatsNs()[0], 10);
  EXPECT_NEAR_REL(weighted.Record()->GetGroup1MeanValues()[0], 0.5, 1e-14);
  EXPECT_NEAR_REL(weighted.Record()->GetGroup1StdDevs()[0], 1.9436506316151001, 1e-14);
  EXPECT_NEAR_REL(weighted.Record()->GetGroup2MeanValues()[0], 2.2822222222222224, 1e-14);
  EXPECT_NEAR_REL(weighted.Record()->GetGroup2EMs()[0], 0.63233644740442518, 1e-14);
}

TEST(BSN2SampleIndependent, FewCasesWarnOnceAndTheAnalysisGoesOn) {
  // Variable 0 ordinary, 1 two cases in all, 2 one case, 3 constant; the last column is the group.
  const kqtest::IndependentRun run(kqtest::IndependentSettings(Analysis::BayesFactor, {0, 1, 2, 3}, 4),
                                   {{1.0, 5.0, 1.0, 7.0, 0.0},
                                    {2.0, kMissing, kMissing, 7.0, 0.0},
                                    {4.0, kMissing, kMissing, 7.0, 1.0},
                                    {3.5, 6.0, kMissing, 7.0, 1.0}});
  ASSERT_NE(run.Record(), nullptr);
  EXPECT_TRUE(run.status.IsOK());
  const KQWarnings& warnings = run.component.GetWarningMessages();
  ASSERT_EQ(warnings.Size(), 2u);
  EXPECT_EQ(warnings[0].GetErrorCode(), BSN_FEW_VALID_CASES_INDEPENDENT);
  EXPECT_TRUE(warnings[0].IsWarning());
  EXPECT_EQ(warnings[0].GetDiscreteDatum(0), 1);  // the first such variable
  EXPECT_EQ(warnings[1].GetErrorCode(), BSN_ZERO_POOLED_SD);
  EXPECT_NE(run.Record()->GetBayesFactors()[0], kMissing);
  EXPECT_EQ(run.Record()->GetTValues()[1], kMissing);
  // A group of one case has a mean but no deviation or standard error.
  EXPECT_EQ(run.Record()->GetGroup1MeanValues()[2], 1.0);
  EXPECT_EQ(run.Record()->GetGroup1StdDevs()[2], kMissing);
  EXPECT_EQ(run.Record()->GetGroup1EMs()[2], kMissing);
}

TEST(BSN2SampleIndependent, MissingGroupOrTestVariablesAreErrors) {
  for (auto [settings, code] :
       {std::pair{kqtest::IndependentSettings(Analysis::Both, {0}, -1), BSN_NO_GROUP_VARIABLE},
        std::pair{kqtest::IndependentSettings(Analysis::Both, {}, 1), BSN_NO_COVARIATES},
        std::pair{kqtest::IndependentSettings(Analysis::Both, {}, -1), BSN_NO_GROUP_VARIABLE}}) {
    const kqtest::IndependentRun run(settings, {{1.0, 0.0}});
    EXPECT_EQ(run.status.GetErrorCode(), code);
    EXPECT_EQ(run.iter.GetNStartPass(), 0);  // nothing was read
  }
}

TEST(BSN2SampleIndependent, BothFillsTheTTestsAndThePosterior) {
  BSNSettings settings = MtcarsSettings(Analysis::Both);
  settings.SetEqualDataVar(true);  // flat priors on the means, Jeffreys on the common variance
  settings.SetNPlotPoints(5);
  const kqtest::IndependentRun run(settings, kqtest::MtcarsRows());
  ASSERT_TRUE(run.status.IsOK());
  ASSERT_NE(run.Record(), nullptr);
  const BSN2SampleIndOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetPostVarIndices(), (std::vector<int>{0, 1}));
  EXPECT_NEAR_REL(r.GetTValues()[0], 4.1061269831006904, 1e-13);
  // This posterior is t on 30 df around the difference with scale se: its 95% interval is R's
  // t.test(y ~ am, var.equal = TRUE)$conf.int (sign changed), its variance se^2 30/28.
  EXPECT_NEAR_REL(r.GetModeValues()[0], 7.2449392712550598, 1e-14);
  EXPECT_NEAR_REL(r.GetVarianceValues()[0], 1.764421631642803 * 1.764421631642803 * 30.0 / 28.0, 1e-13);
  EXPECT_NEAR_REL(r.GetLowerLimits()[0], 3.641509571648875, 1e-12);
  EXPECT_NEAR_REL(r.GetUpperLimits()[1], -0.83043174730243441, 1e-12);
  for (const auto* curves :
       {&r.GetPlotXArguments(), &r.GetPlotYLikelihoods(), &r.GetPlotArguments(), &r.GetPlotPosterior()}) {
    ASSERT_EQ(curves->size(), 2u);
    EXPECT_EQ((*curves)[1].size(), 5u);
  }
}

TEST(BSN2SampleIndependent, PosteriorSettingsErrorsComeBeforeTheFactors) {
  BSNSettings reference = MtcarsSettings(Analysis::Both), normalMeans = MtcarsSettings(Analysis::Both);
  reference.SetPriorType(BSNConst::PriorTypes::Reference);
  normalMeans.SetMeanDistType(BSNConst::DistTypes::Normal);  // needs two positive known variances
  BSNSettings oneZero = normalMeans, three = normalMeans;
  oneZero.SetDataVarVals({0.8, 0.0});
  three.SetDataVarVals({0.8, 1.1, 1.2});
  const KQCommon_850::KQMemoryDataSet data =
      KQCommon_850::KQMemoryDataSet::FromRows({"mpg", "wt", "am"}, kqtest::MtcarsRows());
  for (auto [settings, code] :
       {std::pair{reference, BSN_PRIOR_NOT_SUPPORTED}, std::pair{normalMeans, BSN_MISSING_KNOWN_VARIANCES},
        std::pair{oneZero, BSN_MISSING_KNOWN_VARIANCES}, std::pair{three, BSN_MISSING_KNOWN_VARIANCES}}) {
    BSN2SampleIndependent analysis(settings, data.MakeVarList());
    KQCommon_850::KQMemoryRecordIter iter(data);
    EXPECT_EQ(analysis.BuildModel(iter).GetErrorCode(), code);
    EXPECT_EQ(analysis.GetOutputStats(), nullptr);
    ASSERT_NE(analysis.GetBayesFactor(), nullptr);
    EXPECT_EQ(analysis.GetBayesFactor()->GetTValues()[0], kMissing);  // never computed
  }
  // Unequal variances with a prior other than Diffuse: a warning, and the posterior goes on.
  BSNSettings jeffreys = MtcarsSettings(Analysis::Posterior);
  jeffreys.SetPriorDistType(BSNConst::DistTypes::Jeffreys2);
  const kqtest::IndependentRun run(jeffreys, kqtest::MtcarsRows());
  ASSERT_NE(run.Record(), nullptr);
  EXPECT_EQ(run.component.GetWarningMessages()[0].GetErrorCode(), BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY);
  EXPECT_TRUE(run.Record()->GetTTestVarIndices().empty());  // posterior only
  EXPECT_TRUE(run.Record()->GetSigs().empty());
  EXPECT_EQ(run.Record()->GetModeValues().size(), 2u);
}

TEST(BSN2SampleIndependent, SaysWhyAnEqualVariancePosteriorIsMissing) {
  // Group 1 holds one case: it has no variance to pool, so the posterior of variable 0 stays missing,
  // with a warning naming the variable.
  BSNSettings settings = kqtest::IndependentSettings(Analysis::Posterior, {0}, 1);
  settings.SetEqualDataVar(true);
  const kqtest::IndependentRun run(settings, {{1.0, 0}, {2.0, 1}, {3.5, 1}, {2.5, 1}});
  ASSERT_TRUE(run.status.IsOK());
  const KQWarnings& warnings = run.component.GetWarningMessages();
  ASSERT_EQ(warnings.Size(), 1u);
  EXPECT_EQ(warnings[0].GetErrorCode(), BSN_FEW_VALID_CASES_INDEPENDENT);
  EXPECT_EQ(warnings[0].GetDiscreteDatum(0), 0);
  EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetModeValues()[0]));
}

TEST(BSN2SampleIndependent, CountsBeyondTheIntRangeAreFlagged) {
  // Frequency weights of 3e9: group 1 counts 6e9 cases, which its int field cannot hold.
  BSNSettings settings = kqtest::IndependentSettings(Analysis::BayesFactor, {0}, 1);
  settings.SetFrequencyWeightVar(2);
  const kqtest::IndependentRun run(settings,
                                   {{1.0, 0, 3e9}, {2.0, 0, 3e9}, {2.0, 1, 1}, {3.5, 1, 1}, {2.5, 1, 1}});
  ASSERT_TRUE(run.status.IsOK());
  const KQWarnings& warnings = run.component.GetWarningMessages();
  ASSERT_EQ(warnings.Size(), 1u);
  EXPECT_EQ(warnings[0].GetErrorCode(), BSN_COUNT_TOO_LARGE);
  EXPECT_EQ(warnings[0].GetDiscreteDatum(0), 0);
  EXPECT_EQ(run.Record()->GetGroup1StatsNs()[0], std::numeric_limits<int>::max());
  EXPECT_EQ(run.Record()->GetGroup2StatsNs()[0], 3);
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
  EXPECT_TRUE(repeated.Update(*first));
  EXPECT_TRUE(repeated.Update(*first));
  const KQCommon_850::Record* second = iter.NextRecord();
  EXPECT_FALSE(weighted.Update(*second, 0.4, 1.0));  // rounds to 0
  EXPECT_FALSE(weighted.Update(*second, 1.0, KQMV::Missing()));
  EXPECT_FALSE(weighted.Update(*second, 1.0, 0.0));
  EXPECT_TRUE(weighted.Update(*second, 0.5, 1.0));  // halves round up
  EXPECT_TRUE(repeated.Update(*second));
  EXPECT_TRUE(weighted.Update(*iter.NextRecord(), 1.0, 1.0));  // a missing value is skipped
  EXPECT_EQ(weighted.GetNWeightedCases(), repeated.GetNWeightedCases());
  EXPECT_EQ(weighted.GetNWeightedCases()[0], 3.0);
  // R: mean(c(1, 1, 4)) = 2, var(c(1, 1, 4)) = 3
  EXPECT_NEAR_REL(weighted.GetMeans()[0], 2.0, 1e-15);
  EXPECT_NEAR_REL(weighted.GetVariances()[0], 3.0, 1e-15);
}

TEST(BSN2SampleIndependent, FactorsBeyondTheDoubleRangeAreMissingWithAWarning) {
  // Two groups of 400 cases that differ by 100 standard deviations: ln BF01 is about -2400 under every
  // prior, below the smallest double.
  std::vector<std::vector<double>> rows;
  for (int k = 0; k < 800; ++k)
    rows.push_back({(k < 400 ? 0.0 : 100.0) + (k % 7) * 0.5, k < 400 ? 0.0 : 1.0});
  for (int method : {3, 2, 4}) {  // Rouder, hyper-prior, Gonen
    BSNSettings settings = kqtest::IndependentSettings(Analysis::BayesFactor, {0}, 1);
    settings.SetRegrCompType(static_cast<BSNConst::RegrCompute>(method));
    settings.SetRegrComPar(0.5);
    settings.SetSecondGonenPar(1.0);
    const kqtest::IndependentRun run(settings, rows);
    ASSERT_TRUE(run.status.IsOK()) << method;
    EXPECT_EQ(run.ListedWarnings(), (kqtest::Warnings{{BSN_NUMERICAL_PROBLEM, 0}})) << method;
    EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetBayesFactors()[0])) << method;
  }
}
