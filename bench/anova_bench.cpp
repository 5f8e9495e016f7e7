// Speed of the one-way ANOVA: a whole analysis (one pass, Bayes factor and reference posterior) on 1e6
// cases with a factor of 200 levels, beside the multiple regression of the same dependent on the same
// factor (two passes and a sweep) and beside the plain loop of per-level sums of w, w y and w y^2 over the
// same columns (the baseline: what a naive one-pass ANOVA costs, without its loss of digits guarded).

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "companion/KQMemoryDataSet.h"
#include "frame/BSNComponent.h"
#include "regression/BSNMultiRegOutputStats.h"

namespace {

using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQMemoryRecordIter;
using Model = KQBSN_850::BSNConst::ModelTypes;

constexpr std::size_t kCases = 1000000;
constexpr int kLevels = 200;

/// Deterministic pseudo-noise in [0, 1): the fractional part of 43758.5453 sin(12.9898 i).
double Noise(double i) {
  const double x = std::sin(12.9898 * i) * 43758.5453;
  return x - std::floor(x);
}

/// Column 0 the dependent (level effect 0.01 level plus noise), column 1 the level i mod kLevels.
KQMemoryDataSet MakeData() {
  std::vector<double> y(kCases), level(kCases);
  for (std::size_t c = 0; c < kCases; ++c) {
    level[c] = static_cast<double>(c % kLevels);
    y[c] = Noise(static_cast<double>(c)) + 0.01 * level[c];
  }
  KQMemoryDataSet data;
  data.AddColumn("y", std::move(y));
  data.AddColumn("level", std::move(level));
  return data;
}

void RunAnalysis(benchmark::State& state, Model model) {
  const KQMemoryDataSet data = MakeData();
  const KQCommon_850::KQVarList vars = data.MakeVarList({1});
  KQBSN_850::BSNSettings s;
  s.SetModelType(model, true);
  s.SetDependVar(0);
  s.SetFactors({1});
  s.SetFactorNCategs({kLevels});
  s.SetAnalysType(KQBSN_850::BSNConst::AnalysTypes::Both);
  s.SetPriorType(KQBSN_850::BSNConst::PriorTypes::Reference);
  s.SetRegrCompType(KQBSN_850::BSNConst::RegrCompute::Siow);
  double rSquared = 0.0;
  for (auto _ : state) {
    KQBSN_850::BSNComponent component(s, vars);
    KQMemoryRecordIter iter(data);
    if (component.BuildModel(iter).IsError()) state.SkipWithError("the analysis failed");
    const auto* record = dynamic_cast<const KQBSN_850::BSNMultiRegOutputStats*>(component.GetOutputStats());
    if (record != nullptr) rSquared = record->GetRSquared();
  }
  // The same R squared from both analyses.
  state.counters["r2"] = rSquared;
  state.counters["cases"] =
      benchmark::Counter(static_cast<double>(kCases), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Anova200Levels(benchmark::State& state) { RunAnalysis(state, Model::Anova); }
BENCHMARK(BM_Anova200Levels)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Regression200Levels(benchmark::State& state) { RunAnalysis(state, Model::Regression); }
BENCHMARK(BM_Regression200Levels)->Unit(benchmark::kMillisecond)->Iterations(3);

// The baseline: per-level sums of w, w y and w y^2 read straight from the columns.
void BM_PlainLevelSums(benchmark::State& state) {
  const KQMemoryDataSet data = MakeData();
  std::vector<double> w(kLevels), sy(kLevels), syy(kLevels);
  for (auto _ : state) {
    for (std::size_t c = 0; c < kCases; ++c) {
      const auto k = static_cast<std::size_t>(data.GetColumn(1)[c] + 0.1);
      const double y = data.GetColumn(0)[c];
      w[k] += 1.0;
      sy[k] += y;
      syy[k] += y * y;
    }
    benchmark::DoNotOptimize(syy.data());
  }
}
BENCHMARK(BM_PlainLevelSums)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
