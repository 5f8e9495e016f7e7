// The tables for a person (PrintTables of Report.h). Each family of fields becomes one table with a
// row per variable; a field whose value has one entry per row is a column, any other value of the
// family is printed under its table. Fields outside the families (curves, indices, the settings) are
// named at the end as being in the JSON output.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Evidence.h"
#include "cli/Report.h"
#include "cli/Text.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/EnumWords.h"

namespace kqcli {
namespace {

using KQBSN_850::BSNSettings;
using KQCommon_850::KQStatus;

constexpr Family kFamilies[] = {Family::Data, Family::Test, Family::BayesFactor, Family::Posterior};

std::string Cell(const Json& value) {
  if (value.is_null()) return "NA";
  if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
  if (value.is_number_integer()) return value.dump();
  if (value.is_number_float()) {
    // Whole numbers (weighted counts, degrees of freedom) in full; others to 6 significant digits.
    constexpr double kLargestShownWhole = 1e15;
    const double x = value.get<double>();
    char text[32];
    if (x == std::floor(x) && std::fabs(x) < kLargestShownWhole)
      std::snprintf(text, sizeof text, "%.0f", x);
    else
      std::snprintf(text, sizeof text, "%.6g", x);
    return text;
  }
  if (value.is_string()) return value.get<std::string>();
  if (value.is_array() && value.size() == 2 && !value[0].is_structured() && !value[1].is_structured())
    return std::string("(").append(Cell(value[0])).append(", ").append(Cell(value[1])).append(")");
  if (value.is_array()) return std::string("[").append(std::to_string(value.size())).append(" values]");
  return "{...}";
}

/// Prints rows of cells under a header, the first column left-aligned and the others right-aligned.
void PrintAligned(std::ostream& os, const std::vector<std::vector<std::string>>& lines) {
  std::vector<std::size_t> widths;
  for (const auto& line : lines)
    for (std::size_t j = 0; j < line.size(); ++j) {
      if (widths.size() <= j) widths.push_back(0);
      widths[j] = std::max(widths[j], line[j].size());
    }
  for (const auto& line : lines) {
    std::string text = "  ";
    for (std::size_t j = 0; j < line.size(); ++j) {
      const std::string pad(widths[j] - line[j].size(), ' ');
      text += j == 0 ? line[j] + pad : "  " + pad + line[j];
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    os << text << '\n';
  }
}

std::string Title(const RecordView& view, Family family) {
  for (const auto& [f, title] : view.familyTitles)
    if (f == family) return title;
  return {};
}

/// A factor's cell: exp(log) when the record keeps its logarithm; NA for one that left the double range
/// without it (0 or infinite), which has no size to show.
std::string FactorCell(const RecordView& view, const Json& value, std::size_t i) {
  if (IsLogFactor(view, i)) return "exp(" + Cell(value) + ")";
  if (value.is_number() && !(value.get<double>() > 0.0 && std::isfinite(value.get<double>()))) return "NA";
  return Cell(value);
}

/// The members of a value record on one line: "name = value, ...".
std::string Members(const Json& object) {
  std::string text;
  for (const auto& [name, value] : object.items())
    text += (text.empty() ? "" : ", ") + name + " = " + Cell(value);
  return text;
}

void PrintFamily(std::ostream& os, const RecordView& view, Family family) {
  const std::size_t nRows = view.rows.size();
  std::vector<const Field*> columns;
  std::vector<const Field*> others;
  // The fields of a family that the describer lays out in its own tables are shown there.
  for (const TextTable& table : view.textTables)
    if (table.family == family) return;
  for (const Field& field : view.fields) {
    if (field.family != family) continue;
    if (field.value.is_array() && field.value.empty()) continue;  // not computed for this analysis type
    // A plain value is a column of a one-row table.
    const bool column =
        field.value.is_array() ? field.value.size() == nRows : nRows == 1 && !field.value.is_object();
    (column ? columns : others).push_back(&field);
  }
  if (columns.empty() && others.empty()) return;
  os << '\n' << Title(view, family) << '\n';
  if (!columns.empty()) {
    // A column of value records (posterior summaries) becomes one column per member.
    std::vector<std::vector<std::string>> lines{{view.rowHeader}};
    for (const Field* field : columns) {
      if (Entry(field->value, 0).is_object()) {
        for (const auto& member : Entry(field->value, 0).items()) lines[0].push_back(member.key());
      } else {
        lines[0].push_back(field->column);
      }
    }
    for (std::size_t i = 0; i < nRows; ++i) {
      std::vector<std::string> line{view.rows[i]};
      for (const Field* field : columns) {
        const Json& value = Entry(field->value, i);
        if (value.is_object()) {
          for (const auto& member : value.items()) line.push_back(Cell(member.value()));
        } else {
          line.push_back(field->key == view.factorKey ? FactorCell(view, value, i) : Cell(value));
        }
      }
      lines.push_back(std::move(line));
    }
    PrintAligned(os, lines);
  }
  for (const Field* field : others) {
    // Value records print their members; a list of them (F tests), one line each.
    const Json& value = field->value;
    if (value.is_object()) {
      os << "  " << field->column << ": " << Members(value) << '\n';
    } else if (value.is_array() && !value.empty() && value[0].is_object()) {
      for (std::size_t i = 0; i < value.size(); ++i)
        os << "  " << field->column << " " << i + 1 << ": " << Members(value[i]) << '\n';
    } else {
      os << "  " << field->column << ": "
         << (field->key == view.factorKey ? FactorCell(view, value, 0) : Cell(value)) << '\n';
    }
  }
}

/// The describer's own tables of a family.
void PrintTextTables(std::ostream& os, const RecordView& view, Family family) {
  for (const TextTable& table : view.textTables) {
    if (table.family != family) continue;
    os << '\n' << table.title << '\n';
    PrintAligned(os, table.lines);
  }
}

void PrintVerdicts(std::ostream& os, const RecordView& view) {
  const Field* factors = view.Find(view.factorKey);
  if (factors == nullptr || (factors->value.is_array() && factors->value.empty())) return;
  const std::vector<std::string> rows = FactorRows(view);
  const std::string name = view.factorFavoursNull ? "BF01" : "BF10";
  const std::string reciprocal = view.factorFavoursNull ? "BF10" : "BF01";
  os << "\nVerdicts (Jeffreys' scale: 1-3 anecdotal, 3-10 moderate, 10-30 strong, 30-100 very strong, "
        ">100 extreme)\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Json& value = Entry(factors->value, i);
    const double factor = value.is_number() ? value.get<double>() : KQCommon_850::KQMV::Missing();
    const auto [null, alternative] = NamedHypotheses(view, i);
    os << "  " << rows[i] << ": "
       << (view.factorFavoursNull
               ? EvidenceVerdict(factor, IsLogFactor(view, i), name, reciprocal, null, alternative)
               : EvidenceVerdict(factor, IsLogFactor(view, i), name, reciprocal, alternative, null))
       << '\n';
  }
}

std::string StatusLine(const KQStatus& status) {
  std::string message;
  KQBSN_850::StatusMessageText(status.GetErrorCode(), message);
  const KQBSN_850::BSNStatusInfo* info = KQBSN_850::FindStatusInfo(status.GetErrorCode());
  std::string line = message.empty() ? "(no message)" : message;
  line.append(" [").append(std::to_string(status.GetErrorCode()));
  if (info != nullptr) line.append(" ").append(info->name);
  for (std::size_t i = 0; i < status.GetNDiscreteData(); ++i)
    if (status.HasDiscreteDatum(i))
      line += ", datum " + std::to_string(i) + " = " + std::to_string(status.GetDiscreteDatum(i));
  return line + "]";
}

std::string AnalysisName(const BSNSettings& settings) {
  using KQBSN_850::EnumWord;
  std::string name(EnumWord(settings.GetModelType()));
  if (name.empty())
    name = std::string("model type ")
               .append(std::to_string(KQBSN_850::BSNConst::ToInt(settings.GetModelType())));
  if (settings.GetModelType() == KQBSN_850::BSNConst::ModelTypes::OneSample)
    name.append(" ").append(EnumWord(settings.GetTestDistType()));
  const std::string_view type = EnumWord(settings.GetAnalysType());
  name.append(" analysis");
  if (!type.empty()) name.append("; analysis type: ").append(type);
  return name;
}

void WriteTables(std::ostream& os, const RunReport& report) {
  os << AnalysisName(report.settings) << '\n';
  os << "Data: " << report.dataFile << ", " << report.nRecords
     << (report.nRecords == 1 ? " record" : " records");
  if (report.screened)
    os << " (" << report.recordsDropped << " dropped for a missing value in a variable of the analysis)";
  os << '\n';
  for (const auto& [column, texts] : report.categoryCodes) {
    os << "Column \"" << column << "\" is coded from its text:";
    for (std::size_t code = 0; code < texts.size(); ++code)
      os << (code == 0 ? " " : ", ") << code << " = \"" << texts[code] << '"';
    os << '\n';
  }

  if (report.validation && report.validation->IsError()) {
    os << "\nThe settings are not valid: " << StatusLine(*report.validation) << '\n';
    return;
  }
  if (report.validation && report.validation->IsWarning())
    os << "\nThe validation warns: " << StatusLine(*report.validation) << '\n';
  if (report.status && report.status->IsError())
    os << "\nThe analysis stopped with an error: " << StatusLine(*report.status) << '\n';

  if (report.view) {
    for (Family family : kFamilies) {
      PrintTextTables(os, *report.view, family);
      PrintFamily(os, *report.view, family);
    }
    PrintTextTables(os, *report.view, Family::None);
  } else if (!report.result.is_null())
    os << "\nThe result record (output type " << report.result.value("OutputType", -1)
       << ") has no tables yet; --json shows its type.\n";

  if (!report.warnings.empty()) {
    os << "\nWarnings\n";
    for (const KQStatus& warning : report.warnings) {
      os << "  " << StatusLine(warning);
      // An analysis' warning about one variable carries the variable's position as datum 0.
      if (report.view && warning.HasDiscreteDatum(0) && warning.GetDiscreteDatum(0) >= 0 &&
          static_cast<std::size_t>(warning.GetDiscreteDatum(0)) < report.view->rows.size())
        os << " (variable \"" << report.view->rows[static_cast<std::size_t>(warning.GetDiscreteDatum(0))]
           << "\")";
      os << '\n';
    }
  }
  if (report.view) {
    PrintVerdicts(os, *report.view);
    std::string jsonOnly;
    for (const Field& field : report.view->fields)
      if (field.family == Family::None) jsonOnly += (jsonOnly.empty() ? "" : ", ") + field.key;
    if (!jsonOnly.empty()) os << "\nIn the JSON output only (--json): " << jsonOnly << '\n';
  }
}

}  // namespace

void PrintTables(std::ostream& os, const RunReport& report) {
  // Labels come from the data as they are; the tables are made whole, then written as valid UTF-8.
  std::ostringstream tables;
  WriteTables(tables, report);
  os << ValidUtf8(tables.str());
}

}  // namespace kqcli
