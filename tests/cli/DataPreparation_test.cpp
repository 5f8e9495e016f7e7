#include "cli/DataPreparation.h"

#include <gtest/gtest.h>

#include "companion/KQMV.h"

using namespace kqcli;
using namespace KQBSN_850;
using namespace KQCommon_850;

namespace {

constexpr double kMissing = KQMV::Missing();

// Columns y, f (a factor), x, w, unused; five rows, the second missing y, the fourth missing "unused".
CsvTable Table() {
  CsvTable table;
  table.names = {"y", "f", "x", "w", "unused"};
  table.columns = {{1.0, kMissing, 3.0, 4.0, 5.0},
                   {0.0, 1.0, 2.0, 1.0, 0.0},
                   {0.5, 0.5, kMissing, 1.5, 2.5},
                   {1.0, 1.0, 1.0, 1.0, 2.0},
                   {9.0, 9.0, 9.0, kMissing, 9.0}};
  table.categories.resize(5);
  table.rowLines = {2, 3, 4, 5, 6};
  return table;
}

BSNSettings Regression() {
  BSNSettings s;
  s.SetModelType(BSNConst::ModelTypes::Regression, true);
  s.SetDependVar(0);
  s.SetFactors({1});
  s.SetFactorNCategs({3});
  s.SetCovariates({2});
  s.SetFrequencyWeightVar(3);
  return s;
}

}  // namespace

TEST(DataPreparation, ScreenedAnalysesLoseRecordsWithAMissingValueInAVariableTheyUse) {
  Result<PreparedData> prepared = PrepareData(Table(), Regression(), "data.csv");
  ASSERT_TRUE(prepared.IsOK()) << prepared.Error().message;
  EXPECT_TRUE(prepared.Value().screened);
  // Rows 2 (y missing) and 3 (x missing) go; row 4's missing "unused" does not matter.
  EXPECT_EQ(prepared.Value().recordsDropped, 2u);
  const auto& y = prepared.Value().data.GetColumn(0);
  EXPECT_EQ(std::vector<double>(y.begin(), y.end()), (std::vector<double>{1.0, 4.0, 5.0}));
  // Full-model variables and regression weights count too; other analyses get every record.
  BSNSettings full = Regression(), weighted = Regression(), oneSample;
  full.SetFullModCovariates({4});
  weighted.SetRegrWeightVar(4);
  EXPECT_EQ(PrepareData(Table(), full, "data.csv").Value().recordsDropped, 3u);
  EXPECT_EQ(PrepareData(Table(), weighted, "data.csv").Value().recordsDropped, 3u);
  oneSample.SetCovariates({0, 2});
  EXPECT_FALSE(PrepareData(Table(), oneSample, "data.csv").Value().screened);
  EXPECT_EQ(PrepareData(Table(), oneSample, "data.csv").Value().data.GetNRows(), 5u);
}

TEST(DataPreparation, FactorValuesMustBeCategoryCodesOfTheFactorsSize) {
  BSNSettings s = Regression();
  s.SetFactorNCategs({2});  // codes 0 and 1
  CsvTable table = Table();
  table.columns[2][2] = 0.5;  // data row 3 holds the code 2; give it an x so that it is not dropped
  table.categories[1] = {"low", "mid", "high"};
  EXPECT_EQ(
      PrepareData(std::move(table), s, "data.csv").Error().message,
      "data.csv: line 4 (data row 3), column \"f\" (index 1): the factor value 2 (\"high\") is outside the "
      "category codes 0..1 (the factor has 2 categories in \"FactorNCategs\")");
  CsvTable fractional = Table();
  fractional.columns[1][3] = 0.5;
  const std::string message = PrepareData(std::move(fractional), Regression(), "data.csv").Error().message;
  EXPECT_NE(
      message.find("line 5 (data row 4), column \"f\" (index 1): the factor value 0.5 is not a whole-number"),
      std::string::npos)
      << message;
}
