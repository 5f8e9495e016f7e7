#include <gtest/gtest.h>

#include "frame/BSNStatusCodes.h"
#include "tests/onesample/OneSampleRun.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using namespace kqtest;
using Analysis = BSNConst::AnalysTypes;

// Expected values: rows of tests/reference/normal_onesample.out (script normal_onesample.R).

TEST(BSN1SampleNormal, TTestAndJeffreys2IntervalMatchR) {
  BSNSettings settings = NormalSettings(Analysis::Both);
  settings.SetPriorDistType(BSNConst::DistTypes::Jeffreys2);
  const NormalRun run(settings, NormalData());
  EXPECT_TRUE(run.ListedWarnings().empty());
  const BSN1SampleNormOutputStats& r = *run.Record();
  // t.test(x, mu = 5) and t.test(y, mu = 0) over its nine present values: t, df, p; mean, sd, sd/sqrt(n).
  for (auto [i, test, summary] :
       {std::tuple{0, "x mu=5", "x mean, sd, se"}, std::tuple{1, "y mu=0", "y mean, sd, se"}}) {
    std::vector<double> expected = NormalReference(test), moments = NormalReference(summary);
    expected.insert(expected.end(), moments.begin(), moments.end());
    ExpectAllNear({r.GetTValues()[i], r.GetDFValues()[i], r.GetSigs()[i], r.GetMeanValues()[i],
                   r.GetStdDevs()[i], r.GetEMs()[i]},
                  expected, 1e-12);
  }
  EXPECT_EQ(r.GetNs(), (std::vector<double>{10.0, 9.0}));
  // Jeffreys 2 gives the classical interval: t.test(x)$conf.int
  ExpectAllNear({r.GetLowerLimits()[0], r.GetUpperLimits()[0]},
                NormalReference("x 95% interval (Jeffreys 2 posterior)"), 1e-13);
}

TEST(BSN1SampleNormal, LargeMeanGivesTheCentredT) {
  // Values at 1e9 in steps of 1/16 are exact, and so is their mean 1e9 + 0.125: any loss is the
  // accumulator's (a sum of squares would lose every digit of the variance here).
  const std::vector<double> centred = {-1.5, 0.25, 1.0, -0.75, 0.5, 1.25, -0.25, 2.0, -1.0, -0.25};
  std::vector<double> shifted = centred;
  for (double& value : shifted) value += 1e9;
  BSNSettings settings = OneSampleSettings(BSNConst::DistTypes::Normal, Analysis::BayesFactor, 2);
  settings.SetNullValues({0.0, 1e9});
  const NormalRun run(settings, FromColumns({centred, shifted}));
  EXPECT_NEAR_REL(run.Record()->GetTValues()[1], run.Record()->GetTValues()[0], 1e-9);
  EXPECT_NEAR_REL(run.Record()->GetStdDevs()[1], run.Record()->GetStdDevs()[0], 1e-12);
}

TEST(BSN1SampleNormal, DegenerateVariablesWarnAndStayMissing) {
  // Columns: x, constant, all missing, one value.
  const NormalRun run(
      OneSampleSettings(BSNConst::DistTypes::Normal, Analysis::Both, 4),
      FromColumns(
          {{5.0, 5.1, 5.4, 5.9, 6.6, 7.5, 8.6, 9.9}, std::vector<double>(8, 3.0), {kMissing}, {7.5}}));
  EXPECT_EQ(
      run.ListedWarnings(),
      (Warnings{{BSN_CONSTANT_FIELDS, 1}, {BSN_FEW_VALID_CASES_NORMAL, 2}, {BSN_FEW_VALID_CASES_NORMAL, 3}}));
  const BSN1SampleNormOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetStdDevs(), (std::vector<double>{r.GetStdDevs()[0], 0.0, kMissing, kMissing}));
  EXPECT_EQ(r.GetDFValues(), (std::vector<double>{7.0, 7.0, kMissing, 0.0}));
  for (const auto* list :
       {&r.GetTValues(), &r.GetBayesFactors(), &r.GetPostMeanValues(), &r.GetUpperLimits()})
    EXPECT_EQ(std::vector<double>(list->begin() + 1, list->end()), std::vector<double>(3, kMissing));
}

TEST(BSN1SampleNormal, FactorsBeyondTheDoubleRangeAreMissingWithAWarning) {
  // Every case weighs 1e12: both t statistics are in the millions and ln BF01 in the minus billions, far
  // below the smallest double. The record holds factors only, so each is missing, with a warning, and the
  // t tests stay.
  Rows rows = NormalData();
  for (auto& row : rows) row->push_back(1e12);
  BSNSettings settings = NormalSettings(Analysis::BayesFactor);
  settings.SetFrequencyWeightVar(2);
  const NormalRun run(settings, rows);
  ASSERT_TRUE(run.status.IsOK());
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_NUMERICAL_PROBLEM, 0}, {BSN_NUMERICAL_PROBLEM, 1}}));
  EXPECT_EQ(run.Record()->GetBayesFactors(), (std::vector<double>{kMissing, kMissing}));
  EXPECT_GT(run.Record()->GetTValues()[0], 1e6);
}

TEST(BSN1SampleNormal, DataFarFromOneKeepTheirSpread) {
  // u * (1, ..., 7) for u = 1e200 and 1e-300: sd = 2.1602468994692869 u and t = 4 / (sd(1:7) / sqrt(7))
  // = 4.8989794855663558 (R), whatever u; neither variable is constant.
  std::vector<double> large, tiny;
  for (int k = 1; k <= 7; ++k) large.push_back(k * 1e200), tiny.push_back(k * 1e-300);
  BSNSettings settings = kqtest::NormalSettings(Analysis::BayesFactor);
  settings.SetNullValues({0.0, 0.0});
  const kqtest::NormalRun run(settings, kqtest::FromColumns({large, tiny}));
  ASSERT_TRUE(run.status.IsOK());
  EXPECT_TRUE(run.ListedWarnings().empty());
  kqtest::ExpectAllNear(run.Record()->GetStdDevs(), {2.1602468994692869e200, 2.1602468994692869e-300}, 1e-14);
  kqtest::ExpectAllNear(run.Record()->GetTValues(), {4.8989794855663558, 4.8989794855663558}, 1e-14);
}
