#include "cli/records/Describers.h"

#include <cstdio>

#include "companion/KQMV.h"

namespace kqcli {

std::vector<std::string> ColumnLabels(const std::vector<int>& indices,
                                      const std::vector<std::string>& columnNames) {
  std::vector<std::string> labels;
  for (int index : indices)
    labels.push_back(index >= 0 && static_cast<std::size_t>(index) < columnNames.size()
                         ? columnNames[static_cast<std::size_t>(index)]
                         : std::string("#").append(std::to_string(index)));
  return labels;
}

std::string ShortNumber(double value) {
  if (KQCommon_850::KQMV::IsMissingOrNaN(value)) return "NA";
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

double ListEntry(const std::vector<double>& list, std::size_t i, double fallback) {
  return i < list.size() && !KQCommon_850::KQMV::IsMissingOrNaN(list[i]) ? list[i] : fallback;
}

std::string CredibleLevel(const KQBSN_850::BSNSettings& settings) {
  return ShortNumber(settings.GetCILevel()) + "%";
}

}  // namespace kqcli
