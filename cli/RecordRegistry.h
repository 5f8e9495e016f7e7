#pragma once
// The one place where each result record type meets the function that describes it. Adding an
// analysis to the command means writing one describer (cli/records/) and adding its row to the table
// in RecordRegistry.cpp, and the row of the keys it reads to the table in AnalysisKeys.cpp.

#include <optional>
#include <string>
#include <vector>

#include "cli/RecordView.h"
#include "frame/BSNOutputStats.h"

namespace kqcli {

/// The record described by the describer registered for its output type; nullopt for a type that has
/// none. The columns label the variables that the record names by index, and their categories.
std::optional<RecordView> DescribeRecord(const KQBSN_850::BSNOutputStats& record, const DataColumns& columns);

/// The JSON form of a record: "record" (its class name, or null when no describer knows it),
/// "ModelType", "OutputType", then its fields in order.
Json RecordToJson(const KQBSN_850::BSNOutputStats& record, const std::optional<RecordView>& view);

}  // namespace kqcli
