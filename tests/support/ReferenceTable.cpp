#include "tests/support/ReferenceTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

namespace kqtest {

namespace {

// "label text 1.5, 2.5, 3.5": from the right, the last number and the numbers followed by a comma.
void LabelledRow(std::string line, ReferenceRow& row) {
  std::vector<std::string> tokens;
  std::istringstream words(line);
  for (std::string word; words >> word;) tokens.push_back(word);
  std::size_t first = tokens.size();
  for (; first > 0; --first) {
    std::string token = tokens[first - 1];
    const bool comma = token.back() == ',';
    if (comma != (first < tokens.size())) break;
    if (comma) token.pop_back();
    char* end = nullptr;
    const double value = std::strtod(token.c_str(), &end);
    if (token.empty() || end != token.c_str() + token.size()) break;
    row.values.insert(row.values.begin(), value);
  }
  for (std::size_t i = 0; i < first; ++i) row.label += (i > 0 ? " " : "") + tokens[i];
}

// {"label", {1, 2}, 3}: braces and commas ignored, the quoted label optional.
void BracedRow(std::string line, ReferenceRow& row) {
  const std::size_t open = line.find('"'), close = line.find('"', open + 1);
  if (open != std::string::npos) {
    row.label = line.substr(open + 1, close - open - 1);
    line.erase(open, close - open + 1);
  }
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '{' || c == '}' || c == ','; }, ' ');
  std::istringstream numbers(line);
  for (double x; numbers >> x;) row.values.push_back(x);
}

}  // namespace

std::vector<ReferenceRow> ReadReferenceTable(const std::string& file) {
  std::vector<ReferenceRow> rows;
  std::ifstream in(std::string(KQ_REFERENCE_DIR) + "/" + file);
  for (std::string line; std::getline(in, line);) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#' || line.compare(start, 2, "//") == 0) continue;
    (line.find('{') == std::string::npos ? LabelledRow : BracedRow)(line, rows.emplace_back());
  }
  return rows;
}

std::vector<double> ReferenceValues(const std::vector<ReferenceRow>& rows, const std::string& label) {
  const auto row =
      std::find_if(rows.begin(), rows.end(), [&](const ReferenceRow& r) { return r.label == label; });
  return row == rows.end() ? std::vector<double>{} : row->values;
}

void WorstRow::Note(std::size_t row, double actual, double expected) {
  const double error = std::fabs(actual - expected) / std::max(std::fabs(expected), 1e-8);
  if (!(error <= error_)) std::tie(error_, row_) = std::pair(error, row);
}

}  // namespace kqtest
