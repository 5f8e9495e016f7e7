#include "cli/DataPreparation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "companion/KQMV.h"

namespace kqcli {
namespace {

using KQBSN_850::BSNSettings;
using KQBSN_850::BSNConst::ModelTypes;
using KQCommon_850::KQMV;

void AddVariable(std::vector<int>& vars, int var) {
  if (var >= 0 && std::find(vars.begin(), vars.end(), var) == vars.end()) vars.push_back(var);
}

/// Every variable whose missing value drops a record in a screened analysis.
std::vector<int> ScreenedVariables(const BSNSettings& s) {
  std::vector<int> vars;
  for (int var : {s.GetDependentVar(), s.GetFrequencyWeightVar(), s.GetRegrWeightVar()})
    AddVariable(vars, var);
  for (const auto* list :
       {&s.GetFactors(), &s.GetCovariates(), &s.GetFullModFactors(), &s.GetFullModCovariates()})
    for (int var : *list) AddVariable(vars, var);
  return vars;
}

struct FactorCheck {
  int var;
  int size;
  const char* sizesKey;
};

/// The factors whose codes are checked, each with its size from the settings.
std::vector<FactorCheck> FactorChecks(const BSNSettings& s) {
  std::vector<FactorCheck> checks;
  const auto add = [&checks](const std::vector<int>& factors, const std::vector<int>& sizes,
                             const char* key) {
    for (std::size_t i = 0; i < factors.size() && i < sizes.size(); ++i)
      checks.push_back({factors[i], sizes[i], key});
  };
  add(s.GetFactors(), s.GetFactorSizes(), "FactorNCategs");
  add(s.GetFullModFactors(), s.GetFullModFactorSizes(), "FullModFactorNCategs");
  return checks;
}

std::string ValueText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

std::string CodeProblem(double value, int size) {
  if (value != std::floor(value)) return "is not a whole-number category code";
  if (value < 0.0 || value >= size) return "is outside the category codes 0.." + std::to_string(size - 1);
  return {};
}

/// The number and the text of row i of a column: a text-coded column gives the text of the code (and
/// its number when the text is one), a column of numbers the number.
struct CellValue {
  std::optional<double> number;
  std::optional<std::string> text;
};

CellValue ValueOf(const CsvTable& table, std::size_t column, std::size_t i) {
  const double value = table.columns[column][i];
  const std::vector<std::string>& texts = table.categories[column];
  if (texts.empty()) return {value, std::nullopt};
  const std::string& text = texts[static_cast<std::size_t>(value)];
  const Cell cell = ParseCell(text);
  return {cell.kind == CellKind::Number ? std::optional<double>(cell.value) : std::nullopt, text};
}

bool Matches(const CellValue& cell, const Json& wanted) {
  if (wanted.is_number()) return cell.number && *cell.number == wanted.get<double>();
  const std::string text = wanted.get<std::string>();
  if (cell.text) return *cell.text == text;
  const Cell number = ParseCell(text);
  return cell.number && number.kind == CellKind::Number && *cell.number == number.value;
}

std::string Shown(const CellValue& cell) {
  if (!cell.text) return ValueText(cell.number.value_or(0.0));
  std::string quoted(1, '"');
  return quoted.append(*cell.text).append(1, '"');
}

}  // namespace

Result<std::optional<std::string>> CodeGroups(CsvTable& table, const BSNSettings& settings,
                                              const std::optional<std::array<Json, 2>>& groupValues,
                                              const std::string& fileName) {
  const int var = settings.GetGroupVar();
  if (var < 0 || static_cast<std::size_t>(var) >= table.columns.size()) return std::optional<std::string>();
  const auto column = static_cast<std::size_t>(var);
  std::vector<double>& values = table.columns[column];
  std::size_t nOthers = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (KQMV::IsMissingOrNaN(values[i])) continue;
    const CellValue cell = ValueOf(table, column, i);
    if (!groupValues) {
      if (cell.number && (*cell.number == 0.0 || *cell.number == 1.0)) {
        values[i] = *cell.number;
        continue;
      }
      return InputError{fileName + ": line " + std::to_string(table.rowLines[i]) + " (data row " +
                        std::to_string(i + 1) + "), " + ColumnText(table.names, column) +
                        ": the group value " + Shown(cell) +
                        " is not 0 or 1; name the two groups' values with \"GroupValues\": [first, second]"};
    }
    if (Matches(cell, (*groupValues)[0])) {
      values[i] = 0.0;
    } else if (Matches(cell, (*groupValues)[1])) {
      values[i] = 1.0;
    } else {
      values[i] = KQMV::Missing();
      ++nOthers;
    }
  }
  // The column now holds the group numbers themselves.
  table.categories[column].clear();
  if (nOthers == 0) return std::optional<std::string>();
  return std::optional<std::string>(fileName + ": " + ColumnText(table.names, column) + ": " +
                                    std::to_string(nOthers) +
                                    (nOthers == 1 ? " record has" : " records have") +
                                    " a group value other than the two of \"GroupValues\" and is left out");
}

std::optional<std::string> FrequencyWeightNote(const CsvTable& table, const BSNSettings& settings,
                                               const std::string& fileName) {
  const int var = settings.GetFrequencyWeightVar();
  if (var < 0 || static_cast<std::size_t>(var) >= table.columns.size()) return std::nullopt;
  std::size_t nNegative = 0, nFractional = 0;
  for (const double w : table.columns[static_cast<std::size_t>(var)]) {
    if (KQMV::IsMissingOrNaN(w)) continue;
    if (w < 0.0)
      ++nNegative;
    else if (w != std::floor(w))
      ++nFractional;
  }
  if (nNegative == 0 && nFractional == 0) return std::nullopt;
  std::string note = fileName;
  note.append(": frequency weights in ")
      .append(ColumnText(table.names, static_cast<std::size_t>(var)))
      .append(":");
  if (nNegative > 0)
    note.append(" ")
        .append(std::to_string(nNegative))
        .append(nNegative == 1 ? " record" : " records")
        .append(" with a negative weight dropped");
  if (nFractional > 0)
    note.append(nNegative > 0 ? "; " : " ")
        .append(std::to_string(nFractional))
        .append(nFractional == 1 ? " weight" : " weights")
        .append(" not a whole number, rounded to the nearest whole number");
  return note;
}

bool ScreensRecords(const BSNSettings& settings) noexcept {
  const ModelTypes type = settings.GetModelType();
  return type == ModelTypes::Regression || type == ModelTypes::Anova || type == ModelTypes::LogLinear;
}

std::vector<int> CategoricalVariables(const BSNSettings& settings) {
  std::vector<int> vars;
  for (int var : settings.GetFactors()) AddVariable(vars, var);
  for (int var : settings.GetFullModFactors()) AddVariable(vars, var);
  AddVariable(vars, settings.GetGroupVar());
  return vars;
}

Result<PreparedData> PrepareData(CsvTable table, const BSNSettings& settings, const std::string& fileName) {
  PreparedData prepared;
  const std::size_t nColumns = table.columns.size();
  const std::size_t nRows = table.GetNRows();
  if (ScreensRecords(settings)) {
    prepared.screened = true;
    std::vector<int> used = ScreenedVariables(settings);
    std::erase_if(used, [nColumns](int var) { return static_cast<std::size_t>(var) >= nColumns; });
    const std::vector<FactorCheck> checks = FactorChecks(settings);
    std::vector<std::size_t> kept;
    kept.reserve(nRows);
    for (std::size_t i = 0; i < nRows; ++i) {
      const bool complete = std::none_of(used.begin(), used.end(), [&](int var) {
        return KQMV::IsMissingOrNaN(table.columns[static_cast<std::size_t>(var)][i]);
      });
      if (!complete) continue;
      for (const FactorCheck& check : checks) {
        if (check.var < 0 || static_cast<std::size_t>(check.var) >= nColumns) continue;
        const std::size_t column = static_cast<std::size_t>(check.var);
        const double value = table.columns[column][i];
        if (const std::string problem = CodeProblem(value, check.size); !problem.empty()) {
          std::string shown = ValueText(value);
          const std::vector<std::string>& texts = table.categories[column];
          if (value >= 0.0 && value < static_cast<double>(texts.size()))
            shown += " (\"" + texts[static_cast<std::size_t>(value)] + "\")";
          return InputError{fileName + ": line " + std::to_string(table.rowLines[i]) + " (data row " +
                            std::to_string(i + 1) + "), " + ColumnText(table.names, column) +
                            ": the factor value " + shown + " " + problem + " (the factor has " +
                            std::to_string(check.size) + " categories in \"" + check.sizesKey + "\")"};
        }
      }
      kept.push_back(i);
    }
    prepared.recordsDropped = nRows - kept.size();
    if (kept.size() < nRows)
      for (std::vector<double>& column : table.columns) {
        std::vector<double> screened;
        screened.reserve(kept.size());
        for (std::size_t i : kept) screened.push_back(column[i]);
        column = std::move(screened);
      }
  }
  for (std::size_t j = 0; j < nColumns; ++j)
    prepared.data.AddColumn(table.names[j], std::move(table.columns[j]));
  // Categorical variables carry the texts of their categories, and as many categories as the model
  // gives a factor even when the data do not reach its last codes.
  std::vector<KQCommon_850::KQMemoryDataSet::CategoricalColumn> categorical;
  const std::vector<FactorCheck> sizes = FactorChecks(settings);
  for (int var : CategoricalVariables(settings)) {
    if (var < 0 || static_cast<std::size_t>(var) >= nColumns) continue;
    int minCategories = 0;
    for (const FactorCheck& check : sizes)
      if (check.var == var) minCategories = std::max(minCategories, check.size);
    categorical.push_back({var, minCategories, table.categories[static_cast<std::size_t>(var)]});
  }
  prepared.varList = prepared.data.MakeVarListWithCategories(categorical);
  return prepared;
}

}  // namespace kqcli
