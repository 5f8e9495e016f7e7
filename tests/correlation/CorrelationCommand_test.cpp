// The correlation analysis through the kqbayes program on data that push its numerics: perfect and
// constant pairs, a pair with one case, a million records, and r = 0.999 over 10^4 records, whose factor is
// far outside the double range. The program must finish with status 0 and write numbers or nulls (the
// missing value), the factors that leave the double range as marked logarithms; --threads gives the same
// r and factors as one thread.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

constexpr int kLogFactorWarning = 410041;
constexpr int kPerfectWarning = 410009;

class CorrelationCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kqcorr_command_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  /// Runs kqbayes on the settings and the data file with --json; the parsed output, exit status 0 asserted.
  Json Run(const std::string& settings, const fs::path& data, const std::string& more = "") {
    std::ofstream(dir_ / "settings.json") << settings;
    const fs::path out = dir_ / "out.json";
    const std::string command = std::string(KQBAYES_PROGRAM) + " run " + (dir_ / "settings.json").string() +
                                " " + data.string() + " --json --quiet " + more + " > " + out.string() +
                                " 2>&1";
    const int status = std::system(command.c_str());
    std::stringstream text;
    text << std::ifstream(out).rdbuf();
    EXPECT_EQ(status, 0) << text.str();
    return Json::parse(text.str(), nullptr, false);
  }
  fs::path Data(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    return dir_ / name;
  }
  /// Two columns x, y = x + noise * e over n records, from a fixed stream.
  fs::path Pair(const std::string& name, int n, double noise) {
    std::mt19937_64 engine(42);
    std::normal_distribution<double> normal;
    std::ofstream file(dir_ / name);
    file << "x,y\n";
    char line[64];
    for (int i = 0; i < n; ++i) {
      const double x = normal(engine);
      std::snprintf(line, sizeof line, "%.6f,%.6f\n", x, x + noise * normal(engine));
      file << line;
    }
    return dir_ / name;
  }

  fs::path dir_;
};

bool HasWarning(const Json& out, int code) {
  for (const Json& warning : out["warnings"])
    if (warning["code"] == code) return true;
  return false;
}

// Every per-pair number of the record is a finite number or null (JSON has no NaN or infinity).
void ExpectNumbersOrNull(const Json& result) {
  for (const char* key : {"PearsonCorrelation", "BayesFactor", "VarPairN", "PosteriorMode", "PosteriorMean",
                          "PosteriorVariance", "PosteriorLowerBound", "PosteriorUpperBound"})
    for (const Json& value : result[key]) EXPECT_TRUE(value.is_null() || value.is_number()) << key;
}

const std::string kBoth = R"({"ModelType": "Correlation", "AnalysType": "Both", "Covariates": )";

}  // namespace

TEST_F(CorrelationCommand, DegenerateAndExtremeDataFinishWithNumbersOrMissingValues) {
  // r = 1 and r = -1, a constant, a variable with one case.
  const Json degenerate =
      Run(kBoth + R"(["x", "up", "down", "c", "once"]})",
          Data("degenerate.csv", "x,up,down,c,once\n1,3,-1,7,5\n2,5,-2,7,NA\n3,7,-3,7,NA\n5,11,-5,7,NA\n"));
  const Json& result = degenerate["result"];
  ExpectNumbersOrNull(result);
  EXPECT_EQ(result["PearsonCorrelation"][0], 1.0);
  EXPECT_EQ(result["PearsonCorrelation"][1], -1.0);
  EXPECT_TRUE(result["BayesFactor"][0].is_null() && result["PosteriorMean"][0].is_null());
  EXPECT_TRUE(result["PearsonCorrelation"][2].is_null());  // x ~ c
  EXPECT_TRUE(HasWarning(degenerate, kPerfectWarning));

  // A million records: every result a number.
  const Json million = Run(kBoth + R"(["x", "y"]})", Pair("million.csv", 1000000, 1.0));
  ExpectNumbersOrNull(million["result"]);
  EXPECT_EQ(million["result"]["VarPairN"][0], 1000000.0);
  EXPECT_NEAR(million["result"]["PearsonCorrelation"][0].get<double>(), std::sqrt(0.5), 0.002);
  for (const char* key : {"BayesFactor", "PosteriorMean", "PosteriorLowerBound"})
    EXPECT_TRUE(million["result"][key][0].is_number()) << key;

  // r = 0.999 over 10^4 records: ln BF01 near -3.1e4, kept as a marked logarithm, for both estimates.
  const fs::path strong = Pair("strong.csv", 10000, 0.04476);
  for (const std::string estimate : {"JZS", "Fraction"}) {
    const Json out =
        Run(kBoth + R"(["x", "y"], "EstBFType": ")" + estimate + R"(", "MCSamples": 1000})", strong);
    ExpectNumbersOrNull(out["result"]);
    EXPECT_NEAR(out["result"]["PearsonCorrelation"][0].get<double>(), 0.999, 0.0002);
    EXPECT_EQ(out["result"]["IsLogBayesFactor"][0], true) << estimate;
    EXPECT_LT(out["result"]["BayesFactor"][0].get<double>(), -1000.0) << estimate;
    EXPECT_TRUE(out["result"]["PosteriorMean"][0].is_number());
    EXPECT_TRUE(HasWarning(out, kLogFactorWarning));
  }
}

TEST_F(CorrelationCommand, ThreadsGiveTheSameCorrelationsAndFactors) {
  // 12 variables (66 pairs, more than the 50 of a task): the second run splits them over 2 threads.
  // Variables by their column index 0 to 11.
  std::mt19937_64 engine(7);
  std::normal_distribution<double> normal;
  std::ostringstream csv;
  csv << "v0,v1,v2,v3,v4,v5,v6,v7,v8,v9,v10,v11\n";
  for (int i = 0; i < 60; ++i) {
    const double common = normal(engine);
    for (int j = 0; j < 12; ++j) csv << (j ? "," : "") << common + normal(engine);
    csv << "\n";
  }
  const fs::path data = Data("twelve.csv", csv.str());
  const std::string settings = kBoth + "[0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11]}";
  const Json one = Run(settings, data), two = Run(settings, data, "--threads 2");
  EXPECT_EQ(two["result"]["Settings"]["MaxThreadNum"], 2);
  for (const char* key : {"PearsonCorrelation", "BayesFactor", "IsLogBayesFactor", "VarPairN"})
    EXPECT_EQ(one["result"][key], two["result"][key]) << key;
}
