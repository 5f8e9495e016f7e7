#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "companion/KQMV.h"
#include "frame/BayesEstimation.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "tests/regression/CarsFixture.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using namespace kqtest;

// Expected values: tests/reference/regression_score.out (R's predict(lm(...), newdata, interval =
// "prediction", se.fit = TRUE) under the reference prior; the predictive t of the conjugate posterior in
// R's matrix algebra). Each scored record carries wt, hp, cyl code and carb code; its mpg is missing, as
// a record to be scored has no dependent value.

namespace {

std::vector<std::vector<double>> Lines(const std::string& label) {
  std::vector<std::vector<double>> lines;
  for (const ReferenceRow& row : ReadReferenceTable("regression_score.out"))
    if (row.label == label) lines.push_back(row.values);
  return lines;
}

/// The scored records in the variable layout of the cars: mpg, wt, hp, cyl, w, f, carb.
std::vector<ValuesRecord> ScoredRecords() {
  std::vector<ValuesRecord> records;
  for (const std::vector<double>& v : Lines("record wt, hp, cyl code, carb code"))
    records.emplace_back(std::vector<double>{KQMV::Missing(), v[0], v[1], v[2], 1.0, 1.0, v[3]});
  return records;
}

void ExpectScoresMatch(const BSNMultiRegOutputStats& r, const std::string& label, double relTol) {
  const std::vector<ValuesRecord> records = ScoredRecords();
  const std::vector<std::vector<double>> expected = Lines(label);
  ASSERT_EQ(records.size(), expected.size()) << label;
  ASSERT_EQ(records.size(), 7u);
  for (std::size_t i = 0; i < records.size(); ++i) {
    BayesEstimation e;
    EXPECT_TRUE(r.Score(records[i], e).IsOK());
    EXPECT_EQ(e.mode, e.mean);
    EXPECT_NEAR_REL(e.mean, expected[i][0], relTol) << label << " record " << i;
    EXPECT_NEAR_REL(e.variance, expected[i][1], relTol) << label << " record " << i;
    EXPECT_NEAR_REL(e.lower, expected[i][2], relTol) << label << " record " << i;
    EXPECT_NEAR_REL(e.upper, expected[i][3], relTol) << label << " record " << i;
  }
}

BSNSettings ScoringSettings(BSNConst::AnalysTypes type) {
  BSNSettings s = CarSettings(type);
  s.SetComputeVarianceInScoring(true);
  return s;
}

}  // namespace

TEST(MultiRegScore, ReferencePriorGivesPredictionIntervalsOfLm) {
  // Dense design rows (6 parameters for 3 effects), at two credible levels.
  BSNSettings s = ScoringSettings(BSNConst::AnalysTypes::Posterior);
  const RegrRun run95(s, Cars());
  ASSERT_TRUE(run95.status.IsOK()) << run95.status.GetErrorCode();
  ExpectScoresMatch(run95.Record(), "dense 95 fit, variance, lower, upper", 1e-10);
  s.SetCILevel(80.0);
  const RegrRun run80(s, Cars());
  ASSERT_TRUE(run80.status.IsOK());
  ExpectScoresMatch(run80.Record(), "dense 80 fit, variance, lower, upper", 1e-10);
}

TEST(MultiRegScore, SparseRowsOfAManyLevelFactorScoreAsDenseOnes) {
  const BSNSettings s = WithCarbAndWeight(ScoringSettings(BSNConst::AnalysTypes::Posterior));
  const RegrRun run(s, Cars());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  ExpectScoresMatch(run.Record(), "sparse 95 fit, variance, lower, upper", 1e-10);
}

TEST(MultiRegScore, ConjugatePriorScoresWithPosteriorMeans) {
  BSNSettings s = ScoringSettings(BSNConst::AnalysTypes::Posterior);
  s.SetPriorType(BSNConst::PriorTypes::Conjugate);
  s.SetPriorShape(2.0);
  s.SetPriorScale(10.0);
  s.SetPriorMeans({20.0, 0.0, 0.0, 0.0, -3.0, 0.0});  // the redundant cyl 8 entry is not used
  std::vector<double> packed(21, 0.0);
  const std::vector<double> diagonal{100.0, 10.0, 10.0, 1.0, 1.0, 0.01};
  for (std::size_t i = 0; i < 6; ++i) packed[i * (i + 1) / 2 + i] = diagonal[i];
  s.SetPriorCovMatrix(packed);
  const RegrRun run(s, Cars());
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  ExpectScoresMatch(run.Record(), "conjugate 95 fit, variance, lower, upper", 1e-10);
}

TEST(MultiRegScore, OnlyModeAndMeanWithoutVarianceOrPosterior) {
  const std::vector<std::vector<double>> expected = Lines("dense 95 fit, variance, lower, upper");
  const std::vector<ValuesRecord> records = ScoredRecords();
  const double kept = 123.5;  // what the caller put in the fields that must not be written
  // Variance not asked for; then asked for after a Bayes-factor-only analysis, which has no posterior.
  BSNSettings noVariance = CarSettings(BSNConst::AnalysTypes::Both);
  BSNSettings factorOnly = ScoringSettings(BSNConst::AnalysTypes::BayesFactor);
  for (BSNSettings* s : {&noVariance, &factorOnly}) {
    const RegrRun run(*s, Cars());
    ASSERT_TRUE(run.status.IsOK());
    for (std::size_t i = 0; i < records.size(); ++i) {
      BayesEstimation e(kept, kept, kept, kept, kept);
      EXPECT_TRUE(run.Record().Score(records[i], e).IsOK());
      EXPECT_NEAR_REL(e.mode, expected[i][0], 1e-10) << i;
      EXPECT_NEAR_REL(e.mean, expected[i][0], 1e-10) << i;
      EXPECT_EQ(e.variance, kept);
      EXPECT_EQ(e.lower, kept);
      EXPECT_EQ(e.upper, kept);
    }
  }
}

TEST(MultiRegScore, RecordWithoutAUsableRowScoresMissing) {
  const RegrRun dense(ScoringSettings(BSNConst::AnalysTypes::Posterior), Cars());
  const RegrRun sparse(WithCarbAndWeight(ScoringSettings(BSNConst::AnalysTypes::Posterior)), Cars());
  ASSERT_TRUE(dense.status.IsOK());
  ASSERT_TRUE(sparse.status.IsOK());
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double miss = KQMV::Missing();
  // Factor codes outside the categories (cyl has 3, carb 6), fractional, missing or NaN; a missing or
  // NaN covariate; a record shorter than the variables the design reads.
  const std::vector<std::vector<double>> bad{
      {miss, 3.0, 120.0, 3.0, 1.0, 1.0, 6.0},
      {miss, 3.0, 120.0, -1.0, 1.0, 1.0, -1.0},
      {miss, 3.0, 120.0, 0.5, 1.0, 1.0, 2.5},
      {miss, 3.0, 120.0, miss, 1.0, 1.0, miss},
      {miss, 3.0, 120.0, nan, 1.0, 1.0, nan},
      {miss, miss, miss, 1.0, 1.0, 1.0, 1.0},
      {miss, nan, nan, 1.0, 1.0, 1.0, 1.0},
      {miss, 3.0, 120.0},
      {},
  };
  for (const RegrRun* run : std::vector<const RegrRun*>{&dense, &sparse}) {
    for (std::size_t i = 0; i < bad.size(); ++i) {
      BayesEstimation e(1.0, 2.0, 3.0, 4.0, 5.0);
      EXPECT_TRUE(run->Record().Score(ValuesRecord(bad[i]), e).IsOK());
      EXPECT_TRUE(KQMV::IsMissing(e.mode) && KQMV::IsMissing(e.mean)) << "record " << i;
      EXPECT_TRUE(KQMV::IsMissing(e.variance) && KQMV::IsMissing(e.lower) && KQMV::IsMissing(e.upper))
          << "record " << i;
    }
  }
  // The same record with a known category scores.
  BayesEstimation e;
  dense.Record().Score(ValuesRecord({miss, 3.0, 120.0, 1.0}), e);
  EXPECT_NEAR_REL(e.mean, Lines("dense 95 fit, variance, lower, upper").back()[0], 1e-10);
}

TEST(MultiRegScore, ConcurrentScoringAgreesWithSerial) {
  // Scoring is const: two threads scoring with one record object must each get the serial answers.
  const BSNSettings s = WithCarbAndWeight(ScoringSettings(BSNConst::AnalysTypes::Posterior));
  const RegrRun run(s, Cars());
  ASSERT_TRUE(run.status.IsOK());
  const std::vector<ValuesRecord> records = ScoredRecords();
  std::vector<BayesEstimation> serial(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) run.Record().Score(records[i], serial[i]);
  std::vector<int> mismatches(2, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < 2; ++t)
    threads.emplace_back([&, t] {
      for (int repeat = 0; repeat < 2000; ++repeat)
        for (std::size_t i = 0; i < records.size(); ++i) {
          const std::size_t k = (i + t * 3) % records.size();
          BayesEstimation e;
          run.Record().Score(records[k], e);
          if (!(e == serial[k])) ++mismatches[t];
        }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, (std::vector<int>{0, 0}));
}
