// End-to-end tests of the kqbayes program: it runs on the bundled examples and on bad input, and the
// tests read its exit status, its standard output (as JSON where asked) and its standard error.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

#include <nlohmann/json.hpp>

#include "tests/support/ExpectNearRel.h"
#include "tests/support/PmmlSchema.h"
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
  ASSERT_EQ(rows.size(), 20u);
  for (const kqtest::ReferenceRow& row : rows) {
    std::istringstream label(row.label);
    std::string settings, data, record, key;
    label >> settings >> data >> record >> key;
    const Outcome outcome = Kqbayes({"run", (kExamples / "settings" / (settings + ".json")).string(),
                                     (kExamples / "data" / (data + ".csv")).string(), "--json"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const Json json = Json::parse(outcome.out);
    EXPECT_EQ(json["result"]["record"], record);
    // A list's first entry or a single number; as a ratio, since some values are far below 1.
    const Json& value = json["result"][key];
    const double actual = (value.is_array() ? value[0] : value).get<double>();
    EXPECT_NEAR(actual / row.values.at(0), 1.0, row.values.at(1)) << row.label;
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
    if (name == "haireye-loglinear") {
      // Black hair, brown eyes: 68 cases, 108 x 220 / 592 = 40.1351 expected; the verdict in words.
      for (const char* text :
           {"Counts (expected counts under independence)", "68 (40.1351)", "Pearson chi-square",
            "Hair 0 vs 3, Eye 0 vs 3", "extreme evidence for H1 (they are associated)"})
        EXPECT_NE(outcome.out.find(text), std::string::npos) << text << "\n" << outcome.out;
    }
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
  // A contingency table's case without a factor code is an input error naming its row and column.
  const Outcome uncoded = Run(R"({"ModelType": "LogLinear", "Factors": ["a", "b"], "FactorNCategs": [2, 2]})",
                              "a,b\n0,1\n1,NA\n");
  EXPECT_EQ(uncoded.exitCode, 2);
  const Outcome unweighted = Run(
      R"({"ModelType": "LogLinear", "Factors": ["a", "b"], "FactorNCategs": [2, 2], "FrequencyWeightVar": "w"})",
      "a,b,w\n0,1,3\n1,0,\n");
  EXPECT_EQ(unweighted.exitCode, 2);
  EXPECT_NE(unweighted.err.find("column \"w\" (index 2): the frequency weight is missing"), std::string::npos)
      << unweighted.err;
  EXPECT_EQ(uncoded.err,
            "kqbayes: " + (dir_ / "data.csv").string() +
                ": line 3 (data row 2), column \"b\" (index 1): the factor code is missing (every case "
                "of a contingency table needs both codes and its weight)\n");
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

namespace {

/// One line on standard error: a single line end, at the end, and neither a NUL byte nor a run of more
/// than 45 digits (a number echoed in full).
void ExpectOneLine(const std::string& err) {
  ASSERT_FALSE(err.empty());
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  EXPECT_EQ(err.find('\0'), std::string::npos) << err;
  std::size_t run = 0, longestRun = 0;
  for (const char c : err) {
    run = (c >= '0' && c <= '9') ? run + 1 : 0;
    longestRun = std::max(longestRun, run);
  }
  EXPECT_LE(longestRun, 45u) << err;
}

const std::string kCountsData = "x,f\n1,0\n2,1\n4,1\n7,0\n5,1\n";
const std::string kBinomial = R"("ModelType": "One-Sample", "TestDistType": "Binomial", "Factors": ["f"],
    "FactorNCategs": [2], "AlterPrior1s": [1], "AlterPrior2s": [1])";
const std::string kPoisson = R"("ModelType": "One-Sample", "TestDistType": "Poisson", "Covariates": ["x"])";
const std::string kNormal = R"("ModelType": "One-Sample", "TestDistType": "Normal", "Covariates": ["x"])";

}  // namespace

TEST_F(CommandTest, SenselessSettingsStopBeforeTheLibraryUnlessTheScreeningIsSkipped) {
  struct Case {
    std::string settings, key, reason;
  };
  const std::string level = "the credible level must be a percentage greater than 0 and less than 100, got ";
  const std::string prior = "a Beta or Gamma prior parameter must be greater than 0, got ";
  const Case cases[] = {
      {kNormal + R"(, "CILevel": 150)", "CILevel", level + "150"},
      {kNormal + R"(, "CILevel": -1)", "CILevel", level + "-1"},
      {kNormal + R"(, "CILevel": null)", "CILevel", level + "null"},
      {kNormal + R"(, "CILevel": 100)", "CILevel", level + "100"},
      {kPoisson + R"(, "AlterPrior1s": [0], "AlterPrior2s": [1], "AnalysType": "Both")", "AlterPrior1s",
       "entry 0: " + prior + "0"},
      {kPoisson + R"(, "NullPrior2s": [3, -0.5], "AnalysType": 0)", "NullPrior2s",
       "entry 1: " + prior + "-0.5"},
      {kBinomial + R"(, "PriorParam1": -2, "PriorParam2": 1)", "PriorParam1", prior + "-2"},
      {kBinomial + R"(, "NullPrior1s": [0], "NullPrior2s": [0])", "NullPrior1s", "entry 0: " + prior + "0"},
      {R"("ModelType": 99, "Covariates": ["x"])", "ModelType",
       R"(the number 99 is not one of 0 "One-Sample", 1 "Related", 2 "Independent", 3 "Correlation", )"
       R"(4 "Regression", 5 "Anova", 6 "LogLinear")"},
      {kNormal + R"(, "EstBFType": 7)", "EstBFType",
       R"(the number 7 is not one of 0 "JZS", 1 "Simple", 2 "Fraction", 3 "Custom")"},
      {kNormal + R"(, "AnalysType": -1)", "AnalysType",
       R"(the number -1 is not one of 0 "Posterior", 1 "Bayes Factor", 2 "Both")"},
  };
  for (const Case& c : cases) {
    const Outcome screened = Run("{" + c.settings + "}", kCountsData);
    EXPECT_EQ(screened.exitCode, 2) << c.settings;
    EXPECT_TRUE(screened.out.empty()) << screened.out;
    EXPECT_EQ(screened.err, "kqbayes: " + (dir_ / "settings.json").string() + ": key \"" + c.key +
                                "\": " + c.reason + "\n");
    // Skipped, the values reach the library, which answers with a status (and a result or none).
    const Outcome skipped = Run("{" + c.settings + "}", kCountsData, {"--json", "--skip-validation"});
    EXPECT_TRUE(skipped.exitCode == 0 || skipped.exitCode == 1) << c.settings << "\n" << skipped.err;
    const Json json = Json::parse(skipped.out);
    EXPECT_TRUE(json["validation"].is_null());
    EXPECT_TRUE(json["status"].is_object()) << c.settings;
  }
  // A model type without an analysis builds nothing: BSN_BAD_PARAMETER with the model type as datum 0.
  const Json unknown = Json::parse(
      Run(R"({"ModelType": 99, "Covariates": ["x"]})", kCountsData, {"--json", "--skip-validation"}).out);
  EXPECT_EQ(unknown["status"]["code"], 410019);
  EXPECT_EQ(unknown["status"]["data"][0], 99);
  // Values that make sense pass, with keys the analysis does not read left unscreened: a normal
  // analysis does not read prior parameters, so their 0 only draws a warning.
  const Outcome fine = Run("{" + kNormal + R"(, "CILevel": 99.5, "PriorParam1": 0})", kCountsData);
  EXPECT_EQ(fine.exitCode, 0) << fine.err;
  EXPECT_EQ(fine.err,
            "kqbayes: warning: " + (dir_ / "settings.json").string() +
                ": key \"PriorParam1\" has no effect: the one-sample normal analysis does not read it\n");
}

TEST_F(CommandTest, EnumerationWordsAreForgivingAndUnreadKeysAreNamed) {
  const Outcome outcome = Run(
      R"({"ModelType": "one sample", "TestDistType": "NORMAL", "AnalysType": "bayes-factor",
          "Covariates": [0], "NullValue": 5})",
      kCountsData);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.err,
            "kqbayes: warning: " + (dir_ / "settings.json").string() +
                ": key \"NullValue\" has no effect: the one-sample normal analysis does not read it "
                "(did you mean \"NullValues\"?)\n");
  const Json settings = Json::parse(outcome.out)["result"]["Settings"];
  EXPECT_EQ(settings["ModelType"], 0);
  EXPECT_EQ(settings["TestDistType"], 0);
  EXPECT_EQ(settings["AnalysType"], 1);
}

TEST_F(CommandTest, FrequencyWeightsThatAreNegativeOrFractionalGetOneWarning) {
  // Weights 1, -1, 1.5, 0.25, 2 count as 1, 0, 2, 0, 2 (rounded half up; a negative one drops its
  // record): N = 5 and the weighted mean (1 * 1 + 4 * 2 + 5 * 2) / 5 = 3.8.
  const Outcome outcome =
      Run("{" + kNormal + R"(, "FrequencyWeightVar": "w"})", "x,w\n1,1\n2,-1\n4,1.5\n7,0.25\n5,2\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "kqbayes: warning: " + (dir_ / "data.csv").string() +
                             ": frequency weights in column \"w\" (index 1): 1 record with a negative weight "
                             "dropped; 2 weights not a whole number, rounded to the nearest whole number\n");
  const Json result = Json::parse(outcome.out)["result"];
  EXPECT_EQ(result["Ns"][0], 5);
  EXPECT_NEAR_REL(result["MeanValues"][0].get<double>(), 3.8, 1e-15);
  // Whole, non-negative weights draw nothing.
  EXPECT_TRUE(Run("{" + kNormal + R"(, "FrequencyWeightVar": "w"})", "x,w\n1,1\n2,0\n4,3\n").err.empty());
}

TEST_F(CommandTest, TheJsonNamesTheRowsAndGivesEachFactorInEveryForm) {
  // x = 1, 2, 3: R 4.2.2, BayesFactor::ttestBF(c(1, 2, 3), mu = 0, rscale = 1) gives
  // BF10 = 2.13583828330724.
  const Outcome normal =
      Run(R"({"ModelType": 0, "AnalysType": "Both", "Covariates": ["x"]})", "x\n1\n2\n3\n");
  ASSERT_EQ(normal.exitCode, 0) << normal.err;
  const Json result = Json::parse(normal.out)["result"];
  EXPECT_EQ(result["RowHeader"], "Variable");
  EXPECT_EQ(result["RowLabels"], Json::array({"x"}));
  const Json& factor = result["Factors"][0];
  EXPECT_EQ(factor["label"], "x");
  EXPECT_NEAR_REL(factor["BF10"].get<double>(), 2.13583828330724, 1e-8);
  EXPECT_NEAR_REL(factor["BF01"].get<double>(), 1.0 / 2.13583828330724, 1e-8);
  EXPECT_NEAR_REL(factor["log_BF10"].get<double>(), std::log(2.13583828330724), 1e-8);
  EXPECT_EQ(factor["verdict"], "anecdotal evidence for H1 (mean != 0) over H0 (mean = 0)");

  // A factor beyond the double range, kept as its logarithm: counts 50 and 51 of weight 1e5 each, a
  // null prior Gamma(1e6, 1e5) and an alternative Gamma(1, 0.1). The Gamma-Poisson marginals give, by
  // hand with mpmath at 30 digits, ln BF10 = 1833317.5868616135; BF10 and BF01 have no double.
  const Outcome counts = Run(
      R"({"ModelType": 0, "TestDistType": "Poisson", "AnalysType": "Both", "Covariates": ["x"],
          "FrequencyWeightVar": "w", "NullPrior1s": [1000000], "NullPrior2s": [100000],
          "AlterPrior1s": [1], "AlterPrior2s": [0.1], "PriorParam1": 1, "PriorParam2": 0.1})",
      "x,w\n50,100000\n51,100000\n");
  ASSERT_EQ(counts.exitCode, 0) << counts.err;
  const Json countsJson = Json::parse(counts.out);
  const Json& huge = countsJson["result"]["Factors"][0];
  EXPECT_NEAR_REL(huge["log_BF10"].get<double>(), 1833317.5868616135, 1e-12);
  EXPECT_TRUE(huge["BF10"].is_null() && huge["BF01"].is_null());
  EXPECT_EQ(huge["verdict"],
            "extreme evidence for H1 (rate ~ Gamma(1, 0.1)) over H0 (rate ~ Gamma(1e+06, 100000))");

  // An ANOVA without its dependent variable: the key it does not read is named, and the validation
  // refuses the settings.
  const Outcome anova = Run(R"({"ModelType": "Anova", "Covariates": [0, 1]})", "a,b\n1,2\n");
  EXPECT_EQ(anova.exitCode, 1);
  EXPECT_NE(anova.err.find("key \"Covariates\" has no effect: the one-way ANOVA analysis does not read it"),
            std::string::npos)
      << anova.err;
  EXPECT_EQ(Json::parse(anova.out)["validation"]["code"], 410034) << anova.out;  // BSN_NO_DEPENDENT
}

TEST_F(CommandTest, TextThatIsNotUtf8IsReplacedInTheJsonAndTheTables) {
  // The column name "g\xE9" and the label "a\xFF" are Latin-1 bytes, not UTF-8; the output replaces
  // each bad byte by U+FFFD (EF BF BD in UTF-8).
  const std::string settings = R"({"ModelType": "One-Sample", "TestDistType": "Binomial", "AnalysType": 1,
      "Factors": [1], "FactorNCategs": [2], "AlterPrior1s": [1], "AlterPrior2s": [1]})";
  const std::string csv = "sc\xFFore,g\xE9\n1,a\xFF\n2,b\n3,a\xFF\n";
  const Outcome json = Run(settings, csv);
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const Json codes = Json::parse(json.out)["category_codes"];
  EXPECT_EQ(codes.dump(), "{\"g\xEF\xBF\xBD\":[\"a\xEF\xBF\xBD\",\"b\"]}");
  const Outcome tables = Run(settings, csv, {});
  ASSERT_EQ(tables.exitCode, 0) << tables.err;
  EXPECT_NE(
      tables.out.find("Column \"g\xEF\xBF\xBD\" is coded from its text: 0 = \"a\xEF\xBF\xBD\", 1 = \"b\""),
      std::string::npos)
      << tables.out;
  EXPECT_NE(tables.out.find("  g\xEF\xBF\xBD  "), std::string::npos) << tables.out;
  for (const char bad : {'\xFF', '\xE9'}) {
    EXPECT_EQ(json.out.find(bad), std::string::npos);
    EXPECT_EQ(tables.out.find(bad), std::string::npos);
  }
}

TEST_F(CommandTest, EveryInputErrorIsOneLine) {
  const std::string data = (dir_ / "data.csv").string();
  const std::string twoColumns = R"({"Covariates": ["x", "y"]})";
  // A quoted cell over two lines, with a control character, is quoted on one line.
  const Outcome multiLine = Run(twoColumns, "x,y\n1,\"multi\nline\x01 cell\"\n");
  EXPECT_EQ(multiLine.exitCode, 2);
  EXPECT_EQ(
      multiLine.err,
      "kqbayes: " + data +
          ": line 2 (data row 1), column \"y\" (index 1): \"multi\\nline\\x01 cell\" is not a number\n");
  // A NUL byte in a cell is written as an escape.
  const Outcome nul = Run(R"({"Covariates": ["x"]})", std::string("x\n1\n2\0"
                                                                  "3\n",
                                                                  8));
  EXPECT_EQ(nul.exitCode, 2);
  EXPECT_EQ(nul.err, "kqbayes: " + data +
                         ": line 3 (data row 2), column \"x\" (index 0): \"2\\x003\" is not a number\n");
  // Numbers of hundreds of digits are neither echoed nor parsed into a run of digits: beyond the double
  // range the JSON parser quotes the literal (cut short), within it the value is written as 1e+300.
  const std::string digits300 = "1" + std::string(300, '0');
  const std::string digits400 = "1" + std::string(400, '0');
  const Outcome overflow = Run(R"({"Covariates": ["x"], "CILevel": )" + digits400 + "}", "x\n1\n");
  EXPECT_EQ(overflow.exitCode, 2);
  ExpectOneLine(overflow.err);
  const Outcome large = Run(R"({"Covariates": ["x"], "MaxIterations": )" + digits300 + "}", "x\n1\n");
  EXPECT_EQ(large.exitCode, 2);
  EXPECT_EQ(large.err, "kqbayes: " + (dir_ / "settings.json").string() +
                           ": key \"MaxIterations\": expected a whole number, got 1e+300\n");
  const Outcome badLiteral = Run(R"({"Covariates": ["x"], "CILevel": )" + digits300 + "x}", "x\n1\n");
  EXPECT_EQ(badLiteral.exitCode, 2);
  ExpectOneLine(badLiteral.err);
  const Outcome longCell = Run(R"({"Covariates": ["x"]})", "x\n" + digits400 + "\n");
  EXPECT_EQ(longCell.exitCode, 2);
  ExpectOneLine(longCell.err);
  for (const Outcome* outcome : {&multiLine, &nul}) ExpectOneLine(outcome->err);
}

TEST_F(CommandTest, ColumnsTheSettingsDoNotUseAreNotRead) {
  // The Titanic's survivors alone: the text column Sex is not named, so it is not read. BF01 as in
  // cli_examples.out: exp(lbeta(711 + 50, 1490 + 50) - lbeta(50, 50) - lbeta(711 + 1, 1490 + 1) + lbeta(1,
  // 1)).
  const std::string settings =
      Write("survived.json", R"({"ModelType": "One-Sample", "TestDistType": "Binomial",
      "AnalysType": "Both", "Factors": ["Survived"], "FactorNCategs": [2], "FrequencyWeightVar": "People",
      "NullPrior1s": [50], "NullPrior2s": [50], "AlterPrior1s": [1], "AlterPrior2s": [1],
      "PriorParam1": 1, "PriorParam2": 1})");
  const Outcome outcome = Kqbayes({"run", settings, (kExamples / "data" / "titanic.csv").string(), "--json"});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_TRUE(outcome.err.empty()) << outcome.err;
  const Json json = Json::parse(outcome.out);
  EXPECT_NEAR_REL(json["result"]["BayesFactors"][0].get<double>(), 0.014971918786882771, 1e-12);
  EXPECT_EQ(json["result"]["Ns"][0], 2201);
  EXPECT_FALSE(json["category_codes"].contains("Sex"));
  // Any text in an unused column: malformed numbers, words, quoted text over two lines.
  const Outcome ignored = Run(R"({"Covariates": ["x"]})", "x,notes\n1,1.5x\n2,n/a\n4,\"say\nhi\"\n");
  EXPECT_EQ(ignored.exitCode, 0) << ignored.err;
}

TEST_F(CommandTest, GroupsAreZeroAndOneUnlessTheSettingsNameTheirValues) {
  const std::string independent = R"("ModelType": "Independent", "AnalysType": "Both", "Covariates": ["y"],
      "GroupVar": "g")";
  const std::string numbers = "y,g\n1,1\n2,2\n3,1\n5,2\n4,1\n6,2\n7,3\n";
  const std::string data = (dir_ / "data.csv").string();
  const Outcome refused = Run("{" + independent + "}", numbers);
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_TRUE(refused.out.empty());
  EXPECT_EQ(refused.err,
            "kqbayes: " + data +
                ": line 3 (data row 2), column \"g\" (index 1): the group value 2 is not 0 or 1; "
                "name the two groups' values with \"GroupValues\": [first, second]\n");
  // Groups 1 -> first (y = 1, 3, 4: mean 8/3), 2 -> second (y = 2, 5, 6: mean 13/3); the 3 is left out.
  const std::string leftOut = "kqbayes: warning: " + data +
                              ": column \"g\" (index 1): 1 record has a group value other than the two of "
                              "\"GroupValues\" and is left out\n";
  for (const auto& [values, firstMean, secondMean] :
       {std::tuple{"[1, 2]", 8.0 / 3.0, 13.0 / 3.0}, {"[\"2\", 1]", 13.0 / 3.0, 8.0 / 3.0}}) {
    const Outcome outcome = Run("{" + independent + ", \"GroupValues\": " + values + "}", numbers);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.err, leftOut);
    const Json result = Json::parse(outcome.out)["result"];
    EXPECT_EQ(result["Group1StatsNs"][0], 3);
    EXPECT_EQ(result["Group2StatsNs"][0], 3);
    EXPECT_NEAR_REL(result["Group1MeanValues"][0].get<double>(), firstMean, 1e-15) << values;
    EXPECT_NEAR_REL(result["Group2MeanValues"][0].get<double>(), secondMean, 1e-15) << values;
  }
  // Text groups, one missing: refused without group values, named by them.
  const std::string texts = "y,g\n1,m\n2,f\n3,m\n5,f\n4,m\n6,f\n7,\n";
  EXPECT_EQ(Run("{" + independent + "}", texts).err,
            "kqbayes: " + data +
                ": line 2 (data row 1), column \"g\" (index 1): the group value \"m\" is not 0 or 1; "
                "name the two groups' values with \"GroupValues\": [first, second]\n");
  const Outcome named = Run("{" + independent + R"(, "GroupValues": ["f", "m"]})", texts);
  ASSERT_EQ(named.exitCode, 0) << named.err;
  EXPECT_TRUE(named.err.empty()) << named.err;
  const Json result = Json::parse(named.out)["result"];
  EXPECT_NEAR_REL(result["Group1MeanValues"][0].get<double>(), 13.0 / 3.0, 1e-15);
  EXPECT_NEAR_REL(result["Group2MeanValues"][0].get<double>(), 8.0 / 3.0, 1e-15);
  // Two equal group values make no sense.
  const Outcome same = Run("{" + independent + R"(, "GroupValues": ["f", "f"]})", texts);
  EXPECT_EQ(same.exitCode, 2);
  EXPECT_EQ(same.err, "kqbayes: " + (dir_ / "settings.json").string() +
                          ": key \"GroupValues\": the two group values are the same, the text \"f\"\n");
}

TEST_F(CommandTest, TheSettingsReferenceInTheExamplesIsTheOneTheCommandWrites) {
  const Outcome written = Kqbayes({"keys", "--markdown"});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  std::ostringstream readme;
  readme << std::ifstream(kExamples / "README.md").rdbuf();
  const std::string text = readme.str();
  const std::string begin = "<!-- settings reference: begin -->\n";
  const std::size_t from = text.find(begin);
  const std::size_t to = text.find("<!-- settings reference: end -->");
  ASSERT_NE(from, std::string::npos);
  ASSERT_NE(to, std::string::npos);
  EXPECT_EQ(text.substr(from + begin.size(), to - from - begin.size()), written.out)
      << "run scripts/update-settings-reference.sh";
  // Every key is in it, with its words.
  EXPECT_NE(written.out.find("| `GroupValues` | list of two numbers or texts |"), std::string::npos);
  EXPECT_NE(written.out.find(R"(0 "Posterior", 1 "Bayes Factor", 2 "Both")"), std::string::npos);
}

TEST_F(CommandTest, ScorePredictsEachNewRecordInOrderAndLeavesUnknownOnesEmpty) {
  // Fitted on the mtcars example under the reference prior. R 4.2.2:
  //   m <- lm(mpg ~ factor(cyl_code) + wt + hp, data = mtcars.csv)
  //   p <- predict(m, nd, interval = "prediction", level = 0.95, se.fit = TRUE)
  // gives fit, lwr, upr; the predictive variance of the t posterior is
  //   (p$se.fit^2 + sigma(m)^2) * 27 / 25, with 27 residual degrees of freedom.
  const std::string settings = Write("mtcars.json", R"({"ModelType": "Regression", "DependVar": "mpg",
      "Factors": ["cyl_code"], "FactorNCategs": [3], "Covariates": ["wt", "hp"], "PriorType": "Reference",
      "AnalysType": "Both", "ComputeVarianceInScoring": true})");
  const std::string data = (kExamples / "data" / "mtcars.csv").string();
  // Columns in another order than the data's, an unread column, then a category the model does not
  // know (3) and a missing covariate: their rows are empty.
  const std::string newData = Write("new.csv",
                                    "hp,note,wt,cyl_code\n100,a,2.5,0\n200,b,3.5,2\n120,c,3.0,1\n"
                                    "120,d,3.0,3\n100,e,,1\n");
  const Outcome csv = Kqbayes({"score", settings, data, newData});
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  std::istringstream lines(csv.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "mode,mean,variance,lower,upper");
  const double expected[3][4] = {
      {25.580504283043204, 7.0867417807441857, 20.324533876288836, 30.836474689797573},
      {16.901234875940602, 7.0414567477461176, 11.662084487368601, 22.140385264512602},
      {20.168381180678352, 7.3582285372899641, 14.812681166422415, 25.524081194934290}};
  for (const auto& row : expected) {
    ASSERT_TRUE(std::getline(lines, line));
    double mode, mean, variance, lower, upper;
    char comma;
    std::istringstream cells(line);
    cells >> mode >> comma >> mean >> comma >> variance >> comma >> lower >> comma >> upper;
    ASSERT_TRUE(cells) << line;
    EXPECT_NEAR_REL(mode, row[0], 1e-12);
    EXPECT_EQ(mean, mode);
    EXPECT_NEAR_REL(variance, row[1], 1e-11);
    EXPECT_NEAR_REL(lower, row[2], 1e-11);
    EXPECT_NEAR_REL(upper, row[3], 1e-11);
  }
  for (int empty = 0; empty < 2; ++empty) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, ",,,,");
  }
  EXPECT_FALSE(std::getline(lines, line));

  // The same as JSON: a list of objects, null where the CSV is empty.
  const Outcome json = Kqbayes({"score", settings, data, newData, "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const Json list = Json::parse(json.out);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_NEAR_REL(list[1]["upper"].get<double>(), expected[1][3], 1e-11);
  EXPECT_TRUE(list[3]["mode"].is_null() && list[4]["upper"].is_null());

  // A model column absent from the new records, and an analysis without a model: one line, status 2.
  const Outcome noColumn = Kqbayes({"score", settings, data, Write("bad.csv", "wt,cyl_code\n3,1\n")});
  EXPECT_EQ(noColumn.exitCode, 2);
  EXPECT_NE(noColumn.err.find("no column \"hp\", which the model reads"), std::string::npos) << noColumn.err;
  const Outcome normal = Kqbayes({"score", Write("normal.json", kNormalSettings), Write("x.csv", "x\n1\n2\n"),
                                  Write("y.csv", "x\n1\n")});
  EXPECT_EQ(normal.exitCode, 2);
  EXPECT_NE(normal.err.find("only a Regression or an Anova model scores records"), std::string::npos)
      << normal.err;
  EXPECT_TRUE(normal.out.empty());
}

TEST_F(CommandTest, ScoreMatchesTextCategoriesWithThoseOfTheFittingData) {
  // y on the factor g alone: the fit is saturated, so a category's prediction is its mean (by hand:
  // a = 2, b = 5, c = 9). New records name the categories in another order; "d" is unknown and NA
  // missing.
  const std::string settings = Write("anova.json", R"({"ModelType": "Regression", "DependVar": "y",
      "Factors": ["g"], "FactorNCategs": [3], "PriorType": "Reference", "AnalysType": "Posterior"})");
  const std::string data = Write("fit.csv", "g,y\nb,4\na,1\nc,9\nb,6\na,3\nc,8\nc,10\n");
  const Outcome scored = Kqbayes({"score", settings, data, Write("new.csv", "g\nc\nd\na\nNA\nb\n")});
  ASSERT_EQ(scored.exitCode, 0) << scored.err;
  std::istringstream lines(scored.out);
  std::string line;
  std::getline(lines, line);
  for (const double mean : {9.0, -1.0, 2.0, -1.0, 5.0}) {
    ASSERT_TRUE(std::getline(lines, line));
    if (mean < 0.0) {
      EXPECT_EQ(line, ",,,,");
      continue;
    }
    ASSERT_TRUE(line.ends_with(",,,")) << line;
    EXPECT_NEAR(std::stod(line), mean, 1e-13) << line;
  }
}

TEST_F(CommandTest, ModelsAreWrittenAsValidPmmlAndTheIrisOutputsAreTheCommands) {
  const auto read = [](const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
  };
  const auto withoutTimestamp = [](std::string text) {
    const std::size_t begin = text.find("<Timestamp>");
    const std::size_t end = text.find("</Timestamp>");
    return begin == std::string::npos || end == std::string::npos ? text : text.erase(begin, end - begin);
  };
  const std::string irisSettings = (kExamples / "settings" / "iris-anova.json").string();
  const std::string iris = (kExamples / "data" / "iris.csv").string();
  const std::string pmml = (dir_ / "iris.pmml").string();
  const Outcome anova = Kqbayes({"run", irisSettings, iris, "--quiet", "--pmml", pmml});
  ASSERT_EQ(anova.exitCode, 0) << anova.err;
  // The tables name the species' parameters by their texts, as the document does.
  EXPECT_NE(anova.out.find("Species=versicolor"), std::string::npos) << anova.out;
  const std::string document = read(pmml);
  EXPECT_TRUE(kqtest::ValidatesAgainstPmmlSchema(document));
  EXPECT_NE(document.find("algorithmName=\"BayesianAnova\""), std::string::npos);
  EXPECT_NE(document.find("<Value value=\"versicolor\""), std::string::npos);
  EXPECT_EQ(withoutTimestamp(document), withoutTimestamp(read(kExamples / "output" / "iris-anova.pmml")))
      << "scripts/update-example-outputs.sh rewrites the example outputs";

  // R 4.2.2: predict(lm(Sepal.Length ~ Species, iris), data.frame(Species = c("virginica", "setosa",
  // "versicolor")), interval = "prediction", se.fit = TRUE): fit and upr; the predictive variance
  // (se.fit^2 + sigma^2) * 147 / 145 = 0.27403671724137924 for each species. "Virginica" is unknown.
  const Outcome scores =
      Kqbayes({"score", irisSettings, iris, (kExamples / "data" / "iris-new.csv").string(), "--quiet"});
  ASSERT_EQ(scores.exitCode, 0) << scores.err;
  EXPECT_EQ(scores.out, read(kExamples / "output" / "iris-new-scores.csv"));
  std::istringstream lines(scores.out);
  std::string line;
  std::getline(lines, line);
  for (const auto& [fit, upper] : {std::pair{6.5880000000000001, 7.6154671057008843},
                                   {5.0059999999999993, 6.0334671057008835},
                                   {5.9359999999999991, 6.9634671057008832}}) {
    ASSERT_TRUE(std::getline(lines, line));
    std::vector<double> cells;
    std::istringstream row(line);
    for (std::string cell; std::getline(row, cell, ',');) cells.push_back(std::stod(cell));
    ASSERT_EQ(cells.size(), 5u) << line;
    EXPECT_NEAR_REL(cells[1], fit, 1e-13);
    EXPECT_NEAR_REL(cells[2], 0.27403671724137924, 1e-12);
    EXPECT_NEAR_REL(cells[4], upper, 1e-13);
  }
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_EQ(line, ",,,,");

  // A regression with its (X'WX)^-1.
  const std::string cars = (dir_ / "cars.pmml").string();
  const Outcome regression =
      Kqbayes({"run", (kExamples / "settings" / "mtcars-mpg-regression.json").string(),
               (kExamples / "data" / "mtcars.csv").string(), "--quiet", "--pmml", cars, "--pmml-covariance"});
  ASSERT_EQ(regression.exitCode, 0) << regression.err;
  const std::string carsDocument = read(cars);
  EXPECT_TRUE(kqtest::ValidatesAgainstPmmlSchema(carsDocument));
  EXPECT_NE(carsDocument.find("algorithmName=\"BayesianMultipleRegression\""), std::string::npos);
  EXPECT_NE(carsDocument.find("<PCovMatrix"), std::string::npos);

  // An analysis without a linear model: one line, status 2, no file.
  const std::string none = (dir_ / "none.pmml").string();
  const Outcome normal =
      Kqbayes({"run", Write("normal.json", kNormalSettings), Write("x.csv", "x\n1\n2\n"), "--pmml", none});
  EXPECT_EQ(normal.exitCode, 2);
  EXPECT_NE(normal.err.find("--pmml: only a Regression or an Anova model can be written as PMML"),
            std::string::npos)
      << normal.err;
  EXPECT_EQ(std::count(normal.err.begin(), normal.err.end(), '\n'), 1);
  EXPECT_FALSE(fs::exists(none));
}

// Without "FactorNCategs" the sizes come from the data: three codes 0..2 of numbers, and two texts of
// each factor of a table. Each run must give what the same settings with the sizes written out give,
// and name the sizes it took; a code past the largest size taken from data is refused.
TEST_F(CommandTest, FactorSizesLeftOutComeFromTheData) {
  const std::string data = (dir_ / "data.csv").string();
  const std::string anova = R"("ModelType": "Anova", "DependVar": "y", "Factors": ["g"])";
  const std::string numbers = "y,g\n1,0\n4,1\n7,2\n2,0\n6,1\n9,2\n";
  const Outcome inferred = Run("{" + anova + "}", numbers);
  ASSERT_EQ(inferred.exitCode, 0) << inferred.err;
  EXPECT_EQ(inferred.err,
            "kqbayes: warning: " + data +
                ": \"FactorNCategs\" is not given: [3] from the data, for column \"g\" (index 1)\n");
  const Outcome written = Run("{" + anova + R"(, "FactorNCategs": [3]})", numbers);
  ASSERT_EQ(written.exitCode, 0) << written.err;
  EXPECT_TRUE(written.err.empty()) << written.err;
  EXPECT_EQ(Json::parse(inferred.out), Json::parse(written.out));

  const std::string table = R"("ModelType": "LogLinear", "Factors": ["a", "b"], "FrequencyWeightVar": "w")";
  const std::string cells = "a,b,w\nx,u,10\nx,v,20\ny,u,30\ny,v,5\n";
  const Outcome tableInferred = Run("{" + table + "}", cells);
  ASSERT_EQ(tableInferred.exitCode, 0) << tableInferred.err;
  EXPECT_NE(tableInferred.err.find("[2, 2] from the data"), std::string::npos) << tableInferred.err;
  EXPECT_EQ(Json::parse(tableInferred.out),
            Json::parse(Run("{" + table + R"(, "FactorNCategs": [2, 2]})", cells).out));

  const Outcome tooLarge = Run("{" + anova + "}", numbers + "3,5000\n");
  EXPECT_EQ(tooLarge.exitCode, 2);
  EXPECT_EQ(tooLarge.err,
            "kqbayes: " + data +
                ": column \"g\" (index 1) is a factor whose largest code, 5000, would make more than "
                "1000 categories; give its size in \"FactorNCategs\" if it is one\n");
}
