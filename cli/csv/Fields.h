#pragma once
// Fields of a CSV record: the blanks and separators, the general scan of a field (quoted or bare),
// and the fast test for a field that is a plain decimal.

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/csv/Numbers.h"

namespace kqcli::csv {

inline constexpr std::string_view kMalformedQuotes =
    ": malformed quotes (a quote inside an unquoted field, or text after a closing quote)";

inline bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
inline bool IsFieldEnd(char c) noexcept { return c == ',' || c == '\n' || c == '\r'; }

inline std::string_view Trim(std::string_view text) noexcept {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

/// A cell's text as the messages quote it: at most 40 characters.
std::string Quote(std::string_view text);

/// Converts a field that is a plain decimal, bare or in quotes with nothing else between them;
/// after is then the ',' or line end that follows, or the end of the input.
inline bool IsPlainDecimalField(const char* p, const char* end, double& value, const char*& after) noexcept {
  if (ParsePlainDecimal(p, end, value, after)) return after == end || IsFieldEnd(*after);
  if (p == end || *p != '"' || !ParsePlainDecimal(p + 1, end, value, after) || after == end || *after != '"')
    return false;
  ++after;
  return after == end || IsFieldEnd(*after);
}

enum class FieldProblem { None, MalformedQuotes, Unclosed };

struct Field {
  std::string_view text;  ///< the cell, quotes removed and doubled quotes undone
  const char* next;       ///< the ',' or line end after the field, or the end of the input
  std::size_t nLineEnds;  ///< line feeds inside quotes
  FieldProblem problem;
};

/// Reads the field that starts at p. A quoted field may have blanks around its quotes; a quote
/// anywhere else is malformed. Doubled quotes are undone in scratch.
Field ScanField(const char* p, const char* end, std::string& scratch);

}  // namespace kqcli::csv
