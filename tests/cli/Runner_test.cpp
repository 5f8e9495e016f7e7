#include "cli/Runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Interrupt.h"
#include "tests/support/Fakes.h"

using namespace kqcli;

namespace {

class RunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("kqcli_runner_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    options_.settingsPath = Write("settings.json", R"({"Covariates": ["x"], "NullValues": [1]})");
    std::string csv = "x\n";
    for (int i = 0; i < 1000; ++i) csv += std::to_string(i % 7) + "\n";
    options_.dataPath = Write("data.csv", csv);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    return (dir_ / name).string();
  }

  std::filesystem::path dir_;
  RunOptions options_;
  std::ostringstream out_, err_;
};

}  // namespace

TEST_F(RunnerTest, AnInterruptionWhileReadingOrAnalysingWritesNoResult) {
  // Reading this small file asks at most three times; the analysis asks before each of its 1000 records.
  options_.json = true;
  for (int n : {0, 10}) {
    kqtest::CancelAfter query(n);
    std::ostringstream out, err;
    EXPECT_EQ(RunCommand(options_, out, err, query), kExitInterrupted);
    EXPECT_EQ(query.nAsked > 3, n == 10);
    EXPECT_LT(query.nAsked, 1000);
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(err.str(), "kqbayes: interrupted\n");
  }
}

TEST_F(RunnerTest, ProgressGoesToTheErrorStreamOnlyWhenAsked) {
  kqtest::CancelAfter never(1000000000);
  options_.showProgress = true;
  EXPECT_EQ(RunCommand(options_, out_, err_, never), kExitOK);
  // The bar is drawn, then its line is cleared.
  EXPECT_NE(err_.str().find("/1000 records"), std::string::npos) << err_.str();
  EXPECT_TRUE(err_.str().ends_with("\r\033[K")) << err_.str();
  EXPECT_EQ(out_.str().find("records/s"), std::string::npos);
}

TEST(InterruptHandler, TheFirstSigintSetsTheFlagThatTheQueryReports) {
  InstallInterruptHandler();
  InterruptQuery query;
  EXPECT_FALSE(query.IsCancel());
  ASSERT_EQ(std::raise(SIGINT), 0);  // handled: the process goes on
  EXPECT_TRUE(InterruptRequested());
  EXPECT_TRUE(query.IsCancel());
}
