#pragma once
// Report: what one run of the command found, and its two outputs: one JSON object for a program and
// tables for a person. Both are made from the same RecordView, so they show the same numbers.
//
// JSON: {"validation", "status", "warnings", "built", "result"} then, where they apply,
// "records_dropped" and "category_codes". A status is {"code", "is_error", "is_warning", "message",
// "data"}, "data" holding the discrete data items that were set, in order. "validation" is null when
// the validation was skipped; "status" is absent when the validation stopped the run; "result" is null
// when there is no result record. The result holds the record's fields, the row labels and each factor
// in every form (RecordToJson, FactorsToJson).

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/RecordView.h"
#include "companion/KQStatus.h"
#include "frame/BSNSettings.h"

namespace kqcli {

struct RunReport {
  std::string dataFile;
  std::size_t nRecords = 0;  ///< data rows in the file
  KQBSN_850::BSNSettings settings;
  std::optional<KQCommon_850::KQStatus> validation;  ///< absent when skipped
  std::optional<KQCommon_850::KQStatus> status;      ///< absent when the validation stopped the run
  std::vector<KQCommon_850::KQStatus> warnings;
  bool built = false;
  Json result;                     ///< the record's JSON form; null without a record
  std::optional<RecordView> view;  ///< absent without a record or without a describer for it
  bool screened = false;
  std::size_t recordsDropped = 0;
  std::vector<std::pair<std::string, std::vector<std::string>>>
      categoryCodes;  ///< column name, texts by code
};

/// {"code", "is_error", "is_warning", "message", "data"}.
Json StatusToJson(const KQCommon_850::KQStatus& status);

Json ReportToJson(const RunReport& report);

/// The tables for a person: a header naming the analysis, one aligned table per family of results,
/// the warnings with their messages, and one verdict per Bayes factor.
void PrintTables(std::ostream& os, const RunReport& report);

}  // namespace kqcli
