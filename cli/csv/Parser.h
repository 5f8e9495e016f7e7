#pragma once
// The parser of data rows: reads whole records from a stretch of input into a run of row slots. A
// cell that is a plain decimal is converted while it is scanned, with no copy and no search for its
// end; every other cell (quoted with more than a number inside, with an exponent, text, blanks around
// it) takes the general path, which finds the end of the field and hands its text to ParseCell.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/csv/Columns.h"

namespace kqcli::csv {

/// A problem found by a parser: its line, and the data rows before the one at fault counted from the
/// parser's first row, so that a chunk's problem is placed in the file once the chunks before it
/// are counted.
struct ParseError {
  std::size_t line;
  std::optional<std::size_t> row;  ///< data rows before the one at fault, when the message names the row
  std::string rest;                ///< what follows "line L (data row R)"
};

enum class ParseOutcome {
  Done,        ///< every record read
  Failed,      ///< a problem; see GetError
  OutOfSlots,  ///< more records than slots
};

class Parser {
 public:
  /// hasText: per column, set to 1 when a categorical cell is not a number.
  Parser(const Layout& layout, RowSlots slots, std::size_t firstLine, std::vector<char>& hasText)
      : layout_(layout),
        slots_(std::move(slots)),
        line_(firstLine),
        hasText_(hasText),
        allNumbers_(std::all_of(layout.uses.begin(), layout.uses.end(),
                                [](ColumnUse use) { return use == ColumnUse::Numbers; })) {}

  /// Parses the records in [p, end), which ends at a record end or at the end of the input.
  ParseOutcome Parse(const char* p, const char* end);
  std::size_t GetNRows() const noexcept { return nRows_; }
  /// The line after the ones parsed.
  std::size_t GetLine() const noexcept { return line_; }
  const ParseError& GetError() const { return *error_; }

 private:
  ParseOutcome ReadRecord(const char*& p, const char* end);
  bool ReadNumberRecord(const char*& p, const char* end) noexcept;
  bool StoreCell(std::size_t column, std::string_view text);
  void Fail(std::size_t line, bool withRow, std::string rest) {
    error_ = ParseError{line, withRow ? std::optional(nRows_) : std::nullopt, std::move(rest)};
  }

  const Layout& layout_;
  RowSlots slots_;
  std::size_t nRows_ = 0;
  std::size_t line_;
  std::vector<char>& hasText_;
  bool allNumbers_;  ///< every column holds numbers: a record of plain decimals takes a short path
  std::string scratch_;
  std::optional<ParseError> error_;
};

}  // namespace kqcli::csv
