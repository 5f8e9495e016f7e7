#pragma once
// RowBatch: the values a pass takes from consecutive records at given positions, kept row by row with
// the records' weights, for accumulators that add a whole block of rows at once
// (KQContStats::UpdateRows, and UpdateRowDifferences for pairs). A row is padded to a multiple of the
// accumulators' lanes with missing values, which they skip; copying a record's values is a few moves
// when the positions are consecutive.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "companion/KQContStats.h"
#include "companion/KQMV.h"
#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"

namespace KQBSN_850::detail {

/// Copies the values at lists of record positions into a row, each list to its own place in the row.
class PositionGather {
 public:
  /// A list of positions and where in the row its values start.
  struct Segment {
    std::vector<int> positions;
    std::size_t rowOffset = 0;
  };

  explicit PositionGather(std::vector<Segment> segments) {
    for (const Segment& segment : segments) {
      for (std::size_t c = 0; c < segment.positions.size(); ++c) {
        const int position = segment.positions[c];
        const std::size_t place = segment.rowOffset + c;
        places_.push_back({position, place});
        if (position < 0) {
          end_ = kNever;
          continue;
        }
        if (end_ != kNever) end_ = std::max(end_, static_cast<std::size_t>(position) + 1);
        // Consecutive positions going to consecutive places extend the last run.
        const auto from = static_cast<std::size_t>(position);
        if (!runs_.empty() && runs_.back().from + runs_.back().length == from &&
            runs_.back().to + runs_.back().length == place)
          ++runs_.back().length;
        else
          runs_.push_back({from, place, 1});
      }
    }
    if (!runs_.empty()) firstRun_ = runs_.front();
  }

  /// Writes the values at the positions to their places in the row; a position that the record does
  /// not hold, or a negative one, gives the missing value.
  void Gather(double* row, const std::vector<double>& values) const {
    if (values.size() >= end_) {
      // The usual case: every position is within the record, so no check per value, and runs of
      // consecutive positions are block copies; most often the positions are one run.
      if (runs_.size() == 1) {
        CopyValues(row + firstRun_.to, values.data() + firstRun_.from, firstRun_.length);
        return;
      }
      for (const Run& run : runs_) CopyValues(row + run.to, values.data() + run.from, run.length);
    } else {
      for (const auto& [position, place] : places_) row[place] = ValueAt(values, position);
    }
  }

 private:
  static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

  // Copies n doubles in fixed blocks of four, the last block ending at n (overlapping the one before
  // when n is not a multiple of four), which compile to a few moves: a copy of a length known only at
  // run time would call the library's memcpy, or a loop with a remainder, for each record.
  static void CopyValues(double* to, const double* from, std::size_t n) noexcept {
    constexpr std::size_t kBlock = 4;
    if (n < kBlock) {
      for (std::size_t c = 0; c < n; ++c) to[c] = from[c];
      return;
    }
    for (std::size_t c = 0; c + kBlock < n; c += kBlock)
      std::memcpy(to + c, from + c, kBlock * sizeof(double));
    std::memcpy(to + n - kBlock, from + n - kBlock, kBlock * sizeof(double));
  }

  struct Run {
    std::size_t from;  ///< the first position
    std::size_t to;    ///< its place in the row
    std::size_t length;
  };
  std::vector<Run> runs_;
  // runs_[0] once more, in the object: the one-run copy then reads its bounds without first loading the
  // vector's buffer, which the pass of pairs measured at a tenth of its time.
  Run firstRun_{0, 0, 0};
  std::vector<std::pair<int, std::size_t>> places_;  ///< every position with its place in the row
  std::size_t end_ = 0;                              ///< records at least this long hold every position
};

class RowBatch {
 public:
  /// Records per batch.
  static constexpr std::size_t kRows = 256;

  /// A batch of the values at the given record positions.
  explicit RowBatch(std::vector<int> positions) : RowBatch(std::move(positions), {}, false) {}
  /// A batch of pairs: the values at the first positions start each row, those at the second positions
  /// (as many) follow them at SecondOffset(), and the row holds the missing value from there on to its
  /// end, which is at least a whole lane group past SecondOffset() (the accumulators read the second
  /// values in whole lanes). Consecutive first and second positions make one run of the record to copy.
  RowBatch(std::vector<int> first, std::vector<int> second)
      : RowBatch(std::move(first), std::move(second), true) {}

  // The rows point into the batch's own buffer, which a move keeps and a copy would not.
  RowBatch(const RowBatch&) = delete;
  RowBatch& operator=(const RowBatch&) = delete;
  RowBatch(RowBatch&&) noexcept = default;
  RowBatch& operator=(RowBatch&&) noexcept = default;

  /// Adds a record's values at the positions, with its weights.
  void Add(const CaseWeight& weight, const std::vector<double>& values) {
    gather_.Gather(rows_ + nRows_ * stride_, values);
    frequencyWeights_[nRows_] = weight.frequency;
    caseWeights_[nRows_] = weight.Product();
    hasRegressionWeights_ = hasRegressionWeights_ || weight.regression != 1.0;
    ++nRows_;
  }
  bool IsFull() const noexcept { return nRows_ == kRows; }
  std::size_t Size() const noexcept { return nRows_; }

  /// The rows added since the last Clear, each Stride() values apart.
  std::span<const double> Rows() const noexcept { return {rows_, nRows_ * stride_}; }
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

  RowBatch(std::vector<int> first, std::vector<int> second, bool pairs)
      : secondOffset_(pairs ? first.size() : 0),
        stride_(pairs ? WholeLanes(secondOffset_ + WholeLanes(second.size())) : WholeLanes(first.size())),
        gather_({{std::move(first), 0}, {std::move(second), secondOffset_}}),
        values_(stride_ * kRows + kLineValues, KQCommon_850::KQMV::Missing()),
        rows_(FirstOnLine(values_.data())) {}

  // The rows start on a cache line, so that the accumulators' loads of whole lanes do not straddle
  // two lines where a row's lanes need not.
  static constexpr std::size_t kLineValues = 64 / sizeof(double);
  static double* FirstOnLine(double* values) noexcept {
    const auto offset = reinterpret_cast<std::uintptr_t>(values) / sizeof(double) % kLineValues;
    return values + (offset == 0 ? 0 : kLineValues - offset);
  }

  std::size_t secondOffset_;
  std::size_t stride_;
  PositionGather gather_;
  std::size_t nRows_ = 0;
  bool hasRegressionWeights_ = false;
  std::vector<double> values_;
  double* rows_;  // row r at [r * stride_, (r + 1) * stride_), within values_
  std::array<double, kRows> frequencyWeights_{};
  std::array<double, kRows> caseWeights_{};
};

}  // namespace KQBSN_850::detail
