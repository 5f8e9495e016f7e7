#include "kernels/detail/JzsLogBf01.h"

#include <gtest/gtest.h>

#include <cmath>

#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/Fakes.h"

using namespace KQBSN_850;
using KQCommon_850::KQMV;

namespace {

// References: R 4.2.2, BayesFactor 0.9.12-4.4,
//   ttest.tstat(t = t, n1 = n, rscale = r, simple = FALSE)$bf, which is ln BF10 = -ln BF01.
// The tolerance is relative, wider where BayesFactor reports a proportional error or approximates.
const struct {
  double n, t, r, logBf10, tolerance;
} kReferences[] = {
    {10000, 60.8, 1.0, 1567.8166964429515, 1e-6},  // properror 0
    {100, 5.0, 0.5, 8.7478957303495299, 1e-9},     // properror 7e-13
    // n = 1e16 (1e4 cases of frequency weight 1e12) and n = 1e7, t = 1000: BayesFactor says "t is large;
    // approximation invoked" (a Laplace approximation), so the agreement asked is looser.
    {1e16, 60.8, 1.0, 1829.6735279028553, 1e-5},
    {1e7, 1000.0, 1.0, 476542.56432675064, 1e-6},
};

}  // namespace

TEST(JzsLogBf01, MatchesBayesFactorAlsoWhereTheFactorUnderflows) {
  for (const auto& ref : kReferences) {
    const JzsLogBf01Result result =
        JzsLogBf01(ref.n, ref.n - 1.0, ref.t, ref.r, {.tolerance = 1e-10, .maxIter = 2000});
    EXPECT_NEAR_REL(-result.logBf01, ref.logBf10, ref.tolerance) << "n " << ref.n << " t " << ref.t;
    EXPECT_TRUE(result.warnings.IsEmpty()) << "n " << ref.n << " t " << ref.t;
  }
}

TEST(JzsLogBf01, StarvedQuadratureFallsBackAndWarnsWithATableCode) {
  const JzsLogBf01Result result = JzsLogBf01(20, 19, 2.0, 1.0, {.maxIter = 3});
  ASSERT_EQ(result.warnings.Size(), 1u);
  EXPECT_EQ(result.warnings[0].GetErrorCode(), KQCommon_850::KQ_INTEGRATION_NOT_CONVERGED);
  // The fixed twenty-panel sum is rough but close: R integrate() gives BF01 = 1.0171381108658408.
  EXPECT_NEAR_REL(std::exp(result.logBf01), 1.0171381108658408, 0.05);
  KQCommon_850::KQWarnings analysisWarnings;
  AddJzsTableWarnings(result.warnings, analysisWarnings);
  ASSERT_EQ(analysisWarnings.Size(), 1u);
  EXPECT_EQ(analysisWarnings[0].GetErrorCode(), BSN_NUMERICAL_PROBLEM);
}

TEST(JzsLogBf01, InvalidInputsGiveMissingWithoutWarningAndCancellationStops) {
  for (auto [n, df, t, r] : {std::tuple{0.0, 4.0, 1.0, 1.0}, std::tuple{5.0, 0.0, 1.0, 1.0},
                             std::tuple{5.0, 4.0, KQMV::Missing(), 1.0}, std::tuple{5.0, 4.0, 1.0, 0.0}}) {
    const JzsLogBf01Result result = JzsLogBf01(n, df, t, r, JzsIntegration{});
    EXPECT_TRUE(KQMV::IsMissing(result.logBf01) && result.warnings.IsEmpty()) << n << " " << df << " " << r;
  }
  EXPECT_TRUE(KQMV::IsMissing(JzsLogBf01(20, 19, 2.0, 1.0, {.lower = 2.0, .upper = 1.0}).logBf01));
  kqtest::CancelAfter host(0);  // yes at the first question
  KQCommon_850::KQCancelInfo cancel(&host);
  const JzsLogBf01Result result = JzsLogBf01(20, 19, 2.0, 1.0, {.cancel = &cancel});
  EXPECT_TRUE(result.cancelled && KQMV::IsMissing(result.logBf01) && result.warnings.IsEmpty());
}
