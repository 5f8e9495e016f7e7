#include "frame/detail/RowBatch.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "companion/KQMV.h"
#include "frame/CaseWeights.h"

namespace {

using KQBSN_850::CaseWeight;
using KQBSN_850::detail::RowBatch;
using KQCommon_850::KQMV;

// A record whose value at position p is 100 + p, so that every copied value names its position.
std::vector<double> Record(int nValues) {
  std::vector<double> values;
  for (int p = 0; p < nValues; ++p) values.push_back(100.0 + p);
  return values;
}

// The value a row should hold for a position: 100 + p within a record of nValues, else missing.
double Expected(int position, int nValues) {
  return position >= 0 && position < nValues ? 100.0 + position : KQMV::Missing();
}

// Runs of consecutive positions of every length from 1 to 9 (copied in blocks of four, the last one
// overlapping), scattered positions, and a negative position; records long enough for every position
// and records too short for some. Each value must land at its place and every place past the values
// must stay missing.
TEST(RowBatch, RowsHoldTheValuesAtTheirPositions) {
  std::vector<std::vector<int>> lists{{7, 3, 11, 0}, {4, 5, 6, 2, -1}};
  for (int length = 1; length <= 9; ++length) {
    std::vector<int> run;
    for (int c = 0; c < length; ++c) run.push_back(2 + c);
    lists.push_back(run);
  }
  for (const std::vector<int>& positions : lists) {
    for (int nValues : {12, 20, 5}) {
      RowBatch batch(positions);
      batch.Add(CaseWeight{2.0, 1.0}, Record(nValues));
      batch.Add(CaseWeight{3.0, 1.0}, Record(nValues));
      ASSERT_EQ(batch.Size(), 2u);
      const std::size_t stride = batch.Stride();
      ASSERT_GE(stride, positions.size());
      for (std::size_t r = 0; r < 2; ++r) {
        for (std::size_t c = 0; c < stride; ++c) {
          const double expected = c < positions.size() ? Expected(positions[c], nValues) : KQMV::Missing();
          EXPECT_EQ(batch.Rows()[r * stride + c], expected) << "row " << r << " column " << c;
        }
      }
      EXPECT_EQ(batch.FrequencyWeights()[1], 3.0);
    }
  }
}

// Pairs: the first values start each row, the second ones follow at the second offset, and the rest
// of the row, at least a whole lane group past the offset, holds the missing value; both interleaved
// and consecutive lists, and regression weights.
TEST(RowBatch, PairsStartAtTheSecondOffset) {
  const std::vector<std::pair<std::vector<int>, std::vector<int>>> pairLists{
      {{0, 1, 2, 3, 4}, {5, 6, 7, 8, 9}}, {{0, 2, 4}, {1, 3, 5}}, {{9}, {8}}};
  for (const auto& [first, second] : pairLists) {
    RowBatch batch(first, second);
    constexpr std::size_t kLanes = KQMath_850::KQContStats::kRowLanes;
    ASSERT_GE(batch.SecondOffset(), first.size());
    EXPECT_GE(batch.Stride(), batch.SecondOffset() + (second.size() + kLanes - 1) / kLanes * kLanes);
    batch.Add(CaseWeight{1.0, 1.0}, Record(10));
    batch.Add(CaseWeight{2.0, 0.5}, Record(7));  // too short for positions 7 to 9
    for (std::size_t r = 0; r < 2; ++r) {
      const int nValues = r == 0 ? 10 : 7;
      const double* row = batch.Rows().data() + r * batch.Stride();
      for (std::size_t j = 0; j < first.size(); ++j) {
        EXPECT_EQ(row[j], Expected(first[j], nValues));
        EXPECT_EQ(row[batch.SecondOffset() + j], Expected(second[j], nValues));
      }
      for (std::size_t c = first.size(); c < batch.SecondOffset(); ++c) EXPECT_EQ(row[c], KQMV::Missing());
      for (std::size_t c = batch.SecondOffset() + second.size(); c < batch.Stride(); ++c)
        EXPECT_EQ(row[c], KQMV::Missing());
    }
    // The second record's case weight is 2 * 0.5, apart from its frequency weight 2.
    EXPECT_EQ(batch.CaseWeights()[1], 1.0);
    EXPECT_EQ(batch.FrequencyWeights()[1], 2.0);
  }
}

}  // namespace
