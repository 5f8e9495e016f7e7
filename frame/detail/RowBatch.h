#pragma once
// RowBatch: the values a pass takes from consecutive records at given positions, kept row by row with
// the records' weights, for accumulators that add a whole block of rows at once
// (KQContStats::UpdateRows). A row is padded to a multiple of the accumulators' lanes with missing
// values, which they skip; copying a record's values is one contiguous copy when the positions are
// consecutive.

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

class RowBatch {
 public:
  /// Records per batch.
  static constexpr std::size_t kRows = 256;

  /// A batch of the values at the given record positions; a position that a record does not hold, or
  /// a negative one, reads as missing.
  explicit RowBatch(std::vector<int> positions)
      : positions_(std::move(positions)),
        stride_((positions_.size() + kLanes - 1) / kLanes * kLanes),
        values_(std::max<std::size_t>(stride_, kLanes) * kRows, KQCommon_850::KQMV::Missing()) {
    bool consecutive = !positions_.empty() && positions_.front() >= 0;
    for (std::size_t c = 0; c < positions_.size(); ++c) {
      if (positions_[c] < 0) {
        positionsEnd_ = kNever;
        consecutive = false;
        break;
      }
      positionsEnd_ = std::max(positionsEnd_, static_cast<std::size_t>(positions_[c]) + 1);
      consecutive = consecutive && positions_[c] == positions_.front() + static_cast<int>(c);
    }
    if (consecutive) first_ = static_cast<std::size_t>(positions_.front());
  }

  /// Adds a record's values at the positions, with its weights.
  void Add(const CaseWeight& weight, const std::vector<double>& values) {
    double* row = values_.data() + nRows_ * stride_;
    const std::size_t n = positions_.size();
    if (values.size() >= positionsEnd_) {
      // The usual case: every position is within the record, so no check per value.
      if (first_ != kNever)
        CopyValues(row, values.data() + first_, n);
      else
        for (std::size_t c = 0; c < n; ++c) row[c] = values[static_cast<std::size_t>(positions_[c])];
    } else {
      for (std::size_t c = 0; c < n; ++c) row[c] = ValueAt(values, positions_[c]);
    }
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
  // Copies n doubles in fixed blocks of four, which compile to a few moves, where a copy of a length
  // known only at run time would call the library's memcpy for each record.
  static void CopyValues(double* to, const double* from, std::size_t n) noexcept {
    std::size_t c = 0;
    for (; c + 4 <= n; c += 4) std::memcpy(to + c, from + c, 4 * sizeof(double));
    for (; c < n; ++c) to[c] = from[c];
  }

  static constexpr std::size_t kLanes = KQMath_850::KQContStats::kRowLanes;
  static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

  std::vector<int> positions_;
  std::size_t stride_;
  std::size_t positionsEnd_ = 0;  ///< records at least this long hold every position
  std::size_t first_ = kNever;    ///< the first position when the positions are consecutive
  std::size_t nRows_ = 0;
  bool hasRegressionWeights_ = false;
  std::vector<double> values_;  // row r at [r * stride_, r * stride_ + positions_.size())
  std::array<double, kRows> frequencyWeights_{};
  std::array<double, kRows> caseWeights_{};
};

}  // namespace KQBSN_850::detail
