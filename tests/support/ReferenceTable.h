#pragma once
// Reference tables written by the scripts in tests/reference/, one row a line; lines starting with # or
// // (the header naming the script and package versions, section titles) are skipped. Two forms:
//   {"label", {1, 2}, 3},          braces and commas ignored, the quoted label optional;
//   label text 1.5, 2.5, 3.5       the numbers are the trailing comma-separated list, the rest the label.

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

/// The numbers of the first row with this label; empty when there is none.
std::vector<double> ReferenceValues(const std::vector<ReferenceRow>& rows, const std::string& label);

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
