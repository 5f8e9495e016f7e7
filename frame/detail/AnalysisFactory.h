#pragma once
// The choice of the analysis object for a settings object: one table, one row per analysis.

#include <memory>

#include "frame/BSNAlgorithm.h"

namespace KQBSN_850::detail {

/// The analysis for the settings' model type (and, for one sample, test distribution), or null
/// when none is available for them.
std::unique_ptr<BSNAlgorithm> CreateAnalysis(const BSNSettings& settings,
                                             const KQCommon_850::KQVarList& varList);

}  // namespace KQBSN_850::detail
