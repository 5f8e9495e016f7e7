#include "twosample/detail/HyperPriorBayesFactor.h"

#include <cmath>
#include <utility>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQMath_850::KQDistFun;

namespace {

/// ln(1 + x^2) without overflowing x^2: for |x| > 1 as 2 ln|x| + ln(1 + 1/x^2).
double Log1pSquare(double x) {
  const double magnitude = std::fabs(x);
  if (magnitude <= 1.0) return KQDistFun::Log1p(magnitude * magnitude);
  return 2.0 * std::log(magnitude) + KQDistFun::Log1p(1.0 / (magnitude * magnitude));
}

}  // namespace

HyperPriorBayesFactor::HyperPriorBayesFactor(const BSNSettings& settings,
                                             const KQCommon_850::KQVarList& varList)
    : BSN2SampleIndBayesFactor(settings, varList) {}

KQStatus HyperPriorBayesFactor::ComputeBayesFactors(KQCommon_850::KQWarnings& warnings) {
  const double a = settings_.GetRegrComPar();
  FillBayesFactors([a](double /*h*/, double df, double t) { return HyperPriorLogBf01(df, t, a); }, warnings);
  return KQStatus();
}

double HyperPriorBf01(double df, double t, double a) {
  const double logBf01 = HyperPriorLogBf01(df, t, a);
  return KQMV::IsMissing(logBf01) ? logBf01 : std::exp(logBf01);
}

double HyperPriorLogBf01(double df, double t, double a) {
  if (KQMV::IsMissingOrNaN(df) || KQMV::IsMissingOrNaN(t) || KQMV::IsMissingOrNaN(a) || !(df > 0.0))
    return KQMV::Missing();
  double logG = 0.0;
  // G's four ln Gamma terms with their signs; a pole in any of them leaves the factor undefined.
  for (auto [x, sign] : {std::pair{a + 1.0, 1.0}, std::pair{0.5 * (df + 1.0), 1.0}, std::pair{a + 1.5, -1.0},
                         std::pair{0.5 * df, -1.0}}) {
    const double logGamma = KQDistFun::qorvdnlgam(x);
    if (KQMV::IsMissing(logGamma)) return KQMV::Missing();
    logG += sign * logGamma;
  }
  // The power is taken in logs too, so that a large |t| underflows the factor to 0 instead of
  // overflowing the power first.
  return KQMV::FromNaN(logG - 0.5 * (df - 2.0 * a - 2.0) * Log1pSquare(t / std::sqrt(df)));
}

}  // namespace KQBSN_850
