#include "kernels/BayesFactorDenomIF.h"

#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

BayesFactorDenomIF::BayesFactorDenomIF(double nCases, double df, double t) { SetParams(nCases, df, t); }

bool BayesFactorDenomIF::SetParams(double nCases, double df, double t) {
  nCases_ = nCases;
  df_ = df;
  t_ = t;
  valid_ = nCases > 0.0 && df > 0.0 && !KQMV::IsMissingOrNaN(t);
  return valid_;
}

// log of (1 + N g)^(-1/2) (1 + t^2 / ((1 + N g) nu))^(-(nu+1)/2); log1p keeps the small-ratio digits.
double BayesFactorDenomIF::LogLikelihoodFactor(double g) const {
  const double spread = 1.0 + nCases_ * g;
  return -0.5 * std::log(spread) - 0.5 * (df_ + 1.0) * std::log1p(t_ * t_ / spread / df_);
}

double BayesFactorDenomIF::ComputeMC(double g, double) {
  if (!valid_ || !(1.0 + nCases_ * g > 0.0)) return KQMV::Missing();
  return std::exp(LogLikelihoodFactor(g) - logScale_);
}

double BayesFactorDenomIF::LogNI(double g) const {
  // With r = 1 the two prior-scale terms are exactly ln 1 = 0 and r^2 = 1.
  // (1 + N g)^(-1/2) g^(-3/2) under one logarithm: both factors are far from the double range's ends
  // for the g a quadrature visits (g^3 (1 + N g) overflows only past g = 1e77 / N^(1/4)).
  const double spread = 1.0 + nCases_ * g;
  return std::log(kInvSqrt2Pi * priorScale_) - 0.5 * std::log(spread * (g * g * g)) -
         0.5 * (df_ + 1.0) * std::log1p(t_ * t_ / spread / df_) - 0.5 * (priorScale_ * priorScale_) / g;
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
