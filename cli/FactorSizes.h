#pragma once
// FactorSizes: a factor's number of categories where the settings file leaves it out. The analyses
// need one size per factor ("FactorNCategs", and "FullModFactorNCategs" for the full model's factors);
// without the key, the command takes the sizes from the data file: a column coded from its text has
// as many categories as texts, and a column of numbers its largest whole-number code plus one (values
// that are not whole numbers from 0 on are no codes, and the data preparation refuses them where the
// analysis reads them). A column of numbers whose codes would make more than kMaxFactorSizeFromData
// categories is an input error: such a column is much likelier a measurement named as a factor by
// mistake, and a factor that large can still be given its size in the settings.

#include <optional>
#include <string>

#include "cli/CsvReader.h"
#include "cli/InputError.h"
#include "cli/SettingsReader.h"
#include "frame/BSNSettings.h"

namespace kqcli {

inline constexpr int kMaxFactorSizeFromData = 1000;

/// Sets the factor sizes that the document does not give from the table, and answers a note naming
/// them ("FactorNCategs" from the data: [3] for column "Species"); nothing when the document gives
/// every size the settings' factors need. fileName names the data file in messages.
Result<std::optional<std::string>> SizeFactorsFromData(const CsvTable& table,
                                                       const SettingsDocument& document,
                                                       KQBSN_850::BSNSettings& settings,
                                                       const std::string& fileName);

}  // namespace kqcli
