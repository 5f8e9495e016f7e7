// The library's ln Gamma (Boost.Math with doubles kept as doubles) against the C library's lgamma, in
// the same run. The quadrature of the JZS integrand is measured in jzs_bench.cpp.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

#include "companion/KQDistFun.h"

namespace {

using KQMath_850::KQDistFun;

constexpr std::array<double, 8> kGammaArguments{0.3, 1.5, 4.25, 9.9, 17.0, 55.5, 130.0, 1e4};

void LogGammaLibrary(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(KQDistFun::qorvdnlgam(kGammaArguments[i]));
    i = (i + 1) % kGammaArguments.size();
  }
}
BENCHMARK(LogGammaLibrary);

void LogGammaGlibc(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::lgamma(kGammaArguments[i]));
    i = (i + 1) % kGammaArguments.size();
  }
}
BENCHMARK(LogGammaGlibc);

}  // namespace
