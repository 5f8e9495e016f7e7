#include "tests/support/ReferenceTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kqtest {

namespace {

bool IsNumber(const std::string& token, double& value) {
  char* end = nullptr;
  value = std::strtod(token.c_str(), &end);
  return !token.empty() && end == token.c_str() + token.size();
}

// "label text 1.5, 2.5, 3.5": from the right, the last number and the numbers followed by a comma.
ReferenceRow LabelledRow(const std::string& line) {
  std::vector<std::string> tokens;
  std::istringstream words(line);
  for (std::string word; words >> word;) tokens.push_back(word);
  ReferenceRow row;
  std::size_t first = tokens.size();
  double value = 0.0;
  while (first > 0) {
    std::string token = tokens[first - 1];
    const bool comma = !token.empty() && token.back() == ',';
    if (comma != (first < tokens.size())) break;
    if (comma) token.pop_back();
    if (!IsNumber(token, value)) break;
    row.values.insert(row.values.begin(), value);
    --first;
  }
  for (std::size_t i = 0; i < first; ++i) row.label += (i > 0 ? " " : "") + tokens[i];
  return row;
}

}  // namespace

std::vector<ReferenceRow> ReadReferenceTable(const std::string& file) {
  std::vector<ReferenceRow> rows;
  std::ifstream in(std::string(KQ_REFERENCE_DIR) + "/" + file);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#' || line.compare(start, 2, "//") == 0) continue;
    ReferenceRow row;
    if (line.find('{') == std::string::npos) {
      rows.push_back(LabelledRow(line));
      continue;
    }
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

std::vector<double> ReferenceValues(const std::vector<ReferenceRow>& rows, const std::string& label) {
  for (const ReferenceRow& row : rows)
    if (row.label == label) return row.values;
  return {};
}

void WorstRow::Note(std::size_t row, double actual, double expected) {
  const double error = std::fabs(actual - expected) / std::max(std::fabs(expected), 1e-8);
  if (!(error <= error_)) {
    error_ = error;
    row_ = row;
  }
}

}  // namespace kqtest
