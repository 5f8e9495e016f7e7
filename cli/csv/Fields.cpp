#include "cli/csv/Fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "cli/CsvReader.h"
#include "companion/KQMV.h"

namespace kqcli {

using KQCommon_850::KQMV;

namespace csv {

/// A cell's text as the messages quote it: at most 40 characters.
std::string Quote(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string shown(text.substr(0, kShown));
  if (text.size() > kShown) shown += "...";
  return "\"" + shown + "\"";
}

/// Reads the field that starts at p. A quoted field may have blanks around its quotes; a quote
/// anywhere else is malformed. Doubled quotes are undone in scratch.
Field ScanField(const char* p, const char* end, std::string& scratch) {
  const char* open = p;
  while (open < end && IsBlank(*open)) ++open;
  if (open == end || *open != '"') {
    const char* q = p;
    for (; q < end && !IsFieldEnd(*q); ++q)
      if (*q == '"') return {{}, q, 0, FieldProblem::MalformedQuotes};
    return {std::string_view(p, static_cast<std::size_t>(q - p)), q, 0, FieldProblem::None};
  }
  const char* const contentStart = open + 1;
  const char* close = contentStart;
  bool doubled = false;
  for (;;) {
    close = static_cast<const char*>(std::memchr(close, '"', static_cast<std::size_t>(end - close)));
    if (close == nullptr) return {{}, end, 0, FieldProblem::Unclosed};
    if (close + 1 < end && close[1] == '"') {
      doubled = true;
      close += 2;
      continue;
    }
    break;
  }
  std::string_view text(contentStart, static_cast<std::size_t>(close - contentStart));
  const auto nLineEnds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  if (doubled) {
    // Inside the quotes every quote is the first of a pair.
    scratch.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
      scratch += text[i];
      if (text[i] == '"') ++i;
    }
    text = scratch;
  }
  const char* next = close + 1;
  while (next < end && IsBlank(*next)) ++next;
  if (next < end && !IsFieldEnd(*next)) return {text, next, nLineEnds, FieldProblem::MalformedQuotes};
  return {text, next, nLineEnds, FieldProblem::None};
}

}  // namespace csv

std::string ColumnText(const std::vector<std::string>& names, std::size_t column) {
  const std::string index = "index " + std::to_string(column);
  return column < names.size() && !names[column].empty() ? "column \"" + names[column] + "\" (" + index + ")"
                                                         : "column " + index;
}

Cell ParseCell(std::string_view text) noexcept {
  text = csv::Trim(text);
  if (text.empty() || text == "NA" || text == "." || text == "NaN")
    return {CellKind::Missing, KQMV::Missing()};
  const char* first = text.data();
  const char* last = first + text.size();
  if (*first == '+' && text.size() > 1 && *(first + 1) != '-') ++first;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range && end == last) return {CellKind::OutOfRange, KQMV::Missing()};
  if (ec != std::errc{} || end != last) return {CellKind::Text, KQMV::Missing()};
  if (std::isnan(value)) return {CellKind::Missing, KQMV::Missing()};
  if (std::isinf(value)) return {CellKind::Infinite, KQMV::Missing()};
  return {CellKind::Number, value};
}

}  // namespace kqcli
