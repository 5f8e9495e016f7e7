#include "kernels/detail/BayesFactorOneSampleTT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"
#include "kernels/BayesFactorDenomIF.h"
#include "kernels/detail/BayesFactorOneSampleTTMC.h"
#include "tests/support/ExpectNearRel.h"

using namespace KQBSN_850;
using KQCommon_850::KQMV;

namespace {

struct JzsReference {
  double n, t;
  double bf01Integrate;  ///< R integrate(), rel.tol = 1e-12
  double bf01TtestBF;    ///< 1/BF10 of BayesFactor::ttest.tstat(t, n1 = n, rscale = 1)
  double properror;      ///< its reported proportional error
};

// Produced by tests/reference/jzs_onesample.R (output in jzs_onesample.out):
// R 4.2.2, BayesFactor 0.9.12.4.4
const std::vector<JzsReference> kJzs = {
    {5, 0, 3.2384095402116748, 3.2384095402092945, 4.72e-05},
    {5, 0.5, 2.8794606565987886, 2.8794606566525394, 8.38e-05},
    {5, 2, 0.8843784060450498, 0.88437840625143505, 0.000241},
    {5, -3, 0.37596980316671103, 0.37596980316652978, 8.68e-08},
    {5, 5, 0.098606807252328635, 0.098606807252376499, 1.41e-05},
    {5, 10, 0.013208528652695548, 0.013208528577806241, 1.61e-05},
    {20, 0, 5.86243039134225, 5.8624303915665861, 0.000517},
    {20, 0.5, 5.1991762684691967, 5.1991762687313585, 0.000518},
    {20, 2, 1.0171381108658408, 1.0171381108664062, 2.33e-08},
    {20, -3, 0.16866153528152467, 0.16866153528176125, 3.1e-10},
    {20, 5, 0.0027699262639066672, 0.0027699262638980083, 2.49e-10},
    {20, 10, 3.4489857063153572e-07, 3.4489857063942848e-07, 2.04e-11},
    {100, 0, 12.656083010055214, 12.656083011905642, 0.00245},
    {100, 0.5, 11.183497233351675, 11.183497234940351, 0.00219},
    {100, 2, 1.8139383984895443, 1.8139383988937166, 0.000437},
    {100, -3, 0.17742476546643313, 0.17742476552061889, 5.28e-05},
    {100, 5, 0.00020273525831063881, 0.00020273525831019583, 1.96e-12},
    {100, 10, 1.7222935070593458e-14, 1.7222935070537708e-14, 1.33e-21},
    {1000, 0, 39.672827375917734, 39.672827383837081, 0.00914},
    {1000, 0.5, 35.016031876763023, 35.016031924171898, 0.00808},
    {1000, 2, 5.4012915104672015, 5.4012915150356537, 0.00127},
    {1000, -3, 0.45169686387256858, 0.45169686405887577, 0.000108},
    {1000, 5, 0.00017455861456060765, 0.0001745586146080084, 4.49e-08},
    {1000, 10, 8.3875293136495368e-20, 8.3875293143801335e-20, 1.69e-27},
    {10000, 0, 125.34394436754728, 125.34394439307398, 0.0294},
    {10000, 0.5, 110.61719695912873, 110.61713948450597, 0.029},
    {10000, 2, 16.973634480557209, 16.973627383960469, 0.00437},
    {10000, -3, 1.3958937556566751, 1.3958933717119013, 0.000351},
    {10000, 5, 0.00047504994985198289, 0.00047504987310679293, 1.17e-07},
    {10000, 10, 3.1146117737348863e-20, 3.1146116641034445e-20, 7.57e-24},
    {100000, 0, 396.33669300863733, 396.33669307054726, 0.093},
    {100000, 0.5, 349.76639577995547, 349.70348006882961, 0.0978},
    {100000, 2, 53.641556848494886, 53.63548706939833, 0.00859},
    {100000, -3, 4.4039927326174952, 4.4036581486171515, 0.000557},
    {100000, 5, 0.0014795035498994615, 0.0014794389252586293, 4.95e-08},
    {100000, 10, 7.8416497967897859e-20, 7.8414982421956796e-20, 2.88e-24},
};

double Quadrature(double n, double t, double tolerance) {
  BayesFactorOneSampleTT bf(n, n - 1, t);
  bf.SetTolerance(tolerance);
  bf.SetMaxIter(2000);
  return bf.ComputeBayesFactor();
}

}  // namespace

TEST(BayesFactorOneSampleTT, MatchesHighAccuracyIntegral) {
  double worst = 0.0;
  for (const JzsReference& r : kJzs) {
    for (double tolerance : {1e-6, 1e-8, 1e-10}) {
      const double bf01 = Quadrature(r.n, r.t, tolerance);
      const double err = std::fabs(bf01 - r.bf01Integrate) / r.bf01Integrate;
      worst = std::max(worst, err);
      // Beyond g = 1e5 the integral is the closed-form tail of the large-g integrand, whose neglected
      // factor (1 + t^2/((1 + N g) nu))^(-(nu+1)/2) / L0 costs up to about 1e-8 of BF01 when t^2/N is large.
      EXPECT_LE(err, std::max(tolerance, 2e-8)) << "n " << r.n << " t " << r.t << " tol " << tolerance;
    }
  }
  RecordProperty("worst_relative_error", std::to_string(worst));
}

TEST(BayesFactorOneSampleTT, AgreesWithTtestBFWithinItsError) {
  for (const JzsReference& r : kJzs) {
    // For n >= 1e4 BayesFactor's own error estimate is smaller than its distance from the integrate()
    // column (e.g. n = 1e5, t = 5: 4.4e-5 against a reported 5e-8), with which this quadrature agrees to
    // 1e-8; there the comparison allows 1e-4.
    const double allowed = std::max(r.properror, r.n >= 1e4 ? 1e-4 : 1e-9);
    EXPECT_NEAR_REL(Quadrature(r.n, r.t, 1e-10), r.bf01TtestBF, allowed) << "n " << r.n << " t " << r.t;
  }
}

TEST(BayesFactorOneSampleTT, ConvergesWithinTheDefaultLimits) {
  BayesFactorOneSampleTT bf(1e6, 1e6 - 1, 3.0);
  bf.SetTolerance(1e-10);
  bf.SetMaxIter(2000);
  const double bf01 = bf.ComputeBayesFactor();
  EXPECT_LT(bf.GetNIterations(), 2000);
  EXPECT_TRUE(bf.GetWarnings().IsEmpty());
  EXPECT_GT(bf01, 0.0);
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
  for (auto [n, t] : {std::pair{1e7, 1e3}, std::pair{10.0, 1e3}, std::pair{1e7, 0.0}, std::pair{1e7, 10.0}}) {
    const double bf01 = Quadrature(n, t, 1e-6);
    EXPECT_FALSE(KQMV::IsMissing(bf01)) << n << " " << t;
    EXPECT_TRUE(std::isfinite(bf01)) << n << " " << t;
    EXPECT_GE(bf01, 0.0);
  }
  // n = 1e7, t = 0: BF01 ~ sqrt(pi n / 2) for large n (Laplace approximation of the g-integral).
  EXPECT_NEAR_REL(Quadrature(1e7, 0.0, 1e-8), std::sqrt(M_PI * 1e7 / 2.0), 1e-3);
}

TEST(BayesFactorOneSampleTT, LargeTStaysFiniteInLogsWithoutWarning) {
  // n = 1e4, t = 60.8: the integrand divided by L0 overflowed before; ln BF10 from R's
  // BayesFactor::ttest.tstat(t = 60.8, n1 = 10000, rscale = 1)$bf = 1567.8166964429515.
  BayesFactorOneSampleTT bf(1e4, 1e4 - 1, 60.8);
  const double logBf01 = bf.ComputeLogBayesFactor();
  EXPECT_NEAR_REL(-logBf01, 1567.8166964429515, 1e-6);
  EXPECT_TRUE(bf.GetWarnings().IsEmpty());
  BayesFactorOneSampleTT again(1e4, 1e4 - 1, 60.8);
  EXPECT_EQ(again.ComputeBayesFactor(), 0.0);  // exp(-1567.8) is below the double range
  EXPECT_TRUE(again.GetWarnings().IsEmpty());
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
  const JzsReference& r = kJzs[8];  // n = 20, t = 2
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
