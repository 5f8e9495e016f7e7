#pragma once
// CellScreening: the log-linear table adds each case's weight to the cell of its two factor codes and
// would place a case without a code, or without a weight, nowhere; the command does not leave such a
// case out quietly: a missing factor code or frequency weight is an input error naming the row and
// the column. (Codes outside 0 .. size - 1 are refused by PrepareData.)

#include <optional>
#include <string>

#include "cli/CsvReader.h"
#include "cli/InputError.h"
#include "frame/BSNSettings.h"

namespace kqcli {

/// For a log-linear analysis, the first data row with a missing code on a factor or a missing frequency
/// weight, as an input error; nothing for other analyses or complete data.
std::optional<InputError> FindMissingCell(const CsvTable& table, const KQBSN_850::BSNSettings& settings,
                                          const std::string& fileName);

}  // namespace kqcli
