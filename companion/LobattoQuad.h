#pragma once
// LobattoQuad: adaptive Gauss-Lobatto quadrature of IIntegrand::ComputeNI over a finite interval.
//
// Basic rule (Gander and Gautschi, "Adaptive quadrature - revisited", BIT 40, 2000): on [a, b] the
// 7-point Kronrod extension of the 4-point Gauss-Lobatto rule, exact for polynomials of degree 9; the
// difference between the two rules estimates the error of the panel. The interval is first cut into
// panels (below), then the panel with the largest error estimate is bisected, one bisection per
// iteration, until the summed error estimates are within the relative tolerance of the integral (or
// within the rounding error of the sum of |f|, so that integrals that vanish can converge).
// Initial panels: a positive range wider than a factor 10 is cut geometrically, about one panel per
// decade (at most 40), a range that starts at 0 first getting the panel [0, b * 2^-52]; a range that
// crosses 0 is cut at 0 and each side is treated so. A panel is then never much wider than its distance
// from 0, so a peak is sampled at a density that follows its position: a normal peak whose standard
// deviation is 1% of its position is found anywhere in [1e-10, 1e7] on [2.2e-16, 1e8] (tested), where a
// single panel would sample the whole range at seven points and could miss the peak entirely. Much
// narrower peaks can still be missed, as by any rule that samples a function at finitely many points.
// The rule evaluates the end points, so the integrand must be finite there (answer 0 at g = 0 for a
// density that vanishes there).
//
// Input: finite limits in either order (a > b gives the negated integral); a NaN, infinite or missing
// limit gives KQMV::Missing() (no warning: nothing was integrated). When the integrand answers the
// missing value or NaN, Integrate returns KQMV::Missing(); an infinite integrand value ends it with that
// infinity; both add the warning KQ_INTEGRAND_NOT_FINITE and report the limit as iteration count. When
// the tolerance is not met with fewer than the maximum number of iterations, Integrate returns its best
// estimate (all panels refined so far), GetNIterations() equals the limit and GetWarnings() holds
// KQ_INTEGRATION_NOT_CONVERGED.
// Accuracy: tests/companion/LobattoQuad_test.cpp checks closed forms (polynomials, exp, 1/(1 + x^2) over
// wide ranges, narrow normal peaks on [2.2e-16, 1e8]) and the one-sample JZS t integral for sample
// sizes 5 to 1e6 against high-precision values, at relative tolerances down to 1e-10.

#include <span>
#include <vector>

#include "companion/IIntegrand.h"
#include "companion/INumIntegration.h"
#include "companion/KQCancel.h"
#include "companion/KQWarnings.h"

namespace KQMath_850 {

class LobattoQuad : public INumIntegration {
 public:
  /// Relative tolerance used until SetTolerance is called.
  static constexpr double kDefaultTolerance = 1e-8;
  /// Iteration limit used until SetMaxIter is called.
  static constexpr int kDefaultMaxIter = 2000;

  /// Integrates `integrand`, which must outlive this object.
  explicit LobattoQuad(IIntegrand& integrand) : integrand_(integrand) {}

  /// Relative tolerance of Integrate; values below 10 machine epsilons, or NaN, mean 10 epsilons.
  void SetTolerance(double relative);
  /// Maximum number of iterations (bisections) of Integrate; values below 1 mean 1.
  void SetMaxIter(int maxIter);
  /// Cancellation asked every kCancelPollInterval iterations of Integrate (null, the default: never).
  /// The object must outlive the quadrature's use of it.
  void SetCancelInfo(KQCommon_850::KQCancelInfo* cancel) noexcept { cancel_ = cancel; }
  /// True when the last Integrate stopped because cancellation was asked for; it then returned the
  /// missing value without a warning.
  bool WasCancelled() const noexcept { return cancelled_; }
  /// Iterations between two questions to the cancellation: a few milliseconds of work at most.
  static constexpr int kCancelPollInterval = 64;
  double GetTolerance() const noexcept { return tolerance_; }
  int GetMaxIter() const noexcept { return maxIter_; }

  /// The adaptive integral of ComputeNI over [a, b] (see the header comment for what it returns otherwise).
  double Integrate(double a, double b) override;
  /// The adaptive integral over [breakpoints.front(), breakpoints.back()], starting from the panels
  /// between consecutive breakpoints (strictly increasing, finite) instead of the default cut: for a
  /// caller who knows where the integrand's mass lies. Fewer than two breakpoints, or breakpoints that
  /// are not strictly increasing and finite, give the missing value without a warning.
  double IntegrateOver(std::span<const double> breakpoints);
  /// One application of the 7-point basic rule on [a, b]; missing for a non-finite limit or integrand
  /// value. Leaves the iteration count and the warnings of the last Integrate alone.
  double SumUp(double a, double b) override;

  /// Iterations used by the last Integrate; the limit when it did not converge.
  int GetNIterations() const noexcept { return nIterations_; }
  /// Absolute error estimate of the last Integrate (the sum over the panels of |Kronrod - Lobatto|).
  double GetErrorEstimate() const noexcept { return errorEstimate_; }
  /// Warnings of the last Integrate: empty when it converged.
  const KQCommon_850::KQWarnings& GetWarnings() const noexcept { return warnings_; }

 private:
  struct Panel {
    double a, b;        // limits
    double fa, fm, fb;  // integrand at a, at the midpoint and at b (reused by the two halves)
    double value;       // the 7-point rule
    double absValue;    // the 7-point rule applied to |f|, the scale of its rounding error
    double error;       // |7-point rule - 4-point rule|
  };

  double Evaluate(double x);
  void Reset();
  double RefinePanels(std::span<const double> points, double sign);
  Panel MakePanel(double a, double b, double fa, double fb);
  bool IsSplittable(const Panel& panel) const;
  bool Refine();
  bool HasBadValue() const;
  double AbortOnBadValue(double sign);
  double Sum(double Panel::*field) const;

  IIntegrand& integrand_;
  double tolerance_ = kDefaultTolerance;
  int maxIter_ = kDefaultMaxIter;
  int nIterations_ = 0;
  double errorEstimate_ = 0.0;
  KQCommon_850::KQWarnings warnings_;
  std::vector<Panel> active_;   // heap ordered by error: the next panel to bisect is at the front
  std::vector<Panel> settled_;  // panels too narrow to bisect further
  bool sawMissing_ = false;     // the integrand answered missing or NaN
  int infiniteSign_ = 0;        // +1 or -1 after an infinite value; 2 after both signs
  KQCommon_850::KQCancelInfo* cancel_ = nullptr;
  bool cancelled_ = false;
};

}  // namespace KQMath_850
