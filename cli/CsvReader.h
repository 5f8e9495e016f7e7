#pragma once
// CsvReader: reads a data file for the command into columns of doubles.
//
// The file is RFC 4180 CSV: the first record holds the variable names, every later record one case
// with as many fields as the header. Quoted fields, CRLF or LF line ends, a UTF-8 byte-order mark,
// blanks around a field and blank lines are accepted. A cell is a number (std::from_chars, general
// format, an optional leading '+'); an empty cell, "NA", "." or "NaN" is the missing value. Anything
// else is an input error naming the line, the data row and the column, except in the columns the
// caller marks as categorical: there the distinct texts are coded 0, 1, 2, ... in order of first
// appearance (numbers too, once the column holds any text), and the texts are kept in code order.
// The cells of a column the caller marks as skipped are not read at all; the column holds the missing
// value, so that the columns keep their positions.
// Infinite cells and numbers outside the range of a double are input errors.
//
// A regular file is memory-mapped and cut into chunks that end at a line end outside quotes (found
// from the parity of the quotes before it). One counting pass gives each chunk the place of its rows
// in the columns, which are made once; threads then parse whole chunks straight into the columns, and
// the table and every message (line, data row, column) are those of a reading on one thread. A pipe is
// read in blocks on one thread. Besides the columns, the reader holds a few words per chunk.
//
// Accuracy: a plain decimal whose digits form an integer of at most 2^53 is converted as that integer
// divided by an exact power of ten (one correctly rounded operation); every other number by
// std::from_chars. Both round correctly, and a test compares the two bit for bit.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/InputError.h"

namespace kqcli {

/// A file wider than this is almost surely not a data file (a wrong delimiter, a binary file): each
/// record the analyses read gathers every column, so such a width would also make every pass crawl.
inline constexpr std::size_t kMaxColumns = 100000;

/// What one cell holds.
enum class CellKind { Number, Missing, Text, Infinite, OutOfRange };

struct Cell {
  CellKind kind;
  double value;  ///< the number for CellKind::Number, else the missing value
};

/// Reads one cell's text; blanks around it are ignored.
Cell ParseCell(std::string_view text) noexcept;

struct CsvTable {
  std::vector<std::string> names;
  std::vector<std::vector<double>> columns;
  /// Per column: the texts of its categories in code order; empty for a column of numbers.
  std::vector<std::vector<std::string>> categories;
  /// Per data row: the line of the file on which it starts (1-based), for messages.
  std::vector<std::size_t> rowLines;

  std::size_t GetNRows() const noexcept { return rowLines.size(); }
};

/// How the reader treats the cells of one column.
enum class ColumnUse {
  Numbers,     ///< every cell a number or missing
  Categories,  ///< text allowed, coded as categories
  Skipped,     ///< not read; every cell missing
};

struct CsvOptions {
  /// Called once with the header's names; answers the use of each column (a column beyond the answer
  /// holds numbers), or the error that stops the reading. Without it every cell must be a number.
  std::function<Result<std::vector<ColumnUse>>(const std::vector<std::string>& names)> onHeader;
  /// Asked between blocks of input, by one thread at a time; true stops the reading with an error.
  std::function<bool()> shouldStop;
  /// Threads that parse the data rows; more than one parses chunks in parallel.
  int threads = 1;
  /// Bytes of data rows per chunk when parsing in parallel; 0 chooses 1 MiB. A chunk is extended to
  /// the end of its last record.
  std::size_t chunkBytes = 0;
};

/// A column as messages name it: column "weight" (index 2).
std::string ColumnText(const std::vector<std::string>& names, std::size_t column);

/// Reads a file (a regular file or a pipe). Messages name the file by the path given.
Result<CsvTable> ReadCsvFile(const std::string& path, const CsvOptions& options = {});

/// Reads text held in memory; messages name it displayName.
Result<CsvTable> ReadCsvText(std::string_view text, const std::string& displayName,
                             const CsvOptions& options = {});

}  // namespace kqcli
