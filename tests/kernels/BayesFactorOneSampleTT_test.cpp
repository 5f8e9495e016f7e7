#include "kernels/detail/BayesFactorOneSampleTT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"
#include "kernels/BayesFactorDenomIF.h"
#include "kernels/detail/BayesFactorOneSampleTTMC.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using KQCommon_850::KQMV;

namespace {

// Written by tests/reference/jzs_onesample.R (R 4.2.2, BayesFactor 0.9.12.4.4) to jzs_onesample.out: n, t,
// BF01 by R integrate() (rel.tol = 1e-12), 1/BF10 of BayesFactor::ttest.tstat(t, n1 = n, rscale = 1) and
// its reported proportional error.
struct JzsReference {
  double n, t, bf01Integrate, bf01TtestBF, properror;
};
const std::vector<JzsReference>& Jzs() {
  static const std::vector<JzsReference> rows = [] {
    std::vector<JzsReference> read;
    for (const kqtest::ReferenceRow& r : kqtest::ReadReferenceTable("jzs_onesample.out"))
      read.push_back({r.values.at(0), r.values.at(1), r.values.at(2), r.values.at(3), r.values.at(4)});
    return read;
  }();
  return rows;
}

double Quadrature(double n, double t, double tolerance) {
  BayesFactorOneSampleTT bf(n, n - 1, t);
  bf.SetTolerance(tolerance);
  bf.SetMaxIter(2000);
  const double bf01 = bf.ComputeBayesFactor();
  EXPECT_LT(bf.GetNIterations(), 2000);
  EXPECT_TRUE(bf.GetWarnings().IsEmpty()) << "n " << n << " t " << t;
  return bf01;
}

}  // namespace

TEST(BayesFactorOneSampleTT, MatchesHighAccuracyIntegral) {
  ASSERT_EQ(Jzs().size(), 36u);
  for (double tolerance : {1e-6, 1e-8, 1e-10}) {
    kqtest::WorstRow worst;
    for (std::size_t i = 0; i < Jzs().size(); ++i)
      worst.Note(i, Quadrature(Jzs()[i].n, Jzs()[i].t, tolerance), Jzs()[i].bf01Integrate);
    // Beyond g = 1e5 the integral is the closed-form tail of the large-g integrand, whose neglected
    // factor (1 + t^2/((1 + N g) nu))^(-(nu+1)/2) / L0 costs up to about 1e-8 of BF01 when t^2/N is large.
    const JzsReference& r = Jzs()[worst.Row()];
    EXPECT_LE(worst.Error(), std::max(tolerance, 2e-8))
        << "worst row: n " << r.n << " t " << r.t << ", tolerance " << tolerance;
  }
}

TEST(BayesFactorOneSampleTT, AgreesWithTtestBFWithinItsError) {
  for (const JzsReference& r : Jzs()) {
    // For n >= 1e4 BayesFactor's own error estimate is smaller than its distance from the integrate()
    // column (e.g. n = 1e5, t = 5: 4.4e-5 against a reported 5e-8), with which this quadrature agrees to
    // 1e-8; there the comparison allows 1e-4.
    const double allowed = std::max(r.properror, r.n >= 1e4 ? 1e-4 : 1e-9);
    EXPECT_NEAR_REL(Quadrature(r.n, r.t, 1e-10), r.bf01TtestBF, allowed) << "n " << r.n << " t " << r.t;
  }
}

TEST(BayesFactorOneSampleTT, SymmetricInTAndGrowingWithNAtZero) {
  EXPECT_NEAR_REL(Quadrature(50, 2.5, 1e-10), Quadrature(50, -2.5, 1e-10), 1e-12);
  double previous = 1.0;  // t = 0 favours the null, more so with more cases
  for (double n : {5.0, 50.0, 500.0, 5000.0}) {
    const double bf01 = Quadrature(n, 0.0, 1e-8);
    EXPECT_GT(bf01, previous);
    previous = bf01;
  }
}

TEST(BayesFactorOneSampleTT, ExtremeInputsStayFinite) {
  // L0 underflows here (ln L0 = -(n/2) ln(1 + t^2/(n-1)), about -4.8e5), yet the ratio is computed.
  // Expected: tests/reference/jzs_extremes.py (mpmath 1.3.0, 50 digits), whose output holds these values;
  // at n = 1e7, t = 1e3 the factor is 1.56e-206960, below the smallest double. Within 2e-8: the closed-form
  // tail beyond g = 1e5, as in MatchesHighAccuracyIntegral. At n = 1e4, t = 60.8 the integrand divided by
  // L0 overflowed before; ln BF10 = 1567.8 (R: BayesFactor::ttest.tstat(t = 60.8, n1 = 10000, rscale = 1)),
  // so the factor is 0 in doubles, reached in logs without a warning.
  const struct {
    double n, t, bf01;
  } cases[] = {{10.0, 1e3, 2.0801994642785409255e-20},
               {1e7, 10.0, 7.6462172111529641146e-19},
               {1e7, 0.0, 3963.3276939386615074},
               {1e6, 3.0, 13.923420933950752584},
               {1e4, 60.8, 0.0}};
  for (const auto& c : cases) EXPECT_NEAR_REL(Quadrature(c.n, c.t, 1e-8), c.bf01, 2e-8) << c.n << " " << c.t;
  const double underflow = Quadrature(1e7, 1e3, 1e-6);
  EXPECT_GE(underflow, 0.0);
  EXPECT_LT(underflow, 1e-300);
}

TEST(BayesFactorOneSampleTT, InvalidInputsGiveMissingWithoutWarning) {
  for (auto [n, df, t] :
       {std::tuple{0.0, 4.0, 1.0}, std::tuple{5.0, 0.0, 1.0}, std::tuple{5.0, 4.0, KQMV::Missing()}}) {
    BayesFactorOneSampleTT bf(n, df, t);
    EXPECT_FALSE(bf.IsValid());
    EXPECT_TRUE(KQMV::IsMissing(bf.ComputeBayesFactor()));
    EXPECT_TRUE(bf.GetWarnings().IsEmpty());
    EXPECT_TRUE(KQMV::IsMissing(BayesFactorOneSampleTTMC(n, df, t, 100, 1).ComputeBayesFactor()));
  }
  EXPECT_TRUE(KQMV::IsMissing(BayesFactorOneSampleTTMC(10, 9, 1.0, 0, 1).ComputeBayesFactor()));
}

TEST(BayesFactorOneSampleTT, StarvedQuadratureFallsBackAndWarns) {
  BayesFactorOneSampleTT bf(20, 19, 2.0);
  bf.SetMaxIter(3);
  const double bf01 = bf.ComputeBayesFactor();
  EXPECT_EQ(bf.GetNIterations(), 3);
  ASSERT_EQ(bf.GetWarnings().Size(), 1u);
  EXPECT_EQ(bf.GetWarnings()[0].GetErrorCode(), KQCommon_850::KQ_INTEGRATION_NOT_CONVERGED);
  // The fixed twenty-panel sum is rough but close: R reference 1.0171381108658408.
  EXPECT_NEAR_REL(bf01, 1.0171381108658408, 0.05);
}

TEST(BayesFactorDenomIF, FormsAndDomain) {
  BayesFactorDenomIF f(10, 9, 2.0);
  EXPECT_TRUE(f.IsValid());
  EXPECT_EQ(f.ComputeNI(0.0), 0.0);
  EXPECT_TRUE(KQMV::IsMissing(f.ComputeNI(-1.0)));
  EXPECT_TRUE(KQMV::IsMissing(f.ComputeMC(-0.2, 0.0)));  // 1 + N g = -1
  // By hand at g = 1: (11)^(-1/2) (1 + 4/99)^(-5) and times K e^(-1/2).
  const double mc = std::pow(11.0, -0.5) * std::pow(1.0 + 4.0 / 99.0, -5.0);
  EXPECT_NEAR_REL(f.ComputeMC(1.0, 0.0), mc, 1e-14);
  EXPECT_NEAR_REL(f.ComputeNI(1.0), mc * 0.39894228040143265 * std::exp(-0.5), 1e-14);
  EXPECT_FALSE(f.SetParams(10, -1, 2.0));
  EXPECT_TRUE(KQMV::IsMissing(f.ComputeNI(1.0)));
}

TEST(BayesFactorOneSampleTTMC, ReproducibleAndWithinMonteCarloError) {
  const JzsReference& r = Jzs().at(8);  // n = 20, t = 2
  const double first = BayesFactorOneSampleTTMC(r.n, r.n - 1, r.t, 10000, 2000000).ComputeBayesFactor();
  EXPECT_EQ(first, BayesFactorOneSampleTTMC(r.n, r.n - 1, r.t, 10000, 2000000).ComputeBayesFactor());
  EXPECT_NE(first, BayesFactorOneSampleTTMC(r.n, r.n - 1, r.t, 10000, 7).ComputeBayesFactor());
  // The spread over 30 seeds estimates the Monte Carlo error of one run of 2000 draws.
  std::vector<double> runs;
  for (unsigned long seed = 1; seed <= 30; ++seed)
    runs.push_back(BayesFactorOneSampleTTMC(r.n, r.n - 1, r.t, 2000, seed).ComputeBayesFactor());
  double mean = 0.0, var = 0.0;
  for (double x : runs) mean += x / 30.0;
  for (double x : runs) var += (x - mean) * (x - mean) / 29.0;
  const double sd2000 = std::sqrt(var);
  EXPECT_LT(std::fabs(mean - r.bf01Integrate), 4.0 * sd2000 / std::sqrt(30.0));
  EXPECT_LT(std::fabs(first - r.bf01Integrate), 4.0 * sd2000 * std::sqrt(2000.0 / 10000.0));
}
