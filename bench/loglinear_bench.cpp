// The intrinsic-prior Bayes factor of a 2 x 2 table, whose cost is its enumeration: with a fixed total
// and T = 500, every imaginary table of total 500 (503 choose 3 = 21,084,251 of them); with fixed rows
// and T1 = T2 = 5000, every pair of imaginary rows (5001^2 = 25,010,001 pairs). Each term costs a few
// table look-ups and one exp, so the baseline in the same run is a loop of as many exp calls over an
// array: the ratio says how close the enumeration comes to that floor on whatever machine runs it.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "frame/BSNSettings.h"
#include "loglinear/BSNContingency.h"
#include "loglinear/detail/BSNLogLinBayesFactor.h"

namespace {

using KQBSN_850::BSNContingency;
using KQBSN_850::BSNSettings;

constexpr double kTablesFixedTotal = 21084251.0;  // (500 + 3 choose 3)
constexpr double kPairsFixedRows = 25010001.0;    // 5001^2

double IntrinsicLogFactor(KQBSN_850::BSNConst::FixType fix, const BSNContingency::DoubleMatrix& counts) {
  BSNSettings settings;
  settings.SetModelType(KQBSN_850::BSNConst::ModelTypes::LogLinear, true);
  settings.SetFixType(fix);
  settings.SetLogLinPriorType(KQBSN_850::BSNConst::LogLinPriorType::Intrinsic);
  BSNContingency table({0, 1}, {2, 2}, -1);
  table.SetCounts(counts);
  KQBSN_850::BSNLogLinIntrinsicBF factor(settings, table);  // default T: 500, or 5000 per row
  return factor.ComputeBayesFactor();
}

void IntrinsicFixedTotalT500(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(
        IntrinsicLogFactor(KQBSN_850::BSNConst::FixType::FixedTotal, {{300, 200}, {150, 350}}));
  state.counters["terms"] = kTablesFixedTotal;
}
BENCHMARK(IntrinsicFixedTotalT500)->Unit(benchmark::kMillisecond);

void IntrinsicFixedRowsT5000(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(
        IntrinsicLogFactor(KQBSN_850::BSNConst::FixType::FixedRow, {{3000, 2500}, {2600, 2900}}));
  state.counters["terms"] = kPairsFixedRows;
}
BENCHMARK(IntrinsicFixedRowsT5000)->Unit(benchmark::kMillisecond);

/// The floor: one exp and one add per term, over an array of terms the size of one inner loop.
void BaselineExpLoop(benchmark::State& state) {
  const std::size_t nTerms = static_cast<std::size_t>(state.range(0));
  std::vector<double> terms(501);
  for (std::size_t i = 0; i < terms.size(); ++i) terms[i] = -0.01 * static_cast<double>(i);
  for (auto _ : state) {
    double sum = 0.0;
    for (std::size_t k = 0; k < nTerms; ++k) sum += std::exp(terms[k % terms.size()]);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BaselineExpLoop)->Arg(21084251)->Arg(25010001)->Unit(benchmark::kMillisecond);

}  // namespace
