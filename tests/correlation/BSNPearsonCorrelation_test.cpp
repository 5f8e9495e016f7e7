// The correlation analysis from records to record: r and N against R's cor(), the JZS factors against R's
// integrate(), the posterior moments against exact quadrature (tests/reference/correlation_reference.R),
// the warnings of degenerate pairs, the thread tasks and their merge.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "companion/KQMV.h"
#include "companion/KQRandomValues.h"
#include "companion/KQThread.h"
#include "correlation/BSNPearsonCorrelationOutputStats.h"
#include "correlation/detail/BSNCorrTask.h"
#include "tests/support/BuiltAnalysis.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using KQCommon_850::KQMV;
using Record = BSNPearsonCorrelationOutputStats;
using Built = kqtest::BuiltAnalysis<Record>;
using KQBSN_850::detail::OrderWindowEnds;

namespace {

// The reference data set: x1 .. x4 and a frequency weight (column 4); nan is missing.
kqtest::Rows ReferenceData() {
  kqtest::Rows rows;
  for (kqtest::ReferenceRow& row : kqtest::ReadReferenceTable("correlation_data.out")) {
    std::transform(row.values.begin(), row.values.end(), row.values.begin(), KQMV::FromNaN);
    rows.push_back(row.values);
  }
  return rows;
}

BSNSettings Settings(std::vector<int> vars, BSNConst::AnalysTypes type = BSNConst::AnalysTypes::Both) {
  BSNSettings settings;
  settings.SetModelType(BSNConst::ModelTypes::Correlation, true);
  settings.SetAnalysType(type);
  settings.SetCovariates(vars);
  return settings;
}

BSNSettings ReferenceSettings(BSNConst::MissScope scope) {
  BSNSettings settings = Settings({0, 1, 2, 3});
  settings.SetFrequencyWeightVar(4);
  settings.SetMissScope(scope);
  settings.SetTolValue(1e-10);
  return settings;
}

// Columns of k variables over n records, correlated by a shared normal term, from a fixed stream.
kqtest::Rows SimulatedColumns(int k, int n, double shared) {
  KQMath_850::KQRandomValues random(17);
  random.SetParamNormal(0.0, 1.0);
  kqtest::Rows rows;
  for (int i = 0; i < n; ++i) {
    const double common = random.GetRandom();
    std::vector<double> row;
    for (int j = 0; j < k; ++j) row.push_back(shared * common + random.GetRandom());
    rows.push_back(row);
  }
  return rows;
}

std::vector<int> Iota(int k) {
  std::vector<int> vars(static_cast<std::size_t>(k));
  std::iota(vars.begin(), vars.end(), 0);
  return vars;
}

double NormalCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// A factory over the standard one that remembers what the analysis asked of it.
struct RecordingFactory final : KQThread_850::IKQThreadFactory {
  struct Runner final : KQThread_850::IKQThreadRunner {
    Runner(std::vector<std::size_t>& counts, std::unique_ptr<IKQThreadRunner> runner)
        : taskCounts(counts), real(std::move(runner)) {}
    void RunTasks(const std::vector<KQThread_850::IKQThreadTask*>& tasks) override {
      taskCounts.push_back(tasks.size());
      real->RunTasks(tasks);
    }
    std::vector<std::size_t>& taskCounts;
    std::unique_ptr<IKQThreadRunner> real;
  };
  std::unique_ptr<KQThread_850::IKQThreadRunner> CreateRunner(int nThreads) override {
    requestedThreads.push_back(nThreads);
    return std::make_unique<Runner>(taskCounts, KQThread_850::KQStdThreadFactory().CreateRunner(nThreads));
  }
  std::vector<int> requestedThreads;
  std::vector<std::size_t> taskCounts;
};

}  // namespace

TEST(BSNPearsonCorrelation, PairsMatchRCorPairwiseAndListwiseWithWeights) {
  // Rows: i, j, then N and r by cor(use = "pairwise.complete.obs") and by cor(use = "complete.obs"), the
  // records repeated by their rounded weights (0.4 drops a record, 1.5 counts twice, 2.6 three times).
  std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("correlation_pairs.out");
  const std::vector<double> varN = kqtest::ReferenceValues(rows, "varN");
  rows.pop_back();
  ASSERT_EQ(rows.size(), 6u);
  for (const auto scope : {BSNConst::MissScope::MissingAnalysis, BSNConst::MissScope::MissingListwise}) {
    const std::size_t at = scope == BSNConst::MissScope::MissingAnalysis ? 2 : 4;
    const Built run(ReferenceSettings(scope), ReferenceData());
    ASSERT_FALSE(run.status.IsError());
    EXPECT_TRUE(run.ListedWarnings().empty());
    const Record& record = *run.Record();
    ASSERT_EQ(record.GetVarPairIndices().size(), 6u);
    for (std::size_t p = 0; p < rows.size(); ++p) {
      const std::vector<double>& v = rows[p].values;
      EXPECT_EQ(record.GetVarPairIndices()[p],
                std::make_pair(static_cast<int>(v[0]), static_cast<int>(v[1])));
      EXPECT_EQ(record.GetVarPairN()[p], v[at]);
      EXPECT_NEAR_REL(record.GetPearsonCorrelation()[p], v[at + 1], 1e-13) << "pair " << p;
    }
    // Per variable, the weights of its present values whatever the scope.
    EXPECT_EQ(record.GetVarN(), varN);
  }
}

TEST(BSNPearsonCorrelation, FactorsAndPosteriorsMatchRIntegrate) {
  const Built run(ReferenceSettings(BSNConst::MissScope::MissingAnalysis), ReferenceData());
  ASSERT_FALSE(run.status.IsError());
  const Record& record = *run.Record();
  // The last six rows of the JZS table are the pairs of the data set, with R's r and N.
  const std::vector<kqtest::ReferenceRow> jzs = kqtest::ReadReferenceTable("correlation_jzs.out");
  // Rows: r, n, mean and variance of tanh(z), their standard errors for 10000 draws (the first six are the
  // pairs). Four standard errors: a false alarm about once in 16000 per check.
  const std::vector<kqtest::ReferenceRow> posterior = kqtest::ReadReferenceTable("correlation_posterior.out");
  for (std::size_t p = 0; p < 6; ++p) {
    const std::vector<double>& f = jzs[jzs.size() - 6 + p].values;
    EXPECT_FALSE(record.GetIsLogBayesFactor()[p]);
    EXPECT_NEAR_REL(record.GetBayesFactor()[p], std::exp(f[2]), 1e-6) << "pair " << p;
    const std::vector<double>& m = posterior[p].values;
    EXPECT_NEAR(record.GetPosteriorMean()[p], m[2], 4.0 * m[4]) << "pair " << p;
    EXPECT_NEAR(record.GetPosteriorVariance()[p], m[3], 4.0 * m[5]) << "pair " << p;
    // The interval holds 95% of the posterior of tanh(z) (z normal), within four binomial standard errors.
    const double r = m[0], n = m[1];
    const double mu = std::atanh(r) - 2.5 * r / n, sd = std::sqrt(1.0 / (n + 1.0 - 2.5 * r * r));
    const double lower = record.GetPosteriorLowerBound()[p], upper = record.GetPosteriorUpperBound()[p];
    const double mass = NormalCdf((std::atanh(upper) - mu) / sd) - NormalCdf((std::atanh(lower) - mu) / sd);
    EXPECT_NEAR(mass, 0.95, 4.0 * std::sqrt(0.95 * 0.05 / 10000)) << "pair " << p;
    // The mode is the draw with the largest posterior kernel: one of the two draws beside the kernel's peak,
    // each within 20 sd / S of it but with probability 1e-7.
    EXPECT_NEAR(record.GetPosteriorMode()[p], m[6], 20.0 * std::sqrt(m[3]) / 10000) << "pair " << p;
  }
  EXPECT_TRUE(record.GetIndIntegralFailed().empty());
  // The plots: the default 100 grid points split (-1, 1) evenly; one curve per pair (6 < 10 plots); the
  // posterior curve is 1 at its largest point, the prior with c = 0 is 1 everywhere.
  ASSERT_EQ(record.GetPlotXAxis().size(), 100u);
  EXPECT_NEAR_REL(record.GetPlotXAxis()[0], -1.0 + 2.0 / 101.0, 1e-15);
  ASSERT_EQ(record.GetPlotPosterior().size(), 6u);
  for (std::size_t p = 0; p < 6; ++p) {
    const std::vector<double>& curve = record.GetPlotPosterior()[p];
    ASSERT_EQ(curve.size(), 100u);
    EXPECT_EQ(*std::max_element(curve.begin(), curve.end()), 1.0);
    EXPECT_EQ(record.GetPlotPrior()[p], std::vector<double>(100, 1.0));
    // The log-likelihood peaks within a grid step of r.
    const std::vector<double>& logLikelihood = record.GetPlotLogLikelihood()[p];
    const auto peak = std::max_element(logLikelihood.begin(), logLikelihood.end()) - logLikelihood.begin();
    EXPECT_NEAR(record.GetPlotXAxis()[static_cast<std::size_t>(peak)], record.GetPearsonCorrelation()[p],
                2.0 / 101.0);
  }
}

TEST(BSNPearsonCorrelation, DegeneratePairsWarnAndHaveMissingResults) {
  // x, 2x + 1 (perfect), a constant, and a variable with one case: pairs (0,1) perfect, (0,2) and (1,2)
  // constant, (0,3) (1,3) (2,3) one case each.
  const kqtest::Rows rows = kqtest::FromColumns({{1, 2, 3, 5}, {3, 5, 7, 11}, {4, 4, 4, 4}, {9}});
  BSNSettings settings = Settings({0, 1, 2, 3});
  settings.SetNPlotPoints(3);
  const Built run(settings, rows);
  ASSERT_FALSE(run.status.IsError());
  EXPECT_EQ(run.ListedWarnings(),
            (kqtest::Warnings{
                {BSN_FEW_VALID_CASES_CORR, 0}, {BSN_CONSTANT_CORR_PAIRS, 0}, {BSN_PERFECT_CORR_PAIRS, 0}}));
  const Record& record = *run.Record();
  EXPECT_EQ(record.GetVarPairN(), (std::vector<double>{4, 4, 1, 4, 1, 1}));
  EXPECT_EQ(record.GetVarN(), (std::vector<double>{4, 4, 4, 1}));
  EXPECT_EQ(record.GetPearsonCorrelation()[0], 1.0);
  for (std::size_t p = 0; p < 6; ++p) {
    EXPECT_EQ(KQMV::IsMissing(record.GetPearsonCorrelation()[p]), p > 0) << p;
    EXPECT_TRUE(KQMV::IsMissing(record.GetBayesFactor()[p])) << p;
    EXPECT_FALSE(record.GetIsLogBayesFactor()[p]);
    for (const auto* list :
         {&record.GetPosteriorMode(), &record.GetPosteriorMean(), &record.GetPosteriorVariance(),
          &record.GetPosteriorLowerBound(), &record.GetPosteriorUpperBound()})
      EXPECT_TRUE(KQMV::IsMissing((*list)[p])) << p;
  }
  // Three plot points: -0.5, 0, 0.5; the degenerate pairs' curves stay empty.
  EXPECT_EQ(record.GetPlotXAxis(), (std::vector<double>{-0.5, 0.0, 0.5}));
  EXPECT_TRUE(record.GetPlotPosterior()[0].empty());
  // Fewer than two variables is an error before any record is read.
  const Built one(Settings({0}), rows);
  one.ExpectConsistent();
  EXPECT_EQ(one.status.GetErrorCode(), BSN_TOO_FEW_CORR_VARIABLES);
}

TEST(BSNPearsonCorrelation, IntervalLevelsAndSampleCountsWithoutACandidateGiveMissingBounds) {
  const kqtest::Rows rows = SimulatedColumns(2, 30, 1.0);
  for (const auto& [level, samples] :
       {std::pair{100.0, 10000L}, {120.0, 10000L}, {KQMV::Missing(), 10000L}, {95.0, 0L}}) {
    BSNSettings settings = Settings({0, 1}, BSNConst::AnalysTypes::Posterior);
    settings.SetCILevel(level);
    settings.SetPosteriorSamples(samples);
    const Built run(settings, rows);
    ASSERT_FALSE(run.status.IsError());
    EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetPosteriorLowerBound()[0])) << level << " " << samples;
    EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetPosteriorUpperBound()[0]));
    EXPECT_EQ(KQMV::IsMissing(run.Record()->GetPosteriorMean()[0]), samples == 0);
    EXPECT_TRUE(run.Record()->GetBayesFactor().empty());
  }
  // A prior exponent c below -(n - 1)/2 leaves the kernel without a single peak: the mode is then the draw
  // nearest +-1 on the side of r, still one of the draws.
  BSNSettings settings = Settings({0, 1}, BSNConst::AnalysTypes::Posterior);
  settings.SetCorrCValue(-20.0);
  const Built run(settings, rows);
  const double mode = run.Record()->GetPosteriorMode()[0];
  EXPECT_TRUE(mode >= run.Record()->GetPosteriorUpperBound()[0] && mode < 1.0) << mode;
}

TEST(BSNPearsonCorrelation, FactorsBeyondTheDoubleRangeAreKeptAsLogarithms) {
  // y = x + small noise over 10^4 records: r near 0.9999, ln BF01 near -4e4 for both estimates.
  KQMath_850::KQRandomValues random(5);
  random.SetParamNormal(0.0, 1.0);
  kqtest::Rows rows;
  for (int i = 0; i < 10000; ++i) {
    const double x = random.GetRandom();
    rows.push_back(std::vector<double>{x, x + 0.01 * random.GetRandom()});
  }
  for (const auto estimate : {BSNConst::EstBFTypes::JZS, BSNConst::EstBFTypes::Fraction}) {
    BSNSettings settings = Settings({0, 1}, BSNConst::AnalysTypes::BayesFactor);
    settings.SetEstBFType(estimate);
    settings.SetMCSamples(1000);
    const Built run(settings, rows);
    ASSERT_FALSE(run.status.IsError());
    EXPECT_EQ(run.ListedWarnings(), (kqtest::Warnings{{BSN_LOG_FACTOR, 0}}));
    EXPECT_TRUE(run.Record()->GetIsLogBayesFactor()[0]);
    EXPECT_LT(run.Record()->GetBayesFactor()[0], -1000.0);
    EXPECT_TRUE(std::isfinite(run.Record()->GetBayesFactor()[0]));
  }
}

TEST(BSNPearsonCorrelation, ThreadTasksSplitAsAskedAndMatchOneTaskBitForBit) {
  // 16 variables: 120 pairs; 50 pairs per task on 2 threads give tasks of 50, 50 and 20 pairs. Both
  // estimates, and the JZS one with a single quadrature iteration, which leaves every integral unconverged:
  // both paths then list every pair, in order, as failed.
  const kqtest::Rows rows = SimulatedColumns(16, 40, 0.5);
  for (const auto& [estimate, maxIter] : {std::pair{BSNConst::EstBFTypes::JZS, 2000},
                                          {BSNConst::EstBFTypes::Fraction, 2000},
                                          {BSNConst::EstBFTypes::JZS, 1}}) {
    BSNSettings settings = Settings(Iota(16));
    settings.SetEstBFType(estimate);
    settings.SetMaxIterations(maxIter);
    settings.SetMCSamples(500);
    settings.SetPosteriorSamples(500);
    const Built single(settings, rows);
    RecordingFactory factory;
    settings.SetThreadFactory(&factory);
    settings.SetMaxThreadNum(2);
    const Built threaded(settings, rows);
    ASSERT_FALSE(single.status.IsError() || threaded.status.IsError());
    EXPECT_EQ(factory.requestedThreads, std::vector<int>{2});
    EXPECT_EQ(factory.taskCounts, std::vector<std::size_t>{3});
    const Record &a = *single.Record(), &b = *threaded.Record();
    EXPECT_EQ(a.GetPearsonCorrelation(), b.GetPearsonCorrelation());
    EXPECT_EQ(a.GetBayesFactor(), b.GetBayesFactor());
    EXPECT_EQ(a.GetIsLogBayesFactor(), b.GetIsLogBayesFactor());
    EXPECT_EQ(a.GetIndIntegralFailed(), maxIter == 1 ? Iota(120) : std::vector<int>{});
    EXPECT_EQ(b.GetIndIntegralFailed(), a.GetIndIntegralFailed());
    EXPECT_EQ(single.ListedWarnings().size(), maxIter == 1 ? 120u : 0u);
    EXPECT_EQ(single.ListedWarnings(), threaded.ListedWarnings());
    // The first task's pairs draw the same stream as the single task; the later tasks start it again.
    for (std::size_t p = 0; p < 120; ++p)
      EXPECT_NEAR(a.GetPosteriorMean()[p], b.GetPosteriorMean()[p], p < 50 ? 0.0 : 0.05) << p;
    EXPECT_EQ(a.GetPlotPosterior(), b.GetPlotPosterior());
  }
  // As many pairs as a task holds (10 variables, 45 pairs per task): one task on the calling thread.
  BSNSettings settings = Settings(Iota(10), BSNConst::AnalysTypes::BayesFactor);
  RecordingFactory factory;
  settings.SetThreadFactory(&factory);
  settings.SetMaxThreadNum(2);
  settings.SetNPairsPerTask(45);
  const Built oneTask(settings, rows);
  EXPECT_TRUE(factory.requestedThreads.empty());
  // A factory that offers no runner: the 5 tasks run on the calling thread, with the same factors.
  struct NoRunner final : KQThread_850::IKQThreadFactory {
    std::unique_ptr<KQThread_850::IKQThreadRunner> CreateRunner(int) override { return nullptr; }
  } none;
  settings.SetThreadFactory(&none);
  settings.SetNPairsPerTask(10);
  EXPECT_EQ(Built(settings, rows).Record()->GetBayesFactor(), oneTask.Record()->GetBayesFactor());
}

TEST(BSNPearsonCorrelation, ThreadedRunsCancelAtEveryPollWithoutARecord) {
  // The calling thread polls before each record, pair and draw of the tasks it runs (how many varies from
  // run to run): every third poll up to the end of a build is a cancellation point.
  const kqtest::Rows rows = SimulatedColumns(8, 20, 0.5);
  BSNSettings settings = Settings(Iota(8));
  settings.SetPosteriorSamples(20);
  settings.SetNPairsPerTask(5);
  KQThread_850::KQStdThreadFactory factory;
  settings.SetThreadFactory(&factory);
  settings.SetMaxThreadNum(3);
  int n = 0;
  for (;; n += 3) {
    ASSERT_LT(n, 3000) << "the build never finished";
    kqtest::CancelAfter query(n);
    const Built run(settings, rows, &query);
    run.ExpectConsistent();
    if (!run.status.IsError()) break;
    EXPECT_EQ(run.status.GetErrorCode(), BSN_STATUS_CANCELLED) << "poll " << n;
  }
  EXPECT_GT(n, 48);  // every record and every pair is a poll
}

TEST(OrderWindowEnds, EndsHoldWhatAFullSortPutsThere) {
  // Normal draws, draws with many ties and clipped at +-1, and a pattern whose every 16th value (the ones
  // the cuts are taken from) is huge, so that the cuts set apart too few and the whole range is ordered.
  KQMath_850::KQRandomValues random(3);
  random.SetParamNormal(0.0, 1.0);
  std::vector<std::vector<double>> sets;
  for (std::size_t n : {0, 1, 7, 100, 10000, 20001}) {
    std::vector<double> normal(n), tied(n), pattern(n);
    for (std::size_t i = 0; i < n; ++i) {
      normal[i] = random.GetRandom();
      tied[i] = std::clamp(std::round(4.0 * normal[i]) / 4.0, -1.0, 1.0);
      pattern[i] = i % 16 == 0 ? 1e9 + static_cast<double>(i) : static_cast<double>(n - i);
    }
    sets.insert(sets.end(), {normal, tied, pattern});
  }
  std::vector<double> scratch;
  for (const std::vector<double>& set : sets) {
    std::vector<double> sorted = set;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = set.size();
    for (std::size_t nStarts : {std::size_t{0}, std::size_t{1}, n / 20, n / 2 - (n > 0), n / 2, n}) {
      if (nStarts > n) continue;
      std::vector<double> draws = set;
      OrderWindowEnds(draws, nStarts, scratch);
      for (std::size_t i = 0; i < nStarts; ++i) {
        ASSERT_EQ(draws[i], sorted[i]) << "n = " << n << ", nStarts = " << nStarts << ", i = " << i;
        ASSERT_EQ(draws[n - 1 - i], sorted[n - 1 - i]) << "n = " << n << ", nStarts = " << nStarts;
      }
    }
  }
}
