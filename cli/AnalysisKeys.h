#pragma once
// AnalysisKeys: which settings keys each analysis reads, in one table. The command warns about a key
// the chosen analysis does not read, screens only the values that analysis reads, and the settings
// reference of examples/README.md shows the same table key by key. Adding an analysis to the command
// means adding its row in AnalysisKeys.cpp.

#include <optional>
#include <string_view>
#include <vector>

#include "frame/BSNConst.h"
#include "frame/BSNSettings.h"

namespace kqcli {

struct AnalysisKeys {
  std::string_view name;  ///< as messages name the analysis: "one-sample normal"
  KQBSN_850::BSNConst::ModelTypes modelType;
  /// The test distribution for the one-sample analyses, which it chooses; empty for the others.
  std::optional<KQBSN_850::BSNConst::DistTypes> testDistType;
  /// The keys the analysis reads besides those every analysis reads (CommonKeys).
  std::vector<std::string_view> keys;
};

/// Every analysis the command knows, in the order of the model types.
const std::vector<AnalysisKeys>& AllAnalysisKeys();

/// The keys every analysis reads.
const std::vector<std::string_view>& CommonKeys();

/// The row of the analysis the settings choose; null for one the command does not know.
const AnalysisKeys* FindAnalysisKeys(const KQBSN_850::BSNSettings& settings);

/// True when the analysis reads the key (a common key, or one of its row).
bool Reads(const AnalysisKeys& analysis, std::string_view key);

}  // namespace kqcli
