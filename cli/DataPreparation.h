#pragma once
// DataPreparation: turns the table read from the CSV file into the data set and the variable
// dictionary that an analysis reads.
//
// Regression, ANOVA and the log-linear table read every record as it comes: they neither skip missing
// values nor check category codes, and leave both to the host. For them each record with a missing
// value in a variable the analysis uses (dependent, factors, covariates, full-model factors and
// covariates, weights) is dropped, as their listwise scope asks, and every factor value left must be
// a whole-number category code 0 .. size - 1 of the factor's size in the settings; any other value is
// an input error naming the row and column. The other analyses get every record and apply their own
// rules.
//
// In the dictionary, a factor, a full-model factor or the group variable is categorical with
// (largest code + 1) categories, or the factor's size in the settings when that is more, labelled with
// the texts the data file gave them; every other variable is continuous with its observed minimum and
// maximum over the records the analysis reads.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/CsvReader.h"
#include "cli/InputError.h"
#include "cli/JsonWriter.h"
#include "companion/KQMemoryDataSet.h"
#include "companion/KQVarList.h"
#include "frame/BSNSettings.h"

namespace kqcli {

struct PreparedData {
  KQCommon_850::KQMemoryDataSet data;
  KQCommon_850::KQVarList varList;
  bool screened = false;  ///< records were screened (regression, ANOVA, log-linear)
  std::size_t recordsDropped = 0;
};

/// True for the analyses that leave the screening of records to the host.
bool ScreensRecords(const KQBSN_850::BSNSettings& settings) noexcept;

/// The variables the dictionary makes categorical.
std::vector<int> CategoricalVariables(const KQBSN_850::BSNSettings& settings);

/// Checks and codes the grouping column of an analysis that reads one: without group values every
/// value must be 0, 1 or missing, else an input error names the column and the first other value; with
/// them (numbers or texts, matched against the cell's number or its text), the first becomes 0, the
/// second 1, and any other value missing, which leaves its record out; the note says how many.
Result<std::optional<std::string>> CodeGroups(CsvTable& table, const KQBSN_850::BSNSettings& settings,
                                              const std::optional<std::array<Json, 2>>& groupValues,
                                              const std::string& fileName);

/// A note when frequency weights are negative (their records are dropped) or not whole (they are
/// rounded), with how many of each; nothing when all are whole and not negative.
std::optional<std::string> FrequencyWeightNote(const CsvTable& table, const KQBSN_850::BSNSettings& settings,
                                               const std::string& fileName);

/// Builds the analysis' data from the table (whose columns it takes over); fileName names the data
/// file in messages.
Result<PreparedData> PrepareData(CsvTable table, const KQBSN_850::BSNSettings& settings,
                                 const std::string& fileName);

}  // namespace kqcli
