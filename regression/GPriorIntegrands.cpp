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
// Points of the grid in t = ln g before the golden-section steps: a spacing of about 1.3 in t.
constexpr int kGridPoints = 40;
// Golden-section steps: the bracket of two grid spacings shrinks to 2.6 * 0.618^60, below 1e-12 in t,
// so that even for N near 1e9 the peak's log value is found to within far less than one unit.
constexpr int kGoldenSteps = 60;

/// f(e^(t0 + u)) e^(t0 + u) / exp(log scale): the integrand in t, centred on t0.
class CenteredInT final : public KQMath_850::IIntegrand {
 public:
  CenteredInT(const GPriorIntegrand& f, double t0, double logScale) : f_(f), t0_(t0), logScale_(logScale) {}
  double ComputeMC(double, double) override { return 0.0; }
  double ComputeNI(double u) override {
    const double t = t0_ + u;
    return std::exp(f_.LogNI(std::exp(t)) + t - logScale_);
  }

 private:
  const GPriorIntegrand& f_;
  double t0_, logScale_;
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
    const double value = integrand.LogNI(std::exp(t)) + t;
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
  double lo = tLow + std::max(best - 1, 0) * step, hi = tLow + std::min(best + 1, kGridPoints - 1) * step;
  constexpr double kGolden = 0.6180339887498949;
  double left = hi - kGolden * (hi - lo), right = lo + kGolden * (hi - lo);
  double leftValue = phi(left), rightValue = phi(right);
  for (int i = 0; i < kGoldenSteps; ++i) {
    if (leftValue > rightValue) {
      hi = right;
      right = left;
      rightValue = leftValue;
      left = hi - kGolden * (hi - lo);
      leftValue = phi(left);
    } else {
      lo = left;
      left = right;
      leftValue = rightValue;
      right = lo + kGolden * (hi - lo);
      rightValue = phi(right);
    }
  }
  double tPeak = tLow + best * step, logScale = bestValue;
  if (leftValue > logScale) tPeak = left, logScale = leftValue;
  if (rightValue > logScale) tPeak = right, logScale = rightValue;
  if (!std::isfinite(logScale)) return KQMV::Missing();

  CenteredInT centered(integrand, tPeak, logScale);
  KQMath_850::LobattoQuad quad(centered);
  quad.SetTolerance(controls.tolerance);
  quad.SetMaxIter(controls.maxIter);
  quad.SetCancelInfo(controls.cancel);
  double sum = 0.0;
  for (const double end : {tLow - tPeak, tHigh - tPeak}) {
    if (end == 0.0) continue;
    const double piece = quad.Integrate(0.0, end);
    if (quad.WasCancelled()) {
      cancelled = true;
      return KQMV::Missing();
    }
    AddJzsTableWarnings(quad.GetWarnings(), warnings);
    if (KQMV::IsMissingOrNaN(piece)) return KQMV::Missing();
    sum += end < 0.0 ? -piece : piece;
  }
  if (!(sum > 0.0) || !std::isfinite(sum)) return KQMV::Missing();
  return logScale + std::log(sum);
}

}  // namespace KQBSN_850
