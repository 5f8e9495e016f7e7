#include "cli/Report.h"

#include "frame/BSNStatusCodes.h"

namespace kqcli {

Json StatusToJson(const KQCommon_850::KQStatus& status) {
  std::string message;
  KQBSN_850::StatusMessageText(status.GetErrorCode(), message);
  Json data = Json::array();
  for (std::size_t i = 0; i < status.GetNDiscreteData(); ++i)
    if (status.HasDiscreteDatum(i)) data.push_back(status.GetDiscreteDatum(i));
  return Json{{"code", status.GetErrorCode()},
              {"is_error", status.IsError()},
              {"is_warning", status.IsWarning()},
              {"message", message},
              {"data", data}};
}

Json ReportToJson(const RunReport& report) {
  Json object = Json::object();
  object["validation"] = report.validation ? StatusToJson(*report.validation) : Json(nullptr);
  if (report.status) object["status"] = StatusToJson(*report.status);
  Json warnings = Json::array();
  for (const KQCommon_850::KQStatus& warning : report.warnings) warnings.push_back(StatusToJson(warning));
  object["warnings"] = warnings;
  object["built"] = report.built;
  object["result"] = report.result;
  if (report.screened) object["records_dropped"] = report.recordsDropped;
  if (!report.categoryCodes.empty()) {
    Json codes = Json::object();
    for (const auto& [column, texts] : report.categoryCodes) codes[column] = texts;
    object["category_codes"] = codes;
  }
  return object;
}

}  // namespace kqcli
