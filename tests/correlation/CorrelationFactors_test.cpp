// The correlation Bayes factors and their integrands against R's integrate() (the values and the R code
// in tests/reference/correlation_reference.R and its .out tables).

#include <gtest/gtest.h>

#include <cmath>

#include "companion/KQMV.h"
#include "companion/KQPower.h"
#include "correlation/BayesFactor2DimMC.h"
#include "correlation/detail/CorrelationFactors.h"
#include "correlation/detail/CorrelationIntegrands.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using KQCommon_850::KQMV;

namespace {

const detail::CorrQuadrature kTight{1e-10, 4000};

}  // namespace

TEST(CorrelationFactors, JzsMatchesRIntegrateFromSmallSamplesToAMillion) {
  // Rows: r, n, ln BF01 by integrate() of the same integrand over [2.2e-16, 1e6]. BF01 within 1e-6 relative
  // is ln BF01 within 1e-6 absolute, also for factors far outside the double range (n = 1000, r = 0.9:
  // ln BF01 = -824.19; n = 1e4, r = -0.999: -31058.9).
  const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("correlation_jzs.out");
  ASSERT_EQ(rows.size(), 15u);
  for (const kqtest::ReferenceRow& row : rows) {
    const detail::CorrFactorResult result =
        detail::JzsCorrelationLogBf01(row.values[0], row.values[1], kTight);
    EXPECT_NEAR(result.logBf01, row.values[2], 1e-6) << "r = " << row.values[0] << ", n = " << row.values[1];
    EXPECT_EQ(result.warnings.Size(), 0u);
  }
  // With the analysis' default tolerance 1e-4 the factor is still within 1e-4 relative.
  EXPECT_NEAR(detail::JzsCorrelationLogBf01(0.3, 10, {1e-4, 2000}).logBf01, 1.095550476475631, 1e-4);
  // No factor for |r| = 1, a missing r or no case.
  for (const auto& [r, n] : {std::pair{1.0, 10.0}, {-1.0, 10.0}, {KQMV::Missing(), 10.0}, {0.5, 0.0}})
    EXPECT_TRUE(KQMV::IsMissing(detail::JzsCorrelationLogBf01(r, n, kTight).logBf01)) << r << " " << n;
}

TEST(CorrelationFactors, FractionalWithinMonteCarloErrorOfNestedIntegrate) {
  // Rows: r, n, rho0, b, ln BF01 by nested integrate() and the Monte Carlo standard error of ln BF01 for
  // 10000 draws (from the integrals of f^2). Four standard errors: a false alarm about once in 16000.
  const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("correlation_fractional.out");
  ASSERT_EQ(rows.size(), 3u);
  for (const kqtest::ReferenceRow& row : rows) {
    const std::vector<double>& v = row.values;
    BayesFactor2DimMC mc(v[3], 1.0, 0.0, 10000, 2000000);
    const detail::CorrFactorResult result =
        detail::FractionalCorrelationLogBf01(v[0], v[1], v[2], v[3], 10000, mc, kTight);
    EXPECT_NEAR(result.logBf01, v[4], 4.0 * v[5]) << "r = " << v[0] << ", n = " << v[1];
    // The same seed gives the same answer, bit for bit.
    BayesFactor2DimMC again(v[3], 1.0, 0.0, 10000, 2000000);
    EXPECT_EQ(detail::FractionalCorrelationLogBf01(v[0], v[1], v[2], v[3], 10000, again, kTight).logBf01,
              result.logBf01);
  }
  BayesFactor2DimMC mc(0.5, 1.0, 0.0, 10000, 1);
  EXPECT_TRUE(
      KQMV::IsMissing(detail::FractionalCorrelationLogBf01(1.0, 20, 0.0, 0.5, 10000, mc, kTight).logBf01));
}

TEST(BayesFactor2DimMC, InvalidSettingsAndNoDrawGiveMissingResults) {
  for (const auto& [b, n, r, draws] : {std::tuple{1.5, 10.0, 0.2, 100L},
                                       {0.0, 10.0, 0.2, 100L},
                                       {0.5, 0.0, 0.2, 100L},
                                       {0.5, 10.0, 1.2, 100L},
                                       {0.5, 10.0, 0.2, -1L}}) {
    BayesFactor2DimMC mc(b, n, r, draws, 1);
    EXPECT_FALSE(mc.IsValid());
    EXPECT_TRUE(KQMV::IsMissing(mc.ComputeBayesFactorFromLogs(0.0, 0.0)));
    EXPECT_TRUE(KQMV::IsMissing(mc.Integrate(0.0, 0.5)));
    double i1 = 0.0, ib = 0.0;
    mc.GetIntegrals(i1, ib);
    EXPECT_TRUE(KQMV::IsMissing(i1) && KQMV::IsMissing(ib));
    EXPECT_TRUE(KQMV::IsMissing(mc.GetLogRatioOfIntegrals()));
  }
  // No draw: a valid object, but no factor (never NaN or infinity).
  BayesFactor2DimMC none(0.5, 10.0, 0.2, 0, 1);
  EXPECT_TRUE(none.IsValid());
  EXPECT_TRUE(KQMV::IsMissing(none.ComputeBayesFactorFromLogs(0.0, 0.0)));
  // SetParams makes an invalid object valid. n = 1e4, r = 0.999: the integrands reach exp(1e4), the
  // integrals and their ratio, exp(a number above the largest exponent), are kept as logarithms.
  BayesFactor2DimMC mc(1.5, 10.0, 0.2, 100, 1);
  EXPECT_TRUE(mc.SetParams(0.5, 10000.0, 0.999, 2000));
  EXPECT_EQ(mc.ComputeBayesFactorFromLogs(0.0, 0.0), 0.0);  // exp(ln BF01) underflows; its log is kept
  EXPECT_GT(mc.GetLogRatioOfIntegrals(), KQMath_850::KQPower::gMachineMaxExp);
  EXPECT_NEAR_REL(mc.GetLogBayesFactor(), -mc.GetLogRatioOfIntegrals(), 1e-14);
}

TEST(CorrelationIntegrands, ValuesAtKnownPoints) {
  // JZS at g = 1, n = 10, r = 0: a = 4, b = 4.5, c = 1: 4 ln 2 - 4.5 ln 2 - 0 - 5 = -0.5 ln 2 - 5.
  JZSFunction jzs(10.0, 4.0, 1.0, 4.5);
  EXPECT_NEAR_REL(jzs.ComputeNI(1.0), std::exp(-0.5 * std::log(2.0) - 5.0), 1e-15);
  jzs.SetLogScale(-5.0);
  EXPECT_NEAR_REL(jzs.ComputeNI(1.0), std::exp(-0.5 * std::log(2.0)), 1e-15);
  jzs.SetLogScale(-1000.0);  // exp(L + 1000) overflows: missing, not infinity
  EXPECT_TRUE(KQMV::IsMissing(jzs.ComputeNI(1.0)));
  // Fraction function: v = 1, m = 0, k = 2, c = 3: base 2, (2/2)^3 / 1 = 1; base <= 0 (m = 2 at v = 1) gives
  // 0.
  FractionFunctionG1V fraction(0.0, 2.0, 3.0);
  EXPECT_NEAR_REL(fraction.ComputeNI(1.0), 1.0, 1e-15);
  EXPECT_NEAR_REL(fraction.ComputeNI(4.0), std::pow(2.0 / 2.5, 3.0) / 4.0, 1e-14);
  EXPECT_EQ(FractionFunctionG1V(2.0, 2.0, 3.0).ComputeNI(1.0), 0.0);
  // Two-dimensional: b = 1, n = 5, r = 0.5 at (v, rho) = (1, 0.5): e1 = 1, e2 = -4: 0.75 * 1.5^-4.
  BayesFactor2DimIF twoDim(1.0, 5.0, 0.5);
  EXPECT_NEAR_REL(twoDim.ComputeMC(1.0, 0.5), 0.75 * std::pow(1.5, -4.0), 1e-14);
  EXPECT_EQ(twoDim.ComputeMC(1.0, 1.0), 0.0);
  EXPECT_EQ(twoDim.ComputeMC(0.0, 0.5), 0.0);
  EXPECT_TRUE(KQMV::IsMissing(BayesFactor2DimIF(1.0, 5.0, 1.5).ComputeMC(1.0, 0.5)));
}
