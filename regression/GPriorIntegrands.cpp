#include "regression/detail/GPriorIntegrands.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "companion/KQMV.h"
#include "companion/LobattoQuad.h"
#include "kernels/detail/JzsLogBf01.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

namespace {

constexpr double kLogTwoPi = 1.8378770664093453;
// Points of the grid in t = ln g that brackets the peak: a spacing of about 2.2 in t.
constexpr int kGridPoints = 24;
// Newton steps on the derivative within the bracket; each falls back to bisection when it would leave
// the bracket, so the count bounds the search. Only a scale and a split point are needed, so the search
// stops once a step moves t by less than 1e-10.
constexpr int kNewtonSteps = 60;
// The share of the peak's width (1 / sqrt(-second derivative) in t) next to the peak that one basic
// rule integrates before the adaptive quadrature takes over: the integrand varies there by less than
// 1e-4 of its value, which the 7-point rule integrates exactly to rounding.
constexpr double kInnerShare = 0.01;

/// f(e^(t0 + s u)) e^(t0 + s u) / exp(log scale) for s = +1 or -1: the integrand in t, centred on t0 and
/// turned so that each side of the peak is integrated over positive u.
class CenteredInT final : public KQMath_850::IIntegrand {
 public:
  CenteredInT(const GPriorIntegrand& f, double t0, double logScale) : f_(f), t0_(t0), logScale_(logScale) {}
  void SetDirection(double direction) noexcept { direction_ = direction; }
  double ComputeMC(double, double) override { return 0.0; }
  double ComputeNI(double u) override { return std::exp(f_.LogInT(t0_ + direction_ * u) - logScale_); }

 private:
  const GPriorIntegrand& f_;
  double t0_, logScale_;
  double direction_ = 1.0;
};

}  // namespace

GPriorIntegrand::GPriorIntegrand(double a, double b, double e, bool withPrior, double c, double n) noexcept
    : a_(a), b_(b), e_(e), withPrior_(withPrior) {
  if (withPrior) {
    logS_ = std::log(c) + 0.5 * (std::log(n) - kLogTwoPi);
    h_ = -0.5 * c * c * n;
  }
}

double GPriorIntegrand::LogNI(double g) const noexcept {
  double value = a_ * std::log1p(g) + e_ * std::log1p(b_ * g);
  if (withPrior_) value += logS_ - 1.5 * std::log(g) + h_ / g;
  return value;
}

double GPriorIntegrand::LogInT(double t) const noexcept {
  const double g = std::exp(t);
  double value = a_ * std::log1p(g) + e_ * std::log1p(b_ * g) + t;
  if (withPrior_) value += logS_ - 1.5 * t + h_ / g;
  return value;
}

void GPriorIntegrand::DerivativesInT(double t, double& first, double& second) const noexcept {
  // d/dt ln(1 + c e^t) = c g / (1 + c g); its derivative c g / (1 + c g)^2; d/dt h e^(-t) = -h / g.
  const double g = std::exp(t), bg = b_ * g;
  first = a_ * g / (1.0 + g) + e_ * bg / (1.0 + bg) + 1.0;
  second = a_ * g / ((1.0 + g) * (1.0 + g)) + e_ * bg / ((1.0 + bg) * (1.0 + bg));
  if (withPrior_) {
    first += -1.5 - h_ / g;
    second += h_ / g;
  }
}

double GPriorIntegrand::ComputeNI(double g) { return std::exp(LogNI(g) - logScale_); }

SiowNullFunction::SiowNullFunction(double r2, double n, double p) noexcept
    : GPriorIntegrand((n - 1.0 - p) / 2.0, 1.0 - r2, (1.0 - n) / 2.0, true, 1.0, n) {}
HyperNullFunction::HyperNullFunction(double r2, double n, double p, double c) noexcept
    : GPriorIntegrand((n - 1.0 - p - c) / 2.0, 1.0 - r2, (1.0 - n) / 2.0, false, c, n) {}
RouderNullFunction::RouderNullFunction(double r2, double n, double p, double c) noexcept
    : GPriorIntegrand((n - 1.0 - p) / 2.0, 1.0 - r2, (1.0 - n) / 2.0, true, c, n) {}
SiowFullFunction::SiowFullFunction(double r0, double r1, double n, double p, double p1) noexcept
    : GPriorIntegrand((p1 + 1.0 - n) / 2.0, (1.0 - r1) / (1.0 - r0), (n - p - 1.0) / 2.0, true, 1.0, n) {}
HyperFullFunction::HyperFullFunction(double r0, double r1, double n, double p, double p1, double c) noexcept
    : GPriorIntegrand((1.0 + p1 - n - c) / 2.0, (1.0 - r1) / (1.0 - r0), (n - p - 1.0) / 2.0, false, c, n) {}
RouderFullFunction::RouderFullFunction(double r0, double r1, double n, double p, double p1, double c) noexcept
    : GPriorIntegrand((p1 + 1.0 - n) / 2.0, (1.0 - r1) / (1.0 - r0), (n - p - 1.0) / 2.0, true, c, n) {}

double LogIntegralOverG(GPriorIntegrand& integrand, const GIntegration& controls,
                        KQCommon_850::KQWarnings& warnings, bool& cancelled) {
  cancelled = false;
  const double tLow = std::log(kRegrGLower), tHigh = std::log(kRegrGUpper);
  const auto phi = [&](double t) {
    const double value = integrand.LogInT(t);
    return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
  };
  const double step = (tHigh - tLow) / (kGridPoints - 1);
  int best = 0;
  double bestValue = -std::numeric_limits<double>::infinity();
  for (int k = 0; k < kGridPoints; ++k)
    if (const double value = phi(tLow + k * step); value > bestValue) {
      bestValue = value;
      best = k;
    }
  if (!std::isfinite(bestValue)) return KQMV::Missing();
  // Newton steps on the derivative inside the bracket of the best grid point's neighbours, keeping
  // the bracket's ends on either side of the derivative's sign change.
  double lo = tLow + std::max(best - 1, 0) * step, hi = tLow + std::min(best + 1, kGridPoints - 1) * step;
  double tPeak = tLow + best * step, first = 0.0, second = 0.0;
  for (int i = 0; i < kNewtonSteps; ++i) {
    integrand.DerivativesInT(tPeak, first, second);
    if (first > 0.0)
      lo = tPeak;
    else
      hi = tPeak;
    double next = second < 0.0 ? tPeak - first / second : 0.5 * (lo + hi);
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    const bool converged = std::fabs(next - tPeak) < 1e-10;
    tPeak = next;
    if (converged || hi - lo < 1e-12) break;
  }
  double logScale = phi(tPeak);
  if (!(logScale >= bestValue)) tPeak = tLow + best * step, logScale = bestValue;
  integrand.DerivativesInT(tPeak, first, second);
  const double width = second < 0.0 ? std::min(1.0 / std::sqrt(-second), 1.0) : 1.0;

  CenteredInT centered(integrand, tPeak, logScale);
  KQMath_850::LobattoQuad quad(centered);
  quad.SetTolerance(controls.tolerance);
  quad.SetMaxIter(controls.maxIter);
  quad.SetCancelInfo(controls.cancel);
  double sum = 0.0;
  for (const double end : {tPeak - tLow, tHigh - tPeak}) {
    if (!(end > 0.0)) continue;
    centered.SetDirection(end == tPeak - tLow ? -1.0 : 1.0);
    const double inner = std::min(kInnerShare * width, end);
    double piece = quad.SumUp(0.0, inner);
    if (end > inner) {
      piece += quad.Integrate(inner, end);
      if (quad.WasCancelled()) {
        cancelled = true;
        return KQMV::Missing();
      }
      AddJzsTableWarnings(quad.GetWarnings(), warnings);
    }
    if (KQMV::IsMissingOrNaN(piece)) return KQMV::Missing();
    sum += piece;
  }
  if (!(sum > 0.0) || !std::isfinite(sum)) return KQMV::Missing();
  return logScale + std::log(sum);
}

}  // namespace KQBSN_850
