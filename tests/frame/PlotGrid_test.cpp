#include "frame/detail/PlotGrid.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "companion/KQMV.h"

using namespace KQBSN_850;
using namespace KQCommon_850;

namespace {

const double kMissing = KQCommon_850::KQMV::Missing();
const double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(PlotGrid, IndexedPointsAreLowerPlusKSteps) {
  // [0, 1] in 4 steps of 1/4: every point is exact.
  EXPECT_EQ(PlotGrid(Range{0.0, 1.0}, 5), (std::vector<double>{0.0, 0.25, 0.5, 0.75, 1.0}));
  // 0.1 + k (1.3 - 0.1)/6 in doubles, k = 0..6 (Python: [0.1 + k * ((1.3 - 0.1) / 6) for k in range(7)]);
  // the last point is 1.3 itself.
  const std::vector<double> expected = {0.1, 0.3, 0.5, 0.7, 0.8999999999999999, 1.0999999999999999, 1.3};
  EXPECT_EQ(PlotGrid(Range{0.1, 1.3}, 7, GridSpacing::Indexed), expected);
  // Two points are the ends.
  EXPECT_EQ(PlotGrid(Range{-2.5, 4.0}, 2), (std::vector<double>{-2.5, 4.0}));
}

TEST(PlotGrid, AccumulatedPointsAddTheStepRepeatedly) {
  // R: Reduce(`+`, rep((1.3 - 0.1)/6, 6), 0.1, accumulate = TRUE); the last point is not 1.3 but the
  // running sum's 1.2999999999999998, where the indexed grid ends on 1.3.
  const std::vector<double> expected = {0.10000000000000001, 0.29999999999999999, 0.5,
                                        0.69999999999999996, 0.89999999999999991, 1.0999999999999999,
                                        1.2999999999999998};
  EXPECT_EQ(PlotGrid(Range{0.1, 1.3}, 7, GridSpacing::Accumulated), expected);
  // With exact steps the two spacings agree.
  EXPECT_EQ(PlotGrid(Range{0.0, 1.0}, 5, GridSpacing::Accumulated), PlotGrid(Range{0.0, 1.0}, 5));
}

TEST(PlotGrid, EdgeCountsAndUnusableRanges) {
  for (GridSpacing spacing : {GridSpacing::Indexed, GridSpacing::Accumulated}) {
    // One point is the lower end alone; no points for a count below one.
    EXPECT_EQ(PlotGrid(Range{0.3, 0.9}, 1, spacing), (std::vector<double>{0.3}));
    EXPECT_TRUE(PlotGrid(Range{0.3, 0.9}, 0, spacing).empty());
    EXPECT_TRUE(PlotGrid(Range{0.3, 0.9}, -4, spacing).empty());
    // A missing or infinite end leaves nothing to plot.
    EXPECT_TRUE(PlotGrid(Range{kMissing, 1.3}, 7, spacing).empty());
    EXPECT_TRUE(PlotGrid(Range{0.1, kMissing}, 7, spacing).empty());
    EXPECT_TRUE(PlotGrid(Range{0.1, kInf}, 7, spacing).empty());
    EXPECT_TRUE(PlotGrid(Range{-kInf, 0.1}, 1, spacing).empty());
  }
}
