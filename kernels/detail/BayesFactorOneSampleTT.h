#pragma once
// BayesFactorOneSampleTT: the JZS Bayes factor BF01 of a one-sample t statistic by adaptive
// Gauss-Lobatto quadrature.
//
// BF01 = L0 / D with L0 = (1 + t^2/nu)^(-(nu+1)/2), the t likelihood kernel under the null, and D the
// integral of BayesFactorDenomIF over g (a Cauchy prior with scale 1 on the standardised effect).
// The quadrature runs over [lower limit, min(upper limit, cut-off)]; beyond the cut-off the integrand
// is K N^(-1/2) g^(-2) to within a relative 1/(N g), and that tail is added in closed form. When the
// quadrature does not converge within its iteration limit, a fixed sum of twenty basic-rule panels
// over [lower limit, 500] replaces it and the quadrature's warning is kept. The integral is taken
// over D / L0, so that BF01 stays finite where L0 and D both underflow.
// Input: N > 0, nu > 0, t not missing; otherwise ComputeBayesFactor answers the missing value
// without a warning. A zero denominator also gives the missing value; an overflowing one, 0.
// Accuracy: tests/kernels/BayesFactorOneSampleTT_test.cpp compares with R's integrate() of the same
// integrand (rel.tol 1e-12) and with BayesFactor::ttestBF for n from 5 to 1e5 and |t| up to 10.

#include <ostream>

#include "companion/KQWarnings.h"

namespace KQBSN_850 {

class BayesFactorOneSampleTT {
 public:
  static constexpr double kDefaultTolerance = 1e-8;
  static constexpr int kDefaultMaxIter = 1500;
  /// The quadrature stops here; the integrand beyond is close enough to its large-g form to add
  /// that form's integral instead (relative error below 1/(N * 1e5)).
  static constexpr double kCutOff = 100000.0;

  BayesFactorOneSampleTT(double nCases, double df, double t);
  virtual ~BayesFactorOneSampleTT() = default;

  bool IsValid() const noexcept { return valid_; }
  void SetTolerance(double tolerance) noexcept { tolerance_ = tolerance; }
  void SetMaxIter(int maxIter) noexcept { maxIter_ = maxIter; }
  void SetLowerLimit(double lower) noexcept { lower_ = lower; }
  void SetUpperLimit(double upper) noexcept { upper_ = upper; }
  double GetTolerance() const noexcept { return tolerance_; }
  int GetMaxIter() const noexcept { return maxIter_; }

  /// BF01, or the missing value; the quadrature's warnings are added to GetWarnings().
  double ComputeBayesFactor();
  /// Iterations the main quadrature used (the limit when it did not converge).
  int GetNIterations() const noexcept { return nIterations_; }
  const KQCommon_850::KQWarnings& GetWarnings() const noexcept { return warnings_; }
  void Display(std::ostream& os) const;

 private:
  double nCases_;
  double df_;
  double t_;
  bool valid_;
  double tolerance_ = kDefaultTolerance;
  int maxIter_ = kDefaultMaxIter;
  int nIterations_ = 0;
  double lower_ = 0.0;
  double upper_;
  KQCommon_850::KQWarnings warnings_;
};

/// ln L0 = -(nu + 1)/2 ln(1 + t^2/nu), the log t likelihood kernel under the null.
double LogNullTKernel(double df, double t) noexcept;

}  // namespace KQBSN_850
