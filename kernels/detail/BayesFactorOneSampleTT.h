#pragma once
// BayesFactorOneSampleTT: the JZS Bayes factor BF01 of a one-sample t statistic by adaptive
// Gauss-Lobatto quadrature.
//
// BF01 = L0 / D with L0 = (1 + t^2/nu)^(-(nu+1)/2), the t likelihood kernel under the null, and D the
// integral of BayesFactorDenomIF over g (a Cauchy prior with scale 1 on the standardised effect),
// computed in logs by JzsLogBf01 (kernels/detail/JzsLogBf01.h: the integrand divided by its maximum, the
// closed-form tail beyond the cut-off, the fallback after non-convergence).
// Input: N > 0, nu > 0, t not missing; otherwise ComputeBayesFactor answers the missing value
// without a warning. A zero denominator also gives the missing value; a BF01 below the double range, 0
// (ComputeLogBayesFactor keeps its logarithm).
// Accuracy: tests/kernels/BayesFactorOneSampleTT_test.cpp compares with R's integrate() of the same
// integrand (rel.tol 1e-12) and with BayesFactor::ttestBF for n from 5 to 1e5 and |t| up to 10.

#include <ostream>

#include "companion/KQWarnings.h"
#include "kernels/detail/JzsLogBf01.h"

namespace KQBSN_850 {

class BayesFactorOneSampleTT {
 public:
  static constexpr double kDefaultTolerance = 1e-8;
  static constexpr int kDefaultMaxIter = 1500;
  /// The quadrature stops here; the integrand beyond is close enough to its large-g form to add
  /// that form's integral instead (relative error below 1/(N * 1e5)).
  static constexpr double kCutOff = kJzsCutOff;

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
  /// ln BF01, or the missing value; the quadrature's warnings are added to GetWarnings().
  double ComputeLogBayesFactor();
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
