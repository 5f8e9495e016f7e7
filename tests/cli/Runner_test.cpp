#include "cli/Runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/Fakes.h"

using namespace kqcli;

namespace {

// Runs the one-sample analysis of 1000 records, asking `query` whether to stop.
int RunOnFile(bool showProgress, kqtest::CancelAfter& query, std::ostringstream& out,
              std::ostringstream& err) {
  const std::string stem =
      (std::filesystem::temp_directory_path() / "kqcli_runner_").string() + std::to_string(::getpid());
  RunOptions options;
  options.settingsPath = stem + ".json";
  options.dataPath = stem + ".csv";
  options.json = !showProgress;
  options.showProgress = showProgress;
  std::ofstream(options.settingsPath) << R"({"Covariates": ["x"], "NullValues": [1]})";
  std::ofstream data(options.dataPath);
  data << "x\n";
  for (int i = 0; i < 1000; ++i) data << i % 7 << "\n";
  data.close();
  const int code = RunCommand(options, out, err, query);
  std::filesystem::remove(options.settingsPath);
  std::filesystem::remove(options.dataPath);
  return code;
}

}  // namespace

TEST(Runner, AnInterruptionWhileReadingOrAnalysingWritesNoResult) {
  // Reading this small file asks at most three times; the analysis asks before each of its 1000 records.
  for (int n : {0, 10}) {
    kqtest::CancelAfter query(n);
    std::ostringstream out, err;
    EXPECT_EQ(RunOnFile(false, query, out, err), kExitInterrupted);
    EXPECT_EQ(query.nAsked > 3, n == 10);
    EXPECT_LT(query.nAsked, 1000);
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(err.str(), "kqbayes: interrupted\n");
  }
}

TEST(Runner, ProgressGoesToTheErrorStreamOnlyWhenAsked) {
  kqtest::CancelAfter never(1000000000);
  std::ostringstream out, err;
  EXPECT_EQ(RunOnFile(true, never, out, err), kExitOK);
  // The bar is drawn, then its line is cleared.
  EXPECT_NE(err.str().find("/1000 records"), std::string::npos) << err.str();
  EXPECT_TRUE(err.str().ends_with("\r\033[K")) << err.str();
  EXPECT_EQ(out.str().find("records/s"), std::string::npos);
}
