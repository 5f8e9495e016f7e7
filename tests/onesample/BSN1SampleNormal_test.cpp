#include <gtest/gtest.h>

#include <cmath>

#include "frame/BSNStatusCodes.h"
#include "tests/onesample/NormalAnalysisRun.h"
#include "tests/support/ExpectNearRel.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using kqtest::kMissing;
using Analysis = BSNConst::AnalysTypes;

// Expected values: tests/reference/normal_onesample.R (output in normal_onesample.out).

TEST(BSN1SampleNormal, TTestMatchesR) {
  const kqtest::NormalRun run(kqtest::NormalSettings(Analysis::BayesFactor), kqtest::NormalData());
  ASSERT_TRUE(run.status.IsOK());
  ASSERT_NE(run.Record(), nullptr);
  const BSN1SampleNormOutputStats& r = *run.Record();
  EXPECT_TRUE(run.component.IsModelBuilt());
  EXPECT_TRUE(run.component.GetWarningMessages().IsEmpty());
  EXPECT_EQ(r.GetVarIndices(), (std::vector<int>{0, 1}));
  EXPECT_EQ(r.GetModelType(), BSNConst::ModelTypes::OneSample);
  EXPECT_EQ(r.GetOutputType(), BSNConst::OutputTypes::Output1SampleNormal);
  // t.test(x, mu = 5); mean(x), sd(x), sd(x)/sqrt(10)
  EXPECT_NEAR_REL(r.GetTValues()[0], 3.0430529581671522, 1e-13);
  EXPECT_NEAR_REL(r.GetSigs()[0], 0.013948815660920464, 1e-12);
  EXPECT_EQ(r.GetDFValues()[0], 9.0);
  EXPECT_EQ(r.GetNs()[0], 10.0);
  EXPECT_NEAR_REL(r.GetMeanValues()[0], 5.6200000000000001, 1e-15);
  EXPECT_NEAR_REL(r.GetStdDevs()[0], 0.64429116951197696, 1e-14);
  EXPECT_NEAR_REL(r.GetEMs()[0], 0.20374275719914831, 1e-14);
  // t.test(y, mu = 0) over its nine present values
  EXPECT_NEAR_REL(r.GetTValues()[1], 2.4693848037796871, 1e-13);
  EXPECT_NEAR_REL(r.GetSigs()[1], 0.038747597318239853, 1e-12);
  EXPECT_EQ(r.GetDFValues()[1], 8.0);
  EXPECT_NEAR_REL(r.GetStdDevs()[1], 1.3093679560934903, 1e-14);
}

TEST(BSN1SampleNormal, WeightedTTestMatchesR) {
  BSNSettings settings = kqtest::NormalSettings(Analysis::BayesFactor);
  settings.SetCovariates({0});
  settings.SetFrequencyWeightVar(2);
  const kqtest::NormalRun weighted(settings, kqtest::NormalData());
  ASSERT_NE(weighted.Record(), nullptr);
  // t.test(rep(x, w), mu = 5) with the rounded weights
  EXPECT_NEAR_REL(weighted.Record()->GetTValues()[0], 2.8832843566128914, 1e-13);
  EXPECT_NEAR_REL(weighted.Record()->GetSigs()[0], 0.014883580101551297, 1e-12);
  EXPECT_EQ(weighted.Record()->GetNs()[0], 12.0);
}

TEST(BSN1SampleNormal, LargeMeanGivesTheCentredT) {
  // Values at 1e9 in steps of 1/16 are exact, and so is their mean 1e9 + 0.125: any loss is the
  // accumulator's (a sum of squares would lose every digit of the variance here).
  const std::vector<double> centred = {-1.5, 0.25, 1.0, -0.75, 0.5, 1.25, -0.25, 2.0, -1.0, -0.25};
  std::vector<std::vector<double>> rowsCentred, rowsShifted;
  for (double c : centred) {
    rowsCentred.push_back({c});
    rowsShifted.push_back({c + 1e9});
  }
  BSNSettings settings = kqtest::NormalSettings(Analysis::BayesFactor);
  settings.SetCovariates({0});
  settings.SetNullValues({0.0});
  const kqtest::NormalRun small(settings, kqtest::Rows(rowsCentred.begin(), rowsCentred.end()));
  settings.SetNullValues({1e9});
  const kqtest::NormalRun large(settings, kqtest::Rows(rowsShifted.begin(), rowsShifted.end()));
  ASSERT_NE(small.Record(), nullptr);
  ASSERT_NE(large.Record(), nullptr);
  EXPECT_NEAR_REL(large.Record()->GetTValues()[0], small.Record()->GetTValues()[0], 1e-9);
  EXPECT_NEAR_REL(large.Record()->GetStdDevs()[0], small.Record()->GetStdDevs()[0], 1e-12);
}

TEST(BSN1SampleNormal, DegenerateVariablesWarnAndStayMissing) {
  // Columns: x, constant, all missing, one value.
  std::vector<std::vector<double>> rows;
  for (int i = 0; i < 10; ++i) rows.push_back({5.0 + 0.1 * i * i, 3.0, kMissing, i == 4 ? 7.5 : kMissing});
  BSNSettings settings = kqtest::NormalSettings(Analysis::Both);
  settings.SetCovariates({0, 1, 2, 3});
  settings.SetNullValues({});
  const kqtest::NormalRun run(settings, kqtest::Rows(rows.begin(), rows.end()));
  ASSERT_TRUE(run.status.IsOK());
  ASSERT_NE(run.Record(), nullptr);
  const KQWarnings& warnings = run.component.GetWarningMessages();
  const std::vector<std::pair<int, long>> expected = {
      {BSN_CONSTANT_FIELDS, 1}, {BSN_FEW_VALID_CASES_NORMAL, 2}, {BSN_FEW_VALID_CASES_NORMAL, 3}};
  ASSERT_EQ(warnings.Size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_TRUE(warnings[k].IsWarning());
    EXPECT_EQ(warnings[k].GetErrorCode(), expected[k].first);
    EXPECT_EQ(warnings[k].GetDiscreteDatum(0), expected[k].second);
    EXPECT_EQ(warnings.GetDestination(k), 0);
  }
  const BSN1SampleNormOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetMeanValues(), (std::vector<double>{r.GetMeanValues()[0], 3.0, kMissing, 7.5}));
  EXPECT_EQ(r.GetStdDevs(), (std::vector<double>{r.GetStdDevs()[0], 0.0, kMissing, kMissing}));
  EXPECT_EQ(r.GetEMs(), (std::vector<double>{r.GetEMs()[0], 0.0, kMissing, kMissing}));
  EXPECT_EQ(r.GetDFValues(), (std::vector<double>{9.0, 9.0, kMissing, 0.0}));
  EXPECT_EQ(r.GetNs(), (std::vector<double>{10.0, 10.0, 0.0, 1.0}));
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(r.GetTValues()[i], kMissing);
    EXPECT_EQ(r.GetBayesFactors()[i], kMissing);
    EXPECT_EQ(r.GetPostMeanValues()[i], kMissing);
  }
  for (const auto* list : {&r.GetTValues(), &r.GetSigs(), &r.GetBayesFactors(), &r.GetModeValues(),
                           &r.GetVarianceValues(), &r.GetLowerLimits(), &r.GetUpperLimits()}) {
    ASSERT_EQ(list->size(), 4u);
    for (double value : *list) EXPECT_FALSE(std::isnan(value));
  }
}

TEST(BSN1SampleNormal, BuildErrors) {
  BSNSettings noVariables = kqtest::NormalSettings(Analysis::Posterior);
  noVariables.SetCovariates({});
  BSNSettings negativeIndex = kqtest::NormalSettings(Analysis::Posterior);
  negativeIndex.SetCovariates({0, -1});
  for (auto [settings, code] :
       {std::pair{noVariables, BSN_TOO_FEW_CORR_VARIABLES}, std::pair{negativeIndex, BSN_BAD_PARAMETER}}) {
    const kqtest::NormalRun run(settings, kqtest::NormalData());
    EXPECT_EQ(run.status.GetErrorCode(), code);
    EXPECT_TRUE(run.status.IsError());
  }
}

TEST(BSN1SampleNormal, Jeffreys2GivesTheClassicalInterval) {
  BSNSettings settings = kqtest::NormalSettings(Analysis::Posterior);
  settings.SetPriorDistType(BSNConst::DistTypes::Jeffreys2);
  const kqtest::NormalRun run(settings, kqtest::NormalData());
  ASSERT_NE(run.Record(), nullptr);
  // Jeffreys 2 gives the classical interval: t.test(x)$conf.int
  EXPECT_NEAR_REL(run.Record()->GetLowerLimits()[0], 5.1591018624336913, 1e-13);
  EXPECT_NEAR_REL(run.Record()->GetUpperLimits()[0], 6.0808981375663089, 1e-13);
  EXPECT_TRUE(run.Record()->GetTValues().empty());
  EXPECT_TRUE(run.Record()->GetBayesFactors().empty());
}

TEST(BSN1SampleNormal, FactorsBeyondTheDoubleRangeAreMissingWithAWarning) {
  // Every case weighs 1e12: both t statistics are in the millions and ln BF01 in the minus billions, far
  // below the smallest double. The record holds factors only, so each is missing, with a warning that
  // has a text, and the t tests stay.
  kqtest::Rows rows = kqtest::NormalData();
  for (auto& row : rows) (*row)[2] = 1e12;
  BSNSettings settings = kqtest::NormalSettings(Analysis::BayesFactor);
  settings.SetFrequencyWeightVar(2);
  const kqtest::NormalRun run(settings, rows);
  ASSERT_TRUE(run.status.IsOK());
  EXPECT_EQ(run.ListedWarnings(), (kqtest::Warnings{{BSN_NUMERICAL_PROBLEM, 0}, {BSN_NUMERICAL_PROBLEM, 1}}));
  EXPECT_EQ(run.Record()->GetBayesFactors(), (std::vector<double>{kMissing, kMissing}));
  EXPECT_GT(run.Record()->GetTValues()[0], 1e6);
}
