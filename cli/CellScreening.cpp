#include "cli/CellScreening.h"

#include <vector>

#include "companion/KQMV.h"

namespace kqcli {

std::optional<InputError> FindMissingCell(const CsvTable& table, const KQBSN_850::BSNSettings& settings,
                                          const std::string& fileName) {
  if (settings.GetModelType() != KQBSN_850::BSNConst::ModelTypes::LogLinear) return std::nullopt;
  std::vector<std::pair<std::size_t, const char*>> checked;  // column, what it holds
  for (int var : settings.GetFactors())
    if (var >= 0 && static_cast<std::size_t>(var) < table.columns.size())
      checked.emplace_back(static_cast<std::size_t>(var), "factor code");
  const int weight = settings.GetFrequencyWeightVar();
  if (weight >= 0 && static_cast<std::size_t>(weight) < table.columns.size())
    checked.emplace_back(static_cast<std::size_t>(weight), "frequency weight");
  for (std::size_t i = 0; i < table.GetNRows(); ++i)
    for (const auto& [column, what] : checked)
      if (KQCommon_850::KQMV::IsMissingOrNaN(table.columns[column][i]))
        return InputError{fileName + ": line " + std::to_string(table.rowLines[i]) + " (data row " +
                          std::to_string(i + 1) + "), " + ColumnText(table.names, column) + ": the " + what +
                          " is missing (every case of a contingency table needs both codes and its weight)"};
  return std::nullopt;
}

}  // namespace kqcli
