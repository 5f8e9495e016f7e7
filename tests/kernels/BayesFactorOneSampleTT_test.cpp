#include "kernels/detail/BayesFactorOneSampleTT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "companion/KQMV.h"
#include "kernels/detail/BayesFactorOneSampleTTMC.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using KQCommon_850::KQMV;

namespace {

// Written by tests/reference/jzs_onesample.R (R 4.2.2, BayesFactor 0.9.12.4.4) to jzs_onesample.out: n, t,
// BF01 by R integrate() (rel.tol = 1e-12), 1/BF10 of BayesFactor::ttest.tstat(t, n1 = n, rscale = 1) and
// its reported proportional error.
const std::vector<kqtest::ReferenceRow>& Jzs() {
  static const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("jzs_onesample.out");
  return rows;
}

double Quadrature(double n, double t, double tolerance) {
  BayesFactorOneSampleTT bf(n, n - 1, t);
  bf.SetTolerance(tolerance);
  const double bf01 = bf.ComputeBayesFactor();
  EXPECT_TRUE(bf.GetWarnings().IsEmpty()) << "n " << n << " t " << t;
  return bf01;
}

}  // namespace

TEST(BayesFactorOneSampleTT, MatchesHighAccuracyIntegralAndTtestBF) {
  ASSERT_EQ(Jzs().size(), 36u);
  for (double tolerance : {1e-6, 1e-8, 1e-10}) {
    kqtest::WorstRow worst;
    for (std::size_t i = 0; i < Jzs().size(); ++i) {
      const std::vector<double>& r = Jzs()[i].values;  // n, t, integrate(), ttest.tstat, its error
      const double bf01 = Quadrature(r[0], r[1], tolerance);
      worst.Note(i, bf01, r[2]);
      // For n >= 1e4 BayesFactor's own error estimate is smaller than its distance from the integrate()
      // column (e.g. n = 1e5, t = 5: 4.4e-5 against a reported 5e-8); there the comparison allows 1e-4.
      if (tolerance == 1e-10) {
        EXPECT_NEAR_REL(bf01, r[3], std::max(r[4], r[0] >= 1e4 ? 1e-4 : 1e-9))
            << "n " << r[0] << " t " << r[1];
      }
    }
    // Beyond g = 1e5 the integral is the closed-form tail of the large-g integrand, whose neglected
    // factor (1 + t^2/((1 + N g) nu))^(-(nu+1)/2) / L0 costs up to about 1e-8 of BF01 when t^2/N is large.
    EXPECT_LE(worst.Error(), std::max(tolerance, 2e-8))
        << "worst row " << worst.Row() << ", tol " << tolerance;
  }
}

TEST(BayesFactorOneSampleTT, ExtremeInputsMatchMpmath) {
  // tests/reference/jzs_extremes.py (mpmath 1.3.0, 50 digits): a million cases, or t values whose L0
  // underflows (ln L0 about -4.8e5 at n = 1e7, t = 1e3, where BF01 = 1.6e-206960 reads as 0 in doubles).
  // Within 2e-8: the closed-form tail beyond g = 1e5, as in the table above.
  const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("jzs_extremes.out");
  ASSERT_EQ(rows.size(), 6u);
  for (const kqtest::ReferenceRow& row : rows) {
    double n = 0.0, t = 0.0;
    ASSERT_EQ(std::sscanf(row.label.c_str(), "n %lf t %lf", &n, &t), 2) << row.label;
    EXPECT_NEAR_REL(Quadrature(n, t, 1e-8), row.values.at(0), 2e-8) << row.label;
  }
}

TEST(BayesFactorOneSampleTTMC, ReproducibleAndWithinMonteCarloError) {
  const double n = 20, t = 2, bf01 = Jzs().at(8).values.at(2);  // the integrate() row n = 20, t = 2
  const auto run = [&](int draws, unsigned long seed) {
    return BayesFactorOneSampleTTMC(n, n - 1, t, draws, seed).ComputeBayesFactor();
  };
  const double first = run(10000, 2000000);
  EXPECT_EQ(first, run(10000, 2000000));
  // Without draws, or with no case, there is no factor.
  EXPECT_TRUE(KQMV::IsMissing(run(0, 1)) &&
              KQMV::IsMissing(BayesFactorOneSampleTTMC(0, 4, 1, 9, 1).ComputeBayesFactor()));
  // The spread over 30 seeds estimates the Monte Carlo error of one run of 2000 draws.
  double sum = 0.0, squares = 0.0;
  for (unsigned long seed = 1; seed <= 30; ++seed) {
    const double x = run(2000, seed);
    sum += x;
    squares += x * x;
  }
  const double mean = sum / 30.0, var = (squares - sum * mean) / 29.0;
  EXPECT_LT(std::fabs(mean - bf01), 4.0 * std::sqrt(var / 30.0));
  EXPECT_LT(std::fabs(first - bf01), 4.0 * std::sqrt(var * 2000.0 / 10000.0));
}
