#pragma once
// RowBatch: the values a pass takes from consecutive records at given positions, kept row by row with
// the records' weights, for accumulators that add a whole block of rows at once
// (KQContStats::UpdateRows, and UpdateRowDifferences for pairs). A row is padded to a multiple of the
// accumulators' lanes with missing values, which they skip; copying a record's values is a few moves
// when the positions are consecutive.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "companion/KQContStats.h"
#include "companion/KQMV.h"
#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"

namespace KQBSN_850::detail {

/// Copies the values at a list of record positions into a row.
class PositionGather {
 public:
  explicit PositionGather(std::vector<int> positions) : positions_(std::move(positions)) {
    bool consecutive = !positions_.empty() && positions_.front() >= 0;
    for (std::size_t c = 0; c < positions_.size(); ++c) {
      if (positions_[c] < 0) {
        end_ = kNever;
        consecutive = false;
        break;
      }
      end_ = std::max(end_, static_cast<std::size_t>(positions_[c]) + 1);
      consecutive = consecutive && positions_[c] == positions_.front() + static_cast<int>(c);
    }
    if (consecutive) first_ = static_cast<std::size_t>(positions_.front());
  }

  std::size_t Size() const noexcept { return positions_.size(); }

  /// Writes the values at the positions to row[0 .. Size()); a position that the record does not hold,
  /// or a negative one, gives the missing value.
  void Gather(double* row, const std::vector<double>& values) const {
    const std::size_t n = positions_.size();
    if (values.size() >= end_) {
      // The usual case: every position is within the record, so no check per value.
      if (first_ != kNever)
        CopyValues(row, values.data() + first_, n);
      else
        for (std::size_t c = 0; c < n; ++c) row[c] = values[static_cast<std::size_t>(positions_[c])];
    } else {
      for (std::size_t c = 0; c < n; ++c) row[c] = ValueAt(values, positions_[c]);
    }
  }

 private:
  static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

  // Copies n doubles in fixed blocks of four, which compile to a few moves, where a copy of a length
  // known only at run time would call the library's memcpy for each record.
  static void CopyValues(double* to, const double* from, std::size_t n) noexcept {
    std::size_t c = 0;
    for (; c + 4 <= n; c += 4) std::memcpy(to + c, from + c, 4 * sizeof(double));
    for (; c < n; ++c) to[c] = from[c];
  }

  std::vector<int> positions_;
  std::size_t end_ = 0;         ///< records at least this long hold every position
  std::size_t first_ = kNever;  ///< the first position when the positions are consecutive
};

class RowBatch {
 public:
  /// Records per batch.
  static constexpr std::size_t kRows = 256;

  /// A batch of the values at the given record positions.
  explicit RowBatch(std::vector<int> positions) : RowBatch(PositionGather(std::move(positions)), {}) {}
  /// A batch of pairs: the values at the first positions start each row, those at the second positions
  /// (as many) start at SecondOffset(), the first whole lane after them.
  RowBatch(std::vector<int> first, std::vector<int> second)
      : RowBatch(PositionGather(std::move(first)), {PositionGather(std::move(second))}) {}

  /// Adds a record's values at the positions, with its weights.
  void Add(const CaseWeight& weight, const std::vector<double>& values) {
    double* row = values_.data() + nRows_ * stride_;
    first_.Gather(row, values);
    for (const PositionGather& second : second_) second.Gather(row + secondOffset_, values);
    frequencyWeights_[nRows_] = weight.frequency;
    caseWeights_[nRows_] = weight.Product();
    hasRegressionWeights_ = hasRegressionWeights_ || weight.regression != 1.0;
    ++nRows_;
  }
  bool IsFull() const noexcept { return nRows_ == kRows; }
  std::size_t Size() const noexcept { return nRows_; }

  /// The rows added since the last Clear, each Stride() values apart.
  std::span<const double> Rows() const noexcept { return {values_.data(), nRows_ * stride_}; }
  std::size_t Stride() const noexcept { return stride_; }
  /// Where a row's second values start, for a batch of pairs; 0 otherwise.
  std::size_t SecondOffset() const noexcept { return secondOffset_; }
  std::span<const double> FrequencyWeights() const noexcept { return {frequencyWeights_.data(), nRows_}; }
  /// The products of the frequency and regression weights: the frequency weights themselves (the same
  /// span) while no record had a regression weight other than 1.
  std::span<const double> CaseWeights() const noexcept {
    return hasRegressionWeights_ ? std::span<const double>(caseWeights_.data(), nRows_) : FrequencyWeights();
  }
  void Clear() noexcept { nRows_ = 0; }

  /// Adds the rows to one accumulator per position and empties the batch.
  void AddTo(std::span<KQMath_850::KQContStats> stats) {
    if (nRows_ > 0)
      KQMath_850::KQContStats::UpdateRows(stats, Rows(), stride_, FrequencyWeights(), CaseWeights());
    Clear();
  }

 private:
  static constexpr std::size_t kLanes = KQMath_850::KQContStats::kRowLanes;
  static std::size_t WholeLanes(std::size_t n) noexcept {
    return std::max<std::size_t>((n + kLanes - 1) / kLanes, 1) * kLanes;
  }

  RowBatch(PositionGather first, std::vector<PositionGather> second)
      : first_(std::move(first)),
        second_(std::move(second)),
        secondOffset_(second_.empty() ? 0 : WholeLanes(first_.Size())),
        stride_(second_.empty() ? WholeLanes(first_.Size()) : secondOffset_ + WholeLanes(second_[0].Size())),
        values_(stride_ * kRows, KQCommon_850::KQMV::Missing()) {}

  PositionGather first_;
  std::vector<PositionGather> second_;  ///< one for a batch of pairs, none otherwise
  std::size_t secondOffset_;
  std::size_t stride_;
  std::size_t nRows_ = 0;
  bool hasRegressionWeights_ = false;
  std::vector<double> values_;  // row r at [r * stride_, (r + 1) * stride_)
  std::array<double, kRows> frequencyWeights_{};
  std::array<double, kRows> caseWeights_{};
};

}  // namespace KQBSN_850::detail
