#pragma once
// ColumnBatch: the values a pass takes from consecutive records, gathered column by column with the
// records' weights, so that the accumulators add whole columns in tight loops instead of one value per
// call. A pass adds each usable record's values (one per column) and hands the batch on whenever it
// is full and once more at the end.

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <span>
#include <vector>

#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"

namespace KQBSN_850::detail {

class ColumnBatch {
 public:
  /// Records per batch: the columns of a batch of ten variables stay within the first-level cache.
  static constexpr std::size_t kRows = 256;

  explicit ColumnBatch(std::size_t nColumns) : nColumns_(nColumns), values_(nColumns * kRows) {}
  /// A batch of the values at the given record positions (negative ones read as missing).
  explicit ColumnBatch(const std::vector<int>& positions) : ColumnBatch(positions.size()) {
    for (int position : positions) largestPosition_ = std::max(largestPosition_, position);
    for (int position : positions)
      if (position < 0) largestPosition_ = std::numeric_limits<int>::max();
  }

  /// Adds a record: column c gets valueOf(c), for every column; the weights are the record's.
  template <class ValueOf>
  void Add(const CaseWeight& weight, ValueOf&& valueOf) {
    for (std::size_t c = 0; c < nColumns_; ++c) values_[c * kRows + nRows_] = valueOf(c);
    frequencyWeights_[nRows_] = weight.frequency;
    caseWeights_[nRows_] = weight.Product();
    ++nRows_;
  }
  /// Adds a record whose columns are the values at the given positions (missing where the record is
  /// too short).
  void Add(const CaseWeight& weight, const std::vector<double>& values, const std::vector<int>& positions) {
    if (!positions.empty() && values.size() > static_cast<std::size_t>(largestPosition_)) {
      // The usual case: every position is within the record, so no check per value.
      Add(weight, [&](std::size_t c) { return values[static_cast<std::size_t>(positions[c])]; });
    } else {
      Add(weight, [&](std::size_t c) { return ValueAt(values, positions[c]); });
    }
  }
  bool IsFull() const noexcept { return nRows_ == kRows; }

  /// Hands each column to consume(c, values, frequencyWeights, caseWeights) and empties the batch.
  template <class Consume>
  void Flush(Consume&& consume) {
    const std::span<const double> frequency(frequencyWeights_.data(), nRows_);
    const std::span<const double> cases(caseWeights_.data(), nRows_);
    for (std::size_t c = 0; c < nColumns_ && nRows_ > 0; ++c)
      consume(c, std::span<const double>(values_.data() + c * kRows, nRows_), frequency, cases);
    nRows_ = 0;
  }

 private:
  std::size_t nColumns_;
  int largestPosition_ = -1;
  std::size_t nRows_ = 0;
  std::vector<double> values_;  // column c at [c * kRows, (c + 1) * kRows)
  std::array<double, kRows> frequencyWeights_{};
  std::array<double, kRows> caseWeights_{};
};

}  // namespace KQBSN_850::detail
