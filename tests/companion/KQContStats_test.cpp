#include "companion/KQContStats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQMV.h"
#include "tests/support/ExpectNearRel.h"

namespace {

using KQCommon_850::KQMV;
using KQMath_850::KQContStats;

using WeightedValue = std::pair<double, double>;  // value, frequency weight

// Irregular data of mean about 1e9 and spread about 1, with whole weights 1 to 3: a fixed linear
// congruential sequence, so every run sees the same doubles.
std::vector<WeightedValue> LargeOffsetData(int n) {
  std::vector<WeightedValue> data;
  std::uint64_t state = 12345;
  for (int i = 0; i < n; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const double u = static_cast<double>(state >> 11) * 0x1.0p-53;
    data.push_back({1e9 + 3.0 * u, static_cast<double>(1 + (state >> 60) % 3)});
  }
  return data;
}

KQContStats Accumulate(const std::vector<WeightedValue>& data) {
  KQContStats stats;
  for (const auto& [x, weight] : data) stats.Update(x, weight);
  return stats;
}

// Two-pass reference in long double (64-bit significand on x86): the mean first, then the weighted
// squared deviations from it. With 11 more bits than double the reference is exact to far below the
// tolerances used here. A double near 1e9 has a unit in the last place of 1.2e-16 relative; the means
// are asked to be within about two of those.
void ExpectTwoPassLongDouble(const KQContStats& stats, const std::vector<WeightedValue>& data) {
  long double sumWeights = 0, sum = 0, squares = 0;
  for (const auto& [x, weight] : data) {
    sumWeights += weight;
    sum += static_cast<long double>(weight) * x;
  }
  const long double mean = sum / sumWeights;
  for (const auto& [x, weight] : data) squares += weight * (x - mean) * (x - mean);
  EXPECT_NEAR_REL(stats.GetMean(), static_cast<double>(mean), 2.5e-16);
  EXPECT_NEAR_REL(stats.GetVariance(), static_cast<double>(squares / (sumWeights - 1)), 1e-12);
  EXPECT_EQ(stats.GetSumFreqWeights(), static_cast<double>(sumWeights));
}

TEST(KQContStats, MatchesTwoPassOnLargeOffsetsDriftAndTimestamps) {
  // A sum-of-squares formula loses all digits here (x^2 ~ 1e18 against a variance ~ 0.75); the running
  // update must keep close to full precision. Values are gathered in blocks around the running mean; a
  // first value far from the rest, a mean that drifts across blocks and epoch timestamps near 1.7e9 with
  // a spread of 0.1 (steps of 2^-22 in the doubles) must not cost digits either.
  std::vector<WeightedValue> drifting = LargeOffsetData(5000);
  drifting.insert(drifting.begin(), {1e9 + 4096.0, 2.0});
  for (std::size_t i = 0; i < drifting.size(); ++i) drifting[i].first += 1e-3 * static_cast<double>(i);
  std::vector<WeightedValue> timestamps;
  for (int j = 1; j <= 1000; ++j) timestamps.push_back({1.7e9 + 0.1 * std::sin(j), 1.0 + j % 2});
  for (const auto& data : {LargeOffsetData(10000), drifting, timestamps}) {
    ExpectTwoPassLongDouble(Accumulate(data), data);
    // The same data in two accumulators merged, then copied into an empty one by Merge.
    KQContStats merged = Accumulate({data.begin(), data.begin() + 300}), copy;
    merged.Merge(Accumulate({data.begin() + 300, data.end()}));
    copy.Merge(merged);
    ExpectTwoPassLongDouble(copy, data);
  }
}

// The block path: the same data added in blocks of 256 rows (the last one short), with unusable
// values and weights mixed in, must meet the same two-pass reference. Each row holds the value in
// columns 0 and 2 and a missing value in column 1, with a stride of 4 (column 3 is padding): columns 0
// and 2 must agree with the reference, column 1 must stay empty. A block whose values need a larger
// scale, or hold an infinity, goes value by value and must too.
TEST(KQContStats, BlocksOfRowsMatchTwoPassAndSkipUnusableEntries) {
  constexpr std::size_t kStride = KQContStats::kRowLanes;
  std::vector<WeightedValue> timestamps;
  for (int j = 1; j <= 1000; ++j) timestamps.push_back({1.7e9 + 0.1 * std::sin(j), 1.0 + j % 2});
  std::vector<WeightedValue> rescaled = LargeOffsetData(700);
  for (std::size_t i = 500; i < rescaled.size(); ++i) rescaled[i].first *= 1e30;  // deviations past 2^64
  std::vector<WeightedValue> huge;
  for (int j = 1; j <= 600; ++j) huge.push_back({1e200 * (j % 7 + 1), 1.0});
  for (const auto& data : {LargeOffsetData(10001), timestamps, rescaled, huge}) {
    std::vector<double> rows, weights;
    const auto addRow = [&](double x, double weight) {
      rows.insert(rows.end(), {x, KQMV::Missing(), x, KQMV::Missing()});
      weights.push_back(weight);
    };
    for (std::size_t i = 0; i < data.size(); ++i) {
      addRow(data[i].first, data[i].second);
      if (i % 37 == 0) {  // entries the accumulators must skip
        addRow(KQMV::Missing(), 1.0);
        addRow(std::nan(""), 1.0);
        addRow(5.0, 0.0);
        addRow(5.0, std::nan(""));
        addRow(5.0, -2.0);
        addRow(5.0, KQMV::Missing());
      }
    }
    std::vector<KQContStats> stats(3);
    for (std::size_t r = 0; r < weights.size(); r += 256) {
      const std::size_t n = std::min<std::size_t>(256, weights.size() - r);
      const std::span<const double> w(weights.data() + r, n);
      KQContStats::UpdateRows(stats, {rows.data() + r * kStride, n * kStride}, kStride, w, w);
    }
    ExpectTwoPassLongDouble(stats[0], data);
    ExpectTwoPassLongDouble(stats[2], data);
    EXPECT_EQ(stats[1].GetSumWeights(), 0.0);
  }
  // An infinite value in a later block: the mean becomes infinite, as one by one.
  constexpr double kInf = std::numeric_limits<double>::infinity();
  std::vector<KQContStats> stats(1);
  KQContStats oneByOne;
  const std::vector<double> first{1.0, 0, 0, 0, 2.0, 0, 0, 0, 3.0, 0, 0, 0},
      second{5.0, 0, 0, 0, kInf, 0, 0, 0};
  const std::vector<double> ones(3, 1.0);
  KQContStats::UpdateRows(stats, first, kStride, ones, ones);
  KQContStats::UpdateRows(stats, second, kStride, {ones.data(), 2}, {ones.data(), 2});
  for (double x : {1.0, 2.0, 3.0, 5.0, kInf}) oneByOne.Update(x, 1.0);
  EXPECT_EQ(stats[0].GetMean(), oneByOne.GetMean());
  EXPECT_EQ(stats[0].GetMean(), kInf);
}

// Blocks whose every entry is usable are summed without presence or weight tests; a single missing
// value or NaN among them must still be left out, also where the data's scale keeps the missing value's
// deviation small enough for a block's sums (values near 1e290: the most negative double less the data's
// mean, over a scale near 1e290, is about 1e18), and a missing second value of a pair likewise. Each block
// holds 256 full rows and one spoiled entry (a value, or below, a weight); the reference is the two-pass sum
// of the usable values.
TEST(KQContStats, FullBlocksLeaveOutASingleUnusableEntry) {
  constexpr std::size_t kStride = KQContStats::kRowLanes;
  for (double scale : {1.0, 1e290, 1e-300}) {
    std::vector<WeightedValue> data = LargeOffsetData(1024);
    for (auto& entry : data) entry.first = (entry.first - 1e9) * scale;
    std::vector<double> rows, weights, pairRows;
    std::vector<WeightedValue> kept, keptDifferences;
    for (std::size_t i = 0; i < data.size(); ++i) {
      const double x = data[i].first, spoiled = i == 300 ? KQMV::Missing() : i == 700 ? std::nan("") : x;
      rows.insert(rows.end(), {spoiled, x, KQMV::Missing(), KQMV::Missing()});
      // Pairs (x, x / 2): column 0 loses its second value where the single column lost its value.
      pairRows.insert(pairRows.end(),
                      {x, KQMV::Missing(), KQMV::Missing(), KQMV::Missing(), spoiled == x ? x / 2 : spoiled,
                       KQMV::Missing(), KQMV::Missing(), KQMV::Missing()});
      weights.push_back(data[i].second);
      if (spoiled == x) {
        kept.push_back(data[i]);
        keptDifferences.push_back({x - x / 2, data[i].second});
      }
    }
    std::vector<KQContStats> stats(2), pairs(1);
    std::vector<double> largest(1, 0.0);
    for (std::size_t r = 0; r < weights.size(); r += 256) {
      const std::span<const double> w(weights.data() + r, 256);
      KQContStats::UpdateRows(stats, {rows.data() + r * kStride, 256 * kStride}, kStride, w, w);
      KQContStats::UpdateRowDifferences(pairs, {pairRows.data() + r * 2 * kStride, 256 * 2 * kStride},
                                        2 * kStride, kStride, w, w, largest);
    }
    ExpectTwoPassLongDouble(stats[0], kept);
    ExpectTwoPassLongDouble(stats[1], data);
    ExpectTwoPassLongDouble(pairs[0], keptDifferences);
  }
  // A single row without positive weights in an otherwise full block counts for nothing either: a
  // negative or missing frequency weight, or a case weight of 0 beside a positive frequency weight.
  // The first block settles the moments; the second, which holds the row, is summed as a block.
  for (const auto& [frequency, caseWeight] :
       {std::pair{-2.0, -2.0}, std::pair{KQMV::Missing(), 1.0}, std::pair{2.0, 0.0}}) {
    const std::vector<WeightedValue> data = LargeOffsetData(512);
    std::vector<double> rows, frequencies, caseWeights;
    std::vector<WeightedValue> kept;
    for (std::size_t i = 0; i < data.size(); ++i) {
      const bool spoiled = i == 300;
      rows.insert(rows.end(), {data[i].first, 0.0, 0.0, 0.0});
      frequencies.push_back(spoiled ? frequency : data[i].second);
      caseWeights.push_back(spoiled ? caseWeight : data[i].second);
      if (!spoiled) kept.push_back(data[i]);
    }
    std::vector<KQContStats> stats(1);
    for (std::size_t r = 0; r < data.size(); r += 256)
      KQContStats::UpdateRows(stats, {rows.data() + r * kStride, 256 * kStride}, kStride,
                              {frequencies.data() + r, 256}, {caseWeights.data() + r, 256});
    ExpectTwoPassLongDouble(stats[0], kept);
  }
}

// Pairs: rows hold x in column 0, a missing first value in column 1, and y at the second offset 4.
// The differences x - y of the timestamp pairs (a week apart, spread 0.1 s) must meet the two-pass
// reference of the differences, a pair with a missing or NaN value must count for nothing, and the
// largest magnitude is that of the present pairs' values.
TEST(KQContStats, BlocksOfPairsAddTheDifferencesOfPresentPairs) {
  constexpr std::size_t kOffset = KQContStats::kRowLanes, kStride = 2 * kOffset;
  std::vector<double> rows, weights;
  std::vector<WeightedValue> differences;
  for (int j = 1; j <= 700; ++j) {
    const double x = 1.7e9 + 604800.0 + 0.1 * std::sin(j), y = 1.7e9 + 0.05 * std::cos(j);
    const double skipped = j % 50 == 0 ? KQMV::Missing() : j % 51 == 0 ? std::nan("") : y;
    std::vector<double> row(kStride, KQMV::Missing());
    row[0] = x;
    row[kOffset] = skipped;
    row[kOffset + 1] = 3.0;  // its first value is missing
    rows.insert(rows.end(), row.begin(), row.end());
    weights.push_back(1.0 + j % 3);
    if (skipped == y) differences.push_back({x - y, 1.0 + j % 3});
  }
  std::vector<KQContStats> stats(2);
  std::vector<double> largest(2, 0.0);
  for (std::size_t r = 0; r < weights.size(); r += 256) {
    const std::size_t n = std::min<std::size_t>(256, weights.size() - r);
    const std::span<const double> w(weights.data() + r, n);
    KQContStats::UpdateRowDifferences(stats, {rows.data() + r * kStride, n * kStride}, kStride, kOffset, w, w,
                                      largest);
  }
  ExpectTwoPassLongDouble(stats[0], differences);
  EXPECT_EQ(stats[1].GetSumWeights(), 0.0);
  double most = 0.0;
  for (int j = 1; j <= 700; ++j)
    if (j % 50 != 0 && j % 51 != 0) most = std::max(most, 1.7e9 + 604800.0 + 0.1 * std::sin(j));
  EXPECT_EQ(largest[0], most);
  EXPECT_EQ(largest[1], 0.0);
}

// The largest magnitude of a pair's present values counts negative values by their size, looks at both
// values of each pair, and ignores the values of pairs that are not used (one value missing or NaN, or
// a weight of 0). A first block of one row gives each column settled moments, so that the second block
// is summed in vector lanes. By hand, column 0: pairs (1, 0.5), (-5, 3) and (2, -7) count, so the
// largest is 7; the differences 0.5, -8 and 9 have mean 0.5 and variance (0 + 8.5^2 + 8.5^2) / 2 =
// 72.25. Column 1: only its first pair (2, 1) counts; the value -9 of the second block has no partner.
TEST(KQContStats, BlocksOfPairsTakeLargestMagnitudesOfEitherSign) {
  constexpr std::size_t kOffset = KQContStats::kRowLanes, kStride = 2 * kOffset;
  // Each row: the first values of columns 0 and 1, padding, then the second values at the offset.
  std::vector<double> first, rows;
  const auto addRow = [](std::vector<double>& to, double x0, double x1, double y0, double y1) {
    const double m = KQMV::Missing();
    to.insert(to.end(), {x0, x1, m, m, y0, y1, m, m});
  };
  const double m = KQMV::Missing();
  addRow(first, 1.0, 2.0, 0.5, 1.0);
  addRow(rows, -5.0, -9.0, 3.0, m);  // column 0: difference -8
  addRow(rows, 2.0, m, -7.0, m);     // column 0: difference 9
  addRow(rows, -100.0, m, m, m);
  addRow(rows, 1.0, m, std::nan(""), m);
  addRow(rows, -50.0, -60.0, 40.0, 30.0);  // weight 0
  const std::vector<double> weights{1.0, 1.0, 1.0, 1.0, 0.0};
  std::vector<KQContStats> stats(2);
  std::vector<double> largest(2, 0.0);
  KQContStats::UpdateRowDifferences(stats, first, kStride, kOffset, {weights.data(), 1}, {weights.data(), 1},
                                    largest);
  KQContStats::UpdateRowDifferences(stats, rows, kStride, kOffset, weights, weights, largest);
  EXPECT_EQ(largest[0], 7.0);
  EXPECT_EQ(largest[1], 2.0);
  EXPECT_EQ(stats[0].GetSumFreqWeights(), 3.0);
  EXPECT_NEAR_REL(stats[0].GetMean(), 0.5, 1e-15);
  EXPECT_NEAR_REL(stats[0].GetVariance(), 72.25, 1e-15);
  EXPECT_EQ(stats[1].GetSumFreqWeights(), 1.0);
  EXPECT_EQ(stats[1].GetMean(), 1.0);
}

TEST(KQContStats, RegressionWeightsAndUnusableValuesOrWeights) {
  // By hand: x = {1, 4} with regression weights {1, 2}: mean = (1 + 8) / 3 = 3,
  // M2 = 1 (1 - 3)^2 + 2 (4 - 3)^2 = 6, n = 2 cases, so variance = 6 / (2 - 1) = 6.
  KQContStats regression, stats;
  regression.Update(1.0, 1.0, 1.0);
  regression.Update(4.0, 1.0, 2.0);
  EXPECT_NEAR_REL(regression.GetMean(), 3.0, 1e-15);
  EXPECT_NEAR_REL(regression.GetVariance(), 6.0, 1e-15);
  EXPECT_TRUE(KQMV::IsMissing(stats.GetMean()));  // empty
  stats.Update(2.0, 1.0);
  EXPECT_TRUE(KQMV::IsMissing(stats.GetVariance()));  // one case
  for (double x : {KQMV::Missing(), std::nan("")}) stats.Update(x, 1.0);
  for (double weight : {0.0, -1.0, KQMV::Missing(), std::nan("")}) stats.Update(100.0, weight);
  for (double badRegression : {-2.0, KQMV::Missing()}) stats.Update(100.0, 1.0, badRegression);
  stats.Update(4.0, 1.0);
  // Only 2 and 4 count: mean 3, variance ((2 - 3)^2 + (4 - 3)^2) / 1 = 2.
  EXPECT_TRUE(stats.GetMean() == 3.0 && stats.GetVariance() == 2.0);
  // A single case of weight 3 is three equal cases: variance 0, no longer missing.
  stats.Reset();
  stats.Update(-7.5, 3.0);
  EXPECT_TRUE(stats.GetVariance() == 0.0 && stats.GetMean() == -7.5);
}

// sd(1:7) in R: 2.1602468994692869; the mean is 4. Values u * j for a unit u far from 1 must give u
// times those, through Merge too, also when the scale appears only after a first value of 0, and when
// huge values are merged into tiny ones.
TEST(KQContStats, HugeAndTinyMagnitudesKeepTheirSpread) {
  constexpr double kSdOneToSeven = 2.1602468994692869;
  for (double unit : {1e200, 1e-300, 1e-310}) {
    KQContStats ascending, firstHalf, secondHalf, fromZero;
    fromZero.Update(0.0, 1.0);  // {0, u, .., 6u}: sd(0:6) u = sd(1:7) u, mean 3u
    for (int j = 1; j <= 7; ++j) {
      ascending.Update(unit * j, 1.0);
      (j <= 3 ? firstHalf : secondHalf).Update(unit * j, 1.0);
      if (j < 7) fromZero.Update(unit * j, 1.0);
    }
    firstHalf.Merge(secondHalf);
    // A subnormal unit (1e-310) carries its own representation error of up to 2^-1074 / 1e-310 = 5e-14.
    const double tolerance = unit < 1e-300 ? 1e-12 : 1e-15;
    for (const KQContStats* stats : {&ascending, &firstHalf, &fromZero}) {
      EXPECT_NEAR_REL(stats->GetStdDev() / unit, kSdOneToSeven, tolerance) << unit;
      EXPECT_NEAR_REL(stats->GetMean() / unit, stats == &fromZero ? 3.0 : 4.0, tolerance) << unit;
    }
  }
  // In units of 1e200 the merged data are seven values within 1e-499 of 0 and 1 .. 7; by hand: mean 2,
  // sum of squared deviations 140 - 14 * 2^2 = 84, variance 84 / 13.
  KQContStats huge, tiny;
  for (int j = 1; j <= 7; ++j) {
    huge.Update(1e200 * j, 1.0);
    tiny.Update(1e-300 * j, 1.0);
  }
  tiny.Merge(huge);
  EXPECT_NEAR_REL(tiny.GetStdDev(), 1e200 * std::sqrt(84.0 / 13.0), 1e-15);
}

}  // namespace
