// Speed of the cross-product update and of the sweep operator, each beside a plain loop over a packed
// lower triangle in the same run. Counters: "updates" (rows accumulated or pivots swept per second)
// and "flops" (multiply-adds counted as two).

#include <cstddef>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "companion/KQBitSet.h"
#include "companion/KQSymMatrix.h"

namespace {

using KQMath_850::KQBitSet;
using KQMath_850::KQSymMatrix;

std::vector<double> UniformRow(int n, std::uint64_t seed) {
  std::vector<double> row(static_cast<std::size_t>(n));
  for (double& value : row) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    value = 0.5 + static_cast<double>(seed >> 11) * 0x1.0p-53;  // in [0.5, 1.5): no zero entries
  }
  return row;
}

double PackedLength(int n) { return 0.5 * n * (n + 1.0); }

void SetCounters(benchmark::State& state, double updatesPerIteration, double flopsPerIteration) {
  state.counters["updates"] =
      benchmark::Counter(updatesPerIteration, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["flops"] =
      benchmark::Counter(flopsPerIteration, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_UpdateXX(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  KQSymMatrix matrix(n, true);
  const std::vector<double> row = UniformRow(n, 1);
  for (auto _ : state) {
    matrix.UpdateXX(row, 1.0);
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(matrix.AsVector().data());
  SetCounters(state, 1.0, 2.0 * PackedLength(n));
}

// The baseline: the textbook loop, a += w x x' over the packed lower triangle.
void BM_PlainLoopXX(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> packed(static_cast<std::size_t>(PackedLength(n)), 0.0);
  const std::vector<double> row = UniformRow(n, 1);
  const double weight = 1.0;
  for (auto _ : state) {
    std::size_t e = 0;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j <= i; ++j)
        packed[e++] += weight * row[static_cast<std::size_t>(i)] * row[static_cast<std::size_t>(j)];
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(packed.data());
  SetCounters(state, 1.0, 2.0 * PackedLength(n));
}

// A well-conditioned cross-product matrix: the sum of 2n rows of uniform values plus n on the diagonal.
KQSymMatrix PositiveDefinite(int n) {
  KQSymMatrix matrix(n, true);
  for (int r = 0; r < 2 * n; ++r) matrix.UpdateXX(UniformRow(n, static_cast<std::uint64_t>(r) + 7), 1.0);
  for (int i = 0; i < n; ++i) matrix(i, i) += n;
  return matrix;
}

// Each iteration sweeps every pivot, in on one iteration and out again on the next, so the matrix
// stays the same from one pair of iterations to the next and no copy is timed.
void BM_Sweep(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  KQSymMatrix matrix = PositiveDefinite(n);
  std::vector<double> reference;
  matrix.GetDiagonal(reference);
  KQBitSet swept(n);
  bool sweepIn = true;
  for (auto _ : state) {
    for (int k = 0; k < n; ++k) matrix.Sweep(k, 1e-12, reference, swept, sweepIn);
    sweepIn = !sweepIn;
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(matrix.AsVector().data());
  SetCounters(state, n, 2.0 * n * PackedLength(n));
}

// The baseline: the sweep written directly on the packed triangle, element by element.
void BM_PlainLoopSweep(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> packed = PositiveDefinite(n).AsVector();
  auto at = [&packed](int i, int j) -> double& {
    return i >= j ? packed[static_cast<std::size_t>(i * (i + 1) / 2 + j)]
                  : packed[static_cast<std::size_t>(j * (j + 1) / 2 + i)];
  };
  std::vector<double> column(static_cast<std::size_t>(n));
  double sign = 1.0;
  for (auto _ : state) {
    for (int k = 0; k < n; ++k) {
      const double pivot = at(k, k);
      for (int i = 0; i < n; ++i) column[static_cast<std::size_t>(i)] = at(i, k);
      for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j)
          if (i != k && j != k)
            at(i, j) -= column[static_cast<std::size_t>(i)] * column[static_cast<std::size_t>(j)] / pivot;
      for (int i = 0; i < n; ++i)
        if (i != k) at(i, k) = sign * column[static_cast<std::size_t>(i)] / pivot;
      at(k, k) = -1.0 / pivot;
    }
    sign = -sign;
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(packed.data());
  SetCounters(state, n, 2.0 * n * PackedLength(n));
}

BENCHMARK(BM_UpdateXX)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_PlainLoopXX)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_Sweep)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLoopSweep)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
