// KQRandomValues: one seed, one stream; pinned uniform draws; each law's distribution and moments.

#include "companion/KQRandomValues.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQMV.h"

namespace {

using KQCommon_850::KQMV;
using KQMath_850::KQRandomValues;

std::vector<double> Draw(KQRandomValues& generator, int count) {
  std::vector<double> draws(count);
  for (double& x : draws) x = generator.GetRandom();
  return draws;
}

// A mixed sequence of calls, so that equal streams are not an accident of one law.
std::vector<double> MixedStream(KQRandomValues& generator) {
  std::vector<double> draws = Draw(generator, 5);
  generator.SetParamNormal(1.0, 2.0);
  for (double x : Draw(generator, 5)) draws.push_back(x);
  generator.SetParamGamma(0.5, 0.5);
  for (double x : Draw(generator, 5)) draws.push_back(x);
  generator.SetParamGamma(4.0, 1.0);
  for (double x : Draw(generator, 5)) draws.push_back(x);
  return draws;
}

TEST(KQRandomValues, OneSeedOneStream) {
  KQRandomValues first(2000000), second(2000000), other(2000001);
  const std::vector<double> stream = MixedStream(first);
  EXPECT_EQ(stream, MixedStream(second));  // bit for bit
  EXPECT_NE(stream, MixedStream(other));

  // Reseeding restarts the stream; the distribution set before the seed stays.
  KQRandomValues restarted(99);
  restarted.SetParamGamma(0.5, 0.5);
  const std::vector<double> gammaStream = Draw(restarted, 20);
  restarted.SetSeed(99);
  EXPECT_EQ(Draw(restarted, 20), gammaStream);
  // Setting the law does not move the engine: law first then seed equals seed first then law.
  KQRandomValues seedFirst(42), lawFirst;
  seedFirst.SetParamGamma(0.5, 0.5);
  lawFirst.SetParamGamma(0.5, 0.5);
  lawFirst.SetSeed(42);
  EXPECT_EQ(Draw(seedFirst, 20), Draw(lawFirst, 20));
}

TEST(KQRandomValues, PinnedUniformDraws) {
  // tests/reference/random_reference.py: an independent mt19937-64 and the uniform transform.
  KQRandomValues unit(2000000);
  EXPECT_EQ(Draw(unit, 5), (std::vector<double>{0.654485018830103, 0.6229197642611387, 0.1441509017360142,
                                                0.3052461928743251, 0.07699797831598745}));
  KQRandomValues symmetric(7);
  ASSERT_TRUE(symmetric.SetParamUniform(-1.0, 1.0));
  EXPECT_EQ(Draw(symmetric, 5),
            (std::vector<double>{0.508770608305716, 0.8986024057852884, -0.7651714379309638,
                                 0.7838263534249528, -0.7174568735924263}));
}

struct Law {
  const char* name;
  std::function<bool(KQRandomValues&)> set;
  double mean, variance, fourthCentralMoment;
  std::function<double(double)> cdf;  // closed form, worked by hand
};

TEST(KQRandomValues, DrawsFollowTheirLaw) {
  const double kSqrt2 = std::sqrt(2.0);
  // Gamma(k, rate) has variance k / rate^2 and fourth central moment 3k(k + 2) / rate^4.
  const std::vector<Law> laws{
      {"uniform [2, 5)", [](KQRandomValues& g) { return g.SetParamUniform(2.0, 5.0); }, 3.5, 0.75,
       81.0 / 80.0, [](double x) { return std::clamp((x - 2.0) / 3.0, 0.0, 1.0); }},
      {"normal (1.5, sd 2)", [](KQRandomValues& g) { return g.SetParamNormal(1.5, 2.0); }, 1.5, 4.0, 48.0,
       [=](double x) { return 0.5 * std::erfc(-(x - 1.5) / (2.0 * kSqrt2)); }},
      // Gamma(1/2, rate 1/2) is chi-square with 1 degree of freedom: P(X <= x) = erf(sqrt(x / 2)).
      {"gamma (0.5, 0.5)", [](KQRandomValues& g) { return g.SetParamGamma(0.5, 0.5); }, 1.0, 2.0, 60.0,
       [](double x) { return x <= 0.0 ? 0.0 : std::erf(std::sqrt(x / 2.0)); }},
      {"gamma (1, 4)", [](KQRandomValues& g) { return g.SetParamGamma(1.0, 4.0); }, 0.25, 1.0 / 16.0,
       9.0 / 256.0, [](double x) { return x <= 0.0 ? 0.0 : -std::expm1(-4.0 * x); }},
      // Erlang: P(X <= x) = 1 - exp(-2x) (1 + 2x + (2x)^2 / 2).
      {"gamma (3, 2)", [](KQRandomValues& g) { return g.SetParamGamma(3.0, 2.0); }, 1.5, 0.75, 45.0 / 16.0,
       [](double x) { return x <= 0.0 ? 0.0 : 1.0 - std::exp(-2.0 * x) * (1.0 + 2.0 * x + 2.0 * x * x); }},
  };
  constexpr int kDraws = 100000;
  for (const Law& law : laws) {
    SCOPED_TRACE(law.name);
    KQRandomValues generator(2000000);
    ASSERT_TRUE(law.set(generator));
    std::vector<double> draws = Draw(generator, kDraws);
    double sum = 0.0;
    for (double x : draws) sum += x;
    const double mean = sum / kDraws;
    double squares = 0.0;
    for (double x : draws) squares += (x - mean) * (x - mean);
    const double variance = squares / (kDraws - 1);
    // Five standard errors; the seed is fixed, so the outcome is too.
    EXPECT_NEAR(mean, law.mean, 5.0 * std::sqrt(law.variance / kDraws));
    EXPECT_NEAR(variance, law.variance,
                5.0 * std::sqrt((law.fourthCentralMoment - law.variance * law.variance) / kDraws));
    // Kolmogorov-Smirnov distance below its 0.1% critical value 1.95 / sqrt(n).
    std::sort(draws.begin(), draws.end());
    double distance = 0.0;
    for (int i = 0; i < kDraws; ++i) {
      const double f = law.cdf(draws[i]);
      distance =
          std::max({distance, f - static_cast<double>(i) / kDraws, static_cast<double>(i + 1) / kDraws - f});
    }
    EXPECT_LT(distance, 1.95 / std::sqrt(static_cast<double>(kDraws)));
  }
}

TEST(KQRandomValues, RefusedParametersGiveMissingDraws) {
  KQRandomValues generator(1);
  EXPECT_FALSE(generator.SetParamNormal(0.0, -1.0));
  EXPECT_TRUE(KQMV::IsMissing(generator.GetRandom()));
  EXPECT_FALSE(generator.SetParamGamma(0.0, 1.0));
  EXPECT_FALSE(generator.SetParamGamma(1.0, -2.0));
  EXPECT_FALSE(generator.SetParamGamma(std::nan(""), 1.0));
  EXPECT_FALSE(generator.SetParamUniform(3.0, 2.0));
  EXPECT_FALSE(generator.SetParamUniform(-1.7e308, 1.7e308));  // width overflows
  EXPECT_FALSE(generator.SetParamUniform(KQMV::Missing(), 0.0));
  EXPECT_TRUE(KQMV::IsMissing(generator.GetRandom()));
  // Degenerate but valid laws give their single value; valid parameters give draws again.
  ASSERT_TRUE(generator.SetParamNormal(2.5, 0.0));
  EXPECT_EQ(generator.GetRandom(), 2.5);
  ASSERT_TRUE(generator.SetParamUniform(4.0, 4.0));
  EXPECT_EQ(generator.GetRandom(), 4.0);
  ASSERT_TRUE(generator.SetParamGamma(2.0, 1.0));
  EXPECT_GT(generator.GetRandom(), 0.0);
}

}  // namespace
