#include "cli/csv/Parser.h"

#include <string_view>

#include "cli/csv/Fields.h"

namespace kqcli::csv {

ParseOutcome Parser::Parse(const char* p, const char* end) {
  while (p < end) {
    const char* q = p;
    while (q < end && IsBlank(*q)) ++q;
    if (q == end) return ParseOutcome::Done;
    if (*q == '\n' || *q == '\r') {  // a blank line
      ++line_;
      p = q + 1;
      if (*q == '\r' && p < end && *p == '\n') ++p;
      continue;
    }
    if (const ParseOutcome outcome = ReadRecord(p, end); outcome != ParseOutcome::Done) return outcome;
  }
  return ParseOutcome::Done;
}

/// Reads a record of plain decimals (bare or quoted), one per column, that ends in a line feed or CRLF; false
/// when the record is anything else, which the general path then reads again from its start (the cells stored
/// here are overwritten). No check of a column's use, of the field count or of the kind of separator is left
/// per cell beyond the one byte after the number.
bool Parser::ReadNumberRecord(const char*& p, const char* end) noexcept {
  const char* q = p;
  const std::size_t row = nRows_;
  double* const* const values = slots_.values.data();
  const std::size_t lastColumn = slots_.values.size() - 1;
  for (std::size_t column = 0;; ++column) {
    double value = 0.0;
    const char* after = nullptr;
    if (!IsPlainDecimalField(q, end, value, after) || after == end) return false;
    values[column][row] = value;
    q = after + 1;
    if (column == lastColumn) break;
    if (*after != ',') return false;
  }
  if (q[-1] == '\r') {
    if (q == end || *q != '\n') return false;  // a lone carriage return: the general path counts it
    ++q;
  } else if (q[-1] != '\n') {
    return false;
  }
  slots_.lines[row] = line_++;
  ++nRows_;
  p = q;
  return true;
}

ParseOutcome Parser::ReadRecord(const char*& p, const char* end) {
  if (nRows_ == slots_.nSlots) return ParseOutcome::OutOfSlots;
  if (allNumbers_ && ReadNumberRecord(p, end)) return ParseOutcome::Done;
  const std::size_t recordLine = line_;
  const std::size_t nColumns = layout_.names.size();
  const std::size_t row = nRows_;
  std::size_t column = 0;
  for (;; ++column) {
    if (column == nColumns) {
      Fail(recordLine, true, " has more fields than the header's " + std::to_string(nColumns));
      return ParseOutcome::Failed;
    }
    double value = 0.0;
    const char* after = nullptr;
    if (layout_.uses[column] == ColumnUse::Numbers && IsPlainDecimalField(p, end, value, after)) {
      slots_.values[column][row] = value;
      p = after;
    } else {
      const Field field = ScanField(p, end, scratch_);
      if (field.problem == FieldProblem::MalformedQuotes) {
        Fail(line_, false, ", column " + std::to_string(column + 1) + std::string(kMalformedQuotes));
        return ParseOutcome::Failed;
      }
      if (field.problem == FieldProblem::Unclosed) {
        Fail(recordLine, false, ": a quoted field is not closed before the end of the file");
        return ParseOutcome::Failed;
      }
      if (!StoreCell(column, field.text)) return ParseOutcome::Failed;
      line_ += field.nLineEnds;
      p = field.next;
    }
    if (p == end) break;
    const char c = *p++;
    if (c == ',') continue;
    ++line_;
    if (c == '\r' && p < end && *p == '\n') ++p;
    break;
  }
  if (++column < nColumns) {
    Fail(recordLine, true,
         " has " + std::to_string(column) + (column == 1 ? " field" : " fields") + ", the header " +
             std::to_string(nColumns));
    return ParseOutcome::Failed;
  }
  slots_.lines[row] = recordLine;
  ++nRows_;
  return ParseOutcome::Done;
}

bool Parser::StoreCell(std::size_t column, std::string_view text) {
  const ColumnUse use = layout_.uses[column];
  if (use == ColumnUse::Skipped) return true;  // the column holds the missing value already
  const Cell cell = ParseCell(text);
  const std::size_t row = nRows_;
  if (use == ColumnUse::Categories) {
    // Values that are not plain numbers are coded as categories at the end.
    if (cell.kind != CellKind::Number && cell.kind != CellKind::Missing) hasText_[column] = 1;
    slots_.texts[column][row] = cell.kind == CellKind::Missing ? std::string_view{} : Trim(text);
    slots_.values[column][row] = cell.value;
    return true;
  }
  std::string_view problem;
  switch (cell.kind) {
    case CellKind::Number:
    case CellKind::Missing:
      slots_.values[column][row] = cell.value;
      return true;
    case CellKind::Text:
      problem = "is not a number";
      break;
    case CellKind::Infinite:
      problem = "is infinite";
      break;
    case CellKind::OutOfRange:
      problem = "is outside the range of a double";
      break;
  }
  Fail(line_, true,
       ", " + ColumnText(layout_.names, column) + ": " + Quote(Trim(text)) + " " + std::string(problem));
  return false;
}

}  // namespace kqcli::csv
