// KQDistFun against high-precision values, exact special values and out-of-domain arguments.

#include "companion/KQDistFun.h"

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQMV.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

namespace {

using KQCommon_850::KQMV;
using KQMath_850::KQDistFun;

using Function = std::function<double(const double*)>;

const std::map<std::string, Function>& Functions() {
  static const std::map<std::string, Function> functions{
      {"PdfNormal", [](const double* a) { return KQDistFun::PdfNormal(a[0], a[1], a[2]); }},
      {"CdfNormal", [](const double* a) { return KQDistFun::CdfNormal(a[0], a[1], a[2]); }},
      {"IdfNorm", [](const double* a) { return KQDistFun::IdfNorm(a[0], a[1], a[2]); }},
      {"PdfT", [](const double* a) { return KQDistFun::PdfT(a[0], a[1]); }},
      {"CdfT", [](const double* a) { return KQDistFun::CdfT(a[0], a[1]); }},
      {"IdfT", [](const double* a) { return KQDistFun::IdfT(a[0], a[1]); }},
      {"TwoSidedSigT", [](const double* a) { return KQDistFun::TwoSidedSigT(a[0], a[1]); }},
      {"NonCentralPdfT", [](const double* a) { return KQDistFun::NonCentralPdfT(a[0], a[1], a[2]); }},
      {"CdfChi", [](const double* a) { return KQDistFun::CdfChi(a[0], a[1]); }},
      {"IdfChi", [](const double* a) { return KQDistFun::IdfChi(a[0], a[1]); }},
      {"CdfF", [](const double* a) { return KQDistFun::CdfF(a[0], a[1], a[2]); }},
      {"PdfGamma", [](const double* a) { return KQDistFun::PdfGamma(a[0], a[1], a[2]); }},
      {"CdfGamma", [](const double* a) { return KQDistFun::CdfGamma(a[0], a[1], a[2]); }},
      {"IdfGam", [](const double* a) { return KQDistFun::IdfGam(a[0], a[1], a[2]); }},
      {"PdfBeta", [](const double* a) { return KQDistFun::PdfBeta(a[0], a[1], a[2]); }},
      {"CdfBeta", [](const double* a) { return KQDistFun::CdfBeta(a[0], a[1], a[2]); }},
      {"IdfBeta", [](const double* a) { return KQDistFun::IdfBeta(a[0], a[1], a[2]); }},
      {"PdfHyper", [](const double* a) { return KQDistFun::PdfHyper(a[0], a[1], a[2], a[3]); }},
      {"CDFHyper", [](const double* a) { return KQDistFun::CDFHyper(a[0], a[1], a[2], a[3]); }},
      {"qorvdnlgam", [](const double* a) { return KQDistFun::qorvdnlgam(a[0]); }},
      {"LogBeta", [](const double* a) { return KQDistFun::LogBeta(a[0], a[1]); }},
      {"Log1p", [](const double* a) { return KQDistFun::Log1p(a[0]); }},
      {"Expm1", [](const double* a) { return KQDistFun::Expm1(a[0]); }},
  };
  return functions;
}

TEST(KQDistFun, MatchesHighPrecisionReference) {
  // Written by tests/reference/distfun_reference.py (mpmath 1.3.0, 50 digits; hypergeometric values are
  // exact fractions): function, four arguments, value. The script also names the R 4.2.2 calls that
  // agree with each value. The references carry 20 digits; Boost's double evaluation is held to 1e-13
  // relative error (absolute below 1e-8, for the zero rows), a few hundred ulps.
  const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("distfun_reference.out");
  ASSERT_EQ(rows.size(), 110u);
  std::map<std::string, kqtest::WorstRow> worst;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto found = Functions().find(rows[i].label);
    ASSERT_NE(found, Functions().end()) << rows[i].label;
    ASSERT_EQ(rows[i].values.size(), 5u) << rows[i].label;
    worst[rows[i].label].Note(i, found->second(rows[i].values.data()), rows[i].values[4]);
  }
  for (const auto& [name, entry] : worst) {
    const std::vector<double>& row = rows[entry.Row()].values;
    EXPECT_LE(entry.Error(), 1e-13) << name << "(" << row[0] << ", " << row[1] << ", " << row[2] << ", "
                                    << row[3] << ") is the worst row";
  }
  EXPECT_EQ(worst.size(), Functions().size()) << "every function has reference rows";
}

TEST(KQDistFun, ExactValuesAtTheEdgesAndMissingOutsideTheDomain) {
  // tests/reference/distfun_exact.out: ends of the supports worked by hand, and out-of-domain arguments,
  // whose answer is the missing value. The label's first word names the function.
  const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("distfun_exact.out");
  ASSERT_EQ(rows.size(), 80u);
  for (const kqtest::ReferenceRow& row : rows) {
    const auto found = Functions().find(row.label.substr(0, row.label.find(' ')));
    ASSERT_NE(found, Functions().end()) << row.label;
    ASSERT_EQ(row.values.size(), 5u) << row.label;
    EXPECT_NEAR_REL(found->second(row.values.data()), row.values[4], 0.0) << row.label;
  }
}

TEST(KQDistFun, HypergeometricArgumentsTruncatedAndSymmetric) {
  // Arguments are truncated towards zero; successes and draws play symmetric roles.
  EXPECT_EQ(KQDistFun::CDFHyper(3.9, 20.5, 7.2, 10.99), KQDistFun::CDFHyper(3, 20, 7, 10));
  EXPECT_NEAR_REL(KQDistFun::CDFHyper(2, 30, 8, 12), KQDistFun::CDFHyper(2, 30, 12, 8), 1e-14);
}

// Extreme and out-of-domain arguments: every wrapper answers a value (the missing value, an infinity
// or a finite number), never an exception, also where Boost's root searches and series give up.
TEST(KQDistFun, ChiSquareUpperTailKeepsItsDigitsFarOut) {
  // R: pchisq(c(138.28984162600827, 3.5, 1500), c(9, 2, 4), lower.tail = FALSE).
  EXPECT_NEAR(KQDistFun::SigChi(138.28984162600827, 9) / 2.3252867870988080e-25, 1.0, 1e-12);
  EXPECT_NEAR(KQDistFun::SigChi(3.5, 2) / 1.7377394345044514e-01, 1.0, 1e-14);
  EXPECT_GT(KQDistFun::SigChi(1500, 4), 0.0);  // 1.48e-323, a denormal in R
  EXPECT_EQ(KQDistFun::SigChi(0.0, 3), 1.0);
  EXPECT_TRUE(KQMV::IsMissing(KQDistFun::SigChi(1.0, -1.0)));
}

TEST(KQDistFun, FUpperTailKeepsItsDigitsFarOut) {
  // R: pf(c(119.26450218449871, 3.5, 1e4), c(2, 2, 3), c(147, 10, 50), lower.tail = FALSE); the first
  // is the iris sepal-length ANOVA, whose 1 - CdfF rounds to 0.
  EXPECT_NEAR(KQDistFun::SigF(119.26450218449871, 2, 147) / 1.6696691907731945e-31, 1.0, 1e-11);
  EXPECT_NEAR(KQDistFun::SigF(3.5, 2, 10) / 0.07042962777237427, 1.0, 1e-14);
  EXPECT_NEAR(KQDistFun::SigF(1e4, 3, 50) / 1.9303871407587449e-69, 1.0, 1e-11);
  EXPECT_EQ(KQDistFun::SigF(0.0, 3, 4), 1.0);
  EXPECT_TRUE(KQMV::IsMissing(KQDistFun::SigF(1.0, 0.0, 4)));
}

TEST(KQDistFun, ExtremeArgumentsNeverThrow) {
  const std::vector<double> values{0.0,   0.025, 0.5, 1.0,      3.0,       1e-300,         1e20,
                                   1e302, -1e20, NAN, INFINITY, -INFINITY, KQMV::Missing()};
  for (const auto& [name, f] : Functions())
    for (double x : values)
      for (double a : values)
        for (double b : values) {
          const double args[4] = {x, a, b, b};
          double result = 0.0;
          EXPECT_NO_THROW(result = f(args)) << name << "(" << x << ", " << a << ", " << b << ")";
          EXPECT_FALSE(std::isnan(result)) << name << "(" << x << ", " << a << ", " << b << ")";
        }
}

// Quantiles with huge shapes, as posteriors with frequency weights of 1e10 to 1e302 have them: the
// answer is missing or correct. For shapes of 1e20 the laws are normal to within 1e-10 relative
// (skewness 2/sqrt(shape) for the Gamma law), so the references are normal quantiles worked by hand:
// Gamma(k, 1): k + z sqrt(k); z = qnorm(0.025) = -1.959963984540054. For Beta(a, a), by hand, the
// distribution function at 1/2 is exactly 1/2 (symmetry) and the quantile is
// 1/2 + sd (z - k (z^3 - 3 z) / 24), sd = 1 / sqrt(4 (2a + 1)), excess kurtosis k = -6 / (2a + 3), to
// within a relative sd / a. Just below the limit of 1e8 Boost's incomplete beta function answers (its
// distribution function is 4e-9 off there, hence the wider tolerance).
TEST(KQDistFun, HugeShapesAreMissingOrRight) {
  constexpr double kZ = -1.959963984540054;
  for (const auto& [value, expected] :
       {std::pair{KQDistFun::IdfGam(0.025, 1e20, 1.0), 1e20 + kZ * 1e10},
        std::pair{KQDistFun::IdfGam(0.975, 1e302, 1e302), 1.0 - kZ * 1e-151},
        std::pair{KQDistFun::IdfBeta(0.025, 1e10, 1.0), std::pow(0.025, 1e-10)}})
    if (!KQMV::IsMissing(value)) {
      EXPECT_NEAR_REL(value, expected, 1e-12);
    }
  for (double a : {0.99e8, 1.01e8, 1e20, 1e302}) {
    EXPECT_NEAR(KQDistFun::CdfBeta(0.5, a, a), 0.5, a < 1e8 ? 1e-8 : 1e-15) << a;
    const double sd = 1.0 / std::sqrt(4.0 * (2.0 * a + 1.0)), k = -6.0 / (2.0 * a + 3.0);
    EXPECT_NEAR(KQDistFun::IdfBeta(0.025, a, a), 0.5 + sd * (kZ - k * (kZ * kZ * kZ - 3.0 * kZ) / 24.0),
                1e-7 * sd + 1e-16)
        << a;
  }
  // Beta(1e20, 1e302): mean p = 1e-282 (to double precision), sd sqrt(p / (n + 1)) = 1e-292; the
  // quantiles lie within a few sd of the mean.
  EXPECT_NEAR_REL(KQDistFun::IdfBeta(0.5, 1e20, 1e302), 1e-282, 1e-9);
  EXPECT_NEAR(KQDistFun::CdfBeta(1e-282, 1e20, 1e302), 0.5, 1e-9);
  // The non-central t density just below its bound of 2e4 is computed (above it, it is missing).
  const double below = KQDistFun::NonCentralPdfT(19999.0, 3.0, 19999.0);
  EXPECT_TRUE(std::isfinite(below) && below > 0.0) << below;
}

}  // namespace
