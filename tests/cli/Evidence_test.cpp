#include "cli/Evidence.h"

#include <gtest/gtest.h>

#include <cmath>

#include "companion/KQMV.h"

using namespace kqcli;

TEST(Evidence, BandsOfJeffreysScaleOnBothSidesOfEachBoundary) {
  using E = EvidenceStrength;
  // The factor in favour where a band starts, the band below it and the band from it on.
  for (const auto& [lower, below, from] : {std::tuple{3.0, E::Anecdotal, E::Moderate},
                                           {10.0, E::Moderate, E::Strong},
                                           {30.0, E::Strong, E::VeryStrong},
                                           {100.0, E::VeryStrong, E::Extreme}}) {
    for (double sign : {1.0, -1.0}) {  // for the first hypothesis, then for the second
      EXPECT_EQ(JudgeLogFactor(sign * std::log(lower * (1.0 - 1e-9))).strength, below) << lower;
      const Evidence judged = JudgeLogFactor(sign * std::log(lower * (1.0 + 1e-9)));
      EXPECT_EQ(judged.strength, from) << lower;
      EXPECT_EQ(judged.favoursFirst, sign > 0.0);
    }
  }
  EXPECT_EQ(JudgeLogFactor(0.0).strength, E::None);
  EXPECT_EQ(JudgeLogFactor(KQCommon_850::KQMV::Missing()).strength, E::None);
}

TEST(Evidence, VerdictStatesTheFactorItsReciprocalAndTheDirection) {
  const auto verdict = [](double factor, bool isLog) {
    return EvidenceVerdict(factor, isLog, "BF01", "BF10", "H0 (mean = 0)", "H1 (mean != 0)");
  };
  // A factor kept as its logarithm because it would overflow: exp(800).
  EXPECT_EQ(verdict(800.0, true),
            "BF01 = exp(800) (BF10 = exp(-800)): extreme evidence for H0 (mean = 0) over H1 (mean != 0)");
  EXPECT_EQ(verdict(1.0, false),
            "BF01 = 1 (BF10 = 1): no evidence either way between H0 (mean = 0) and H1 (mean != 0)");
  // Never "0" or "inf": a factor that left the double range is judged only from its logarithm.
  for (double factor : {KQCommon_850::KQMV::Missing(), 0.0, HUGE_VAL, -2.0})
    EXPECT_EQ(verdict(factor, false), "BF01 could not be computed") << factor;
}
