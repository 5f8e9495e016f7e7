#include "kernels/detail/JzsLogBf01.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "companion/IIntegrand.h"
#include "companion/KQMV.h"
#include "companion/LobattoQuad.h"
#include "companion/MaximumSearch.h"
#include "frame/BSNStatusCodes.h"
#include "kernels/BayesFactorDenomIF.h"
#include "kernels/detail/BayesFactorOneSampleTT.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

namespace {

// Ends of the fallback pieces after the lower limit: the integrand's mass for moderate t lies below
// g = 500, and each piece is split at its midpoint, so the fallback is twenty basic-rule panels.
constexpr std::array<double, 5> kBreakpoints{1.0, 2.0, 10.0, 50.0, 500.0};

double FallbackSum(KQMath_850::LobattoQuad& quad, double lower) {
  double sum = 0.0;
  double from = lower;
  for (double to : kBreakpoints) {
    const double mid = (from + to) * 0.5;
    sum += quad.SumUp(from, mid) + quad.SumUp(mid, to);
    from = to;
  }
  return sum;
}

// The integrand in u = ln g, h(u) = f(e^u) e^u, divided by exp(logScale). In u the integrand is a
// smooth bump whose curvature at its peak is of order 1 whatever N, nu and t are (left of the peak the
// prior factor exp(-r^2 e^(-u) / 2) falls doubly exponentially, right of it h falls like e^(-u)), so a
// few panels placed around the peak integrate it where panels in g would need many bisections.
class LogGIntegrand final : public KQMath_850::IIntegrand {
 public:
  explicit LogGIntegrand(const BayesFactorDenomIF& integrand) : integrand_(integrand) {}
  void SetLogScale(double logScale) noexcept { logScale_ = logScale; }
  /// ln h(u), unscaled.
  double Log(double u) const { return integrand_.LogNI(std::exp(u)) + u; }
  double ComputeNI(double u) override { return std::exp(Log(u) - logScale_); }
  double ComputeMC(double u, double) override { return ComputeNI(u); }

 private:
  const BayesFactorDenomIF& integrand_;
  double logScale_ = 0.0;
};

// Below g = 1e-20 r^2 the prior factor exp(-r^2 / (2 g)) is below exp(-5e19): the integral starts there
// when the lower limit is 0.
constexpr double kNegligibleG = 1e-20;
// Points of the coarse grid in u that brackets the peak: over the widest range (about 58 units of u)
// they are 3.6 apart, a few widths of the bump. The integrand can have two bumps (few cases, a large t
// and a small prior scale), so the grid, not a climb from one point, picks the higher; a search between
// the best point's neighbours then brings the point within a fraction of a unit of the peak, and its
// value within a fraction of a unit of the largest in logs, which is all the scale needs. Eight steps
// narrow the 7.2 units between the neighbours past that even where every step is a golden section.
constexpr int kSearchGridPoints = 17;
constexpr std::uintmax_t kPeakSearchSteps = 8;
constexpr int kPeakSearchBits = 8;
// Breakpoints around the grid's best point, in units of u: dense near it, wider along the right tail.
// Chosen by counting evaluations (grid, initial panels and bisections) at tolerance 1e-6 over N from 2
// to 1e7 and t from 0 to 1000; with the peak search, about 155 per factor at the default tolerance.
constexpr std::array<double, 14> kPeakOffsets{-3.0, -2.0, -1.25, -0.6, 0.0,  0.6,  1.25,
                                              2.0,  3.0,  4.5,   7.0,  11.0, 18.0, 30.0};

// The panels' ends: the range's ends and the offsets around the peak that fall inside it.
std::vector<double> PeakBreakpoints(double peak, double uLower, double uUpper) {
  std::vector<double> points{uLower};
  for (double offset : kPeakOffsets) {
    const double u = peak + offset;
    if (u > points.back() + 0.25 && u < uUpper - 0.25) points.push_back(u);
  }
  points.push_back(uUpper);
  return points;
}

/// ln(exp(a) + exp(b)) without overflow; a may be -inf.
double LogSum(double a, double b) {
  const double larger = std::max(a, b), smaller = std::min(a, b);
  if (larger == -std::numeric_limits<double>::infinity()) return larger;
  return larger + std::log1p(std::exp(smaller - larger));
}

}  // namespace

JzsLogBf01Result JzsLogBf01(double nEffective, double df, double t, double rScale,
                            const JzsIntegration& integration) {
  JzsLogBf01Result result{KQMV::Missing(), 0, {}, false};
  const double lower = integration.lower, upper = integration.upper;
  BayesFactorDenomIF integrand(nEffective, df, t);
  if (!integrand.IsValid() || !(rScale > 0.0) || !std::isfinite(rScale) || !(lower >= 0.0) ||
      !(upper > lower) || KQMV::IsMissing(upper))
    return result;
  integrand.SetPriorScale(rScale);
  const double quadratureUpper = std::min(upper, kJzsCutOff);
  const double gLower = std::max({lower, kNegligibleG * rScale * rScale, DBL_MIN});
  if (!(gLower < quadratureUpper)) return result;
  const double uLower = std::log(gLower), uUpper = std::log(quadratureUpper);
  LogGIntegrand inLogG(integrand);
  const KQMath_850::MaximumPoint peak =
      KQMath_850::GridMaximum([&inLogG](double u) { return inLogG.Log(u); }, uLower, uUpper,
                              kSearchGridPoints, kPeakSearchBits, kPeakSearchSteps);
  const double logMaximum = peak.value;
  if (!std::isfinite(logMaximum)) return result;
  inLogG.SetLogScale(logMaximum);
  integrand.SetLogScale(logMaximum);

  KQMath_850::LobattoQuad quad(inLogG);
  quad.SetTolerance(integration.tolerance);
  quad.SetMaxIter(integration.maxIter);
  quad.SetCancelInfo(integration.cancel);
  double scaledIntegral = quad.IntegrateOver(PeakBreakpoints(peak.x, uLower, uUpper));
  if (quad.WasCancelled()) {
    result.cancelled = true;
    return result;
  }
  result.nIterations = quad.GetNIterations();
  if (result.nIterations >= integration.maxIter) {
    KQMath_850::LobattoQuad fallback(integrand);
    scaledIntegral = FallbackSum(fallback, lower);
  }
  result.warnings.AddWarnings(quad.GetWarnings());
  if (KQMV::IsMissingOrNaN(scaledIntegral) || !(scaledIntegral >= 0.0)) return result;

  double logDenominator = std::log(scaledIntegral) + logMaximum;
  if (kJzsCutOff < upper) {
    // Integral of r K N^(-1/2) g^(-2) from the cut-off to the upper limit.
    const double inverseUpper = upper == std::numeric_limits<double>::max() ? 0.0 : 1.0 / upper;
    const double tail = 1.0 / kJzsCutOff - inverseUpper;
    if (tail > 0.0) {
      const double logTail =
          std::log(BayesFactorDenomIF::kInvSqrt2Pi * rScale * tail) - 0.5 * std::log(nEffective);
      logDenominator = LogSum(logDenominator, logTail);
    }
  }
  // A zero denominator (nothing integrated) gives the missing value.
  if (!std::isfinite(logDenominator)) return result;
  result.logBf01 = LogNullTKernel(df, t) - logDenominator;
  return result;
}

void AddJzsTableWarnings(const KQCommon_850::KQWarnings& quadratureWarnings,
                         KQCommon_850::KQWarnings& warnings) {
  for (std::size_t i = 0; i < quadratureWarnings.Size(); ++i)
    warnings.AddWarning(KQCommon_850::KQStatus(BSN_NUMERICAL_PROBLEM, true),
                        quadratureWarnings.GetDestination(i));
}

}  // namespace KQBSN_850
