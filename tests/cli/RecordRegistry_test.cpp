#include "cli/RecordRegistry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include "cli/Report.h"
#include "companion/KQMV.h"
#include "companion/KQMemoryDataSet.h"
#include "frame/BSNComponent.h"

using namespace kqcli;
using namespace KQBSN_850;
using namespace KQCommon_850;
using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQMemoryRecordIter;
using KQCommon_850::KQMV;

namespace {

// The record's JSON as a program reads it: written as text, then parsed.
Json WrittenAndReadBack(const BSNOutputStats& record, const std::vector<std::string>& names) {
  return Json::parse(JsonText(RecordToJson(record, DescribeRecord(record, names))));
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

TEST(RecordRegistry, EveryRecordIsWrittenAsItsViewAndReadsBackBitForBit) {
  const auto settingsFor = [](BSNConst::ModelTypes model, BSNConst::DistTypes dist) {
    BSNSettings s;
    s.SetModelType(model, true);
    s.SetTestDistType(dist);
    s.SetAnalysType(BSNConst::AnalysTypes::Both);
    s.SetAlterPrior1s({1.0, 2.0});
    s.SetAlterPrior2s({0.5, 1.0});
    s.SetPriorParam1(1.0);
    s.SetPriorParam2(1.0);
    return s;
  };
  BSNSettings normal = settingsFor(BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Normal);
  normal.SetCovariates({1, 0});
  normal.SetFrequencyWeightVar(2);
  BSNSettings binomial = settingsFor(BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Binomial);
  binomial.SetFactors({0});
  binomial.SetFactorNCategs({2});
  BSNSettings poisson = settingsFor(BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Poisson);
  poisson.SetCovariates({0, 1});
  BSNSettings related = settingsFor(BSNConst::ModelTypes::Related, BSNConst::DistTypes::Normal);
  related.SetCovariates({1, 0});
  related.Set2ndRelatedList({0, 2});
  BSNSettings independent = settingsFor(BSNConst::ModelTypes::Independent, BSNConst::DistTypes::Normal);
  independent.SetCovariates({1});
  independent.SetGroupVar(0);
  independent.SetEqualDataVar(true);  // the equal-variance posterior needs no more than two cases a group
  for (const BSNSettings& s : {normal, binomial, poisson, related, independent}) {
    const BuiltAnalysis run = Build(s, Data());
    const BSNOutputStats& record = *run.component->GetOutputStats();
    const std::optional<RecordView> view = DescribeRecord(record, kNames);
    ASSERT_TRUE(view.has_value());
    const Json json = WrittenAndReadBack(record, kNames);
    EXPECT_EQ(json["record"], view->record);
    EXPECT_EQ(json["ModelType"], static_cast<int>(record.GetModelType()));
    EXPECT_EQ(json["OutputType"], static_cast<int>(record.GetOutputType()));
    ASSERT_EQ(json.size(), view->fields.size() + 3) << "a key is written twice";
    for (const Field& field : view->fields) {
      ASSERT_TRUE(json.contains(field.key)) << field.key;
      // Numbers are written with 17 digits: reading them back gives the same double.
      EXPECT_EQ(json[field.key], field.value) << field.key;
    }
    ASSERT_NE(view->Find("BayesFactors"), nullptr);
    EXPECT_FALSE(view->Find("BayesFactors")->value.empty());
  }
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
