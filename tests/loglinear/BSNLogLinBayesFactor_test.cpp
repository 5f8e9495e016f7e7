// The pieces of the Bayes factors: the Dirichlet integrand and integral (edge values, scaling, the
// fallback bounds), the log-sum accumulator, and the intrinsic enumeration's cancellation.

#include <gtest/gtest.h>

#include <cmath>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "loglinear/BSNLLDirichletIF.h"
#include "loglinear/BSNLLDirichletIntegral.h"
#include "loglinear/detail/BSNLogLinBayesFactor.h"
#include "tests/loglinear/LogLinearRun.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/Fakes.h"

namespace kqtest {
namespace {

using KQBSN_850::BSNLLDirichletIF;
using KQBSN_850::BSNLLDirichletIntegral;
using KQCommon_850::KQMV;

TEST(DirichletIntegrand, ValuesByHandAndScaling) {
  // Counts (1, 0) with k = 2, s = 1, N = 1 at alpha = 1: Gamma(2) Gamma(1) Gamma(2) / (Gamma(1)^2 Gamma(3))
  // = 1/2 times the log-Cauchy density at 1, 1 / pi^2. An empty cell counts in k only.
  const std::vector<double> counts = {1, 0};
  const std::vector<std::vector<double>> none;
  BSNLLDirichletIF f(counts, none, 2.0, 1.0, 1.0);
  EXPECT_NEAR_REL(f.ComputeNI(1.0), 0.5 / 9.869604401089358, 1e-14);
  EXPECT_EQ(f.ComputeNI(0.0), 0.0);
  EXPECT_EQ(f.ComputeNI(-1.0), 0.0);
  EXPECT_TRUE(KQMV::IsMissing(f.ComputeMC(1.0, 1.0)));
  EXPECT_EQ(f.ComputeY(), 1.0);
  // A table given as cells is used instead of the list; the same counts as a 1 x 2 table.
  const std::vector<std::vector<double>> cells = {{1, 0}};
  BSNLLDirichletIF g(std::vector<double>{}, cells, 2.0, 1.0, 1.0);
  EXPECT_EQ(g.ComputeLogF(2.5), f.ComputeLogF(2.5));
  // Scaling divides by f(1).
  g.SetScaling(true);
  EXPECT_NEAR_REL(g.ComputeNI(1.0), 1.0, 1e-15);
  EXPECT_NEAR_REL(g.ComputeNI(3.0), f.ComputeNI(3.0) / f.ComputeNI(1.0), 1e-14);
}

TEST(DirichletIntegral, ScaledAndPlainAgreeAndBoundsMustIncrease) {
  const std::vector<double> counts = {12, 5, 3, 10};
  const std::vector<std::vector<double>> none;
  BSNLLDirichletIntegral plain(counts, none, 4.0, 1.0, 30.0, 1e-10, 2000);
  BSNLLDirichletIntegral scaled(counts, none, 4.0, 1.0, 30.0, 1e-10, 2000);
  scaled.SetScaling(true);
  const double value = plain.Compute();
  EXPECT_GT(value, 0.0);
  EXPECT_NEAR_REL(std::log(scaled.Compute()) + scaled.GetLogScale(), std::log(value), 1e-9);
  EXPECT_TRUE(plain.GetWarnings().IsEmpty());
  EXPECT_TRUE(plain.SetBoundsForNonConvergence(1, 2, 10, 50, 500));
  EXPECT_FALSE(plain.SetBoundsForNonConvergence(1, 1, 10, 50, 500));
  EXPECT_FALSE(plain.SetBoundsForNonConvergence(0, 1, 10, 50, 500));
  // Out of iterations: the ten-piece fallback over [0, 500] and the quadrature's warning.
  BSNLLDirichletIntegral starved(counts, none, 4.0, 1.0, 30.0, 1e-12, 1);
  const double fallback = starved.Compute();
  EXPECT_EQ(starved.GetNIterations(), 1);
  EXPECT_FALSE(starved.GetWarnings().IsEmpty());
  EXPECT_GT(fallback, 0.0);
  EXPECT_LT(fallback, value);  // the prior mass beyond 500 is left out
}

TEST(LogSumAccumulator, SumsFarOutsideTheDoubleRange) {
  KQBSN_850::detail::LogSumAccumulator sum;
  EXPECT_TRUE(KQMV::IsMissing(sum.LogSum()));
  // e^-1000 + e^-1000 + e^-2000 = 2 e^-1000; then e^1000 swamps them.
  sum.Add(-1000.0);
  sum.Add(-2000.0);
  sum.Add(-1000.0);
  EXPECT_NEAR_REL(sum.LogSum(), -1000.0 + std::log(2.0), 1e-15);
  sum.Add(1000.0);
  EXPECT_NEAR_REL(sum.LogSum(), 1000.0, 1e-15);
}

TEST(IntrinsicFactor, CancellationDuringTheEnumeration) {
  // Fixed total T = 500 on a table of 10019: the enumeration polls per (y11, y12).
  const Table strong = {{5000, 10}, {9, 5000}};
  KQBSN_850::BSNSettings s = LogLinearSettings(strong, KQBSN_850::BSNConst::AnalysTypes::BayesFactor);
  s.SetLogLinPriorType(KQBSN_850::BSNConst::LogLinPriorType::Intrinsic);
  KQBSN_850::BSNContingency table({0, 1}, {2, 2}, -1);
  table.SetCounts(strong);
  KQBSN_850::BSNLogLinIntrinsicBF factor(s, table);
  CancelAfter query(100);
  KQCommon_850::KQCancelInfo cancel(&query);
  factor.SetCancelInfo(cancel);
  factor.ComputeBayesFactor();
  EXPECT_EQ(factor.GetStatus().GetErrorCode(), KQBSN_850::BSN_STATUS_CANCELLED);
  EXPECT_TRUE(KQMV::IsMissing(factor.GetBayesFactor()));
  EXPECT_EQ(query.nAsked, 101);
}

}  // namespace
}  // namespace kqtest
