#include "cli/RecordRegistry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cli/Report.h"
#include "companion/KQMV.h"
#include "companion/KQMemoryDataSet.h"
#include "frame/BSNComponent.h"

using namespace kqcli;
using namespace KQBSN_850;
using namespace KQCommon_850;

const std::vector<std::string> kNames = {"x", "y", "w"};

TEST(RecordRegistry, EveryRecordIsWrittenAsItsViewReadsBackBitForBitAndFillsItsTables) {
  const auto settingsFor = [](BSNConst::ModelTypes model, BSNConst::DistTypes dist, std::vector<int> vars) {
    BSNSettings s;
    s.SetModelType(model, true);
    s.SetTestDistType(dist);
    s.SetAnalysType(BSNConst::AnalysTypes::Both);
    s.SetNPlotPoints(7);
    s.SetAlterPrior1s({1.0, 2.0});
    s.SetAlterPrior2s({0.5, 1.0});
    s.SetPriorParam1(1.0);
    s.SetPriorParam2(1.0);
    s.SetCovariates(vars);
    return s;
  };
  const KQMemoryDataSet data = KQMemoryDataSet::FromRows(
      kNames, {{0, 3.2, 1}, {1, 4.1, 2}, {1, KQMV::Missing(), 1}, {0, 2.7, 1}, {1, 5.9, 3}, {2, 3.3, 1}});
  using M = BSNConst::ModelTypes;
  using D = BSNConst::DistTypes;
  BSNSettings normal = settingsFor(M::OneSample, D::Normal, {1, 0}),
              binomial = settingsFor(M::OneSample, D::Binomial, {});
  normal.SetFrequencyWeightVar(2);
  binomial.SetFactors({0});
  binomial.SetFactorNCategs({2});
  BSNSettings related = settingsFor(M::Related, D::Normal, {1, 0}),
              independent = settingsFor(M::Independent, D::Normal, {1});
  related.Set2ndRelatedList({0, 2});
  independent.SetGroupVar(0);
  independent.SetEqualDataVar(true);  // the equal-variance posterior needs no more than two cases a group
  for (BSNSettings s : {normal, binomial, settingsFor(M::OneSample, D::Poisson, {0, 1}), related, independent,
                        settingsFor(M::Correlation, D::Normal, {0, 1, 2})}) {
    ASSERT_FALSE(s.IsValidSettings().IsError());
    BSNComponent component(s, data.MakeVarList());
    KQMemoryRecordIter iter(data);
    ASSERT_FALSE(component.BuildModel(iter).IsError());
    const BSNOutputStats& record = *component.GetOutputStats();
    RunReport report;
    report.settings = s;
    report.status = component.GetStatus();
    report.view = DescribeRecord(record, DataColumns{kNames, {}});
    ASSERT_TRUE(report.view.has_value());
    const Json json = Json::parse(JsonText(RecordToJson(record, report.view)));  // as a program reads it
    EXPECT_EQ(json["record"], report.view->record);
    EXPECT_EQ(json["OutputType"], static_cast<int>(record.GetOutputType()));
    // Besides the fields: record, ModelType, OutputType, RowHeader, RowLabels and Factors.
    ASSERT_EQ(json.size(), report.view->fields.size() + 6) << "a key is written twice";
    EXPECT_EQ(json["RowLabels"].size(), report.view->rows.size());
    std::ostringstream tables;
    PrintTables(tables, report);
    for (const Field& field : report.view->fields) {
      // Numbers are written with 17 digits: reading them back gives the same double.
      EXPECT_EQ(json[field.key], field.value) << field.key;
      // Every field of a family is a column of its table, its cell formatted from the field's JSON value.
      if (field.family == Family::None || field.value.empty() || field.value[0].is_array()) continue;
      EXPECT_NE(tables.str().find(field.column), std::string::npos) << field.key;
      char cell[32] = "NA";
      if (!field.value[0].is_null()) {
        const double x = field.value[0].get<double>();
        std::snprintf(cell, sizeof cell, x == std::floor(x) ? "%.0f" : "%.6g", x);
      }
      EXPECT_NE(tables.str().find(cell), std::string::npos) << field.key << " " << cell << "\n"
                                                            << tables.str();
    }
    // The correlation matrix of x, y and w: symmetric, 1 on the diagonal, the pairs' r (i < j in pair order)
    // above it, printed under its title.
    for (const TextTable& square : report.view->textTables) {
      if (square.family != Family::None) continue;
      EXPECT_NE(tables.str().find(square.title), std::string::npos);
      ASSERT_EQ(square.lines.size(), kNames.size() + 1);
      EXPECT_EQ(std::vector<std::string>(square.lines[0].begin() + 1, square.lines[0].end()), kNames);
      const Json& r = json["PearsonCorrelation"];
      const auto cell = [&](std::size_t i, std::size_t j) { return square.lines[i + 1][j + 1]; };
      const auto shown = [](const Json& value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", value.get<double>());
        return std::string(text);
      };
      EXPECT_EQ(cell(0, 0), "1");
      EXPECT_EQ(cell(0, 1), shown(r[0]));
      EXPECT_EQ(cell(2, 0), shown(r[1]));
      EXPECT_EQ(cell(1, 2), shown(r[2]));
      EXPECT_EQ(cell(2, 1), shown(r[2]));
    }
  }
}
