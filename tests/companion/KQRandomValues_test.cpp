// KQRandomValues: one seed, one stream; pinned uniform draws; each law's distribution.

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

TEST(KQRandomValues, OneSeedOneStream) {
  KQRandomValues first(42), second(42), other(43), lawFirst;
  for (KQRandomValues* generator : {&first, &second, &other, &lawFirst}) generator->SetParamGamma(0.5, 0.5);
  lawFirst.SetSeed(42);  // setting the law does not move the engine
  const std::vector<double> stream = Draw(first, 20);
  EXPECT_EQ(Draw(second, 20), stream);  // bit for bit
  EXPECT_EQ(Draw(lawFirst, 20), stream);
  EXPECT_NE(Draw(other, 20), stream);
  first.SetSeed(42);  // reseeding restarts the stream and keeps the law
  EXPECT_EQ(Draw(first, 20), stream);
}

TEST(KQRandomValues, PinnedUniformDraws) {
  // tests/reference/random_reference.py: an independent mt19937-64 and the uniform transform.
  KQRandomValues symmetric(7);
  ASSERT_TRUE(symmetric.SetParamUniform(-1.0, 1.0));
  EXPECT_EQ(Draw(symmetric, 5),
            (std::vector<double>{0.508770608305716, 0.8986024057852884, -0.7651714379309638,
                                 0.7838263534249528, -0.7174568735924263}));
}

TEST(KQRandomValues, DrawsFollowTheirLaw) {
  // Distribution functions in closed form, worked by hand; Gamma(1/2, rate 1/2) is chi-square with 1
  // degree of freedom, P(X <= x) = erf(sqrt(x / 2)); Gamma(3, 2) is Erlang, 1 - exp(-2x) (1 + 2x + 2x^2).
  const struct {
    const char* name;
    std::function<bool(KQRandomValues&)> set;
    std::function<double(double)> cdf;
  } laws[] = {
      {"normal (1.5, sd 2)", [](KQRandomValues& g) { return g.SetParamNormal(1.5, 2.0); },
       [](double x) { return 0.5 * std::erfc(-(x - 1.5) / (2.0 * std::sqrt(2.0))); }},
      {"gamma (0.5, 0.5)", [](KQRandomValues& g) { return g.SetParamGamma(0.5, 0.5); },
       [](double x) { return x <= 0.0 ? 0.0 : std::erf(std::sqrt(x / 2.0)); }},
      {"gamma (3, 2)", [](KQRandomValues& g) { return g.SetParamGamma(3.0, 2.0); },
       [](double x) { return x <= 0.0 ? 0.0 : 1.0 - std::exp(-2.0 * x) * (1.0 + 2.0 * x + 2.0 * x * x); }},
  };
  constexpr int kDraws = 100000;
  for (const auto& law : laws) {
    KQRandomValues generator(2000000);
    ASSERT_TRUE(law.set(generator));
    std::vector<double> draws = Draw(generator, kDraws);
    // Kolmogorov-Smirnov distance below its 0.1% critical value 1.95 / sqrt(n); the seed is fixed, so
    // the outcome is too.
    std::sort(draws.begin(), draws.end());
    double distance = 0.0;
    for (int i = 0; i < kDraws; ++i) {
      const double f = law.cdf(draws[static_cast<std::size_t>(i)]);
      distance = std::max({distance, f - static_cast<double>(i) / kDraws, (i + 1.0) / kDraws - f});
    }
    EXPECT_LT(distance, 1.95 / std::sqrt(static_cast<double>(kDraws))) << law.name;
  }
}

TEST(KQRandomValues, RefusedParametersGiveMissingDraws) {
  KQRandomValues generator(1);
  EXPECT_FALSE(generator.SetParamNormal(0.0, -1.0));
  EXPECT_FALSE(generator.SetParamGamma(0.0, 1.0) || generator.SetParamGamma(1.0, -2.0));
  EXPECT_FALSE(generator.SetParamUniform(3.0, 2.0) || generator.SetParamUniform(-1.7e308, 1.7e308));
  EXPECT_TRUE(KQMV::IsMissing(generator.GetRandom()));
  // Degenerate but valid laws give their single value.
  ASSERT_TRUE(generator.SetParamNormal(2.5, 0.0));
  EXPECT_EQ(generator.GetRandom(), 2.5);
  ASSERT_TRUE(generator.SetParamUniform(4.0, 4.0));
  EXPECT_EQ(generator.GetRandom(), 4.0);
}

}  // namespace
