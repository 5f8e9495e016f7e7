// The one-sample JZS Bayes factor by quadrature, beside one evaluation of its integrand, so that the
// time per factor reads as (iterations used) x (cost of the rule's evaluations).

#include <benchmark/benchmark.h>

#include "kernels/BayesFactorDenomIF.h"
#include "kernels/detail/BayesFactorOneSampleTT.h"
#include "kernels/detail/BayesFactorOneSampleTTMC.h"

namespace {

using KQBSN_850::BayesFactorDenomIF;
using KQBSN_850::BayesFactorOneSampleTT;

void BM_JzsIntegrandOnce(benchmark::State& state) {
  BayesFactorDenomIF integrand(100, 99, 2.0);
  double g = 0.37;
  for (auto _ : state) {
    benchmark::DoNotOptimize(integrand.ComputeNI(g));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_JzsIntegrandOnce);

// Arguments: number of cases, 10 x t statistic.
void BM_JzsQuadrature(benchmark::State& state) {
  const double n = static_cast<double>(state.range(0));
  const double t = static_cast<double>(state.range(1)) / 10.0;
  int iterations = 0;
  for (auto _ : state) {
    BayesFactorOneSampleTT bf(n, n - 1, t);
    bf.SetTolerance(1e-6);
    bf.SetMaxIter(2000);
    benchmark::DoNotOptimize(bf.ComputeBayesFactor());
    iterations = bf.GetNIterations();
  }
  state.counters["quad_iterations"] = iterations;
}
BENCHMARK(BM_JzsQuadrature)->Args({20, 20})->Args({100, 20})->Args({10000, 30})->Args({1000000, 100});

void BM_JzsMonteCarlo10000(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(
        KQBSN_850::BayesFactorOneSampleTTMC(100, 99, 2.0, 10000, 2000000).ComputeBayesFactor());
}
BENCHMARK(BM_JzsMonteCarlo10000);

}  // namespace
