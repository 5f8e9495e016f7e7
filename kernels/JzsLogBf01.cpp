#include "kernels/detail/JzsLogBf01.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "companion/KQMV.h"
#include "companion/LobattoQuad.h"
#include "frame/BSNStatusCodes.h"
#include "kernels/BayesFactorDenomIF.h"
#include "kernels/detail/BayesFactorOneSampleTT.h"
#include "kernels/detail/LogMaximumSearch.h"

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

// The search for the maximum looks at g from 1e-20 on: below it the prior factor exp(-r^2 / (2 g)) is
// below exp(-1e19 r^2), so the maximum is never there for a usable prior scale.
constexpr double kSearchLowest = 1e-20;

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
  const double logMaximum = detail::LogMaximumOnLogGrid([&](double g) { return integrand.LogNI(g); },
                                                        std::max(lower, kSearchLowest), quadratureUpper);
  if (!std::isfinite(logMaximum)) return result;
  integrand.SetLogScale(logMaximum);

  KQMath_850::LobattoQuad quad(integrand);
  quad.SetTolerance(integration.tolerance);
  quad.SetMaxIter(integration.maxIter);
  quad.SetCancelInfo(integration.cancel);
  double scaledIntegral = quad.Integrate(lower, quadratureUpper);
  if (quad.WasCancelled()) {
    result.cancelled = true;
    return result;
  }
  result.nIterations = quad.GetNIterations();
  if (result.nIterations >= integration.maxIter) scaledIntegral = FallbackSum(quad, lower);
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
