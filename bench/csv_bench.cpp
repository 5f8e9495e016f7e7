// Throughput of the command's CSV reader: a generated file of numbers (eight columns of values with
// six decimals, as data exports write them) of about 128 MB is read from a temporary file into columns,
// on one thread and on two (the argument). The counter "MB/s" is in decimal megabytes per second of
// wall time; a second case reads the same file with every cell quoted, as some spreadsheets export.
// With KQ_CSV_BENCH_FILE set, the unquoted file is that path: written there when it does not exist,
// and kept, so that bench/csv_vs_fread.sh can time another reader on the same bytes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "cli/CsvReader.h"

namespace {

constexpr std::size_t kTargetBytes = std::size_t{128} << 20;
constexpr int kColumns = 8;

/// Writes the file once per process and removes it at exit.
class NumericCsvFile {
 public:
  explicit NumericCsvFile(bool quoted)
      : path_(std::filesystem::temp_directory_path() /
              ("kqcli_csv_bench_" + std::to_string(::getpid()) + (quoted ? "_quoted" : "") + ".csv")) {
    if (const char* given = std::getenv("KQ_CSV_BENCH_FILE"); given != nullptr && !quoted) {
      path_ = given;
      keep_ = true;
      if (std::filesystem::exists(path_)) {
        size_ = std::filesystem::file_size(path_);
        return;
      }
    }
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> value(-1000.0, 1000.0);
    std::ofstream out(path_, std::ios::binary);
    std::string line;
    for (int j = 0; j < kColumns; ++j) line += (j == 0 ? "v" : ",v") + std::to_string(j);
    out << line << '\n';
    std::size_t written = line.size() + 1;
    char cell[48];
    while (written < kTargetBytes) {
      line.clear();
      for (int j = 0; j < kColumns; ++j) {
        std::snprintf(cell, sizeof cell, quoted ? "%s\"%.6f\"" : "%s%.6f", j == 0 ? "" : ",", value(random));
        line += cell;
      }
      out << line << '\n';
      written += line.size() + 1;
    }
    size_ = written;
  }
  ~NumericCsvFile() {
    if (!keep_) std::filesystem::remove(path_);
  }
  std::string Path() const { return path_.string(); }
  std::size_t Size() const { return size_; }

 private:
  std::filesystem::path path_;
  std::size_t size_ = 0;
  bool keep_ = false;
};

void ReadNumericCsv(benchmark::State& state, bool quoted, int threads) {
  // Each file is written the first time a case needs it.
  const auto plain = []() -> const NumericCsvFile& {
    static const NumericCsvFile file(false);
    return file;
  };
  const auto withQuotes = []() -> const NumericCsvFile& {
    static const NumericCsvFile file(true);
    return file;
  };
  const NumericCsvFile& file = quoted ? withQuotes() : plain();
  kqcli::CsvOptions options;
  options.threads = threads;
  std::size_t rows = 0;
  for (auto _ : state) {
    kqcli::Result<kqcli::CsvTable> table = kqcli::ReadCsvFile(file.Path(), options);
    if (!table.IsOK()) {
      state.SkipWithError(table.Error().message.c_str());
      return;
    }
    rows = table.Value().GetNRows();
    benchmark::DoNotOptimize(table.Value().columns.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.Size()));
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["MB"] = static_cast<double>(file.Size()) / 1e6;
  // Decimal megabytes per second of wall time (bytes_per_second is printed in binary units).
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(file.Size()) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ReadNumericCsv(benchmark::State& state) {
  ReadNumericCsv(state, false, static_cast<int>(state.range(0)));
}
void BM_ReadQuotedNumericCsv(benchmark::State& state) {
  ReadNumericCsv(state, true, static_cast<int>(state.range(0)));
}

BENCHMARK(BM_ReadNumericCsv)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ReadQuotedNumericCsv)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
