#pragma once
// INumIntegration: an integrator over an interval [a, b]. Integrate returns the full estimate of the
// integral; SumUp returns the integrator's elementary piece over [a, b] (for a quadrature, one
// application of its basic rule; for a Monte Carlo integrator, the sum that Integrate averages).
// Either answers KQMV::Missing() when the integral cannot be computed.

namespace KQMath_850 {

class INumIntegration {
 public:
  virtual ~INumIntegration() = default;
  /// The elementary piece of the integral over [a, b].
  virtual double SumUp(double a, double b) = 0;
  /// The integral over [a, b].
  virtual double Integrate(double a, double b) = 0;
};

}  // namespace KQMath_850
