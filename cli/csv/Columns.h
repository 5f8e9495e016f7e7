#pragma once
// The table's cells while they are read: per column its values, per categorical column each cell's
// text, per row its line. The rows are made once for the whole input; parsers write runs of rows
// straight into them, and runs that came out shorter than their room are closed up at the end.

#include <cstddef>
#include <string>
#include <vector>

#include "cli/CsvReader.h"

namespace kqcli::csv {

/// The header's names and what to do with each column.
struct Layout {
  std::vector<std::string> names;
  std::vector<ColumnUse> uses;
};

/// Where a parser writes the rows of one run: row i of the run goes to index i of each array.
struct RowSlots {
  std::vector<double*> values;      ///< per column; a skipped column's are left as they are
  std::vector<std::string*> texts;  ///< per column: nullptr unless the column is categorical
  std::size_t* lines = nullptr;
  std::size_t nSlots = 0;
};

class ColumnStore {
 public:
  /// Empty columns of the layout's uses.
  void Start(const std::vector<ColumnUse>& uses);
  /// Makes the rows [0, nRows), keeping those before; the columns are made on up to nThreads
  /// threads. A skipped column's new cells are missing.
  void Resize(std::size_t nRows, int nThreads);
  std::size_t GetNRows() const noexcept { return lines_.size(); }
  RowSlots Slots(std::size_t first, std::size_t nSlots);
  /// Moves the rows [from, from + nRows) to [to, to + nRows), to <= from.
  void MoveRows(std::size_t from, std::size_t nRows, std::size_t to);
  /// Adds delta to the lines of the rows [first, first + nRows).
  void ShiftLines(std::size_t first, std::size_t nRows, std::ptrdiff_t delta);
  /// Notes the columns in which a parser found a cell that is not a number (per column, 0 or 1).
  void AddHasText(const std::vector<char>& hasText);
  /// Hands the cells to the table, coding the texts of every categorical column that holds any as
  /// categories in order of first appearance.
  void MoveInto(CsvTable& table);

 private:
  std::vector<ColumnUse> uses_;
  std::vector<std::vector<double>> values_;
  std::vector<std::vector<std::string>> texts_;
  std::vector<char> hasText_;
  std::vector<std::size_t> lines_;
};

}  // namespace kqcli::csv
