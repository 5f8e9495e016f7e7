#include "cli/SettingsReader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cli/JsonWriter.h"
#include "companion/KQMV.h"

using namespace kqcli;
using namespace KQBSN_850;
using namespace KQCommon_850;
using KQCommon_850::KQMV;

namespace {

const std::vector<std::string> kColumns = {"score", "gain", "weight", "group", "score2"};

Result<BSNSettings> Apply(std::string_view text) {
  Result<SettingsDocument> document = ParseSettingsText(text, "settings.json");
  if (!document.IsOK()) return document.Error();
  return ApplySettings(document.Value(), kColumns);
}

std::string ErrorOf(std::string_view text) {
  Result<BSNSettings> settings = Apply(text);
  return settings.IsOK() ? std::string("(no error)") : settings.Error().message;
}

}  // namespace

TEST(SettingsReader, ModelTypeAndVariableListsComeFirst) {
  // Applying the correlation model's defaults turns a tolerance of exactly 1e-6 into 1e-4. Given after
  // the tolerance in the file, the model type must still come first, so the file's value stays.
  Result<BSNSettings> s = Apply(R"({"TolValue": 0.000001, "MissScope": 0, "ModelType": 3})");
  ASSERT_TRUE(s.IsOK()) << s.Error().message;
  EXPECT_EQ(s.Value().GetTolValue(), 0.000001);
  EXPECT_EQ(s.Value().GetMissScope(), BSNConst::MissScope::MissingAnalysis);
  // And the defaults do apply to what the file leaves alone: regression's reference prior.
  EXPECT_EQ(Apply(R"({"ModelType": "Regression"})").Value().GetPriorType(), BSNConst::PriorTypes::Reference);
  // Variable lists come before the setters that check against them.
  Result<BSNSettings> lists = Apply(R"({"FactorNCategs": [3, 2], "2ndRelatedList": ["score2"],
                                        "Factors": ["group", 1], "Covariates": [0]})");
  ASSERT_TRUE(lists.IsOK()) << lists.Error().message;
  EXPECT_EQ(lists.Value().GetFactors(), (std::vector<int>{3, 1}));
  EXPECT_EQ(lists.Value().GetFactorSizes(), (std::vector<int>{3, 2}));
  EXPECT_EQ(lists.Value().Get2ndRelatedList(), (std::vector<int>{4}));
}

TEST(SettingsReader, BadSettingsGiveOneLineNamingTheKey) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"CILevl": 95})", R"(settings.json: unknown key "CILevl" (did you mean "CILevel"?))"},
      {R"([1, 2])", "settings.json: the settings must be one JSON object"},
      {"{\"CILevel\": 95,\n \"NPlotPoints\": }",
       "settings.json: not valid JSON: parse error at line 2, column 17"},
      {R"({"NPlotPoints": 3000000000})",
       R"(settings.json: key "NPlotPoints": the number 3000000000 is outside)"},
      {R"({"CILevel": "high"})", R"(settings.json: key "CILevel": expected a number or null, got the text)"},
      {R"({"Covariates": ["score", "height"]})",
       R"(settings.json: key "Covariates": entry 1: no column of the)"},
      {R"({"Factors": [3], "FactorNCategs": [2, 2]})",
       R"(settings.json: key "FactorNCategs": the value a list)"},
  };
  for (const auto& [text, expected] : cases) {
    const std::string message = ErrorOf(text);
    EXPECT_TRUE(message.starts_with(expected)) << "input: " << text << "\nmessage: " << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
  }
  Result<SettingsDocument> document = ParseSettingsText(R"({"Covariates": ["x"]})", "s.json");
  EXPECT_EQ(ApplySettings(document.Value(), {"x", "y", "x"}).Error().message,
            R"(s.json: key "Covariates": entry 0: 2 columns of the data are named "x"; give its index)");
}

TEST(SettingsReader, WrittenSettingsReadBackToTheSameSettings) {
  Result<BSNSettings> first = Apply(R"(// a comment
    {"ModelType": 4, "DependVar": "score", "Factors": ["group"], "FactorNCategs": [4],
     "FullModCovariates": ["gain"], "FrequencyWeightVar": "weight", "RegrWeightVar": 2, "GroupVar": 3,
     "CILevel": 0.1, "TolValue": 1e-300, "PriorMeans": [0.30000000000000004, null], "RegrCompType": "Hyper",
     "FTests": [{"UseIntercept": true, "Predictors": ["score", 1], "TestValues": [0, null], "Label": "t1"}],
     "SecondGonenPar": 2.5, "MaxThreadNum": 3, "EqualDataVar": true, "RandomSeed": 4294967296})");
  EXPECT_EQ(first.Value().GetRandomSeed(), 4294967296UL);
  EXPECT_TRUE(KQMV::IsMissing(first.Value().GetFTests()[0].GetTestValues()[1]));
  const Json written = SettingsToJson(first.Value());
  // GetDependentVar is written as a column index; every key a settings file may hold is written except
  // NCases, which has no getter, and the command's own GroupValues, which sets no field.
  std::vector<std::string> keys;
  for (const auto& [key, value] : written.items()) keys.push_back(key);
  std::vector<std::string_view> expected = SettingsKeys();
  std::erase(expected, "NCases");
  std::erase(expected, "GroupValues");
  EXPECT_TRUE(std::equal(keys.begin(), keys.end(), expected.begin(), expected.end()));
  EXPECT_EQ(written["RegrComPar"], 3.0);  // the Hyper method's default parameter
  EXPECT_EQ(written["FTests"][0]["Predictors"], Json::array({0, 1}));
  Result<SettingsDocument> again = ParseSettingsText(JsonText(written), "written.json");
  Result<BSNSettings> second = ApplySettings(again.Value(), kColumns);
  EXPECT_EQ(JsonText(SettingsToJson(second.Value())), JsonText(written));
  EXPECT_EQ(second.Value().GetTolValue(), 1e-300);
  EXPECT_EQ(second.Value().GetPriorMeans()[0], 0.30000000000000004);
}

TEST(SettingsReader, TextIsAllowedOnlyInColumnsUsedOnlyAsFactorsOrGroupAndUnusedColumnsAreSkipped) {
  BSNSettings s;
  s.SetFactors({0, 1});
  s.SetGroupVar(3);
  s.SetCovariates({1});  // column 1 is also a covariate, so it must hold numbers
  BayesFTest test;
  test.SetPredictors({5, 0});  // an F test names a covariate and a factor
  s.SetFTests({test});
  s.SetPlotFactors({0});  // a plot factor stays a factor
  using enum ColumnUse;
  EXPECT_EQ(ColumnUses(s, 7),
            (std::vector<ColumnUse>{Categories, Numbers, Skipped, Categories, Skipped, Numbers, Skipped}));
}

TEST(SettingsReader, EnumerationWordsIgnoreCaseBlanksAndHyphens) {
  for (const char* text : {R"({"ModelType": "one sample", "AnalysType": "BayesFactor"})",
                           R"({"ModelType": "ONE-SAMPLE", "AnalysType": "bayes-factor"})",
                           R"({"ModelType": "OneSample", "AnalysType": " Bayes Factor "})"}) {
    Result<BSNSettings> s = Apply(text);
    ASSERT_TRUE(s.IsOK()) << text << ": " << s.Error().message;
    EXPECT_EQ(s.Value().GetModelType(), BSNConst::ModelTypes::OneSample) << text;
    EXPECT_EQ(s.Value().GetAnalysType(), BSNConst::AnalysTypes::BayesFactor) << text;
  }
  EXPECT_TRUE(
      ErrorOf(R"({"AnalysType": "Bayes"})")
          .starts_with(R"(settings.json: key "AnalysType": expected a number or a word of 0 "Posterior")"));
}
