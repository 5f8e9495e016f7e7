#include "kernels/BayesFactorDenomIF.h"

#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

namespace {

// ln(1 + x) through log, which glibc evaluates faster than its log1p: with u = 1 + x
// rounded, ln(u) x / (u - 1) cancels the rounding of u and is within a few units of roundoff of
// ln(1 + x) for every x > -1 (Goldberg, "What every computer scientist should know about
// floating-point arithmetic", Theorem 4). A quadrature evaluates it at every node.
double Log1p(double x) noexcept {
  const double u = 1.0 + x;
  if (u == 1.0) return x;
  if (std::isinf(u)) return u;  // x / (u - 1) would be inf / inf
  return std::log(u) * (x / (u - 1.0));
}

}  // namespace

BayesFactorDenomIF::BayesFactorDenomIF(double nCases, double df, double t) { SetParams(nCases, df, t); }

bool BayesFactorDenomIF::SetParams(double nCases, double df, double t) {
  nCases_ = nCases;
  df_ = df;
  t_ = t;
  tSquaredOverDf_ = t * t / df;
  halfDfPlusHalf_ = 0.5 * (df + 1.0);
  valid_ = nCases > 0.0 && df > 0.0 && !KQMV::IsMissingOrNaN(t);
  return valid_;
}

// log of (1 + N g)^(-1/2) (1 + t^2 / ((1 + N g) nu))^(-(nu+1)/2); ln(1 + x) keeps the small-ratio digits.
double BayesFactorDenomIF::LogLikelihoodFactor(double g) const {
  const double spread = 1.0 + nCases_ * g;
  return -0.5 * std::log(spread) - halfDfPlusHalf_ * Log1p(tSquaredOverDf_ / spread);
}

double BayesFactorDenomIF::ComputeMC(double g, double) {
  if (!valid_ || !(1.0 + nCases_ * g > 0.0)) return KQMV::Missing();
  return std::exp(LogLikelihoodFactor(g) - logScale_);
}

double BayesFactorDenomIF::LogNI(double g) const {
  // The density's constants ln(r K) and r^2 / 2 are formed once per prior scale, not per point.
  // (1 + N g)^(-1/2) g^(-3/2) under one logarithm: both factors are far from the double range's ends
  // for the g a quadrature visits (g^3 (1 + N g) overflows only past g = 1e77 / N^(1/4)).
  const double spread = 1.0 + nCases_ * g;
  return logDensityConstant_ - 0.5 * std::log(spread * (g * g * g)) -
         halfDfPlusHalf_ * Log1p(tSquaredOverDf_ / spread) - halfPriorScaleSquared_ / g;
}

double BayesFactorDenomIF::ComputeNI(double g) {
  if (!valid_ || !(g >= 0.0)) return KQMV::Missing();
  if (g == 0.0) return 0.0;
  return std::exp(LogNI(g) - logScale_);
}

void BayesFactorDenomIF::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BayesFactorDenomIF display start");
  DisplayD("Number of cases", nCases_);
  DisplayD("Sum of frequency weights - 1", df_);
  DisplayD("T statistic", t_);
  DisplayB("Validity indicator", valid_);
  DisplayD("Constant 1/sqrt(2*pi)", kInvSqrt2Pi);
  DisplayText(1, "BayesFactorDenomIF display end");
}

}  // namespace KQBSN_850
