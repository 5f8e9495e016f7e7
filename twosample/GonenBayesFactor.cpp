#include "twosample/detail/GonenBayesFactor.h"

#include <cmath>
#include <limits>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQMath_850::KQDistFun;

GonenBayesFactor::GonenBayesFactor(const BSNSettings& settings, const KQCommon_850::KQVarList& varList)
    : BSN2SampleIndBayesFactor(settings, varList) {}

KQStatus GonenBayesFactor::ComputeBayesFactors(KQCommon_850::KQWarnings& warnings) {
  const double lambda = settings_.GetRegrComPar();
  const double sigma2 = settings_.GetSecondGonenPar();
  FillBayesFactors(
      [lambda, sigma2](double h, double df, double t) { return GonenLogBf01(h, df, t, lambda, sigma2); },
      warnings);
  return KQStatus();
}

double GonenBf01(double h, double df, double t, double lambda, double sigma2) {
  const double logBf01 = GonenLogBf01(h, df, t, lambda, sigma2);
  return KQMV::IsMissing(logBf01) ? logBf01 : KQMV::FromNaN(std::exp(logBf01));
}

double GonenLogBf01(double h, double df, double t, double lambda, double sigma2) {
  for (double x : {h, df, t, lambda, sigma2}) {
    if (KQMV::IsMissingOrNaN(x)) return KQMV::Missing();
  }
  if (!(h > 0.0) || !(df > 0.0) || !(sigma2 >= 0.0)) return KQMV::Missing();
  const double k = h * sigma2 + 1.0;
  if (lambda == 0.0) {
    // (1 + t^2/nu) / (1 + t^2/(k nu)) = 1 + h sigma^2 t^2 / (k nu + t^2), divided through by t^2 so that
    // it stays finite when t^2 overflows, and taken in logs: both t kernels underflow for large |t|
    // although their ratio does not.
    const double t2 = t * t;
    const double excess = t2 == 0.0 ? 0.0 : h * sigma2 / (k * df / t2 + 1.0);
    return 0.5 * std::log(k) - 0.5 * (df + 1.0) * KQDistFun::Log1p(excess);
  }
  const double rootK = std::sqrt(k);
  const double alternative = KQDistFun::NonCentralPdfT(t / rootK, df, lambda * std::sqrt(h) / rootK);
  const double null = KQDistFun::PdfT(t, df);
  // Both densities are taken as they are, and far in the tail the alternative one underflows or its
  // series gives up: the factor then cannot be computed (NaN, which the caller reports).
  if (KQMV::IsMissing(alternative) || KQMV::IsMissing(null) || !(alternative > 0.0))
    return std::numeric_limits<double>::quiet_NaN();
  // A null density that underflowed to 0 gives ln 0 = -infinity: a factor beyond the double range.
  return std::log(rootK) + std::log(null) - std::log(alternative);
}

}  // namespace KQBSN_850
