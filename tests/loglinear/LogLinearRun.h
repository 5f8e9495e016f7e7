#pragma once
// Log-linear runs over a table of counts: one record per cell (row code, column code, count as
// frequency weight), the reference tables of tests/reference/loglinear_reference.R, and the settings
// of a two-factor analysis.

#include <string>
#include <vector>

#include "frame/BSNSettings.h"
#include "loglinear/BSNLogLinearOutputStats.h"
#include "tests/support/BuiltAnalysis.h"
#include "tests/support/ReferenceTable.h"

namespace kqtest {

using Table = std::vector<std::vector<double>>;

/// The tables of the reference script (HairEyeColor summed over sex: hair Black, Brown, Red, Blond by
/// eye Brown, Blue, Hazel, Green).
inline const Table kT22 = {{12, 5}, {3, 10}};
inline const Table kT23 = {{10, 4, 6}, {3, 9, 8}};
inline const Table kT42 = {{8, 2}, {5, 6}, {3, 9}, {1, 7}};
inline const Table kHair = {{68, 20, 15, 5}, {119, 84, 54, 29}, {26, 17, 14, 14}, {7, 94, 10, 16}};

/// One record (row, column, count) per cell.
inline Rows CellRecords(const Table& table) {
  Rows rows;
  for (std::size_t i = 0; i < table.size(); ++i)
    for (std::size_t j = 0; j < table[i].size(); ++j)
      rows.push_back(std::vector<double>{static_cast<double>(i), static_cast<double>(j), table[i][j]});
  return rows;
}

/// A log-linear analysis of the two factors in columns 0 and 1, weighted by column 2.
inline KQBSN_850::BSNSettings LogLinearSettings(
    const Table& table, KQBSN_850::BSNConst::AnalysTypes type = KQBSN_850::BSNConst::AnalysTypes::Both) {
  KQBSN_850::BSNSettings settings;
  settings.SetModelType(KQBSN_850::BSNConst::ModelTypes::LogLinear, true);
  settings.SetAnalysType(type);
  settings.SetFactors({0, 1});
  settings.SetFactorNCategs({static_cast<int>(table.size()), static_cast<int>(table[0].size())});
  settings.SetFrequencyWeightVar(2);
  return settings;
}

using LogLinearRun = BuiltAnalysis<KQBSN_850::BSNLogLinearOutputStats>;

inline const std::vector<ReferenceRow>& LogLinearReference() {
  static const std::vector<ReferenceRow> rows = ReadReferenceTable("loglinear_reference.out");
  return rows;
}

/// The numbers of the reference row with this label (a failed assertion when there is none).
inline std::vector<double> Reference(const std::string& label) {
  std::vector<double> values = ReferenceValues(LogLinearReference(), label);
  EXPECT_FALSE(values.empty()) << "no reference row \"" << label << "\"";
  return values;
}

}  // namespace kqtest
