#include "cli/RecordRegistry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>
#include <sstream>

#include "cli/Report.h"
#include "companion/KQMV.h"
#include "companion/KQMemoryDataSet.h"
#include "frame/BSNComponent.h"
#include "onesample/BSN1SampleBinoOutputStats.h"
#include "onesample/BSN1SampleNormOutputStats.h"
#include "onesample/BSN1SamplePoisnOutputStats.h"
#include "twosample/BSN2SampleIndOutputStats.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"

using namespace kqcli;
using namespace KQBSN_850;
using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQMemoryRecordIter;
using KQCommon_850::KQMV;

namespace {

// The record's JSON as a program reads it: written as text, then parsed.
Json WrittenAndReadBack(const BSNOutputStats& record, const std::vector<std::string>& names) {
  return Json::parse(JsonText(RecordToJson(record, DescribeRecord(record, names))));
}

std::vector<std::string> Keys(const Json& object) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : object.items()) keys.push_back(key);
  return keys;
}

// A number read back from the JSON equals the getter's double to the last bit; null stands for the
// missing value and for NaN.
void ExpectSame(const Json& json, double expected, const std::string& where) {
  if (KQMV::IsMissingOrNaN(expected)) {
    EXPECT_TRUE(json.is_null()) << where;
    return;
  }
  ASSERT_TRUE(json.is_number()) << where;
  EXPECT_EQ(std::bit_cast<std::uint64_t>(json.get<double>()), std::bit_cast<std::uint64_t>(expected))
      << where;
}

void ExpectSame(const Json& json, int expected, const std::string& where) {
  ASSERT_TRUE(json.is_number_integer()) << where;
  EXPECT_EQ(json.get<long long>(), expected) << where;
}

void ExpectSame(const Json& json, bool expected, const std::string& where) {
  ASSERT_TRUE(json.is_boolean()) << where;
  EXPECT_EQ(json.get<bool>(), expected) << where;
}

void ExpectSame(const Json& json, const std::pair<double, double>& expected, const std::string& where) {
  ASSERT_TRUE(json.is_array() && json.size() == 2) << where;
  ExpectSame(json[0], expected.first, where + ".first");
  ExpectSame(json[1], expected.second, where + ".second");
}

template <class T>
void ExpectSame(const Json& json, const std::vector<T>& expected, const std::string& where) {
  ASSERT_TRUE(json.is_array()) << where;
  ASSERT_EQ(json.size(), expected.size()) << where;
  for (std::size_t i = 0; i < expected.size(); ++i)
    ExpectSame(json[i], static_cast<T>(expected[i]), where + "[" + std::to_string(i) + "]");
}

struct BuiltAnalysis {
  KQMemoryDataSet data;
  std::unique_ptr<BSNComponent> component;
};

BuiltAnalysis Build(BSNSettings settings, KQMemoryDataSet data) {
  BuiltAnalysis run{std::move(data), nullptr};
  settings.SetNPlotPoints(7);
  EXPECT_FALSE(settings.IsValidSettings().IsError());
  run.component = std::make_unique<BSNComponent>(settings, run.data.MakeVarList());
  KQMemoryRecordIter iter(run.data);
  EXPECT_FALSE(run.component->BuildModel(iter).IsError());
  EXPECT_NE(run.component->GetOutputStats(), nullptr);
  return run;
}

const std::vector<std::string> kNames = {"x", "y", "w"};

KQMemoryDataSet Data() {
  return KQMemoryDataSet::FromRows(kNames, {{0.0, 3.2, 1.0},
                                            {1.0, 4.1, 2.0},
                                            {1.0, KQMV::Missing(), 1.0},
                                            {0.0, 2.7, 1.0},
                                            {1.0, 5.9, 3.0},
                                            {2.0, 3.3, 1.0}});
}

}  // namespace

TEST(RecordRegistry, OneSampleNormalRecordReadsBackAsItsGetters) {
  BSNSettings s;
  s.SetTestDistType(BSNConst::DistTypes::Normal);
  s.SetAnalysType(BSNConst::AnalysTypes::Both);
  s.SetCovariates({1, 0});
  s.SetNullValues({3.0, 0.5});
  s.SetFrequencyWeightVar(2);
  const BuiltAnalysis run = Build(s, Data());
  const auto& r = dynamic_cast<const BSN1SampleNormOutputStats&>(*run.component->GetOutputStats());
  const Json json = WrittenAndReadBack(r, kNames);
  EXPECT_EQ(Keys(json), (std::vector<std::string>{"record",
                                                  "ModelType",
                                                  "OutputType",
                                                  "Settings",
                                                  "VarIndices",
                                                  "Ns",
                                                  "MeanValues",
                                                  "StdDevs",
                                                  "EMs",
                                                  "BayesFactors",
                                                  "TValues",
                                                  "DFValues",
                                                  "Sigs",
                                                  "ModeValues",
                                                  "PostMeanValues",
                                                  "VarianceValues",
                                                  "LowerLimits",
                                                  "UpperLimits",
                                                  "PlotArguments4Likelihoods",
                                                  "PlotArguments4Prior",
                                                  "PlotArguments4Posterior",
                                                  "PlotLikelihoods",
                                                  "PlotPosterior",
                                                  "PlotPrior"}));
  EXPECT_EQ(json["record"], "BSN1SampleNormOutputStats");
  EXPECT_EQ(json["ModelType"], 0);
  EXPECT_EQ(json["OutputType"], 2);
  EXPECT_EQ(json["Settings"]["Covariates"], Json::array({1, 0}));
  ExpectSame(json["VarIndices"], r.GetVarIndices(), "VarIndices");
  ExpectSame(json["Ns"], r.GetNs(), "Ns");
  ExpectSame(json["MeanValues"], r.GetMeanValues(), "MeanValues");
  ExpectSame(json["StdDevs"], r.GetStdDevs(), "StdDevs");
  ExpectSame(json["EMs"], r.GetEMs(), "EMs");
  ExpectSame(json["BayesFactors"], r.GetBayesFactors(), "BayesFactors");
  ExpectSame(json["TValues"], r.GetTValues(), "TValues");
  ExpectSame(json["DFValues"], r.GetDFValues(), "DFValues");
  ExpectSame(json["Sigs"], r.GetSigs(), "Sigs");
  ExpectSame(json["ModeValues"], r.GetModeValues(), "ModeValues");
  ExpectSame(json["PostMeanValues"], r.GetPostMeanValues(), "PostMeanValues");
  ExpectSame(json["VarianceValues"], r.GetVarianceValues(), "VarianceValues");
  ExpectSame(json["LowerLimits"], r.GetLowerLimits(), "LowerLimits");
  ExpectSame(json["UpperLimits"], r.GetUpperLimits(), "UpperLimits");
  ExpectSame(json["PlotArguments4Likelihoods"], r.GetPlotArguments4Likelihoods(),
             "PlotArguments4Likelihoods");
  ExpectSame(json["PlotArguments4Prior"], r.GetPlotArguments4Prior(), "PlotArguments4Prior");
  ExpectSame(json["PlotArguments4Posterior"], r.GetPlotArguments4Posterior(), "PlotArguments4Posterior");
  ExpectSame(json["PlotLikelihoods"], r.GetPlotLikelihoods(), "PlotLikelihoods");
  ExpectSame(json["PlotPosterior"], r.GetPlotPosterior(), "PlotPosterior");
  ExpectSame(json["PlotPrior"], r.GetPlotPrior(), "PlotPrior");
  EXPECT_FALSE(r.GetTValues().empty());
  EXPECT_FALSE(r.GetPlotPosterior().empty());
}

TEST(RecordRegistry, OneSampleBinomialRecordReadsBackAsItsGetters) {
  BSNSettings s;
  s.SetTestDistType(BSNConst::DistTypes::Binomial);
  s.SetAnalysType(BSNConst::AnalysTypes::Both);
  s.SetFactors({0});
  s.SetFactorNCategs({2});
  s.SetAlterPrior1s({1.0});
  s.SetAlterPrior2s({1.0});
  s.SetPriorParam1(0.5);
  s.SetPriorParam2(0.5);
  const BuiltAnalysis run = Build(s, Data());
  const auto& r = dynamic_cast<const BSN1SampleBinoOutputStats&>(*run.component->GetOutputStats());
  const Json json = WrittenAndReadBack(r, kNames);
  EXPECT_EQ(Keys(json),
            (std::vector<std::string>{"record",        "ModelType",    "OutputType",       "Settings",
                                      "VarIndices",    "BayesFactors", "IsLogBayesFactor", "Ns",
                                      "Cat1Indices",   "Cat1Ns",       "Cat2Ns",           "Cat1Props",
                                      "Cat2Props",     "ModeValues",   "MeanValues",       "VarianceValues",
                                      "LowerLimits",   "UpperLimits",  "PlotArguments",    "PlotLikelihoods",
                                      "PlotPosterior", "PlotPrior"}));
  EXPECT_EQ(json["record"], "BSN1SampleBinoOutputStats");
  EXPECT_EQ(json["OutputType"], 0);
  ExpectSame(json["VarIndices"], r.GetVarIndices(), "VarIndices");
  ExpectSame(json["BayesFactors"], r.GetBayesFactors(), "BayesFactors");
  ExpectSame(json["IsLogBayesFactor"], r.GetIsLogBayesFactor(), "IsLogBayesFactor");
  ExpectSame(json["Ns"], r.GetNs(), "Ns");
  ExpectSame(json["Cat1Indices"], r.GetCat1Indices(), "Cat1Indices");
  ExpectSame(json["Cat1Ns"], r.GetCat1Ns(), "Cat1Ns");
  ExpectSame(json["Cat2Ns"], r.GetCat2Ns(), "Cat2Ns");
  ExpectSame(json["Cat1Props"], r.GetCat1Props(), "Cat1Props");
  ExpectSame(json["Cat2Props"], r.GetCat2Props(), "Cat2Props");
  ExpectSame(json["ModeValues"], r.GetModeValues(), "ModeValues");
  ExpectSame(json["MeanValues"], r.GetMeanValues(), "MeanValues");
  ExpectSame(json["VarianceValues"], r.GetVarianceValues(), "VarianceValues");
  ExpectSame(json["LowerLimits"], r.GetLowerLimits(), "LowerLimits");
  ExpectSame(json["UpperLimits"], r.GetUpperLimits(), "UpperLimits");
  ExpectSame(json["PlotArguments"], r.GetPlotArguments(), "PlotArguments");
  ExpectSame(json["PlotLikelihoods"], r.GetPlotLikelihoods(), "PlotLikelihoods");
  ExpectSame(json["PlotPosterior"], r.GetPlotPosterior(), "PlotPosterior");
  ExpectSame(json["PlotPrior"], r.GetPlotPrior(), "PlotPrior");
  EXPECT_FALSE(r.GetBayesFactors().empty());
}

TEST(RecordRegistry, OneSamplePoissonRecordReadsBackAsItsGetters) {
  BSNSettings s;
  s.SetTestDistType(BSNConst::DistTypes::Poisson);
  s.SetAnalysType(BSNConst::AnalysTypes::Both);
  s.SetCovariates({0, 1});
  s.SetAlterPrior1s({1.0, 2.0});
  s.SetAlterPrior2s({0.5, 1.0});
  s.SetPriorParam1(1.0);
  s.SetPriorParam2(1.0);
  const BuiltAnalysis run = Build(s, Data());
  const auto& r = dynamic_cast<const BSN1SamplePoisnOutputStats&>(*run.component->GetOutputStats());
  const Json json = WrittenAndReadBack(r, kNames);
  EXPECT_EQ(Keys(json), (std::vector<std::string>{"record",
                                                  "ModelType",
                                                  "OutputType",
                                                  "Settings",
                                                  "VarIndices",
                                                  "BayesFactors",
                                                  "IsLogBayesFactor",
                                                  "Ns",
                                                  "MinCnts",
                                                  "MaxCnts",
                                                  "ModeValues",
                                                  "MeanValues",
                                                  "VarianceValues",
                                                  "LowerLimits",
                                                  "UpperLimits",
                                                  "PosteriorParams",
                                                  "LikelihoodParams",
                                                  "PlotArguments4Likelihoods",
                                                  "PlotArguments4Prior",
                                                  "PlotArguments4Posterior",
                                                  "PlotLikelihoods",
                                                  "PlotPosterior",
                                                  "PlotPrior"}));
  EXPECT_EQ(json["OutputType"], 1);
  ExpectSame(json["VarIndices"], r.GetVarIndices(), "VarIndices");
  ExpectSame(json["BayesFactors"], r.GetBayesFactors(), "BayesFactors");
  ExpectSame(json["IsLogBayesFactor"], r.GetIsLogBayesFactor(), "IsLogBayesFactor");
  ExpectSame(json["Ns"], r.GetNs(), "Ns");
  ExpectSame(json["MinCnts"], r.GetMinCnts(), "MinCnts");
  ExpectSame(json["MaxCnts"], r.GetMaxCnts(), "MaxCnts");
  ExpectSame(json["ModeValues"], r.GetModeValues(), "ModeValues");
  ExpectSame(json["MeanValues"], r.GetMeanValues(), "MeanValues");
  ExpectSame(json["VarianceValues"], r.GetVarianceValues(), "VarianceValues");
  ExpectSame(json["LowerLimits"], r.GetLowerLimits(), "LowerLimits");
  ExpectSame(json["UpperLimits"], r.GetUpperLimits(), "UpperLimits");
  ExpectSame(json["PosteriorParams"], r.GetPosteriorParams(), "PosteriorParams");
  ExpectSame(json["LikelihoodParams"], r.GetLikelihoodParams(), "LikelihoodParams");
  ExpectSame(json["PlotArguments4Likelihoods"], r.GetPlotArguments4Likelihoods(),
             "PlotArguments4Likelihoods");
  ExpectSame(json["PlotArguments4Prior"], r.GetPlotArguments4Prior(), "PlotArguments4Prior");
  ExpectSame(json["PlotArguments4Posterior"], r.GetPlotArguments4Posterior(), "PlotArguments4Posterior");
  ExpectSame(json["PlotLikelihoods"], r.GetPlotLikelihoods(), "PlotLikelihoods");
  ExpectSame(json["PlotPosterior"], r.GetPlotPosterior(), "PlotPosterior");
  ExpectSame(json["PlotPrior"], r.GetPlotPrior(), "PlotPrior");
}

TEST(RecordRegistry, TwoSampleRelatedRecordReadsBackAsItsGetters) {
  BSNSettings s;
  s.SetModelType(BSNConst::ModelTypes::Related, true);
  s.SetAnalysType(BSNConst::AnalysTypes::Both);
  s.SetCovariates({1, 0});
  s.Set2ndRelatedList({0, 2});
  const BuiltAnalysis run = Build(s, Data());
  const auto& r = dynamic_cast<const BSN2SampleRelatedOutputStats&>(*run.component->GetOutputStats());
  const Json json = WrittenAndReadBack(r, kNames);
  EXPECT_EQ(Keys(json), (std::vector<std::string>{"record",
                                                  "ModelType",
                                                  "OutputType",
                                                  "Settings",
                                                  "1ndRelatedList",
                                                  "2ndRelatedList",
                                                  "Ns",
                                                  "MeanDiffValues",
                                                  "StdDevs",
                                                  "EMs",
                                                  "BayesFactors",
                                                  "TValues",
                                                  "DFValues",
                                                  "Sigs",
                                                  "ModeValues",
                                                  "PostMeanValues",
                                                  "VarianceValues",
                                                  "LowerLimits",
                                                  "UpperLimits",
                                                  "PlotArguments4Likelihoods",
                                                  "PlotArguments4Prior",
                                                  "PlotArguments4Posterior",
                                                  "PlotLikelihoods",
                                                  "PlotPosterior",
                                                  "PlotPrior"}));
  EXPECT_EQ(json["record"], "BSN2SampleRelatedOutputStats");
  EXPECT_EQ(json["ModelType"], 1);
  EXPECT_EQ(json["OutputType"], 3);
  ExpectSame(json["1ndRelatedList"], r.Get1ndRelatedList(), "1ndRelatedList");
  ExpectSame(json["2ndRelatedList"], r.Get2ndRelatedList(), "2ndRelatedList");
  ExpectSame(json["Ns"], r.GetNs(), "Ns");
  ExpectSame(json["MeanDiffValues"], r.GetMeanDiffValues(), "MeanDiffValues");
  ExpectSame(json["StdDevs"], r.GetStdDevs(), "StdDevs");
  ExpectSame(json["EMs"], r.GetEMs(), "EMs");
  ExpectSame(json["BayesFactors"], r.GetBayesFactors(), "BayesFactors");
  ExpectSame(json["TValues"], r.GetTValues(), "TValues");
  ExpectSame(json["DFValues"], r.GetDFValues(), "DFValues");
  ExpectSame(json["Sigs"], r.GetSigs(), "Sigs");
  ExpectSame(json["ModeValues"], r.GetModeValues(), "ModeValues");
  ExpectSame(json["PostMeanValues"], r.GetPostMeanValues(), "PostMeanValues");
  ExpectSame(json["VarianceValues"], r.GetVarianceValues(), "VarianceValues");
  ExpectSame(json["LowerLimits"], r.GetLowerLimits(), "LowerLimits");
  ExpectSame(json["UpperLimits"], r.GetUpperLimits(), "UpperLimits");
  ExpectSame(json["PlotArguments4Likelihoods"], r.GetPlotArguments4Likelihoods(),
             "PlotArguments4Likelihoods");
  ExpectSame(json["PlotArguments4Prior"], r.GetPlotArguments4Prior(), "PlotArguments4Prior");
  ExpectSame(json["PlotArguments4Posterior"], r.GetPlotArguments4Posterior(), "PlotArguments4Posterior");
  ExpectSame(json["PlotLikelihoods"], r.GetPlotLikelihoods(), "PlotLikelihoods");
  ExpectSame(json["PlotPosterior"], r.GetPlotPosterior(), "PlotPosterior");
  ExpectSame(json["PlotPrior"], r.GetPlotPrior(), "PlotPrior");
  EXPECT_FALSE(r.GetTValues().empty());
}

TEST(RecordRegistry, TwoSampleIndependentRecordReadsBackAsItsGetters) {
  BSNSettings s;
  s.SetModelType(BSNConst::ModelTypes::Independent, true);
  s.SetAnalysType(BSNConst::AnalysTypes::Both);
  s.SetCovariates({1});
  s.SetGroupVar(0);
  s.SetFrequencyWeightVar(2);
  s.SetEqualDataVar(true);  // the equal-variance posterior needs no more than two cases a group
  const BuiltAnalysis run = Build(s, Data());
  const auto& r = dynamic_cast<const BSN2SampleIndOutputStats&>(*run.component->GetOutputStats());
  const Json json = WrittenAndReadBack(r, kNames);
  const std::vector<std::string> keys{"record",
                                      "ModelType",
                                      "OutputType",
                                      "Settings",
                                      "GroupStatsVarIndices",
                                      "Group1StatsNs",
                                      "Group1MeanValues",
                                      "Group1StdDevs",
                                      "Group1EMs",
                                      "Group2StatsNs",
                                      "Group2MeanValues",
                                      "Group2StdDevs",
                                      "Group2EMs",
                                      "TTestVarIndices",
                                      "MeanDiffValues",
                                      "PStdEDDevs",
                                      "BayesFactors",
                                      "TValues",
                                      "DFValues",
                                      "Sigs",
                                      "PostVarIndices",
                                      "ModeValues",
                                      "PostMeanValues",
                                      "VarianceValues",
                                      "LowerLimits",
                                      "UpperLimits",
                                      "PlotXArguments",
                                      "PlotYArguments",
                                      "PlotXLikelihoods",
                                      "PlotYLikelihoods",
                                      "PlotXPriorArguments",
                                      "PlotYPriorArguments",
                                      "PlotXPrior",
                                      "PlotYPrior",
                                      "PlotArguments",
                                      "PlotPosterior"};
  EXPECT_EQ(Keys(json), keys);
  EXPECT_EQ(json["ModelType"], 2);
  EXPECT_EQ(json["OutputType"], 4);
  ExpectSame(json["GroupStatsVarIndices"], r.GetGroupStatsVarIndices(), "GroupStatsVarIndices");
  ExpectSame(json["Group1StatsNs"], r.GetGroup1StatsNs(), "Group1StatsNs");
  ExpectSame(json["Group1MeanValues"], r.GetGroup1MeanValues(), "Group1MeanValues");
  ExpectSame(json["Group1StdDevs"], r.GetGroup1StdDevs(), "Group1StdDevs");
  ExpectSame(json["Group1EMs"], r.GetGroup1EMs(), "Group1EMs");
  ExpectSame(json["Group2StatsNs"], r.GetGroup2StatsNs(), "Group2StatsNs");
  ExpectSame(json["Group2MeanValues"], r.GetGroup2MeanValues(), "Group2MeanValues");
  ExpectSame(json["Group2StdDevs"], r.GetGroup2StdDevs(), "Group2StdDevs");
  ExpectSame(json["Group2EMs"], r.GetGroup2EMs(), "Group2EMs");
  ExpectSame(json["TTestVarIndices"], r.GetTTestVarIndices(), "TTestVarIndices");
  ExpectSame(json["MeanDiffValues"], r.GetMeanDiffValues(), "MeanDiffValues");
  ExpectSame(json["PStdEDDevs"], r.GetPStdEDDevs(), "PStdEDDevs");
  ExpectSame(json["BayesFactors"], r.GetBayesFactors(), "BayesFactors");
  ExpectSame(json["TValues"], r.GetTValues(), "TValues");
  ExpectSame(json["DFValues"], r.GetDFValues(), "DFValues");
  ExpectSame(json["Sigs"], r.GetSigs(), "Sigs");
  ExpectSame(json["PostVarIndices"], r.GetPostVarIndices(), "PostVarIndices");
  ExpectSame(json["ModeValues"], r.GetModeValues(), "ModeValues");
  ExpectSame(json["PostMeanValues"], r.GetPostMeanValues(), "PostMeanValues");
  ExpectSame(json["VarianceValues"], r.GetVarianceValues(), "VarianceValues");
  ExpectSame(json["LowerLimits"], r.GetLowerLimits(), "LowerLimits");
  ExpectSame(json["UpperLimits"], r.GetUpperLimits(), "UpperLimits");
  ExpectSame(json["PlotXArguments"], r.GetPlotXArguments(), "PlotXArguments");
  ExpectSame(json["PlotYArguments"], r.GetPlotYArguments(), "PlotYArguments");
  ExpectSame(json["PlotXLikelihoods"], r.GetPlotXLikelihoods(), "PlotXLikelihoods");
  ExpectSame(json["PlotYLikelihoods"], r.GetPlotYLikelihoods(), "PlotYLikelihoods");
  ExpectSame(json["PlotXPriorArguments"], r.GetPlotXPriorArguments(), "PlotXPriorArguments");
  ExpectSame(json["PlotYPriorArguments"], r.GetPlotYPriorArguments(), "PlotYPriorArguments");
  ExpectSame(json["PlotXPrior"], r.GetPlotXPrior(), "PlotXPrior");
  ExpectSame(json["PlotYPrior"], r.GetPlotYPrior(), "PlotYPrior");
  ExpectSame(json["PlotArguments"], r.GetPlotArguments(), "PlotArguments");
  ExpectSame(json["PlotPosterior"], r.GetPlotPosterior(), "PlotPosterior");
  EXPECT_FALSE(r.GetTValues().empty());
  EXPECT_FALSE(r.GetPlotPosterior().empty());
}

TEST(RecordRegistry, TablesShowTheSameFieldsAsTheJson) {
  BSNSettings s;
  s.SetTestDistType(BSNConst::DistTypes::Normal);
  s.SetAnalysType(BSNConst::AnalysTypes::Both);
  s.SetCovariates({1});
  const BuiltAnalysis run = Build(s, Data());
  RunReport report;
  report.settings = s;
  report.status = run.component->GetStatus();
  report.view = DescribeRecord(*run.component->GetOutputStats(), kNames);
  ASSERT_TRUE(report.view.has_value());
  std::ostringstream tables;
  PrintTables(tables, report);
  // Every field of a family is a column of its table, its cell formatted from the field's JSON value.
  for (const Field& field : report.view->fields) {
    if (field.family == Family::None) continue;
    EXPECT_NE(tables.str().find(field.column), std::string::npos) << field.key;
    char cell[32] = "NA";
    if (!field.value[0].is_null()) {
      const double x = field.value[0].get<double>();
      std::snprintf(cell, sizeof cell, x == std::floor(x) ? "%.0f" : "%.6g", x);
    }
    EXPECT_NE(tables.str().find(cell), std::string::npos) << field.key << " " << cell << "\n" << tables.str();
  }
  EXPECT_NE(tables.str().find("y: BF01 = "), std::string::npos) << tables.str();
}

TEST(RecordRegistry, ARecordWithoutDescriberIsNamedByItsTypesOnly) {
  class Unknown final : public BSNOutputStats {
   public:
    BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::LogLinear; }
    BSNConst::OutputTypes GetOutputType() const override { return BSNConst::OutputTypes::OutputLogLinear; }
    void Display(std::ostream&) const override {}
  };
  const Unknown record;
  EXPECT_FALSE(DescribeRecord(record, kNames).has_value());
  EXPECT_EQ(JsonText(RecordToJson(record, std::nullopt)),
            "{\n  \"record\": null,\n  \"ModelType\": 6,\n  \"OutputType\": 8\n}");
}
