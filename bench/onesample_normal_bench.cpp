// The statistics passes of the one-sample normal, paired and independent-samples analyses, each beside
// a plain loop over the same records that forms the weighted sums n, sum w x and sum w x^2 (of each
// variable, each pair's differences, or each variable within each group). The ratio of the two is the
// whole price of the analysis' pass: the shared record loop (cancellation, progress, weights) and the
// accumulators that keep the spread of data far from 1. Alone/PlainAccumulators feeds those
// accumulators one value per call, the way the passes did before they added blocks of records at a
// time. The plain loops read the records through the host's iterator interface, as the analyses do (a
// virtual call to step, one to fetch each record and one for its values), so that the ratio leaves out
// no cost of the data access. The columns ask for huge pages, as the command's CSV reader does for its
// own. The PassAgainstPlain benchmarks give the ratios; the others time each loop alone.

#include <benchmark/benchmark.h>
#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

#include "companion/KQContStats.h"
#include "companion/KQMemoryDataSet.h"
#include "frame/BSNSettings.h"
#include "frame/CaseWeights.h"
#include "onesample/detail/BSN1SampleNormal.h"
#include "twosample/BSN2SampleIndependent.h"
#include "twosample/detail/BSN2SampleRelated.h"

namespace {

using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQMemoryRecordIter;

constexpr int kNVars = 10;

// The iterator as the host hands it to an analysis: the compiler cannot see its type through this
// call, so the plain loops pay the same virtual calls per record as the passes.
[[gnu::noipa]] KQCommon_850::MultiPassRecordIter& AsHostIter(KQMemoryRecordIter& iter) { return iter; }

// A column of n values in huge pages where the system gives them on request, as the command's CSV
// reader asks for its columns: without them, where the 4 KiB pages of twelve streamed columns land
// decides much of a pass's time, and differently in each process.
std::vector<double> Column(int n) {
  std::vector<double> column;
  column.reserve(static_cast<std::size_t>(n));
  const auto page = std::uintptr_t{4096};
  const auto start = (reinterpret_cast<std::uintptr_t>(column.data()) + page - 1) / page * page;
  const auto stop = (reinterpret_cast<std::uintptr_t>(column.data() + n)) / page * page;
  if (stop > start) ::madvise(reinterpret_cast<void*>(start), stop - start, MADV_HUGEPAGE);
  column.resize(static_cast<std::size_t>(n));
  return column;
}

// The records and their variable list (made once: listing the variables reads the columns).
struct BenchData {
  KQMemoryDataSet records;
  KQCommon_850::KQVarList vars;
};

// Arguments: number of records. Variables 0 to 9, weight in column 10, group (0 or 1) in column 11.
KQMemoryDataSet MakeData(int nRecords) {
  KQMemoryDataSet data;
  for (int v = 0; v < kNVars; ++v) {
    std::vector<double> column = Column(nRecords);
    for (int r = 0; r < nRecords; ++r)
      column[static_cast<std::size_t>(r)] = std::sin(r * (v + 1.0)) + 10.0 * v;
    data.AddColumn("x", std::move(column));
  }
  std::vector<double> weights = Column(nRecords);
  for (int r = 0; r < nRecords; ++r) weights[static_cast<std::size_t>(r)] = 1.0 + r % 3;
  data.AddColumn("w", std::move(weights));
  std::vector<double> groups = Column(nRecords);
  for (int r = 0; r < nRecords; ++r) groups[static_cast<std::size_t>(r)] = (r / 7) % 2;
  data.AddColumn("g", std::move(groups));
  return data;
}

BenchData MakeBenchData(int nRecords) {
  BenchData data{MakeData(nRecords), {}};
  data.vars = data.records.MakeVarList();
  return data;
}

constexpr int kNPairs = kNVars / 2;  // pairs (0, 5), (1, 6), ..

// The plain loops: each forms n, sum w x and sum w x^2 of each variable (pair difference, variable
// within group) and hands the sums to DoNotOptimize. Each is written out on its own: the same loops
// written as bodies handed to one record loop compile differently (the compiler then packs the sums
// into vectors), and the baseline of the ratios would move with them.

void PlainWeightedSums(const BenchData& bench) {
  const KQBSN_850::CaseWeigher weightOf(kNVars, -1);
  double sums[kNVars][3] = {};
  KQMemoryRecordIter records(bench.records);
  KQCommon_850::MultiPassRecordIter& iter = AsHostIter(records);
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

void PlainPairedSums(const BenchData& bench) {
  const KQBSN_850::CaseWeigher weightOf(kNVars, -1);
  double sums[kNPairs][3] = {};
  KQMemoryRecordIter records(bench.records);
  KQCommon_850::MultiPassRecordIter& iter = AsHostIter(records);
  iter.StartPass();
  while (iter.HasNext()) {
    const std::vector<double>& values = iter.NextRecord()->GetAll();
    const double w = weightOf(values).frequency;
    for (int j = 0; j < kNPairs; ++j) {
      const double d = values[static_cast<std::size_t>(j)] - values[static_cast<std::size_t>(j + kNPairs)];
      sums[j][0] += w;
      sums[j][1] += w * d;
      sums[j][2] += w * d * d;
    }
  }
  benchmark::DoNotOptimize(sums);
}

void PlainGroupSums(const BenchData& bench) {
  const KQBSN_850::CaseWeigher weightOf(kNVars, -1);
  double sums[2][kNVars][3] = {};
  KQMemoryRecordIter records(bench.records);
  KQCommon_850::MultiPassRecordIter& iter = AsHostIter(records);
  iter.StartPass();
  while (iter.HasNext()) {
    const std::vector<double>& values = iter.NextRecord()->GetAll();
    const double w = weightOf(values).frequency;
    const double group = values[kNVars + 1];
    if (group != 0.0 && group != 1.0) continue;
    auto& groupSums = sums[group == 1.0 ? 1 : 0];
    for (int v = 0; v < kNVars; ++v) {
      const double x = values[static_cast<std::size_t>(v)];
      groupSums[v][0] += w;
      groupSums[v][1] += w * x;
      groupSums[v][2] += w * x * x;
    }
  }
  benchmark::DoNotOptimize(sums);
}

// The analyses' passes, each building the analysis once over the data with the weights in column
// kNVars.
template <class Analysis>
void Build(const BenchData& bench, KQBSN_850::BSNSettings settings) {
  settings.SetFrequencyWeightVar(kNVars);
  Analysis analysis(settings, bench.vars);
  KQMemoryRecordIter iter(bench.records);
  benchmark::DoNotOptimize(analysis.BuildModel(iter));
}

void OneSampleNormalBuild(const BenchData& bench) {
  KQBSN_850::BSNSettings settings;
  settings.SetCovariates({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  settings.SetAnalysType(KQBSN_850::BSNConst::AnalysTypes::Posterior);
  Build<KQBSN_850::BSN1SampleNormal>(bench, settings);
}

void RelatedBuild(const BenchData& bench) {
  KQBSN_850::BSNSettings settings;
  settings.SetModelType(KQBSN_850::BSNConst::ModelTypes::Related, true);
  settings.SetCovariates({0, 1, 2, 3, 4});
  settings.Set2ndRelatedList({5, 6, 7, 8, 9});
  settings.SetAnalysType(KQBSN_850::BSNConst::AnalysTypes::Posterior);
  Build<KQBSN_850::BSN2SampleRelated>(bench, settings);
}

// The basic statistics only (no Bayes factor or posterior): the independent analysis' posterior has
// a second pass of its own.
void IndependentBuild(const BenchData& bench) {
  KQBSN_850::BSNSettings settings;
  settings.SetModelType(KQBSN_850::BSNConst::ModelTypes::Independent, true);
  settings.SetCovariates({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  settings.SetGroupVar(kNVars + 1);
  settings.SetAnalysType(KQBSN_850::BSNConst::AnalysTypes::BayesFactor);
  Build<KQBSN_850::BSN2SampleIndependent>(bench, settings);
}

// The accumulators fed one value per call, the way the passes did before they added blocks of
// records at a time.
void PlainAccumulators(const BenchData& bench) {
  const KQBSN_850::CaseWeigher weightOf(kNVars, -1);
  KQMath_850::KQContStats stats[kNVars];
  KQMemoryRecordIter records(bench.records);
  KQCommon_850::MultiPassRecordIter& iter = AsHostIter(records);
  iter.StartPass();
  while (iter.HasNext()) {
    const std::vector<double>& values = iter.NextRecord()->GetAll();
    const double w = weightOf(values).frequency;
    for (int v = 0; v < kNVars; ++v) stats[v].Update(values[static_cast<std::size_t>(v)], w, 0.0);
  }
  benchmark::DoNotOptimize(stats);
}

using Loop = void (*)(const BenchData&);

// Each loop on its own: the data are made once per benchmark run. Argument: number of records.
void Alone(benchmark::State& state, Loop loop) {
  const BenchData data = MakeBenchData(static_cast<int>(state.range(0)));
  for (auto _ : state) loop(data);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(Alone, PlainWeightedSums, PlainWeightedSums)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Alone, PlainAccumulators, PlainAccumulators)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Alone, OneSampleNormalBuild, OneSampleNormalBuild)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Alone, PlainPairedSums, PlainPairedSums)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Alone, RelatedBuild, RelatedBuild)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Alone, PlainGroupSums, PlainGroupSums)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Alone, IndependentBuild, IndependentBuild)->Arg(10000000)->Unit(benchmark::kMillisecond);

double ThreadSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double SecondsOf(Loop loop, const BenchData& data) {
  const double start = ThreadSeconds();
  loop(data);
  return ThreadSeconds() - start;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0.0 : n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

// A pass against its plain loop, the two timed back to back on the same data in each iteration (the
// order alternating), with the median of the iterations' ratios as the counter "ratio". The speed of
// this shared machine drifts by up to 2x over seconds, and the placement of a fresh copy of the data
// moves a loop's time too, so two benchmarks run apart give ratios that swing from 1.4 to 3 for the
// same build; two loops timed within the same second over the same columns do not.
void PassAgainstPlain(benchmark::State& state, Loop plain, Loop pass) {
  const BenchData data = MakeBenchData(static_cast<int>(state.range(0)));
  std::vector<double> plainSeconds, passSeconds, ratios;
  for (auto _ : state) {
    const bool plainFirst = ratios.size() % 2 == 0;
    const double first = SecondsOf(plainFirst ? plain : pass, data);
    const double second = SecondsOf(plainFirst ? pass : plain, data);
    plainSeconds.push_back(plainFirst ? first : second);
    passSeconds.push_back(plainFirst ? second : first);
    ratios.push_back(passSeconds.back() / plainSeconds.back());
    state.SetIterationTime(first + second);
  }
  state.counters["plain_ms"] = 1e3 * Median(plainSeconds);
  state.counters["pass_ms"] = 1e3 * Median(passSeconds);
  state.counters["ratio"] = Median(ratios);
}
BENCHMARK_CAPTURE(PassAgainstPlain, OneSampleNormal, PlainWeightedSums, OneSampleNormalBuild)
    ->Arg(10000000)
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PassAgainstPlain, Related, PlainPairedSums, RelatedBuild)
    ->Arg(10000000)
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PassAgainstPlain, Independent, PlainGroupSums, IndependentBuild)
    ->Arg(10000000)
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
