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
  auto uniform = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state >> 11) * 0x1.0p-53;
  };
  for (int i = 0; i < n; ++i) {
    const double u = uniform();
    const double v = uniform();
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

TEST(KQMeansXProdData, MatchesTwoPassOnWeightedLargeOffsetData) {
  // Raw sums of products (~1e18 each) would leave nothing of Sxy ~ 1e3 here.
  const std::vector<Case> cases = LargeOffsetCases(10000);
  KQMeansXProdData data(2, true);
  for (const Case& c : cases) EXPECT_TRUE(data.AddCase(c.values, c.weight));
  ExpectTwoPassLongDouble(data, cases);
}

TEST(KQMeansXProdData, ThreeVariablesMatchR) {
  // R: a <- c(1.5, 2.0, -0.5, 3.25, 4.0, 0.75); b <- c(10.0, 12.5, 9.0, 15.0, 13.5, 11.0)
  //    c3 <- c(-2.0, 0.5, 1.0, -1.5, 2.5, 0.0); w <- c(1, 2, 1, 3, 1, 2)
  //    X <- cbind(a, b, c3)[rep(1:6, w), ]; print(colMeans(X), digits = 17)
  //    print(crossprod(scale(X, scale = FALSE)), digits = 17); print(crossprod(X), digits = 17)
  const double a[] = {1.5, 2.0, -0.5, 3.25, 4.0, 0.75};
  const double b[] = {10.0, 12.5, 9.0, 15.0, 13.5, 11.0};
  const double c[] = {-2.0, 0.5, 1.0, -1.5, 2.5, 0.0};
  const double w[] = {1, 2, 1, 3, 1, 2};
  KQMeansXProdData centred(3, true), raw(3, false);
  for (int i = 0; i < 6; ++i) {
    centred.AddCase({a[i], b[i], c[i]}, w[i]);
    raw.AddCase({a[i], b[i], c[i]}, w[i]);
  }
  const double means[] = {2.02499999999999991, 12.44999999999999929, -0.20000000000000001};
  const double centredExpected[3][3] = {
      {18.30625, 25.1375, -2.075}, {25.1375, 42.725, -7.35}, {-2.075, -7.35, 18.1}};
  const double rawExpected[3][3] = {
      {59.3125, 277.25, -6.125}, {277.25, 1592.75, -32.25}, {-6.125, -32.25, 18.5}};
  const KQSymMatrix centredXProds = centred.GetXProds();
  const KQSymMatrix rawXProds = raw.GetXProds();
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR_REL(centred.GetMeans()[i], means[i], 1e-15) << i;
    for (int j = 0; j < 3; ++j) {
      EXPECT_NEAR_REL(centredXProds(i, j), centredExpected[i][j], 1e-14) << i << ", " << j;
      EXPECT_NEAR_REL(rawXProds(i, j), rawExpected[i][j], 1e-14) << i << ", " << j;
    }
  }
  EXPECT_EQ(raw.GetNCases(), 10.0);
}

TEST(KQMeansXProdData, WeightTwoEqualsCaseTwice) {
  const std::vector<Case> cases = LargeOffsetCases(60);
  std::vector<Case> repeated;
  KQMeansXProdData weighted(2, true);
  for (const Case& c : cases) {
    weighted.AddCase(c.values, c.weight);
    for (int copy = 0; copy < static_cast<int>(c.weight); ++copy) repeated.push_back({c.values, 1.0});
  }
  ExpectTwoPassLongDouble(weighted, repeated);
}

TEST(KQMeansXProdData, SkipsIncompleteCasesAndUnusableWeights) {
  KQMeansXProdData data(2, true);
  EXPECT_TRUE(KQMV::IsMissing(data.GetMeans()[0]));  // empty
  EXPECT_TRUE(data.AddCase({1.0, 3.0}, 1.0));
  EXPECT_FALSE(data.AddCase({KQMV::Missing(), 100.0}, 1.0));
  EXPECT_FALSE(data.AddCase({100.0, std::nan("")}, 1.0));
  for (double weight : {0.0, -1.0, KQMV::Missing()}) EXPECT_FALSE(data.AddCase({100.0, 100.0}, weight));
  EXPECT_TRUE(data.AddCase({2.0, 5.0}, 1.0));
  // By hand, cases (1, 3) and (2, 5): means 1.5 and 4; Sxx = 0.5, Syy = 2, Sxy = 1.
  EXPECT_EQ(data.GetMeans(), (std::vector<double>{1.5, 4.0}));
  EXPECT_EQ(data.GetXProds().AsVector(), (std::vector<double>{0.5, 1.0, 2.0}));
  EXPECT_EQ(data.GetNCases(), 2.0);
  // Reset empties the accumulator; the next case starts afresh.
  data.Reset();
  EXPECT_TRUE(KQMV::IsMissing(data.GetMeans()[1]));
  EXPECT_EQ(data.GetNCases(), 0.0);
  data.AddCase({-4.0, 8.0}, 1.0);
  EXPECT_EQ(data.GetMeans()[0], -4.0);
  EXPECT_EQ(data.GetXProds()(0, 0), 0.0);
}

TEST(KQMeansXProdData, MergeEqualsOneAccumulator) {
  const std::vector<Case> cases = LargeOffsetCases(3001);
  KQMeansXProdData first(2, true), second(2, true), empty(2, true);
  for (std::size_t i = 0; i < cases.size(); ++i)
    (i < 1200 ? first : second).AddCase(cases[i].values, cases[i].weight);
  first.Merge(second);
  first.Merge(KQMeansXProdData(2, true));
  ExpectTwoPassLongDouble(first, cases);
  empty.Merge(first);
  ExpectTwoPassLongDouble(empty, cases);
}

// x = u (1 .. 7), y = u (2, 1, 4, 3, 6, 5, 7) for a unit u far from 1. By hand: both means 4u, both
// centred sums of squares 28 u^2, the centred cross-product 25 u^2. u^2 overflows (1e200) or underflows
// (1e-300), so these are read on the variables' scales.
TEST(KQMeansXProdData, HugeAndTinyMagnitudesOnTheirScales) {
  const std::array<double, 7> ys{2, 1, 4, 3, 6, 5, 7};
  for (double unit : {1e200, 1e-300}) {
    for (bool fromZero : {false, true}) {
      KQMeansXProdData stats(2, true), firstPart(2, true), secondPart(2, true);
      // With fromZero the first case is the origin, which says nothing of the scales.
      if (fromZero) stats.AddCase({0.0, 0.0}, 1.0);
      for (int j = 1; j <= 7; ++j) {
        const std::vector<double> values{unit * j, unit * ys[static_cast<std::size_t>(j - 1)]};
        stats.AddCase(values, 1.0);
        (j <= 4 ? firstPart : secondPart).AddCase(values, 1.0);
      }
      firstPart.Merge(secondPart);
      // Eight cases with (0, 0): means 3.5u, Sxx = Syy = 140 - 8 * 3.5^2 = 42, Sxy = 137 - 98 = 39
      // (sum x y = 2 + 2 + 12 + 12 + 30 + 30 + 49 = 137).
      const double n = fromZero ? 8.0 : 7.0, mean = fromZero ? 3.5 : 4.0;
      const double sxx = fromZero ? 42.0 : 28.0, sxy = fromZero ? 39.0 : 25.0;
      for (const KQMeansXProdData* s : {&stats, &firstPart}) {
        if (fromZero && s == &firstPart) continue;
        const KQSymMatrix& scaled = s->GetScaledXProds();
        for (int i = 0; i < 2; ++i) {
          const double sd = std::ldexp(std::sqrt(scaled(i, i) / (n - 1.0)), s->GetScaleExponents()[i]);
          EXPECT_NEAR_REL(sd, unit * std::sqrt(sxx / (n - 1.0)), 1e-15) << unit << " variable " << i;
          EXPECT_NEAR_REL(s->GetMeans()[i], mean * unit, 1e-15) << unit;
        }
        EXPECT_NEAR_REL(scaled(0, 1) / std::sqrt(scaled(0, 0) * scaled(1, 1)), sxy / sxx, 1e-15) << unit;
      }
    }
  }
  // Data that grow by 1e200 after an ordinary first case: (1, 1) then u (1 .. 6, 1 .. 6). In units of u:
  // one case within 1e-200 of 0 and 1 .. 6, so Sxx = Syy = Sxy = 91 - 7 * 3^2 = 28.
  KQMeansXProdData growing(2, true), moderate(2, true);
  growing.AddCase({1.0, 1.0}, 1.0);
  for (int j = 1; j <= 6; ++j) growing.AddCase({1e200 * j, 1e200 * j}, 1.0);
  const KQSymMatrix& scaled = growing.GetScaledXProds();
  EXPECT_NEAR_REL(std::ldexp(std::sqrt(scaled(0, 0) / 6.0), growing.GetScaleExponents()[0]),
                  1e200 * std::sqrt(28.0 / 6.0), 1e-15);
  EXPECT_NEAR_REL(scaled(0, 1) / scaled(0, 0), 1.0, 1e-15);
  // Where the cross-products themselves are representable (u = 1e150: 28 u^2 = 2.8e301) they are exact too.
  for (int j = 1; j <= 7; ++j)
    moderate.AddCase({1e150 * j, 1e150 * ys[static_cast<std::size_t>(j - 1)]}, 1.0);
  EXPECT_NEAR_REL(moderate.GetXProds()(0, 0), 28.0 * 1e150 * 1e150, 1e-15);
  EXPECT_NEAR_REL(moderate.GetXProds()(0, 1), 25.0 * 1e150 * 1e150, 1e-15);
}

}  // namespace
