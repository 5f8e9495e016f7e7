#include "cli/FactorSizes.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "companion/KQMV.h"

namespace kqcli {
namespace {

using KQBSN_850::BSNSettings;

// One list of factors and the key and setter of its sizes.
struct FactorList {
  const char* sizesKey;
  const std::vector<int>& factors;
  bool (BSNSettings::*setSizes)(const std::vector<int>&);
};

// The size of a factor from its column: the number of its texts, or the largest whole-number code
// from 0 on plus one (at least 1, for a column without a code); an input error past the largest size
// taken from data.
Result<int> ColumnSize(const CsvTable& table, std::size_t column, const char* sizesKey,
                       const std::string& fileName) {
  const std::vector<std::string>& texts = table.categories[column];
  if (!texts.empty()) return static_cast<int>(texts.size());
  double largest = 0.0;
  for (const double value : table.columns[column])
    if (!KQCommon_850::KQMV::IsMissingOrNaN(value) && value >= 0.0 && value == std::floor(value))
      largest = std::max(largest, value);
  if (largest >= kMaxFactorSizeFromData)
    return InputError{fileName + ": " + ColumnText(table.names, column) +
                      " is a factor whose largest code, " +
                      std::to_string(static_cast<long long>(std::min(largest, 1e18))) +
                      ", would make more than " + std::to_string(kMaxFactorSizeFromData) +
                      " categories; give its size in \"" + sizesKey + "\" if it is one"};
  return static_cast<int>(largest) + 1;
}

}  // namespace

Result<std::optional<std::string>> SizeFactorsFromData(const CsvTable& table,
                                                       const SettingsDocument& document,
                                                       BSNSettings& settings, const std::string& fileName) {
  const FactorList lists[] = {
      {"FactorNCategs", settings.GetFactors(), &BSNSettings::SetFactorNCategs},
      {"FullModFactorNCategs", settings.GetFullModFactors(), &BSNSettings::SetFullModFactorNCategs},
  };
  std::string note;
  for (const FactorList& list : lists) {
    if (list.factors.empty() || document.root.contains(list.sizesKey)) continue;
    std::vector<int> sizes;
    std::string columns;
    for (const int var : list.factors) {
      // A factor that names no column of the file is left to the settings' validation.
      if (var < 0 || static_cast<std::size_t>(var) >= table.columns.size())
        return std::optional<std::string>();
      const auto column = static_cast<std::size_t>(var);
      Result<int> size = ColumnSize(table, column, list.sizesKey, fileName);
      if (!size.IsOK()) return size.Error();
      sizes.push_back(size.Value());
      columns += (columns.empty() ? "" : ", ") + ColumnText(table.names, column);
    }
    (settings.*list.setSizes)(sizes);
    std::string shown;
    for (const int size : sizes) shown += (shown.empty() ? "" : ", ") + std::to_string(size);
    note += std::string(note.empty() ? "" : "; ") + "\"" + list.sizesKey + "\" is not given: [" + shown +
            "] from the data, for " + columns;
  }
  if (note.empty()) return std::optional<std::string>();
  return std::optional<std::string>(fileName + ": " + note);
}

}  // namespace kqcli
