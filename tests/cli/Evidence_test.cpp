#include "cli/Evidence.h"

#include <gtest/gtest.h>

#include <cmath>

#include "companion/KQMV.h"

using namespace kqcli;

TEST(Evidence, BandsOfJeffreysScaleOnBothSidesOfEachBoundary) {
  struct Band {
    double lower;  // the factor in favour where the band starts
    EvidenceStrength below;
    EvidenceStrength from;
  };
  const Band bands[] = {{3.0, EvidenceStrength::Anecdotal, EvidenceStrength::Moderate},
                        {10.0, EvidenceStrength::Moderate, EvidenceStrength::Strong},
                        {30.0, EvidenceStrength::Strong, EvidenceStrength::VeryStrong},
                        {100.0, EvidenceStrength::VeryStrong, EvidenceStrength::Extreme}};
  for (const Band& band : bands) {
    for (double sign : {1.0, -1.0}) {  // for the first hypothesis, then for the second
      const Evidence below = JudgeLogFactor(sign * std::log(band.lower * (1.0 - 1e-9)));
      const Evidence from = JudgeLogFactor(sign * std::log(band.lower * (1.0 + 1e-9)));
      EXPECT_EQ(below.strength, band.below) << band.lower;
      EXPECT_EQ(from.strength, band.from) << band.lower;
      EXPECT_EQ(below.favoursFirst, sign > 0.0);
      EXPECT_EQ(from.favoursFirst, sign > 0.0);
    }
  }
  EXPECT_EQ(JudgeLogFactor(std::log(1.5)).strength, EvidenceStrength::Anecdotal);
  EXPECT_EQ(JudgeLogFactor(0.0).strength, EvidenceStrength::None);
  EXPECT_EQ(JudgeLogFactor(KQCommon_850::KQMV::Missing()).strength, EvidenceStrength::None);
  EXPECT_EQ(JudgeLogFactor(-1e6).strength, EvidenceStrength::Extreme);
}

TEST(Evidence, VerdictStatesTheFactorItsReciprocalAndTheDirection) {
  EXPECT_EQ(EvidenceVerdict(0.25, false, "BF01", "BF10", "H0 (mean = 0)", "H1 (mean != 0)"),
            "BF01 = 0.25 (BF10 = 4): moderate evidence for H1 (mean != 0) over H0 (mean = 0)");
  EXPECT_EQ(EvidenceVerdict(40.0, false, "BF01", "BF10", "H0", "H1"),
            "BF01 = 40 (BF10 = 0.025): very strong evidence for H0 over H1");
  // A factor kept as its logarithm because it would overflow: exp(800).
  EXPECT_EQ(EvidenceVerdict(800.0, true, "BF01", "BF10", "H0", "H1"),
            "BF01 = exp(800) (BF10 = exp(-800)): extreme evidence for H0 over H1");
  EXPECT_EQ(EvidenceVerdict(1.0, false, "BF01", "BF10", "H0", "H1"),
            "BF01 = 1 (BF10 = 1): no evidence either way between H0 and H1");
  EXPECT_EQ(EvidenceVerdict(KQCommon_850::KQMV::Missing(), false, "BF01", "BF10", "H0", "H1"),
            "BF01 could not be computed");
  // Never "0" or "inf": a factor that left the double range is judged only from its logarithm.
  EXPECT_EQ(EvidenceVerdict(0.0, false, "BF01", "BF10", "H0", "H1"), "BF01 could not be computed");
  EXPECT_EQ(EvidenceVerdict(HUGE_VAL, false, "BF01", "BF10", "H0", "H1"), "BF01 could not be computed");
  EXPECT_EQ(EvidenceVerdict(-2.0, false, "BF01", "BF10", "H0", "H1"), "BF01 could not be computed");
}
