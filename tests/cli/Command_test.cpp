// End-to-end tests of the kqbayes program: it runs on the bundled examples and on bad input, and the
// tests read its exit status, its standard output (as JSON where asked) and its standard error.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

extern char** environ;

namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

const fs::path kExamples = fs::path(KQ_SOURCE_DIR) / "examples";

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kqcli_command_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }

  /// Starts kqbayes with the arguments, its output and error going to files; returns its process id.
  pid_t Start(const std::vector<std::string>& args) {
    std::vector<std::string> argv{KQBAYES_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string outPath = (dir_ / "stdout").string();
    const std::string errPath = (dir_ / "stderr").string();
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  Outcome Wait(pid_t pid) {
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    Outcome outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = Slurp(dir_ / "stdout");
    outcome.err = Slurp(dir_ / "stderr");
    return outcome;
  }

  Outcome Kqbayes(const std::vector<std::string>& args) { return Wait(Start(args)); }

  /// Runs settings text on CSV text and expects an input error whose one line contains `expected`.
  void ExpectInputError(const std::string& settings, const std::string& csv, const std::string& expected) {
    const Outcome outcome =
        Kqbayes({"run", Write("settings.json", settings), Write("data.csv", csv), "--json"});
    EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
    EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    EXPECT_NE(outcome.err.find(expected), std::string::npos)
        << "expected: " << expected << "\nerr: " << outcome.err;
    EXPECT_TRUE(outcome.err.starts_with("kqbayes: ")) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
  }

  fs::path dir_;
};

std::vector<std::string> Keys(const Json& object) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : object.items()) keys.push_back(key);
  return keys;
}

void ExpectOkStatus(const Json& status) {
  EXPECT_EQ(Keys(status), (std::vector<std::string>{"code", "is_error", "is_warning", "message", "data"}));
  EXPECT_EQ(status["code"], 0);
  EXPECT_EQ(status["is_error"], false);
}

const std::string kNormalSettings =
    R"({"ModelType": 0, "TestDistType": 0, "AnalysType": 2, "Covariates": [0]})";

}  // namespace

TEST_F(CommandTest, ExamplesMatchRAndPrintTablesWithVerdicts) {
  // Rows: settings, data, record and field, then value and tolerance (R calls in the file's comments).
  const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("cli_examples.out");
  ASSERT_EQ(rows.size(), 11u);
  for (const kqtest::ReferenceRow& row : rows) {
    std::istringstream label(row.label);
    std::string settings, data, record, key;
    label >> settings >> data >> record >> key;
    const Outcome outcome = Kqbayes({"run", (kExamples / "settings" / (settings + ".json")).string(),
                                     (kExamples / "data" / (data + ".csv")).string(), "--json"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;
    const Json json = Json::parse(outcome.out);
    ExpectOkStatus(json["status"]);
    EXPECT_EQ(json["built"], true);
    EXPECT_EQ(json["result"]["record"], record);
    EXPECT_NEAR_REL(json["result"][key][0].get<double>(), row.values.at(0), row.values.at(1)) << row.label;
  }
  // Without --json every example prints its tables and a verdict per factor.
  for (const auto& [settings, data] : {std::pair{"sleep-difference-normal", "sleep"},
                                       {"sleep-paired-related", "sleep"},
                                       {"morley-speed-normal", "morley"},
                                       {"titanic-binomial", "titanic"},
                                       {"insectsprays-poisson", "insectsprays"},
                                       {"mtcars-mpg-by-am-independent", "mtcars"}}) {
    const Outcome outcome =
        Kqbayes({"run", (kExamples / "settings" / (std::string(settings) + ".json")).string(),
                 (kExamples / "data" / (std::string(data) + ".csv")).string()});
    EXPECT_EQ(outcome.exitCode, 0) << settings << ": " << outcome.err;
    EXPECT_NE(outcome.out.find("Verdicts (Jeffreys' scale"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("credible interval"), std::string::npos) << outcome.out;
    if (std::string(settings) == "sleep-difference-normal") {
      EXPECT_NE(outcome.out.find("difference: BF01 = 0.0543 (BF10 = 18.42): strong evidence for H1 (mean "
                                 "!= 0) over H0 (mean = 0)"),
                std::string::npos)
          << outcome.out;
    }
  }
}

TEST_F(CommandTest, BadInputIsAnInputErrorOfOneLine) {
  // The readers' own tests cover the messages; here the program's exit status and its one line.
  ExpectInputError(kNormalSettings, "x\n1\ntwo\n",
                   "data.csv: line 3 (data row 2), column \"x\" (index 0): \"two\" is not a number");
  // Text in a column that the settings use as a number; the same column as a factor is coded instead.
  ExpectInputError(R"({"Covariates": ["g"]})", "x,g\n1,a\n", "column \"g\" (index 1): \"a\" is not a number");
  ExpectInputError(R"({"Covariate": [0]})", "x\n1\n",
                   R"(unknown key "Covariate" (did you mean "Covariates"?))");
  const Outcome noData =
      Kqbayes({"run", Write("settings.json", kNormalSettings), (dir_ / "none.csv").string()});
  EXPECT_EQ(noData.exitCode, 2);
  EXPECT_NE(noData.err.find("none.csv: cannot open: No such file or directory"), std::string::npos)
      << noData.err;
  const Outcome noSettings = Kqbayes({"run", (dir_ / "none.json").string(), Write("data.csv", "x\n1\n")});
  EXPECT_EQ(noSettings.exitCode, 2);
  EXPECT_NE(noSettings.err.find("none.json: cannot open the settings file"), std::string::npos)
      << noSettings.err;
}

TEST_F(CommandTest, ScreenedAnalysesReportTheRecordsDropped) {
  // Regression reads every record, so the runner drops those with a missing value: rows 2 and 4.
  const Outcome outcome =
      Kqbayes({"run", Write("settings.json", R"({"ModelType": 4, "DependVar": "y", "Covariates": ["x"]})"),
               Write("data.csv", "y,x,other\n1,2,NA\nNA,3,1\n2,3,1\n4,.,1\n3,5,1\n"), "--json"});
  const Json json = Json::parse(outcome.out);
  EXPECT_EQ(json["records_dropped"], 2);
  // Until the regression analysis is available the build answers with an error: exit status 1.
  EXPECT_EQ(outcome.exitCode, json["status"]["is_error"].get<bool>() ? 1 : 0);
}

TEST_F(CommandTest, AnInvalidSettingStopsBeforeTheBuild) {
  const Outcome outcome = Kqbayes({"run", Write("settings.json", R"({"TestDistType": "Normal"})"),
                                   Write("data.csv", "x\n1\n"), "--json"});
  EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
  const Json json = Json::parse(outcome.out);
  EXPECT_EQ(Keys(json), (std::vector<std::string>{"validation", "warnings", "built", "result"}));
  EXPECT_EQ(json["validation"]["code"], 410039);  // BSN_NO_COVARIATES
  EXPECT_EQ(json["validation"]["message"],
            "Error: no covariates specified. At least one covariate is required");
  EXPECT_EQ(json["built"], false);
  EXPECT_TRUE(json["result"].is_null());

  // Skipping the validation hands the same settings to the analysis, which fails in its own way.
  const Outcome skipped = Kqbayes({"run", Write("settings.json", R"({"TestDistType": "Normal"})"),
                                   Write("data.csv", "x\n1\n"), "--json", "--skip-validation"});
  EXPECT_EQ(skipped.exitCode, 1);
  const Json skippedJson = Json::parse(skipped.out);
  EXPECT_TRUE(skippedJson["validation"].is_null());
  EXPECT_EQ(skippedJson["status"]["is_error"], true);
}

TEST_F(CommandTest, ABuildErrorExitsWithOneAndWarningsCarryTheirData) {
  // No counted value at all (binomial values must be at least 0): "No valid cases".
  const Outcome failed =
      Kqbayes({"run", Write("settings.json", R"({"TestDistType": "Binomial", "Factors": [0],
                                        "FactorNCategs": [2], "AnalysType": "Posterior", "PriorParam1": 1,
                                        "PriorParam2": 1})"),
               Write("data.csv", "x\n-1\nNA\n"), "--json"});
  EXPECT_EQ(failed.exitCode, 1) << failed.err;
  const Json json = Json::parse(failed.out);
  EXPECT_EQ(json["status"]["code"], 410003);
  EXPECT_EQ(json["built"], false);
  EXPECT_TRUE(json["result"].is_null());

  // A variable with one case only: a warning about variable position 1, the run still succeeds.
  const Outcome warned = Kqbayes({"run", Write("settings.json", R"({"Covariates": ["x", "y"]})"),
                                  Write("data.csv", "x,y\n1,5\n2,NA\n4,NA\n"), "--json"});
  EXPECT_EQ(warned.exitCode, 0) << warned.err;
  const Json warnings = Json::parse(warned.out)["warnings"];
  ASSERT_FALSE(warnings.empty());
  EXPECT_EQ(warnings[0], (Json{{"code", 410025},
                               {"is_error", false},
                               {"is_warning", true},
                               {"message", "Warning: Not enough valid cases were found for some variables"},
                               {"data", {1}}}));
}

TEST_F(CommandTest, ArgumentsAreCheckedAndThreadsAccepted) {
  const std::string settings = Write("settings.json", kNormalSettings);
  const std::string data = Write("data.csv", "x\n1\n2\n4\n7\n");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"run", settings},
                                               {"run", settings, data, "--threads", "0"},
                                               {"run", settings, data, "--color"},
                                               {"walk", settings, data},
                                               {}})
    EXPECT_EQ(Kqbayes(args).exitCode, 2);
  const Outcome help = Kqbayes({"run", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--skip-validation"), std::string::npos) << help.out;
  EXPECT_EQ(Kqbayes({"--version"}).exitCode, 0);
  // Not a terminal: no progress bar, so nothing on standard error.
  const Outcome threaded = Kqbayes({"run", settings, data, "--threads", "4", "--json"});
  EXPECT_EQ(threaded.exitCode, 0) << threaded.err;
  EXPECT_TRUE(threaded.err.empty()) << threaded.err;
  EXPECT_EQ(Json::parse(threaded.out)["result"]["Settings"]["MaxThreadNum"], 4);
}

TEST_F(CommandTest, CtrlCStopsTheRunWithStatus130AndNoResult) {
  // The data come through a pipe that the test keeps open, so the program is surely still reading when
  // the signal arrives.
  const std::string fifo = (dir_ / "data.csv").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const pid_t pid = Start({"run", Write("settings.json", kNormalSettings), fifo, "--json"});
  const int writer = ::open(fifo.c_str(), O_WRONLY);  // returns once the program has opened the pipe
  ASSERT_GE(writer, 0);
  const std::string rows = "x\n1\n2\n3\n";
  ASSERT_EQ(::write(writer, rows.data(), rows.size()), static_cast<ssize_t>(rows.size()));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(::kill(pid, SIGINT), 0);
  const Outcome outcome = Wait(pid);
  ::close(writer);
  EXPECT_EQ(outcome.exitCode, 130);
  EXPECT_TRUE(outcome.out.empty()) << outcome.out;
  EXPECT_EQ(outcome.err, "kqbayes: interrupted\n");
}
