#pragma once
// The integrands of the regression Bayes factors over Zellner's g, and their integral.
//
// Every integrand is f(g) = exp(phi(g)) with
//   phi(g) = a ln(1 + g) + e ln(1 + b g) [ + ln s - 1.5 ln g + h / g ],
// the bracket being the inverse-gamma prior density of g with shape 1/2 and scale c^2 N / 2
// (s = c sqrt(N / (2 pi)), h = -c^2 N / 2; c = 1 for the Zellner-Siow prior). With the null model
// (R2 the fitted model's R squared, p its predictors): a = (N - 1 - p)/2, b = 1 - R2, e = (1 - N)/2, and
// a = (N - 1 - p - c)/2 without the bracket for the hyper-g prior. Against a full model (R0, p fitted;
// R1, p1 full): a = (p1 + 1 - N)/2, b = (1 - R1)/(1 - R0), e = (N - p - 1)/2, and a = (1 + p1 - N - c)/2
// for the hyper-g prior. The powers are never formed: phi is summed in logs.
//
// ComputeNI answers f(g) divided by exp(the log scale), so that an integral whose value leaves the range
// of doubles can still be taken; LogIntegralOverG returns the logarithm of the unscaled integral.
// Accuracy: tests/regression/BSNMultipleRegrFactor_test.cpp compares the factors built on these
// integrals with R's BayesFactor and with closed forms.

#include "companion/IIntegrand.h"
#include "companion/KQCancel.h"
#include "companion/KQWarnings.h"

namespace KQBSN_850 {

/// The range of g of every regression factor: from the machine epsilon to one million.
inline constexpr double kRegrGLower = 2.220446049250313e-16;
inline constexpr double kRegrGUpper = 1000000.0;

class GPriorIntegrand : public KQMath_850::IIntegrand {
 public:
  /// ln f(g) for g > 0.
  double LogNI(double g) const noexcept;
  /// ln(f(g) g) at g = exp(t): the integrand in t = ln g.
  double LogInT(double t) const noexcept;
  /// The first and second derivatives of LogInT at t.
  void DerivativesInT(double t, double& first, double& second) const noexcept;
  /// Not used by these integrands.
  double ComputeMC(double, double) override { return 0.0; }
  /// f(g) / exp(log scale).
  double ComputeNI(double g) override;
  void SetLogScale(double logScale) noexcept { logScale_ = logScale; }

 protected:
  /// Constants a, b, e; with an inverse-gamma prior of scale factor c over n cases when withPrior.
  GPriorIntegrand(double a, double b, double e, bool withPrior, double c, double n) noexcept;

 private:
  double a_, b_, e_;
  bool withPrior_;
  double logS_ = 0.0, h_ = 0.0;
  double logScale_ = 0.0;
};

class SiowNullFunction final : public GPriorIntegrand {
 public:
  SiowNullFunction(double r2, double n, double p) noexcept;
};
class HyperNullFunction final : public GPriorIntegrand {
 public:
  HyperNullFunction(double r2, double n, double p, double c) noexcept;
};
class RouderNullFunction final : public GPriorIntegrand {
 public:
  RouderNullFunction(double r2, double n, double p, double c) noexcept;
};
class SiowFullFunction final : public GPriorIntegrand {
 public:
  SiowFullFunction(double r0, double r1, double n, double p, double p1) noexcept;
};
class HyperFullFunction final : public GPriorIntegrand {
 public:
  HyperFullFunction(double r0, double r1, double n, double p, double p1, double c) noexcept;
};
class RouderFullFunction final : public GPriorIntegrand {
 public:
  RouderFullFunction(double r0, double r1, double n, double p, double p1, double c) noexcept;
};

/// Controls of the integral.
struct GIntegration {
  double tolerance = 1e-6;
  int maxIter = 2000;
  KQCommon_850::KQCancelInfo* cancel = nullptr;
};

/// ln of the integral of f over g in [kRegrGLower, kRegrGUpper]; the missing value when it cannot be
/// formed (a non-finite integrand, cancellation). Quadrature warnings are added to `warnings`.
///
/// The integral is taken in t = ln g, where f(g) g is close to a normal curve in t once N is large, after
/// locating the largest value of ln f(g) + t (the best point of a grid in t, refined by safeguarded
/// Newton steps on the derivative). The range is split at that point and each side integrated from it
/// outwards: the first hundredth of the peak's width by one basic rule, the rest adaptively with panels
/// laid geometrically from the peak, so that the peak is resolved however narrow it is. The integrand
/// is divided by its largest value, whose logarithm is added back.
double LogIntegralOverG(GPriorIntegrand& integrand, const GIntegration& controls,
                        KQCommon_850::KQWarnings& warnings, bool& cancelled);

}  // namespace KQBSN_850
