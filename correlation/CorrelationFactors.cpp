#include "correlation/detail/CorrelationFactors.h"

#include <array>
#include <cmath>
#include <numbers>

#include "companion/KQMV.h"
#include "companion/LobattoQuad.h"
#include "correlation/BayesFactor2DimMC.h"
#include "correlation/detail/CorrelationIntegrands.h"
#include "kernels/detail/LogMaximumSearch.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQMV;
using KQMath_850::LobattoQuad;

namespace {

bool IsUsablePair(double r, double n) noexcept {
  return !KQMV::IsMissingOrNaN(r) && std::fabs(r) < 1.0 && n > 0.0 && std::isfinite(n);
}

void Configure(LobattoQuad& quad, const CorrQuadrature& quadrature) {
  quad.SetTolerance(quadrature.tolerance);
  quad.SetMaxIter(quadrature.maxIter);
  quad.SetCancelInfo(quadrature.cancel);
}

// Ends of the three v pieces of the one-dimensional fractional integrals: the integrand peaks at v = 1
// (where sqrt v + 1/sqrt v is smallest), so the middle piece holds the peak.
constexpr std::array<double, 4> kFractionPieces{kJzsLowerG, 0.5, 2.0, kJzsUpperG};

/// ln of the sum of the three Lobatto integrals of `integrand`; warnings go to `result`.
double LogFractionIntegral(FractionFunctionG1V& integrand, const CorrQuadrature& quadrature,
                           CorrFactorResult& result) {
  LobattoQuad quad(integrand);
  Configure(quad, quadrature);
  double sum = 0.0;
  for (std::size_t k = 0; k + 1 < kFractionPieces.size(); ++k) {
    const double piece = quad.Integrate(kFractionPieces[k], kFractionPieces[k + 1]);
    result.warnings.AddWarnings(quad.GetWarnings());
    if (quad.WasCancelled()) result.cancelled = true;
    if (KQMV::IsMissingOrNaN(piece) || result.cancelled) return KQMV::Missing();
    sum += piece;
  }
  return sum > 0.0 && std::isfinite(sum) ? std::log(sum) : KQMV::Missing();
}

}  // namespace

CorrFactorResult JzsCorrelationLogBf01(double r, double n, const CorrQuadrature& quadrature) {
  CorrFactorResult result{KQMV::Missing(), {}, false};
  if (!IsUsablePair(r, n)) return result;
  // (1 - r)(1 + r) keeps 1 - r^2 accurate as |r| approaches 1.
  JZSFunction integrand(n, (n - 2.0) / 2.0, (1.0 - r) * (1.0 + r), (n - 1.0) / 2.0);
  const double logMaximum =
      LogMaximumOnLogGrid([&](double g) { return integrand.LogNI(g); }, kJzsLowerG, kJzsUpperG);
  if (!std::isfinite(logMaximum)) return result;
  integrand.SetLogScale(logMaximum);
  LobattoQuad quad(integrand);
  Configure(quad, quadrature);
  const double scaledIntegral = quad.Integrate(kJzsLowerG, kJzsUpperG);
  result.warnings.AddWarnings(quad.GetWarnings());
  result.cancelled = quad.WasCancelled();
  if (result.cancelled || KQMV::IsMissingOrNaN(scaledIntegral) || !(scaledIntegral > 0.0) ||
      !std::isfinite(scaledIntegral))
    return result;
  const double logIntegral = std::log(scaledIntegral) + logMaximum;
  result.logBf01 = 0.5 * std::log(std::numbers::pi) - 0.5 * std::log(n / 2.0) - logIntegral;
  return result;
}

CorrFactorResult FractionalCorrelationLogBf01(double r, double n, double rho0, double fraction, long nSamples,
                                              BayesFactor2DimMC& mc, const CorrQuadrature& quadrature) {
  CorrFactorResult result{KQMV::Missing(), {}, false};
  if (!IsUsablePair(r, n)) return result;
  const double t = 2.0 * r * rho0;
  const double h = 0.5 * std::log1p(-rho0 * rho0) - std::log(2.0 - t);
  FractionFunctionG1V integrand(t, 2.0 - t, n - 1.0);
  const double logJ1 = LogFractionIntegral(integrand, quadrature, result);
  if (KQMV::IsMissing(logJ1)) return result;
  integrand.SetC(n * fraction - 1.0);
  const double logJb = LogFractionIntegral(integrand, quadrature, result);
  if (KQMV::IsMissing(logJb)) return result;
  const double logP = (n - 1.0) * h + logJ1;
  const double logQ = (n * fraction - 1.0) * h + logJb;
  if (!mc.SetParams(fraction, n, r, nSamples)) return result;
  mc.ComputeBayesFactorFromLogs(logP, logQ);
  result.logBf01 = mc.GetLogBayesFactor();
  return result;
}

}  // namespace KQBSN_850::detail
