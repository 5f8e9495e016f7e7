#include "tests/support/ReferenceTable.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace kqtest {

std::vector<ReferenceRow> ReadReferenceTable(const std::string& file) {
  std::vector<ReferenceRow> rows;
  std::ifstream in(std::string(KQ_REFERENCE_DIR) + "/" + file);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#' || line.compare(start, 2, "//") == 0) continue;
    ReferenceRow row;
    const std::size_t open = line.find('"');
    if (open != std::string::npos) {
      const std::size_t close = line.find('"', open + 1);
      row.label = line.substr(open + 1, close - open - 1);
      line.erase(open, close - open + 1);
    }
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '{' || c == '}' || c == ','; }, ' ');
    std::istringstream numbers(line);
    for (double x; numbers >> x;) row.values.push_back(x);
    rows.push_back(std::move(row));
  }
  return rows;
}

void WorstRow::Note(std::size_t row, double actual, double expected) {
  const double error = std::fabs(actual - expected) / std::max(std::fabs(expected), 1e-8);
  if (!(error <= error_)) {
    error_ = error;
    row_ = row;
  }
}

}  // namespace kqtest
