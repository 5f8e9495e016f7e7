// Speed of the multiple regression: a whole fit (two passes, Bayes factor and reference posterior) on
// 1e6 cases with 50 covariates and with one factor of 200 levels (sparse rows), beside the plain
// cross-product loop over the same rows as the baseline; one Bayes factor from (N, p, R2); the sweep
// of a 4999-parameter design. bench/regression_vs_lm.sh runs these beside R's lm + summary on the same
// data (the cases are the closed forms of RegressionCase, which bench/regression_lm.R writes the same way).

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "companion/KQBitSet.h"
#include "companion/KQMemoryDataSet.h"
#include "companion/KQSymMatrix.h"
#include "frame/BSNComponent.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "regression/detail/BSNMultipleRegrFactor.h"

namespace {

using KQBSN_850::BSNConst::AnalysTypes;
using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQMemoryRecordIter;

constexpr std::size_t kCases = 1000000;

/// Deterministic pseudo-noise in [0, 1): the fractional part of 43758.5453 sin(12.9898 i).
double Noise(double i) {
  const double x = std::sin(12.9898 * i) * 43758.5453;
  return x - std::floor(x);
}

/// Covariate j of case i, and the dependent 0.01 (j + 1) x_j summed, plus the factor's effect and noise.
double Covariate(double i, int j) { return std::sin(0.5 * i + 1.3 * j) + Noise(i + 1000.0 * (j + 1)); }

/// The data: column 0 the dependent, then nCovariates covariates, then (with levels > 0) a factor whose
/// level is i mod levels.
KQMemoryDataSet MakeData(int nCovariates, int levels) {
  std::vector<std::vector<double>> columns(static_cast<std::size_t>(nCovariates) + 1 + (levels > 0 ? 1 : 0),
                                           std::vector<double>(kCases));
  for (std::size_t c = 0; c < kCases; ++c) {
    const double i = static_cast<double>(c);
    double y = Noise(i);
    for (int j = 0; j < nCovariates; ++j) {
      const double x = Covariate(i, j);
      columns[static_cast<std::size_t>(j) + 1][c] = x;
      y += 0.01 * (j + 1) * x;
    }
    if (levels > 0) {
      const double level = static_cast<double>(c % static_cast<std::size_t>(levels));
      columns.back()[c] = level;
      y += 0.01 * level;
    }
    columns[0][c] = y;
  }
  KQMemoryDataSet data;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    std::string name(1, 'v');
    name.append(std::to_string(k));
    data.AddColumn(std::move(name), std::move(columns[k]));
  }
  return data;
}

KQBSN_850::BSNSettings FitSettings(int nCovariates, int levels) {
  KQBSN_850::BSNSettings s;
  s.SetModelType(KQBSN_850::BSNConst::ModelTypes::Regression, true);
  s.SetDependVar(0);
  std::vector<int> covariates;
  for (int j = 0; j < nCovariates; ++j) covariates.push_back(j + 1);
  s.SetCovariates(covariates);
  if (levels > 0) {
    s.SetFactors({nCovariates + 1});
    s.SetFactorNCategs({levels});
  }
  s.SetAnalysType(AnalysTypes::Both);
  s.SetPriorType(KQBSN_850::BSNConst::PriorTypes::Reference);
  s.SetRegrCompType(KQBSN_850::BSNConst::RegrCompute::Siow);
  return s;
}

void RunFit(benchmark::State& state, int nCovariates, int levels) {
  const KQMemoryDataSet data = MakeData(nCovariates, levels);
  const KQCommon_850::KQVarList vars = levels > 0 ? data.MakeVarList({nCovariates + 1}) : data.MakeVarList();
  const KQBSN_850::BSNSettings settings = FitSettings(nCovariates, levels);
  double rSquared = 0.0;
  for (auto _ : state) {
    KQBSN_850::BSNComponent component(settings, vars);
    KQMemoryRecordIter iter(data);
    if (component.BuildModel(iter).IsError()) state.SkipWithError("the fit failed");
    const auto* record = dynamic_cast<const KQBSN_850::BSNMultiRegOutputStats*>(component.GetOutputStats());
    if (record != nullptr) rSquared = record->GetRSquared();
  }
  // R squared, to compare with R's on the same data.
  state.counters["r2"] = rSquared;
  state.counters["cases"] =
      benchmark::Counter(static_cast<double>(kCases), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Fit50Covariates(benchmark::State& state) { RunFit(state, 50, 0); }
BENCHMARK(BM_Fit50Covariates)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Fit200LevelFactor(benchmark::State& state) { RunFit(state, 0, 200); }
BENCHMARK(BM_Fit200LevelFactor)->Unit(benchmark::kMillisecond)->Iterations(3);

// The baseline: one pass of the textbook packed cross-product loop over the 50-covariate rows (with y).
void BM_PlainCrossProducts50(benchmark::State& state) {
  const KQMemoryDataSet data = MakeData(50, 0);
  const int n = 52;
  std::vector<double> packed(static_cast<std::size_t>(n * (n + 1) / 2));
  std::vector<double> row(static_cast<std::size_t>(n));
  for (auto _ : state) {
    for (std::size_t c = 0; c < kCases; ++c) {
      row[0] = 1.0;
      for (int j = 1; j <= 50; ++j) row[static_cast<std::size_t>(j)] = data.GetColumn(j)[c];
      row[51] = data.GetColumn(0)[c];
      std::size_t e = 0;
      for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j)
          packed[e++] += row[static_cast<std::size_t>(i)] * row[static_cast<std::size_t>(j)];
    }
    benchmark::DoNotOptimize(packed.data());
  }
}
BENCHMARK(BM_PlainCrossProducts50)->Unit(benchmark::kMillisecond)->Iterations(3);

// One Zellner-Siow factor from (N, p, R2); arguments N and 1000 R2.
void BM_BayesFactorSiow(benchmark::State& state) {
  KQBSN_850::BSNSettings settings = FitSettings(1, 0);
  const double n = static_cast<double>(state.range(0)), r2 = static_cast<double>(state.range(1)) / 1000.0;
  for (auto _ : state) {
    KQBSN_850::BSNMultipleRegrNullFactor factor(settings, n, 5, r2);
    factor.Compute();
    benchmark::DoNotOptimize(factor.GetBayesFactor());
  }
}
BENCHMARK(BM_BayesFactorSiow)->Args({32, 840})->Args({1000, 50})->Args({100000, 600})->Args({1000000, 1});

// The sweep of every pivot of a dense cross-product matrix of n - 1 parameters and the dependent, pivot by
// pivot (the baseline) and in blocks of 64 pivots as the fit sweeps.
KQMath_850::KQSymMatrix DenseCrossProducts(int n) {
  KQMath_850::KQSymMatrix base(n, true);
  std::vector<double> row(static_cast<std::size_t>(n));
  for (int r = 0; r < n + 50; ++r) {
    for (int j = 0; j < n; ++j) row[static_cast<std::size_t>(j)] = Noise(r * 7919.0 + j);
    base.UpdateXX(row, 1.0);
  }
  return base;
}

void RunSweep(benchmark::State& state, bool blocked) {
  const int n = static_cast<int>(state.range(0));
  const KQMath_850::KQSymMatrix base = DenseCrossProducts(n);
  std::vector<double> diagonal;
  base.GetDiagonal(diagonal);
  for (auto _ : state) {
    state.PauseTiming();
    KQMath_850::KQSymMatrix matrix = base;
    KQMath_850::KQBitSet swept(n, false);
    state.ResumeTiming();
    int nSwept = 0;
    if (blocked) {
      for (int k = 0; k < n - 1; k += 64)
        nSwept += matrix.SweepBlock(k, std::min(64, n - 1 - k), 1e-12, diagonal, swept);
    } else {
      nSwept = matrix.SweepRange(0, n - 1, 1e-12, diagonal, swept);
    }
    benchmark::DoNotOptimize(nSwept);
  }
}
void BM_SweepPivotByPivot(benchmark::State& state) { RunSweep(state, false); }
BENCHMARK(BM_SweepPivotByPivot)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(1);
void BM_SweepBlocked(benchmark::State& state) { RunSweep(state, true); }
BENCHMARK(BM_SweepBlocked)->Arg(1000)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A whole fit of a 4999-parameter design: 20 000 cases, one factor of 4997 levels and one covariate.
void BM_Fit4999Parameters(benchmark::State& state) {
  constexpr std::size_t kN = 20000;
  std::vector<double> y(kN), x(kN), level(kN);
  for (std::size_t c = 0; c < kN; ++c) {
    const double i = static_cast<double>(c);
    level[c] = static_cast<double>(c % 4997);
    x[c] = Covariate(i, 1);
    y[c] = Noise(i) + 0.5 * x[c] + 0.001 * level[c];
  }
  KQMemoryDataSet data;
  data.AddColumn("y", std::move(y));
  data.AddColumn("x", std::move(x));
  data.AddColumn("level", std::move(level));
  const KQCommon_850::KQVarList vars = data.MakeVarList({2});
  KQBSN_850::BSNSettings settings = FitSettings(1, 0);
  settings.SetFactors({2});
  settings.SetFactorNCategs({4997});
  for (auto _ : state) {
    KQBSN_850::BSNComponent component(settings, vars);
    KQMemoryRecordIter iter(data);
    if (component.BuildModel(iter).IsError()) state.SkipWithError("the fit failed");
    benchmark::DoNotOptimize(component.GetOutputStats());
  }
}
BENCHMARK(BM_Fit4999Parameters)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
