#pragma once
// Reference tables written by the scripts in tests/reference/: one row a line, numbers separated by
// commas or blanks, braces ignored, an optional "quoted" label first; lines starting with # or //
// (the header naming the script and package versions) are skipped.

#include <cstddef>
#include <string>
#include <vector>

namespace kqtest {

struct ReferenceRow {
  std::string label;
  std::vector<double> values;
};

/// The rows of tests/reference/<file>; empty when the file cannot be read.
std::vector<ReferenceRow> ReadReferenceTable(const std::string& file);

/// The row of a table with the largest relative error (absolute below 1e-8), for one report per table.
class WorstRow {
 public:
  void Note(std::size_t row, double actual, double expected);
  double Error() const { return error_; }
  std::size_t Row() const { return row_; }

 private:
  double error_ = 0.0;
  std::size_t row_ = 0;
};

}  // namespace kqtest
