// LobattoQuad: closed-form integrals, the one-sample JZS t integral against high-precision values,
// error and non-convergence reporting.

#include "companion/LobattoQuad.h"

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

namespace {

using KQCommon_850::KQ_INTEGRAND_NOT_FINITE;
using KQCommon_850::KQ_INTEGRATION_NOT_CONVERGED;
using KQCommon_850::KQMV;
using KQMath_850::IIntegrand;
using KQMath_850::LobattoQuad;

constexpr double kMachineEpsilon = 2.220446049250313e-16;

// Any one-variable function as an integrand.
class FunctionIntegrand : public IIntegrand {
 public:
  explicit FunctionIntegrand(std::function<double(double)> f) : f_(std::move(f)) {}
  double ComputeMC(double, double) override { return 0.0; }
  double ComputeNI(double x) override { return f_(x); }

 private:
  std::function<double(double)> f_;
};

// One-sample JZS t integrand with prior scale 1, in logs:
// f(g) = (1 + n g)^(-1/2) (1 + t^2 / ((1 + n g)(n - 1)))^(-n/2) (2 pi)^(-1/2) g^(-3/2) exp(-1/(2 g)), f(0) =
// 0.
FunctionIntegrand JzsIntegrand(double n, double t) {
  return FunctionIntegrand([n, t](double g) {
    if (g <= 0.0) return 0.0;
    return std::exp(-0.5 * std::log1p(n * g) - 0.5 * n * std::log1p(t * t / ((1.0 + n * g) * (n - 1.0))) -
                    0.5 * std::log(2.0 * std::numbers::pi) - 1.5 * std::log(g) - 0.5 / g);
  });
}

double Integrate(FunctionIntegrand& f, double a, double b, double tolerance) {
  LobattoQuad quad(f);
  quad.SetTolerance(tolerance);
  const double value = quad.Integrate(a, b);
  EXPECT_TRUE(quad.GetWarnings().IsEmpty()) << "[" << a << ", " << b << "]";
  return value;
}

TEST(LobattoQuad, BasicRuleClosedFormsAndNarrowPeaksOverWideRanges) {
  // On [-1, 1] the weights 77, 432, 625, 672 (/1470) at +-1, +-sqrt(2/3), +-1/sqrt(5), 0 give for x^10
  // (2*77 + 2*432*(2/3)^5 + 2*625/5^5) / 1470, worked by hand (not the exact 2/11: the rule has degree 9).
  FunctionIntegrand tenth([](double x) { return std::pow(x, 10); });
  EXPECT_NEAR_REL(LobattoQuad(tenth).SumUp(-1.0, 1.0), (154.0 + 864.0 * 32.0 / 243.0 + 0.4) / 1470.0, 1e-15);
  // By hand: atan(1e8) - atan(2.2e-16) for the Lorentzian, and a long algebraic tail 1/1e-3 - 1/1e8.
  FunctionIntegrand lorentzian([](double x) { return 1.0 / (1.0 + x * x); });
  FunctionIntegrand inverseSquare([](double x) { return 1.0 / (x * x); });
  EXPECT_NEAR_REL(Integrate(lorentzian, kMachineEpsilon, 1e8, 1e-10), std::atan(1e8) - kMachineEpsilon,
                  1e-10);
  EXPECT_NEAR_REL(Integrate(inverseSquare, 1e-3, 1e8, 1e-10), 1e3 - 1e-8, 1e-10);
  // A normal peak whose standard deviation is 1% of its position, at 35 positions from 1e-10 to 1e7,
  // over [2.2e-16, 1e8]: the integral is sd * sqrt(2 pi) (the tails outside the range are below 1e-300).
  for (double logCenter = -10.0; logCenter <= 7.0; logCenter += 0.5) {
    const double center = std::pow(10.0, logCenter), sd = 0.01 * center;
    FunctionIntegrand peak(
        [=](double x) { return std::exp(-0.5 * (x - center) * (x - center) / (sd * sd)); });
    EXPECT_NEAR_REL(Integrate(peak, kMachineEpsilon, 1e8, 1e-10) / (sd * std::sqrt(2.0 * std::numbers::pi)),
                    1.0, 1e-10)
        << "peak at " << center;
  }
}

// Written by tests/reference/lobatto_reference.py (mpmath 1.3.0, 40 digits, confirmed at 60) to
// lobatto_reference.out; R 4.2.2 integrate(..., rel.tol = 1e-12) over log g agrees to 3e-16. Rows
// labelled "wide" integrate over [eps, 1e8], "from zero" over [0, 1e5]: n, t, integral.
TEST(LobattoQuad, JzsIntegralMeetsTheRequestedTolerance) {
  const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("lobatto_reference.out");
  ASSERT_EQ(rows.size(), 15u);
  for (double tolerance : {1e-6, 1e-8, 1e-10}) {
    for (const kqtest::ReferenceRow& row : rows) {
      const double n = row.values.at(0), t = row.values.at(1), expected = row.values.at(2);
      FunctionIntegrand f = JzsIntegrand(n, t);
      LobattoQuad quad(f);
      quad.SetTolerance(tolerance);
      const double value =
          row.label == "wide" ? quad.Integrate(kMachineEpsilon, 1e8) : quad.Integrate(0.0, 1e5);
      SCOPED_TRACE(testing::Message()
                   << row.label << " n " << n << ", t " << t << ", tolerance " << tolerance);
      EXPECT_NEAR_REL(value, expected, tolerance);
      EXPECT_TRUE(quad.GetWarnings().IsEmpty());
      // The error estimate bounds the true error and itself meets the tolerance.
      EXPECT_GE(quad.GetErrorEstimate(), std::fabs(value - expected));
      EXPECT_LE(quad.GetErrorEstimate(), tolerance * value);
    }
  }
}

TEST(LobattoQuad, StarvedRunReportsNonConvergenceAndKeepsItsEstimate) {
  FunctionIntegrand f = JzsIntegrand(100, 2);
  LobattoQuad quad(f);
  quad.SetTolerance(1e-10);
  quad.SetMaxIter(3);
  const double value = quad.Integrate(kMachineEpsilon, 1e8);
  ASSERT_EQ(quad.GetWarnings().Size(), 1u);
  EXPECT_EQ(quad.GetWarnings()[0].GetErrorCode(), KQ_INTEGRATION_NOT_CONVERGED);
  // Not within the tolerance, but the refined estimate rather than nothing: n = 100, t = 2 from the table.
  EXPECT_NEAR_REL(value, 0.076080955461931532257, 1e-2);
  // The same object converges on a later call, and the warning of the starved run is gone.
  quad.SetMaxIter(2000);
  EXPECT_NEAR_REL(quad.Integrate(kMachineEpsilon, 1e8), 0.076080955461931532257, 1e-10);
  EXPECT_TRUE(quad.GetWarnings().IsEmpty());
}

TEST(LobattoQuad, LimitsAndIntegrandsWithoutValue) {
  FunctionIntegrand exponential([](double x) { return std::exp(x); });
  LobattoQuad quad(exponential);
  EXPECT_TRUE(KQMV::IsMissing(quad.Integrate(0.0, std::numeric_limits<double>::infinity())));
  EXPECT_TRUE(KQMV::IsMissing(quad.Integrate(KQMV::Missing(), 1.0)));
  // A tolerance of 0 is read as the smallest one: the run still ends, converged.
  quad.SetTolerance(0.0);
  EXPECT_NEAR_REL(quad.Integrate(1.0, 0.0), 1.0 - std::exp(1.0), 1e-14);
  EXPECT_TRUE(quad.GetWarnings().IsEmpty());
  // Missing (or NaN) anywhere ends the run: missing result, a warning, the limit as iteration count.
  FunctionIntegrand hole([](double x) { return x > 0.3 ? KQMV::Missing() : std::nan(""); });
  LobattoQuad holeQuad(hole);
  EXPECT_TRUE(KQMV::IsMissing(holeQuad.Integrate(0.0, 1.0)));
  ASSERT_EQ(holeQuad.GetWarnings().Size(), 1u);
  EXPECT_EQ(holeQuad.GetWarnings()[0].GetErrorCode(), KQ_INTEGRAND_NOT_FINITE);
  EXPECT_EQ(holeQuad.GetNIterations(), holeQuad.GetMaxIter());
}

TEST(LobattoQuad, GivenBreakpointsStartThePanels) {
  // A normal peak of sd 1e-3 at 0.3 on [0, 1]: integral Phi(700) - Phi(-300) = 1 to double precision.
  // A breakpoint at the peak makes its panels resolve it from the start.
  FunctionIntegrand peak([](double x) {
    const double z = (x - 0.3) / 1e-3;
    return std::exp(-0.5 * z * z) / (1e-3 * std::sqrt(2.0 * std::numbers::pi));
  });
  LobattoQuad quad(peak);
  quad.SetTolerance(1e-10);
  const std::vector<double> points{0.0, 0.295, 0.3, 0.305, 1.0};
  EXPECT_NEAR_REL(quad.IntegrateOver(points), 1.0, 1e-10);
  EXPECT_TRUE(quad.GetWarnings().IsEmpty());
  // Fewer than two, unordered, repeated or infinite breakpoints: missing without a warning.
  for (const std::vector<double>& bad : {std::vector<double>{0.5},
                                         {0.0, 1.0, 0.5},
                                         {0.0, 0.5, 0.5, 1.0},
                                         {0.0, std::numeric_limits<double>::infinity()}}) {
    EXPECT_TRUE(KQMV::IsMissing(quad.IntegrateOver(bad)));
    EXPECT_TRUE(quad.GetWarnings().IsEmpty());
  }
}

}  // namespace
