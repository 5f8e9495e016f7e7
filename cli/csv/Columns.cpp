#include "cli/csv/Columns.h"

#include <algorithm>
#include <thread>
#include <unordered_map>

#include "cli/csv/Memory.h"
#include "companion/KQMV.h"

namespace kqcli::csv {
namespace {

using KQCommon_850::KQMV;

/// Below this many rows the columns are made on one thread: starting a thread costs more.
constexpr std::size_t kRowsPerThreadAtLeast = std::size_t{1} << 16;

/// Resizes a vector, asking for huge pages when it grows into new memory; the new elements are
/// value-initialized, so that their pages are faulted in here rather than while parsing.
template <class T>
void ResizeInHugePages(std::vector<T>& cells, std::size_t n, const T& fill) {
  if (n > cells.capacity()) {
    cells.reserve(std::max(n, 2 * cells.capacity()));
    AdviseHugePages(cells.data(), cells.capacity() * sizeof(T));
  }
  cells.resize(n, fill);
}

}  // namespace

void ColumnStore::Start(const std::vector<ColumnUse>& uses) {
  uses_ = uses;
  values_.assign(uses.size(), {});
  texts_.assign(uses.size(), {});
  hasText_.assign(uses.size(), 0);
  lines_.clear();
}

void ColumnStore::Resize(std::size_t nRows, int nThreads) {
  const std::size_t nColumns = uses_.size();
  // Task j < nColumns makes column j, task nColumns the lines; threads take every nWorkers-th task.
  const auto makeTasks = [&](std::size_t first, std::size_t step) {
    for (std::size_t j = first; j <= nColumns; j += step) {
      if (j == nColumns) {
        ResizeInHugePages(lines_, nRows, std::size_t{0});
        continue;
      }
      ResizeInHugePages(values_[j], nRows, uses_[j] == ColumnUse::Skipped ? KQMV::Missing() : 0.0);
      if (uses_[j] == ColumnUse::Categories) texts_[j].resize(nRows);
    }
  };
  const std::size_t nGrown = nRows > lines_.size() ? nRows - lines_.size() : 0;
  const std::size_t nWorkers = nGrown < kRowsPerThreadAtLeast
                                   ? 1
                                   : std::min(static_cast<std::size_t>(std::max(nThreads, 1)), nColumns + 1);
  std::vector<std::jthread> helpers;
  helpers.reserve(nWorkers - 1);
  for (std::size_t w = 1; w < nWorkers; ++w) helpers.emplace_back(makeTasks, w, nWorkers);
  makeTasks(0, nWorkers);
}

RowSlots ColumnStore::Slots(std::size_t first, std::size_t nSlots) {
  RowSlots slots;
  slots.values.resize(uses_.size(), nullptr);
  slots.texts.resize(uses_.size(), nullptr);
  for (std::size_t j = 0; j < uses_.size(); ++j) {
    slots.values[j] = values_[j].data() + first;
    if (uses_[j] == ColumnUse::Categories) slots.texts[j] = texts_[j].data() + first;
  }
  slots.lines = lines_.data() + first;
  slots.nSlots = nSlots;
  return slots;
}

void ColumnStore::MoveRows(std::size_t from, std::size_t nRows, std::size_t to) {
  if (from == to || nRows == 0) return;
  for (std::size_t j = 0; j < uses_.size(); ++j) {
    std::copy_n(values_[j].begin() + static_cast<std::ptrdiff_t>(from), nRows,
                values_[j].begin() + static_cast<std::ptrdiff_t>(to));
    if (uses_[j] == ColumnUse::Categories)
      std::move(texts_[j].begin() + static_cast<std::ptrdiff_t>(from),
                texts_[j].begin() + static_cast<std::ptrdiff_t>(from + nRows),
                texts_[j].begin() + static_cast<std::ptrdiff_t>(to));
  }
  std::copy_n(lines_.begin() + static_cast<std::ptrdiff_t>(from), nRows,
              lines_.begin() + static_cast<std::ptrdiff_t>(to));
}

void ColumnStore::ShiftLines(std::size_t first, std::size_t nRows, std::ptrdiff_t delta) {
  for (std::size_t i = first; i < first + nRows; ++i)
    lines_[i] = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(lines_[i]) + delta);
}

void ColumnStore::AddHasText(const std::vector<char>& hasText) {
  for (std::size_t j = 0; j < hasText_.size() && j < hasText.size(); ++j)
    hasText_[j] = static_cast<char>(hasText_[j] | hasText[j]);
}

void ColumnStore::MoveInto(CsvTable& table) {
  table.columns = std::move(values_);
  table.rowLines = std::move(lines_);
  table.categories.assign(table.columns.size(), {});
  for (std::size_t j = 0; j < table.columns.size(); ++j) {
    if (hasText_[j] == 0) continue;
    std::unordered_map<std::string, int> codes;
    std::vector<std::string>& categories = table.categories[j];
    std::vector<double>& column = table.columns[j];
    for (std::size_t i = 0; i < column.size(); ++i) {
      std::string& text = texts_[j][i];
      if (text.empty()) continue;  // missing stays missing
      auto [it, added] = codes.try_emplace(text, static_cast<int>(categories.size()));
      if (added) categories.push_back(text);
      column[i] = it->second;
    }
  }
  texts_.clear();
}

}  // namespace kqcli::csv
