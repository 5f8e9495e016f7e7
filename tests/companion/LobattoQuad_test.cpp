// LobattoQuad: closed-form integrals, the one-sample JZS t integral against high-precision values,
// error and non-convergence reporting.

#include "companion/LobattoQuad.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/Fakes.h"
#include "tests/support/ReferenceTable.h"

namespace {

using KQCommon_850::KQ_INTEGRAND_NOT_FINITE;
using KQCommon_850::KQ_INTEGRATION_NOT_CONVERGED;
using KQCommon_850::KQMV;
using KQMath_850::IIntegrand;
using KQMath_850::LobattoQuad;

constexpr double kPi = std::numbers::pi;
constexpr double kMachineEpsilon = 2.220446049250313e-16;

// Any one-variable function as an integrand; counts its evaluations.
class FunctionIntegrand : public IIntegrand {
 public:
  explicit FunctionIntegrand(std::function<double(double)> f) : f_(std::move(f)) {}
  double ComputeMC(double, double) override { return 0.0; }
  double ComputeNI(double x) override {
    ++nEvaluations_;
    return f_(x);
  }
  long nEvaluations_ = 0;

 private:
  std::function<double(double)> f_;
};

// One-sample JZS t integrand with prior scale 1, in logs:
// f(g) = (1 + n g)^(-1/2) (1 + t^2 / ((1 + n g)(n - 1)))^(-n/2) (2 pi)^(-1/2) g^(-3/2) exp(-1/(2 g)), f(0) =
// 0.
FunctionIntegrand JzsIntegrand(double n, double t) {
  return FunctionIntegrand([n, t](double g) {
    if (g <= 0.0) return 0.0;
    const double logF = -0.5 * std::log1p(n * g) - 0.5 * n * std::log1p(t * t / ((1.0 + n * g) * (n - 1.0))) -
                        0.5 * std::log(2.0 * kPi) - 1.5 * std::log(g) - 0.5 / g;
    return std::exp(logF);
  });
}

double Integrate(FunctionIntegrand& f, double a, double b, double tolerance) {
  LobattoQuad quad(f);
  quad.SetTolerance(tolerance);
  const double value = quad.Integrate(a, b);
  EXPECT_TRUE(quad.GetWarnings().IsEmpty()) << "[" << a << ", " << b << "]";
  EXPECT_LT(quad.GetNIterations(), quad.GetMaxIter());
  return value;
}

TEST(LobattoQuad, BasicRuleIsTheSevenPointKronrodExtension) {
  // Exact through degree 9: the integral of x^9 over [0, 2] is 2^10 / 10.
  FunctionIntegrand ninth([](double x) { return std::pow(x, 9); });
  EXPECT_NEAR_REL(LobattoQuad(ninth).SumUp(0.0, 2.0), 102.4, 1e-15);
  EXPECT_NEAR_REL(LobattoQuad(ninth).SumUp(2.0, 0.0), -102.4, 1e-15);
  // Not exact for x^10: on [-1, 1] the weights 77, 432, 625, 672 (/1470) at +-1, +-sqrt(2/3), +-1/sqrt(5), 0
  // give (2*77 + 2*432*(2/3)^5 + 2*625/5^5) / 1470, worked by hand.
  FunctionIntegrand tenth([](double x) { return std::pow(x, 10); });
  const double byHand = (154.0 + 864.0 * 32.0 / 243.0 + 1250.0 / 3125.0) / 1470.0;
  EXPECT_NEAR_REL(LobattoQuad(tenth).SumUp(-1.0, 1.0), byHand, 1e-15);
  EXPECT_GT(std::fabs(byHand - 2.0 / 11.0), 1e-4);
}

TEST(LobattoQuad, ClosedFormIntegrals) {
  const struct {
    const char* what;
    std::function<double(double)> f;
    double a, b, tolerance, expected;
  } cases[] = {
      // (2^10 - 1)/10 - 3(2^5 + 1)/5 + 6 = 88.5 by hand.
      {"x^9 - 3x^4 + 2", [](double x) { return std::pow(x, 9) - 3.0 * std::pow(x, 4) + 2.0; }, -1.0, 2.0,
       1e-10, 88.5},
      {"exp", [](double x) { return std::exp(x); }, 0.0, 10.0, 1e-12, std::expm1(10.0)},
      // The Lorentzian over wide ranges: 2 atan(1e6) and atan(1e8) - atan(2.2e-16).
      {"Lorentzian", [](double x) { return 1.0 / (1.0 + x * x); }, -1e6, 1e6, 1e-10, 2.0 * std::atan(1e6)},
      {"Lorentzian from eps", [](double x) { return 1.0 / (1.0 + x * x); }, kMachineEpsilon, 1e8, 1e-10,
       std::atan(1e8) - std::atan(kMachineEpsilon)},
      // Long algebraic tail: 1/1e-3 - 1/1e8.
      {"x^-2", [](double x) { return 1.0 / (x * x); }, 1e-3, 1e8, 1e-10, 1e3 - 1e-8},
  };
  for (const auto& c : cases) {
    FunctionIntegrand f(c.f);
    EXPECT_NEAR_REL(Integrate(f, c.a, c.b, c.tolerance), c.expected, std::max(c.tolerance, 1e-14)) << c.what;
  }
}

TEST(LobattoQuad, FindsNarrowPeaksAnywhereInAWideRange) {
  // A normal peak whose standard deviation is 1% of its position, at 35 positions from 1e-10 to 1e7,
  // over [2.2e-16, 1e8]: the integral is sd * sqrt(2 pi) (the tails outside the range are below 1e-300).
  for (double logCenter = -10.0; logCenter <= 7.0; logCenter += 0.5) {
    const double center = std::pow(10.0, logCenter), sd = 0.01 * center;
    FunctionIntegrand peak(
        [=](double x) { return std::exp(-0.5 * (x - center) * (x - center) / (sd * sd)); });
    EXPECT_NEAR_REL(Integrate(peak, kMachineEpsilon, 1e8, 1e-10) / (sd * std::sqrt(2.0 * kPi)), 1.0, 1e-10)
        << "peak at " << center;
  }
}

struct JzsReference {
  double n, t, integral;
};

// Written by tests/reference/lobatto_reference.py (mpmath 1.3.0, 40 digits, confirmed at 60) to
// lobatto_reference.out; R 4.2.2 integrate(..., rel.tol = 1e-12) over log g agrees to 3e-16. Rows
// labelled "wide" integrate over [eps, 1e8], "from zero" over [0, 1e5].
std::vector<JzsReference> JzsRows(const std::string& label) {
  std::vector<JzsReference> rows;
  for (const kqtest::ReferenceRow& row : kqtest::ReadReferenceTable("lobatto_reference.out"))
    if (row.label == label) rows.push_back({row.values.at(0), row.values.at(1), row.values.at(2)});
  return rows;
}

TEST(LobattoQuad, JzsIntegralMeetsTheRequestedTolerance) {
  const std::vector<JzsReference> wide = JzsRows("wide"), fromZero = JzsRows("from zero");
  ASSERT_EQ(wide.size(), 12u);
  ASSERT_EQ(fromZero.size(), 3u);
  for (double tolerance : {1e-6, 1e-8, 1e-10}) {
    for (const JzsReference& ref : wide) {
      FunctionIntegrand f = JzsIntegrand(ref.n, ref.t);
      LobattoQuad quad(f);
      quad.SetTolerance(tolerance);
      const double value = quad.Integrate(kMachineEpsilon, 1e8);
      SCOPED_TRACE(testing::Message() << "n " << ref.n << ", t " << ref.t << ", tolerance " << tolerance);
      EXPECT_NEAR_REL(value, ref.integral, tolerance);
      EXPECT_TRUE(quad.GetWarnings().IsEmpty());
      EXPECT_LT(quad.GetNIterations(), LobattoQuad::kDefaultMaxIter);
      // The error estimate bounds the true error and itself meets the tolerance.
      EXPECT_GE(quad.GetErrorEstimate(), std::fabs(value - ref.integral));
      EXPECT_LE(quad.GetErrorEstimate(), tolerance * value);
    }
  }
  for (const JzsReference& ref : fromZero) {
    FunctionIntegrand f = JzsIntegrand(ref.n, ref.t);
    EXPECT_NEAR_REL(Integrate(f, 0.0, 1e5, 1e-10), ref.integral, 1e-10) << "n " << ref.n << ", t " << ref.t;
  }
}

TEST(LobattoQuad, StarvedRunReportsNonConvergenceAndKeepsItsEstimate) {
  FunctionIntegrand f = JzsIntegrand(100, 2);
  LobattoQuad quad(f);
  quad.SetTolerance(1e-10);
  quad.SetMaxIter(3);
  const double value = quad.Integrate(kMachineEpsilon, 1e8);
  EXPECT_EQ(quad.GetNIterations(), 3);
  ASSERT_EQ(quad.GetWarnings().Size(), 1u);
  EXPECT_EQ(quad.GetWarnings()[0].GetErrorCode(), KQ_INTEGRATION_NOT_CONVERGED);
  // Not within the tolerance, but the refined estimate rather than nothing: n = 100, t = 2 from the table.
  EXPECT_NEAR_REL(value, 0.076080955461931532257, 1e-2);
  EXPECT_GT(std::fabs(value / 0.076080955461931532257 - 1.0), 1e-10);

  // The same object converges on a later call, and the warning of the starved run is gone.
  quad.SetMaxIter(2000);
  EXPECT_NEAR_REL(quad.Integrate(kMachineEpsilon, 1e8), 0.076080955461931532257, 1e-10);
  EXPECT_TRUE(quad.GetWarnings().IsEmpty());
  EXPECT_LT(quad.GetNIterations(), 2000);
}

TEST(LobattoQuad, LimitsAndVanishingIntegrals) {
  FunctionIntegrand exponential([](double x) { return std::exp(x); });
  LobattoQuad quad(exponential);
  EXPECT_NEAR_REL(quad.Integrate(3.0, -1.0), -(std::exp(3.0) - std::exp(-1.0)), 1e-12);
  EXPECT_EQ(quad.Integrate(2.0, 2.0), 0.0);
  EXPECT_TRUE(KQMV::IsMissing(quad.Integrate(0.0, std::numeric_limits<double>::infinity())));
  EXPECT_TRUE(KQMV::IsMissing(quad.Integrate(KQMV::Missing(), 1.0)));
  EXPECT_TRUE(KQMV::IsMissing(quad.SumUp(0.0, std::nan(""))));
  // A tolerance of 0 is read as the smallest one: the run still ends, converged.
  quad.SetTolerance(0.0);
  EXPECT_NEAR_REL(quad.Integrate(0.0, 1.0), std::exp(1.0) - 1.0, 1e-14);
  EXPECT_TRUE(quad.GetWarnings().IsEmpty());
  // An odd integrand over a symmetric range: the integral is 0 and only rounding is left to converge on.
  FunctionIntegrand odd([](double x) { return x * x * x * std::cos(x); });
  LobattoQuad oddQuad(odd);
  oddQuad.SetTolerance(1e-10);
  EXPECT_NEAR(oddQuad.Integrate(-3.0, 3.0), 0.0, 1e-13);
  EXPECT_TRUE(oddQuad.GetWarnings().IsEmpty());
}

TEST(LobattoQuad, IntegrandWithoutValue) {
  // Missing (or NaN) anywhere ends the run: missing result, a warning, the limit as iteration count.
  FunctionIntegrand hole([](double x) { return x > 0.3 ? KQMV::Missing() : 1.0; });
  LobattoQuad quad(hole);
  EXPECT_TRUE(KQMV::IsMissing(quad.Integrate(0.0, 1.0)));
  ASSERT_EQ(quad.GetWarnings().Size(), 1u);
  EXPECT_EQ(quad.GetWarnings()[0].GetErrorCode(), KQ_INTEGRAND_NOT_FINITE);
  EXPECT_EQ(quad.GetNIterations(), quad.GetMaxIter());
  FunctionIntegrand notANumber([](double x) { return x < 0.5 ? std::nan("") : 1.0; });
  EXPECT_TRUE(KQMV::IsMissing(LobattoQuad(notANumber).Integrate(0.0, 1.0)));
  EXPECT_TRUE(KQMV::IsMissing(LobattoQuad(notANumber).SumUp(0.0, 1.0)));
  // An overflowing integrand gives an overflowing integral, with its sign.
  FunctionIntegrand overflow([](double x) { return std::exp(800.0 * x); });
  LobattoQuad overflowQuad(overflow);
  EXPECT_EQ(overflowQuad.Integrate(0.0, 1.0), std::numeric_limits<double>::infinity());
  EXPECT_EQ(overflowQuad.Integrate(1.0, 0.0), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(overflowQuad.GetWarnings()[0].GetErrorCode(), KQ_INTEGRAND_NOT_FINITE);
}

TEST(LobattoQuad, LongRunPollsCancellation) {
  // sin(1 / x) on [1e-12, 1] oscillates without end near 0: with a limit of 1e9 iterations the run would
  // go on for a long time. Cancellation asked for at the third question stops it after at most
  // 3 kCancelPollInterval iterations, with the missing value and no warning.
  FunctionIntegrand f([](double x) { return std::sin(1.0 / x); });
  LobattoQuad quad(f);
  quad.SetTolerance(1e-14);
  quad.SetMaxIter(1000000000);
  kqtest::CancelAfter host(2);  // yes at the third question
  KQCommon_850::KQCancelInfo cancel(&host);
  quad.SetCancelInfo(&cancel);
  EXPECT_TRUE(KQMV::IsMissing(quad.Integrate(1e-12, 1.0)));
  EXPECT_TRUE(quad.WasCancelled());
  EXPECT_EQ(host.nAsked, 3);
  EXPECT_LE(quad.GetNIterations(), 3 * LobattoQuad::kCancelPollInterval);
  EXPECT_TRUE(quad.GetWarnings().IsEmpty());
}

}  // namespace
