#include "companion/KQContStats.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQMV.h"
#include "tests/support/ExpectNearRel.h"

namespace {

using KQCommon_850::KQMV;
using KQMath_850::KQContStats;

// A double near 1e9 has a unit in the last place of 2^-23 = 1.2e-16 relative; the means are asked to
// be within about two of those.
constexpr double kMeanTol = 2.5e-16;

struct WeightedValue {
  double x;
  double weight;
};

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
// tolerances used here.
void ExpectTwoPassLongDouble(const KQContStats& stats, const std::vector<WeightedValue>& data) {
  long double sumWeights = 0, sum = 0, squares = 0;
  for (const auto& [x, weight] : data) {
    sumWeights += weight;
    sum += static_cast<long double>(weight) * x;
  }
  const long double mean = sum / sumWeights;
  for (const auto& [x, weight] : data) squares += weight * (x - mean) * (x - mean);
  EXPECT_NEAR_REL(stats.GetMean(), static_cast<double>(mean), kMeanTol);
  EXPECT_NEAR_REL(stats.GetVariance(), static_cast<double>(squares / (sumWeights - 1)), 1e-12);
  EXPECT_EQ(stats.GetSumFreqWeights(), static_cast<double>(sumWeights));
}

TEST(KQContStats, ClosedFormArithmeticSequenceWithLargeOffset) {
  // x_j = 1e9 + j h, j = 0 .. n - 1, h = 2^-10 (every value exact in double). By hand: mean =
  // 1e9 + h (n - 1) / 2 and the sample variance of an arithmetic sequence is h^2 n (n + 1) / 12.
  const int n = 1001;
  const double h = 1.0 / 1024.0;
  KQContStats stats;
  for (int j = 0; j < n; ++j) stats.Update(1e9 + j * h, 1.0);
  EXPECT_NEAR_REL(stats.GetMean(), 1e9 + h * (n - 1) / 2.0, kMeanTol);
  EXPECT_NEAR_REL(stats.GetVariance(), h * h * n * (n + 1) / 12.0, 1e-13);
  EXPECT_EQ(stats.GetMin(), 1e9);
  EXPECT_EQ(stats.GetMax(), 1e9 + (n - 1) * h);
}

TEST(KQContStats, MatchesTwoPassOnLargeOffsetsDriftAndTimestamps) {
  // A sum-of-squares formula loses all digits here (x^2 ~ 1e18 against a variance ~ 0.75); the running
  // update must keep close to full precision. Values are gathered in blocks around the running mean; a
  // first value far from the rest, a mean that drifts across blocks and epoch timestamps near 1.7e9 with
  // a spread of 0.1 (steps of 2^-22 in the doubles) must not cost digits either.
  std::vector<WeightedValue> drifting = LargeOffsetData(5000);
  drifting.insert(drifting.begin(), {1e9 + 4096.0, 2.0});
  for (std::size_t i = 0; i < drifting.size(); ++i) drifting[i].x += 1e-3 * static_cast<double>(i);
  std::vector<WeightedValue> timestamps;
  for (int j = 1; j <= 1000; ++j) timestamps.push_back({1.7e9 + 0.1 * std::sin(j), 1.0 + j % 2});
  for (const auto& data : {LargeOffsetData(10000), drifting, timestamps}) {
    const KQContStats stats = Accumulate(data);
    ExpectTwoPassLongDouble(stats, data);
    EXPECT_EQ(stats.GetSumWeights(), stats.GetSumFreqWeights());
  }
}

TEST(KQContStats, FrequencyWeightsMatchRAndRepeatedCases) {
  // R: x <- c(2.5, 3, 7, 1.25); w <- c(1, 3, 2, 1)
  //    print(mean(rep(x, w)), digits = 17); print(var(rep(x, w)), digits = 17)
  const KQContStats stats = Accumulate({{2.5, 1}, {3, 3}, {7, 2}, {1.25, 1}});
  EXPECT_NEAR_REL(stats.GetMean(), 3.8214285714285716, 1e-15);
  EXPECT_NEAR_REL(stats.GetStdDev(), std::sqrt(5.0982142857142856), 1e-14);
  EXPECT_EQ(stats.GetSumFreqWeights(), 7.0);
  // A weight of k equals the case k times.
  const std::vector<WeightedValue> data = LargeOffsetData(50);
  std::vector<WeightedValue> repeated;
  for (const auto& [x, weight] : data)
    for (int copy = 0; copy < static_cast<int>(weight); ++copy) repeated.push_back({x, 1.0});
  const KQContStats weighted = Accumulate(data), copies = Accumulate(repeated);
  EXPECT_NEAR_REL(weighted.GetMean(), copies.GetMean(), kMeanTol);
  EXPECT_NEAR_REL(weighted.GetVariance(), copies.GetVariance(), 1e-13);
}

TEST(KQContStats, RegressionWeightScalesMomentsButNotCount) {
  // By hand: x = {1, 4} with regression weights {1, 2}: mean = (1 + 8) / 3 = 3,
  // M2 = 1 (1 - 3)^2 + 2 (4 - 3)^2 = 6, n = 2 cases, so variance = 6 / (2 - 1) = 6 and W = 3.
  KQContStats stats, plain, unit;
  stats.Update(1.0, 1.0, 1.0);
  stats.Update(4.0, 1.0, 2.0);
  EXPECT_NEAR_REL(stats.GetMean(), 3.0, 1e-15);
  EXPECT_NEAR_REL(stats.GetVariance(), 6.0, 1e-15);
  EXPECT_EQ(stats.GetSumFreqWeights(), 2.0);
  EXPECT_EQ(stats.GetSumWeights(), 3.0);
  // No regression weight means a regression weight of 1.
  for (double x : {1.0, 4.0}) {
    plain.Update(x, x == 1.0 ? 2.0 : 1.0, KQContStats::kNoRegressionWeight);
    unit.Update(x, x == 1.0 ? 2.0 : 1.0, 1.0);
  }
  EXPECT_EQ(plain.GetVariance(), unit.GetVariance());
}

TEST(KQContStats, IgnoresMissingValuesAndUnusableWeights) {
  KQContStats stats;
  stats.Update(2.0, 1.0);
  for (double x : {KQMV::Missing(), std::nan("")}) stats.Update(x, 1.0);
  for (double weight : {0.0, -1.0, KQMV::Missing(), std::nan("")}) stats.Update(100.0, weight);
  for (double regression : {-2.0, KQMV::Missing()}) stats.Update(100.0, 1.0, regression);
  stats.Update(4.0, 1.0);
  // Only 2 and 4 count: mean 3, variance ((2 - 3)^2 + (4 - 3)^2) / 1 = 2.
  EXPECT_EQ(stats.GetMean(), 3.0);
  EXPECT_EQ(stats.GetVariance(), 2.0);
  EXPECT_EQ(stats.GetSumFreqWeights(), 2.0);
  EXPECT_EQ(stats.GetMax(), 4.0);
}

TEST(KQContStats, EmptyAndSingleCase) {
  KQContStats stats;
  for (double value : {stats.GetMean(), stats.GetVariance(), stats.GetStdDev(), stats.GetMin()})
    EXPECT_TRUE(KQMV::IsMissing(value));
  stats.Update(-7.5, 1.0);
  EXPECT_EQ(stats.GetMean(), -7.5);
  EXPECT_TRUE(KQMV::IsMissing(stats.GetVariance()));
  // A single case of weight 3 is three equal cases: variance 0, no longer missing.
  stats.Reset();
  stats.Update(-7.5, 3.0);
  EXPECT_EQ(stats.GetVariance(), 0.0);
  EXPECT_EQ(stats.GetMin(), -7.5);
}

TEST(KQContStats, MergeEqualsOneAccumulator) {
  const std::vector<WeightedValue> data = LargeOffsetData(3001);
  KQContStats first = Accumulate({data.begin(), data.begin() + 1000}), empty;
  first.Merge(Accumulate({data.begin() + 1000, data.end()}));
  first.Merge(empty);
  ExpectTwoPassLongDouble(first, data);
  // Merging into an empty accumulator copies the other one.
  empty.Merge(first);
  EXPECT_EQ(empty.GetVariance(), first.GetVariance());
  EXPECT_EQ(empty.GetMin(), first.GetMin());
  EXPECT_EQ(empty.GetMax(), first.GetMax());
}

// sd(1:7) in R: 2.1602468994692869; the mean is 4. Values u * j for a unit u far from 1 must give
// u times those, in either order of the values, through Merge too and after more than one block.
constexpr double kSdOneToSeven = 2.1602468994692869;

TEST(KQContStats, HugeAndTinyMagnitudesKeepTheirSpread) {
  for (double unit : {1e200, 1e-300, 1e300, 1e-310}) {
    KQContStats ascending, shuffled, firstHalf, secondHalf;
    for (int j = 1; j <= 7; ++j) ascending.Update(unit * j, 1.0);
    for (int j : {4, 1, 7, 2, 6, 3, 5}) shuffled.Update(unit * j, 1.0);
    for (int j = 1; j <= 7; ++j) (j <= 3 ? firstHalf : secondHalf).Update(unit * j, 1.0);
    firstHalf.Merge(secondHalf);
    // A subnormal unit (1e-310) carries its own representation error of up to 2^-1074 / 1e-310 = 5e-14.
    const double tolerance = unit < 1e-300 ? 1e-12 : 1e-15;
    for (const KQContStats* stats : {&ascending, &shuffled, &firstHalf}) {
      EXPECT_NEAR_REL(stats->GetStdDev(), kSdOneToSeven * unit, tolerance) << unit;
      EXPECT_NEAR_REL(stats->GetMean(), 4.0 * unit, tolerance) << unit;
    }
  }
  // Many blocks: 128 * 10 copies of each value give the variance 4 n / (n - 1), n = 8960 (by hand:
  // the population variance of 1..7 is 4). Weight 2 on each value gives 4 * 14 / 13.
  KQContStats many, weighted;
  for (int copy = 0; copy < 1280; ++copy)
    for (int j = 1; j <= 7; ++j) many.Update(1e200 * j, 1.0);
  EXPECT_NEAR_REL(many.GetStdDev(), 1e200 * std::sqrt(4.0 * 8960.0 / 8959.0), 1e-14);
  for (int j = 1; j <= 7; ++j) weighted.Update(1e-300 * j, 2.0);
  EXPECT_NEAR_REL(weighted.GetStdDev(), 1e-300 * std::sqrt(4.0 * 14.0 / 13.0), 1e-15);
}

TEST(KQContStats, MagnitudeThatAppearsAfterTheFirstValue) {
  // A first value of 0 or 1 says nothing of the data's scale: {0, u, .., 6u} has sd(0:6) u = sd(1:7) u,
  // and {1, u, .., 6u} differs from it by 1/u relative, below double precision for u = 1e200.
  for (const auto& [unit, first] : {std::pair{1e200, 0.0}, std::pair{1e-300, 0.0}, std::pair{1e200, 1.0}}) {
    KQContStats stats;
    stats.Update(first, 1.0);
    for (int j = 1; j <= 6; ++j) stats.Update(unit * j, 1.0);
    EXPECT_NEAR_REL(stats.GetStdDev(), kSdOneToSeven * unit, 1e-15) << unit;
    EXPECT_NEAR_REL(stats.GetMean(), 3.0 * unit, 1e-15) << unit;
  }
  // Huge values merged into tiny ones. In units of 1e200 the data are seven values within 1e-499 of 0
  // and 1 .. 7; by hand: mean 2, sum of squared deviations 140 - 14 * 2^2 = 84, variance 84 / 13.
  KQContStats huge, tiny;
  for (int j = 1; j <= 7; ++j) {
    huge.Update(1e200 * j, 1.0);
    tiny.Update(1e-300 * j, 1.0);
  }
  tiny.Merge(huge);
  EXPECT_NEAR_REL(tiny.GetStdDev(), 1e200 * std::sqrt(84.0 / 13.0), 1e-15);
}

}  // namespace
