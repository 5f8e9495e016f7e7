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
#include <utility>
#include <vector>

#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"

namespace KQBSN_850::detail {

class ColumnBatch {
 public:
  /// Records per batch: the columns of a batch of ten variables stay within the first-level cache.
  static constexpr std::size_t kRows = 256;
  /// Doubles from one column's start to the next: more than kRows, so that the columns do not start
  /// at addresses 4 KiB apart (they would contend for the same cache sets).
  static constexpr std::size_t kStride = kRows + 8;

  /// A batch of nColumns columns whose values the pass computes (Add with a function).
  explicit ColumnBatch(std::size_t nColumns) : nColumns_(nColumns), values_(nColumns * kStride) {}
  /// A batch of the values at the given record positions (Add with the record's values); a position
  /// that a record does not hold, or a negative one, reads as missing.
  explicit ColumnBatch(std::vector<int> positions) : ColumnBatch(positions.size()) {
    positions_ = std::move(positions);
    for (int position : positions_) {
      if (position < 0) {
        positionsEnd_ = std::numeric_limits<std::size_t>::max();
        break;
      }
      positionsEnd_ = std::max(positionsEnd_, static_cast<std::size_t>(position) + 1);
    }
  }

  /// Adds a record: column c gets valueOf(c), for every column; the weights are the record's.
  template <class ValueOf>
  void Add(const CaseWeight& weight, ValueOf&& valueOf) {
    for (std::size_t c = 0; c < nColumns_; ++c) values_[c * kStride + nRows_] = valueOf(c);
    frequencyWeights_[nRows_] = weight.frequency;
    caseWeights_[nRows_] = weight.Product();
    ++nRows_;
  }
  /// Adds a record of a batch made with positions: column c gets the value at the c-th position.
  void Add(const CaseWeight& weight, const std::vector<double>& values) {
    if (values.size() >= positionsEnd_) {
      // The usual case: every position is within the record, so no check per value.
      Add(weight, [&](std::size_t c) { return values[static_cast<std::size_t>(positions_[c])]; });
    } else {
      Add(weight, [&](std::size_t c) { return ValueAt(values, positions_[c]); });
    }
  }
  bool IsFull() const noexcept { return nRows_ == kRows; }
  std::size_t Size() const noexcept { return nRows_; }

  /// Column c of the records added since the last Clear.
  std::span<const double> Column(std::size_t c) const noexcept {
    return {values_.data() + c * kStride, nRows_};
  }
  std::span<const double> FrequencyWeights() const noexcept { return {frequencyWeights_.data(), nRows_}; }
  /// The products of the frequency and regression weights.
  std::span<const double> CaseWeights() const noexcept { return {caseWeights_.data(), nRows_}; }
  void Clear() noexcept { nRows_ = 0; }

  /// Hands each column to consume(c, column, frequencyWeights, caseWeights) and empties the batch.
  template <class Consume>
  void Flush(Consume&& consume) {
    for (std::size_t c = 0; c < nColumns_ && nRows_ > 0; ++c)
      consume(c, Column(c), FrequencyWeights(), CaseWeights());
    Clear();
  }

 private:
  std::size_t nColumns_;
  std::vector<int> positions_;
  std::size_t positionsEnd_ = 0;  ///< records at least this long hold every position
  std::size_t nRows_ = 0;
  std::vector<double> values_;  // column c at [c * kStride, c * kStride + kRows)
  std::array<double, kRows> frequencyWeights_{};
  std::array<double, kRows> caseWeights_{};
};

}  // namespace KQBSN_850::detail
