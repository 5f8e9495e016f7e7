#pragma once
// BayesFactorDenomIF: the integrand of the JZS Bayes factor of a one-sample t statistic.
//
// With N cases, nu degrees of freedom and statistic t, the marginal likelihood under the alternative
// is the t likelihood kernel averaged over the variance factor g of a Cauchy prior on the effect:
//   D = integral over g > 0 of (1 + N g)^(-1/2) (1 + t^2 / ((1 + N g) nu))^(-(nu+1)/2) p(g) dg,
// where p(g) = K g^(-3/2) exp(-1/(2g)), K = 1/sqrt(2 pi), is the inverse-gamma(1/2, 1/2) density;
// with a prior scale r other than 1 (a Cauchy law of scale r on the effect), p(g) = r K g^(-3/2)
// exp(-r^2/(2g)), the inverse-gamma(1/2, r^2/2) density.
// ComputeMC(g) is the likelihood factor alone (for Monte Carlo, where g is drawn from p);
// ComputeNI(g) includes p(g) (for quadrature). Both are evaluated in logs.
//
// An optional log scale s divides both forms by exp(s): integrating D / L0 instead of D keeps the
// ratio BF01 = L0 / D finite when L0 and D both underflow (large |t| and many cases).
// Input: N > 0, nu > 0, t not missing; otherwise the object is invalid and both forms answer the
// missing value. ComputeNI(0) is 0, ComputeNI(g < 0) and ComputeMC(g) with 1 + N g <= 0 are missing.
// Accuracy: tests/kernels/BayesFactorOneSampleTT_test.cpp integrates it against R's integrate().

#include <cmath>
#include <ostream>

#include "companion/IIntegrand.h"

namespace KQBSN_850 {

class BayesFactorDenomIF : public KQMath_850::IIntegrand {
 public:
  /// 1/sqrt(2 pi), the constant of the inverse-gamma(1/2, 1/2) density.
  static constexpr double kInvSqrt2Pi = 0.39894228040143265;

  BayesFactorDenomIF(double nCases, double df, double t);

  /// Replaces N, nu and t; returns whether they are valid.
  bool SetParams(double nCases, double df, double t);
  bool IsValid() const noexcept { return valid_; }
  /// Divides both forms by exp(logScale) (0 by default).
  void SetLogScale(double logScale) noexcept { logScale_ = logScale; }
  /// The prior scale r > 0 (1 by default).
  void SetPriorScale(double priorScale) noexcept {
    logDensityConstant_ = std::log(kInvSqrt2Pi * priorScale);
    halfPriorScaleSquared_ = 0.5 * (priorScale * priorScale);
  }

  /// ln of the unscaled ComputeNI form at g > 0 (the log scale is not subtracted).
  double LogNI(double g) const;
  /// The likelihood factor at g (y is not used).
  double ComputeMC(double g, double y) override;
  /// The likelihood factor times the inverse-gamma(1/2, 1/2) density at g.
  double ComputeNI(double g) override;
  void Display(std::ostream& os) const;

 private:
  double LogLikelihoodFactor(double g) const;

  double nCases_;
  double df_;
  double t_;
  bool valid_;
  double logScale_ = 0.0;
  // Formed once per parameter set, since a quadrature evaluates the integrand at every node.
  double tSquaredOverDf_ = 0.0;                        ///< t^2 / nu
  double halfDfPlusHalf_ = 0.0;                        ///< (nu + 1) / 2
  double logDensityConstant_ = std::log(kInvSqrt2Pi);  ///< ln(r K)
  double halfPriorScaleSquared_ = 0.5;                 ///< r^2 / 2
};

}  // namespace KQBSN_850
