#include "companion/KQMeansXProdData.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQMV.h"
#include "tests/support/ExpectNearRel.h"

namespace {

using KQCommon_850::KQMV;
using KQMath_850::KQMeansXProdData;
using KQMath_850::KQSymMatrix;

struct Case {
  std::array<double, 2> values;
  double weight;
};

// Two correlated variables of means about 1e9 and -2e9 and spread about 1, whole weights 1 to 3, from a
// fixed linear congruential sequence.
std::vector<Case> LargeOffsetCases(int n) {
  std::vector<Case> cases;
  std::uint64_t state = 987654321;
  const auto uniform = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state >> 11) * 0x1.0p-53;
  };
  for (int i = 0; i < n; ++i) {
    const double u = uniform(), v = uniform();
    cases.push_back({{1e9 + u, -2e9 + 0.5 * u + v}, static_cast<double>(1 + (state >> 60) % 3)});
  }
  return cases;
}

// Two-pass reference in long double (64-bit significand): means, then centred cross-products. A double
// near 1e9 has a unit in the last place of 1.2e-16 relative; means are asked for about two.
void ExpectTwoPassLongDouble(const KQMeansXProdData& data, const std::vector<Case>& cases) {
  long double sumWeights = 0, sum[2] = {0, 0}, s[2][2] = {{0, 0}, {0, 0}};
  for (const Case& c : cases) {
    sumWeights += c.weight;
    for (int i = 0; i < 2; ++i) sum[i] += static_cast<long double>(c.weight) * c.values[i];
  }
  const long double mean[2] = {sum[0] / sumWeights, sum[1] / sumWeights};
  for (const Case& c : cases)
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j) s[i][j] += c.weight * (c.values[i] - mean[i]) * (c.values[j] - mean[j]);
  const KQSymMatrix xProds = data.GetXProds();
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR_REL(data.GetMeans()[i], static_cast<double>(mean[i]), 2.5e-16) << i;
    for (int j = 0; j <= i; ++j) EXPECT_NEAR_REL(xProds(i, j), static_cast<double>(s[i][j]), 1e-12) << i << j;
  }
  EXPECT_EQ(data.GetNCases(), static_cast<double>(sumWeights));
}

TEST(KQMeansXProdData, MatchesTwoPassOnWeightedLargeOffsetDataAlsoMerged) {
  // Raw sums of products (~1e18 each) would leave nothing of Sxy ~ 1e3 here.
  const std::vector<Case> cases = LargeOffsetCases(10000);
  KQMeansXProdData whole(2, true), first(2, true), second(2, true), empty(2, true);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_TRUE(whole.AddCase(cases[i].values, cases[i].weight));
    (i < 3001 ? first : second).AddCase(cases[i].values, cases[i].weight);
  }
  first.Merge(second);
  first.Merge(KQMeansXProdData(2, true));
  empty.Merge(first);  // into an empty accumulator: a copy
  ExpectTwoPassLongDouble(whole, cases);
  ExpectTwoPassLongDouble(empty, cases);
}

TEST(KQMeansXProdData, ThreeVariablesMatchR) {
  // R: a <- c(1.5, 2.0, -0.5, 3.25, 4.0, 0.75); b <- c(10.0, 12.5, 9.0, 15.0, 13.5, 11.0)
  //    c3 <- c(-2.0, 0.5, 1.0, -1.5, 2.5, 0.0); w <- c(1, 2, 1, 3, 1, 2)
  //    X <- cbind(a, b, c3)[rep(1:6, w), ]; print(colMeans(X), digits = 17)
  //    print(crossprod(scale(X, scale = FALSE)), digits = 17); print(crossprod(X), digits = 17)
  // The cross-products are compared packed: (1,1) (2,1) (2,2) (3,1) (3,2) (3,3).
  const double a[] = {1.5, 2.0, -0.5, 3.25, 4.0, 0.75}, b[] = {10.0, 12.5, 9.0, 15.0, 13.5, 11.0};
  const double c[] = {-2.0, 0.5, 1.0, -1.5, 2.5, 0.0}, w[] = {1, 2, 1, 3, 1, 2};
  KQMeansXProdData centred(3, true), raw(3, false);
  for (int i = 0; i < 6; ++i) {
    centred.AddCase({a[i], b[i], c[i]}, w[i]);
    raw.AddCase({a[i], b[i], c[i]}, w[i]);
  }
  const auto expectNear = [](const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR_REL(actual[i], expected[i], 1e-14) << i;
  };
  expectNear(centred.GetMeans(), {2.02499999999999991, 12.44999999999999929, -0.20000000000000001});
  expectNear(centred.GetXProds().AsVector(), {18.30625, 25.1375, 42.725, -2.075, -7.35, 18.1});
  expectNear(raw.GetXProds().AsVector(), {59.3125, 277.25, 1592.75, -6.125, -32.25, 18.5});
}

TEST(KQMeansXProdData, SkipsIncompleteCasesAndUnusableWeights) {
  KQMeansXProdData data(2, true);
  EXPECT_TRUE(KQMV::IsMissing(data.GetMeans()[0]));  // empty
  EXPECT_TRUE(data.AddCase({1.0, 3.0}, 1.0));
  EXPECT_FALSE(data.AddCase({KQMV::Missing(), 100.0}, 1.0) || data.AddCase({100.0, std::nan("")}, 1.0));
  for (double weight : {0.0, -1.0, KQMV::Missing()}) EXPECT_FALSE(data.AddCase({100.0, 100.0}, weight));
  EXPECT_TRUE(data.AddCase({2.0, 5.0}, 1.0));
  // By hand, cases (1, 3) and (2, 5): means 1.5 and 4; Sxx = 0.5, Syy = 2, Sxy = 1.
  EXPECT_EQ(data.GetMeans(), (std::vector<double>{1.5, 4.0}));
  EXPECT_EQ(data.GetXProds().AsVector(), (std::vector<double>{0.5, 1.0, 2.0}));
}

// (0, 0), then x = u (1 .. 7), y = u (2, 1, 4, 3, 6, 5, 7) for a unit u far from 1, in two accumulators
// merged; the first case, the origin, says nothing of the scales. By hand, eight cases: both means 3.5u,
// Sxx = Syy = (140 - 8 * 3.5^2) u^2 = 42 u^2, Sxy = (137 - 98) u^2 = 39 u^2 (sum x y = 137 u^2). u^2
// overflows (1e200) or underflows (1e-300), so these are read on the variables' scales.
TEST(KQMeansXProdData, HugeAndTinyMagnitudesOnTheirScales) {
  const std::array<double, 7> ys{2, 1, 4, 3, 6, 5, 7};
  for (double unit : {1e200, 1e-300}) {
    KQMeansXProdData firstPart(2, true), secondPart(2, true);
    firstPart.AddCase({0.0, 0.0}, 1.0);
    for (int j = 1; j <= 7; ++j)
      (j <= 4 ? firstPart : secondPart).AddCase({unit * j, unit * ys[static_cast<std::size_t>(j - 1)]}, 1.0);
    firstPart.Merge(secondPart);
    const KQSymMatrix& scaled = firstPart.GetScaledXProds();
    for (int i = 0; i < 2; ++i) {
      const double sd = std::ldexp(std::sqrt(scaled(i, i) / 7.0), firstPart.GetScaleExponents()[i]);
      EXPECT_NEAR_REL(sd, unit * std::sqrt(42.0 / 7.0), 1e-15) << unit << " variable " << i;
      EXPECT_NEAR_REL(firstPart.GetMeans()[i], 3.5 * unit, 1e-15) << unit;
    }
    EXPECT_NEAR_REL(scaled(0, 1) / std::sqrt(scaled(0, 0) * scaled(1, 1)), 39.0 / 42.0, 1e-15) << unit;
  }
  // Where the cross-products themselves are representable they are exact too: without the origin, by hand,
  // Sxx = 28 u^2 and Sxy = 25 u^2, for u = 1e150 2.8e301 and 2.5e301.
  KQMeansXProdData moderate(2, true);
  for (int j = 1; j <= 7; ++j)
    moderate.AddCase({1e150 * j, 1e150 * ys[static_cast<std::size_t>(j - 1)]}, 1.0);
  EXPECT_NEAR_REL(moderate.GetXProds()(0, 0), 28.0 * 1e150 * 1e150, 1e-15);
  EXPECT_NEAR_REL(moderate.GetXProds()(0, 1), 25.0 * 1e150 * 1e150, 1e-15);
}

}  // namespace

TEST(KQMeansXProdData, SelectedVariablesEqualTheirOwnAccumulatorAlsoMerged) {
  // Three variables of different magnitudes (so their scales differ); the selection of (2, 0) holds the
  // accumulator fed only those two: the same means, scales and case count, cross-products to rounding (the
  // k-variable update adds its products in another order), and merges with one that saw more cases alike.
  KQMeansXProdData all(3, true), pair(2, true), more(2, true);
  for (const Case& c : LargeOffsetCases(50)) {
    const double third = 1e-200 * c.values[1];
    all.AddCase({c.values[0], c.values[1], third}, c.weight);
    pair.AddCase({third, c.values[0]}, c.weight);
  }
  for (const Case& c : LargeOffsetCases(7)) more.AddCase({c.values[1] * 1e-200, c.values[0] + 3.0}, c.weight);
  const std::array<int, 2> chosen{2, 0};
  KQMeansXProdData selected = all.Select(chosen);
  const auto expectSame = [&] {
    EXPECT_EQ(selected.GetNCases(), pair.GetNCases());
    EXPECT_EQ(selected.GetScaleExponents(), pair.GetScaleExponents());
    for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR_REL(selected.GetMeans()[i], pair.GetMeans()[i], 1e-15);
    for (std::size_t i = 0; i < 3; ++i)
      EXPECT_NEAR_REL(selected.GetScaledXProds().AsVector()[i], pair.GetScaledXProds().AsVector()[i], 1e-13);
  };
  expectSame();
  selected.Merge(more);
  pair.Merge(more);
  expectSame();
}
