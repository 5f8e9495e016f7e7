#pragma once
// IIntegrand: a function that an integrator evaluates. ComputeNI is the one-variable form that the
// quadrature (LobattoQuad) integrates; ComputeMC is the two-variable form that Monte Carlo integrators
// average. An integrand that has no use for one of the forms answers 0 or the missing value there.
// A value that cannot be computed is answered as KQMV::Missing(); the integrators pass that on.

namespace KQMath_850 {

class IIntegrand {
 public:
  virtual ~IIntegrand() = default;
  /// The two-variable form, for Monte Carlo averaging.
  virtual double ComputeMC(double x, double y) = 0;
  /// The one-variable form, for numerical integration.
  virtual double ComputeNI(double x) = 0;
};

}  // namespace KQMath_850
