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
const std::string kNormalSettings =
    R"({"ModelType": 0, "TestDistType": 0, "AnalysType": 2, "Covariates": [0]})";

struct Outcome {
  int exitCode = -1;
  std::string out, err;
};

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
  pid_t Start(std::vector<std::string> args) {
    args.insert(args.begin(), KQBAYES_PROGRAM);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto& [fd, name] : {std::pair{STDOUT_FILENO, "stdout"}, {STDERR_FILENO, "stderr"}})
      posix_spawn_file_actions_addopen(&actions, fd, (dir_ / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0644);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  Outcome Wait(pid_t pid) {
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    std::ostringstream out, err;
    out << std::ifstream(dir_ / "stdout").rdbuf();
    err << std::ifstream(dir_ / "stderr").rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), out.str(), err.str()};
  }
  Outcome Kqbayes(const std::vector<std::string>& args) { return Wait(Start(args)); }
  Outcome Run(const std::string& settings, const std::string& csv,
              std::vector<std::string> more = {"--json"}) {
    more.insert(more.begin(), {"run", Write("settings.json", settings), Write("data.csv", csv)});
    return Kqbayes(more);
  }

  fs::path dir_;
};

}  // namespace

TEST_F(CommandTest, ExamplesMatchRAndPrintTablesWithVerdicts) {
  // Rows: settings, data, record and field, then value and tolerance (R calls in the file's comments).
  const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("cli_examples.out");
  ASSERT_EQ(rows.size(), 14u);
  for (const kqtest::ReferenceRow& row : rows) {
    std::istringstream label(row.label);
    std::string settings, data, record, key;
    label >> settings >> data >> record >> key;
    const Outcome outcome = Kqbayes({"run", (kExamples / "settings" / (settings + ".json")).string(),
                                     (kExamples / "data" / (data + ".csv")).string(), "--json"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const Json json = Json::parse(outcome.out);
    EXPECT_EQ(json["result"]["record"], record);
    // A list's first entry, or the value of a field that holds one number.
    const Json& value = json["result"][key].is_array() ? json["result"][key][0] : json["result"][key];
    EXPECT_NEAR_REL(value.get<double>(), row.values.at(0), row.values.at(1)) << row.label;
  }
  // Without --json every example (its data file named by the settings' first word) prints its tables and
  // a verdict per factor.
  for (const auto& entry : fs::directory_iterator(kExamples / "settings")) {
    const std::string name = entry.path().stem().string();
    const Outcome outcome =
        Kqbayes({"run", entry.path().string(),
                 (kExamples / "data" / (name.substr(0, name.find('-')) + ".csv")).string()});
    EXPECT_EQ(outcome.exitCode, 0) << name << ": " << outcome.err;
    EXPECT_NE(outcome.out.find(name != "sleep-difference-normal"
                                   ? "Verdicts (Jeffreys' scale"
                                   : "difference: BF01 = 0.0543 (BF10 = 18.42): strong evidence for H1 (mean "
                                     "!= 0) over H0 (mean = 0)"),
              std::string::npos)
        << outcome.out;
  }
}

TEST_F(CommandTest, ArgumentsInputSettingsAndWarningsGiveTheirExitStatus) {
  // The readers' own tests cover the messages; here the program's exit status and its one line.
  const Outcome bad = Run(R"({"Covariates": ["g"]})", "x,g\n1,a\n");
  EXPECT_EQ(bad.exitCode, 2) << bad.err;
  EXPECT_TRUE(bad.out.empty()) << bad.out;
  EXPECT_EQ(bad.err, "kqbayes: " + (dir_ / "data.csv").string() +
                         ": line 2 (data row 1), column \"g\" (index 1): \"a\" is not a number\n");
  EXPECT_EQ(Kqbayes({"run", (dir_ / "none.json").string(), Write("data.csv", "x\n1\n")}).exitCode, 2);
  // Invalid settings stop before the build; skipping the validation hands them to the analysis.
  const Json invalid = Json::parse(Run(R"({"TestDistType": "Normal"})", "x\n1\n").out);
  EXPECT_EQ(invalid["validation"]["code"], 410039);  // BSN_NO_COVARIATES
  EXPECT_TRUE(invalid["result"].is_null());
  const Outcome skipped = Run(R"({"TestDistType": "Normal"})", "x\n1\n", {"--json", "--skip-validation"});
  EXPECT_EQ(skipped.exitCode, 1);
  EXPECT_EQ(Json::parse(skipped.out)["status"]["is_error"], true);
  // Arguments: no data file or 0 threads is a usage error; with 4 threads the run goes on, and without a
  // terminal it draws no progress bar, so nothing goes to standard error.
  EXPECT_EQ(Kqbayes({"run", Write("settings.json", kNormalSettings)}).exitCode, 2);
  EXPECT_EQ(Run(kNormalSettings, "x\n1\n", {"--threads", "0"}).exitCode, 2);
  const Outcome threaded = Run(kNormalSettings, "x\n1\n2\n4\n7\n", {"--threads", "4", "--json"});
  EXPECT_EQ(threaded.exitCode, 0) << threaded.err;
  EXPECT_TRUE(threaded.err.empty()) << threaded.err;
  EXPECT_EQ(Json::parse(threaded.out)["result"]["Settings"]["MaxThreadNum"], 4);
  // A variable with one case only: a warning about variable position 1, the run still succeeds.
  const Outcome warned = Run(R"({"Covariates": ["x", "y"]})", "x,y\n1,5\n2,NA\n4,NA\n");
  EXPECT_EQ(warned.exitCode, 0) << warned.err;
  EXPECT_EQ(Json::parse(warned.out)["warnings"][0].dump(),
            R"({"code":410025,"is_error":false,"is_warning":true,"message":"Warning: Not enough valid cases )"
            R"(were found for some variables","data":[1]})");
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
