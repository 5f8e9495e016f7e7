#pragma once
// The integrands of the correlation Bayes factors.
//
// JZSFunction (variable g > 0): L(g) = a ln(g + 1) - b ln(c g + 1) - 1.5 ln g - d / (2 g), the log of
// Wetzels and Wagenmakers' JZS integrand for a correlation when d = n, a = (n - 2)/2, c = 1 - r^2,
// b = (n - 1)/2. ComputeNI answers exp(L(g) - M), M being a log scale (0 unless set) that keeps the
// values of a large sample inside the double range; the missing value where L(g) - M is above the largest
// exponent.
// FractionFunctionG1V (variable v > 0): with s = sqrt(v) and base = s + 1/s - m, the value
// exp(c ln(k / base) - ln v), or 0 where base is not positive.
// BayesFactor2DimIF (variables v and rho): L(v, rho) = e1 ln(1 - rho^2) - ln v + e2 ln(sqrt v + 1/sqrt v
// - 2 r rho), e1 = (b n - 3)/2, e2 = 1 - b n, for the fraction b, the sum of weights n and the sample
// correlation r; ComputeMC answers exp(L - M) inside v > 0, -1 < rho < 1 and 0 outside; an object with
// b outside (0, 1], n <= 0 or |r| > 1 is invalid and answers the missing value.
// Accuracy: tests/correlation/CorrelationFactors_test.cpp integrates them against R's integrate.

#include "companion/IIntegrand.h"
#include "companion/KQMV.h"

namespace KQBSN_850 {

class JZSFunction final : public KQMath_850::IIntegrand {
 public:
  JZSFunction(double d, double a, double c, double b) noexcept : d_(d), a_(a), c_(c), b_(b) {}
  /// L(g); -inf for g <= 0.
  double LogNI(double g) const noexcept;
  double ComputeNI(double g) override;
  double ComputeMC(double, double) override { return 0.0; }
  /// The log scale M subtracted from L before exponentiation.
  void SetLogScale(double logScale) noexcept { logScale_ = logScale; }

 private:
  double d_, a_, c_, b_;
  double logScale_ = 0.0;
};

class FractionFunctionG1V final : public KQMath_850::IIntegrand {
 public:
  FractionFunctionG1V(double m, double k, double c) noexcept : m_(m), k_(k), c_(c) {}
  void SetC(double c) noexcept { c_ = c; }
  double ComputeNI(double v) override;
  double ComputeMC(double, double) override { return 0.0; }

 private:
  double m_, k_, c_;
};

class BayesFactor2DimIF final : public KQMath_850::IIntegrand {
 public:
  BayesFactor2DimIF(double fraction, double nWeights, double r) noexcept;
  bool IsValid() const noexcept { return isValid_; }
  /// L(v, rho) inside the domain; -inf outside it.
  double LogMC(double v, double rho) const noexcept;
  double ComputeMC(double v, double rho) override;
  double ComputeNI(double) override { return KQCommon_850::KQMV::Missing(); }
  /// Keeps the largest L(v, rho) seen at points inside the domain.
  void UpdateMaxLog(double v, double rho) noexcept;
  double GetMaxLog() const noexcept { return maxLog_; }
  void SetLogScale(double logScale) noexcept { logScale_ = logScale; }
  /// ln of the largest double less 3: the scaled value at the maximum stays below it by a margin that
  /// leaves room for summing many such values.
  double GetLogBound() const noexcept { return logBound_; }

 private:
  double fraction_, nWeights_, r_;
  bool isValid_;
  double maxLog_ = -1.7976931348623157e308;
  double logScale_ = 0.0;
  double logBound_ = 0.0;
  double e1_ = 0.0, e2_ = 0.0;
};

}  // namespace KQBSN_850
