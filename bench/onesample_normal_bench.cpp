// The statistics pass of the one-sample normal analysis beside two plain loops over the same records:
// one forming the weighted sums n, sum w x and sum w x^2 per variable, one feeding the stable
// accumulators. The first ratio is the whole price of the analysis' pass, the second the part of it
// that the shared record loop (cancellation, progress) adds.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "companion/KQContStats.h"
#include "companion/KQMemoryDataSet.h"
#include "frame/BSNSettings.h"
#include "frame/CaseWeights.h"
#include "onesample/detail/BSN1SampleNormal.h"

namespace {

using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQMemoryRecordIter;

constexpr int kNVars = 10;

// Arguments: number of records. Variables 0 to 9, weight in column 10.
KQMemoryDataSet MakeData(int nRecords) {
  KQMemoryDataSet data;
  for (int v = 0; v < kNVars; ++v) {
    std::vector<double> column(static_cast<std::size_t>(nRecords));
    for (int r = 0; r < nRecords; ++r)
      column[static_cast<std::size_t>(r)] = std::sin(r * (v + 1.0)) + 10.0 * v;
    data.AddColumn("x", std::move(column));
  }
  std::vector<double> weights(static_cast<std::size_t>(nRecords));
  for (int r = 0; r < nRecords; ++r) weights[static_cast<std::size_t>(r)] = 1.0 + r % 3;
  data.AddColumn("w", std::move(weights));
  return data;
}

void BM_PlainWeightedSums(benchmark::State& state) {
  const KQMemoryDataSet data = MakeData(static_cast<int>(state.range(0)));
  const KQBSN_850::CaseWeigher weightOf(kNVars, -1);
  for (auto _ : state) {
    double sums[kNVars][3] = {};
    KQMemoryRecordIter iter(data);
    iter.StartPass();
    while (iter.HasNext()) {
      const std::vector<double>& values = iter.NextRecord()->GetAll();
      const double w = weightOf(values).frequency;
      for (int v = 0; v < kNVars; ++v) {
        const double x = values[static_cast<std::size_t>(v)];
        sums[v][0] += w;
        sums[v][1] += w * x;
        sums[v][2] += w * x * x;
      }
    }
    benchmark::DoNotOptimize(sums);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainWeightedSums)->Arg(10000000)->Unit(benchmark::kMillisecond);

void BM_PlainAccumulators(benchmark::State& state) {
  const KQMemoryDataSet data = MakeData(static_cast<int>(state.range(0)));
  const KQBSN_850::CaseWeigher weightOf(kNVars, -1);
  for (auto _ : state) {
    KQMath_850::KQContStats stats[kNVars];
    KQMemoryRecordIter iter(data);
    iter.StartPass();
    while (iter.HasNext()) {
      const std::vector<double>& values = iter.NextRecord()->GetAll();
      const double w = weightOf(values).frequency;
      for (int v = 0; v < kNVars; ++v) stats[v].Update(values[static_cast<std::size_t>(v)], w, 0.0);
    }
    benchmark::DoNotOptimize(stats);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainAccumulators)->Arg(10000000)->Unit(benchmark::kMillisecond);

void BM_OneSampleNormalBuild(benchmark::State& state) {
  const KQMemoryDataSet data = MakeData(static_cast<int>(state.range(0)));
  KQBSN_850::BSNSettings settings;
  settings.SetCovariates({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  settings.SetFrequencyWeightVar(kNVars);
  settings.SetAnalysType(KQBSN_850::BSNConst::AnalysTypes::Posterior);
  const auto vars = data.MakeVarList();
  for (auto _ : state) {
    KQBSN_850::BSN1SampleNormal analysis(settings, vars);
    KQMemoryRecordIter iter(data);
    benchmark::DoNotOptimize(analysis.BuildModel(iter));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OneSampleNormalBuild)->Arg(10000000)->Unit(benchmark::kMillisecond);

}  // namespace
