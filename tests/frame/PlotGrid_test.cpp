#include "frame/detail/PlotGrid.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "companion/KQMV.h"

using namespace KQBSN_850;
using namespace KQCommon_850;

TEST(PlotGrid, IndexedPointsAreLowerPlusKStepsAccumulatedOnesAddTheStep) {
  // 0.1 + k (1.3 - 0.1)/6 in doubles, k = 0..6 (Python: [0.1 + k * ((1.3 - 0.1) / 6) for k in range(7)]);
  // the last point is 1.3 itself.
  EXPECT_EQ(PlotGrid(Range{0.1, 1.3}, 7, GridSpacing::Indexed),
            (std::vector<double>{0.1, 0.3, 0.5, 0.7, 0.8999999999999999, 1.0999999999999999, 1.3}));
  // R: Reduce(`+`, rep((1.3 - 0.1)/6, 6), 0.1, accumulate = TRUE); the last point is the running sum's.
  EXPECT_EQ(PlotGrid(Range{0.1, 1.3}, 7, GridSpacing::Accumulated),
            (std::vector<double>{0.10000000000000001, 0.29999999999999999, 0.5, 0.69999999999999996,
                                 0.89999999999999991, 1.0999999999999999, 1.2999999999999998}));
}

TEST(PlotGrid, EdgeCountsAndUnusableRanges) {
  const double missing = KQCommon_850::KQMV::Missing(), inf = std::numeric_limits<double>::infinity();
  for (GridSpacing spacing : {GridSpacing::Indexed, GridSpacing::Accumulated}) {
    // One point is the lower end alone; no points for a count below one or a missing or infinite end.
    EXPECT_EQ(PlotGrid(Range{0.3, 0.9}, 1, spacing), (std::vector<double>{0.3}));
    EXPECT_TRUE(PlotGrid(Range{0.3, 0.9}, 0, spacing).empty());
    EXPECT_TRUE(PlotGrid(Range{missing, 1.3}, 7, spacing).empty());
    EXPECT_TRUE(PlotGrid(Range{0.1, missing}, 7, spacing).empty());
    EXPECT_TRUE(PlotGrid(Range{-inf, 0.1}, 1, spacing).empty());
  }
}
