// The correlation analysis on 100 variables x 10000 records (4950 pairs). Baseline: the plain sums of
// products of every pair over the same records (the work of a textbook correlation matrix, about what R's
// cor() does); beside it the analysis' data pass alone (pairwise), then the whole analysis with the
// default settings (JZS factor, 10000 posterior draws per pair, 10 plotted pairs) on 1 and 2 threads, and
// one JZS factor for n = 1000, r = 0.9 (ln BF01 = -824). bench/correlation_compare.sh runs it beside R.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "companion/KQMemoryDataSet.h"
#include "companion/KQThread.h"
#include "correlation/BSNPearsonCorrelation.h"
#include "correlation/detail/CorrPairStats.h"
#include "correlation/detail/CorrelationFactors.h"
#include "frame/BSNSettings.h"

namespace {

using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQMemoryRecordIter;

constexpr int kNVars = 100;
constexpr int kNRecords = 10000;

// x[r][v] = sin(r (v + 1)) + 0.5 sin(0.37 r + v): correlated, deterministic, the same in the R script.
const KQMemoryDataSet& Data() {
  static const KQMemoryDataSet data = [] {
    KQMemoryDataSet made;
    for (int v = 0; v < kNVars; ++v) {
      std::vector<double> column(kNRecords);
      for (int r = 0; r < kNRecords; ++r)
        column[static_cast<std::size_t>(r)] = std::sin(r * (v + 1.0)) + 0.5 * std::sin(0.37 * r + v);
      made.AddColumn(std::to_string(v), std::move(column));
    }
    return made;
  }();
  return data;
}

std::vector<int> AllVars() {
  std::vector<int> vars;
  for (int v = 0; v < kNVars; ++v) vars.push_back(v);
  return vars;
}

void BM_PlainCrossProducts(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<double> sums(kNVars * (kNVars + 1) / 2 + kNVars, 0.0);
    KQMemoryRecordIter iter(Data());
    iter.StartPass();
    while (iter.HasNext()) {
      const std::vector<double>& x = iter.NextRecord()->GetAll();
      std::size_t k = 0;
      for (int i = 0; i < kNVars; ++i) {
        sums[k++] += x[static_cast<std::size_t>(i)];
        for (int j = 0; j <= i; ++j)
          sums[k++] += x[static_cast<std::size_t>(i)] * x[static_cast<std::size_t>(j)];
      }
    }
    benchmark::DoNotOptimize(sums.data());
  }
}
BENCHMARK(BM_PlainCrossProducts)->Unit(benchmark::kMillisecond);

void BM_CorrelationDataPass(benchmark::State& state) {
  KQBSN_850::BSNSettings settings;
  for (auto _ : state) {
    KQCommon_850::KQCancelInfo cancel;
    KQCommon_850::KQWarnings warnings;
    KQBSN_850::detail::CorrPairResults results;
    KQBSN_850::detail::CorrPairStats stats(AllVars(), true);
    KQBSN_850::RecordPass pass(settings, cancel, nullptr);
    KQMemoryRecordIter iter(Data());
    stats.Accumulate(pass, iter);
    benchmark::DoNotOptimize(stats.ComputePairs(cancel, warnings, results));
  }
}
BENCHMARK(BM_CorrelationDataPass)->Unit(benchmark::kMillisecond);

// Argument: number of threads.
void BM_CorrelationWholeAnalysis(benchmark::State& state) {
  KQBSN_850::BSNSettings settings;
  settings.SetModelType(KQBSN_850::BSNConst::ModelTypes::Correlation, true);
  settings.SetAnalysType(KQBSN_850::BSNConst::AnalysTypes::Both);
  settings.SetCovariates(AllVars());
  KQThread_850::KQStdThreadFactory factory;
  if (state.range(0) > 1) {
    settings.SetThreadFactory(&factory);
    settings.SetMaxThreadNum(static_cast<int>(state.range(0)));
  }
  const KQCommon_850::KQVarList vars = Data().MakeVarList();
  for (auto _ : state) {
    KQBSN_850::BSNPearsonCorrelation analysis(settings, vars);
    KQMemoryRecordIter iter(Data());
    benchmark::DoNotOptimize(analysis.BuildModel(iter));
  }
}
BENCHMARK(BM_CorrelationWholeAnalysis)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime();

void BM_JzsCorrelationFactor(benchmark::State& state) {
  const double n = static_cast<double>(state.range(0)), r = static_cast<double>(state.range(1)) / 100.0;
  for (auto _ : state)
    benchmark::DoNotOptimize(KQBSN_850::detail::JzsCorrelationLogBf01(r, n, {0.0001, 2000}).logBf01);
}
BENCHMARK(BM_JzsCorrelationFactor)
    ->Args({30, 30})
    ->Args({1000, 90})
    ->Args({10000, 50})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
