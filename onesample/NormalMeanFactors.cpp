#include "onesample/detail/NormalMeanFactors.h"

#include <cmath>
#include <limits>
#include <vector>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"
#include "kernels/detail/JzsSettingsFactor.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQWarnings;
using KQMath_850::KQDistFun;

namespace {

bool IsPresent(double x) noexcept { return !KQMV::IsMissingOrNaN(x); }

}  // namespace

OneSampleTResult OneSampleTTest(double mean, double testValue, double stdError, double n) {
  if (!IsPresent(mean) || !IsPresent(testValue) || !IsPresent(stdError) || !IsPresent(n) || n < 2.0 ||
      stdError == 0.0) {
    return {KQMV::Missing(), KQMV::Missing()};
  }
  const double t = (mean - testValue) / stdError;
  return {t, KQDistFun::TwoSidedSigT(t, n - 1.0)};
}

double FixedGBf01(double n, double t, double g) {
  const double logBf01 = FixedGLogBf01(n, t, g);
  return KQMV::IsMissing(logBf01) ? logBf01 : std::exp(logBf01);
}

double FixedGLogBf01(double n, double t, double g) {
  if (!IsPresent(n) || !IsPresent(t) || !IsPresent(g) || !(n - 1.0 > 0.0) || !(g > 0.0))
    return KQMV::Missing();
  const double df = n - 1.0;
  const double spread = 1.0 + n * g;
  // In logs: the t kernels underflow for large |t| although their ratio does not.
  const double logBf01 =
      0.5 * KQDistFun::Log1p(n * g) +
      0.5 * (df + 1.0) * (KQDistFun::Log1p(t * t / (spread * df)) - KQDistFun::Log1p(t * t / df));
  // |t| beyond about 1e154 overflows t^2 and leaves NaN.
  return KQMV::FromNaN(logBf01);
}

double KnownVarianceBf01(double n, double meanShift, double variance, double g) {
  const double logBf01 = KnownVarianceLogBf01(n, meanShift, variance, g);
  return KQMV::IsMissing(logBf01) ? logBf01 : std::exp(logBf01);
}

double KnownVarianceLogBf01(double n, double meanShift, double variance, double g) {
  if (!IsPresent(n) || !IsPresent(meanShift) || !IsPresent(variance) || !IsPresent(g) || !(n > 0.0) ||
      !(variance >= 0.0) || !(g > 0.0)) {
    return KQMV::Missing();
  }
  // A mean exactly at mu0 leaves only the prior's spread, whatever the variance (also 0).
  const double z2Half = meanShift == 0.0 ? 0.0 : n * meanShift * meanShift / (2.0 * variance);
  return KQMV::FromNaN(0.5 * KQDistFun::Log1p(n * g) - z2Half / (1.0 + 1.0 / (n * g)));
}

NormalMeanFactorKind ChooseNormalMeanFactor(const BSNSettings& settings, std::size_t i, std::size_t nVars) {
  const std::vector<double>& variances = settings.GetDataVarVals();
  // Known variances are taken only as a complete list, one per variable; a shorter or longer list
  // cannot be matched to the variables and is ignored.
  if (variances.size() == nVars && i < nVars && !KQMV::IsMissing(variances[i])) {
    return NormalMeanFactorKind::KnownVariance;
  }
  switch (settings.GetEstBFType()) {
    case BSNConst::EstBFTypes::JZS:
      return NormalMeanFactorKind::Jzs;
    case BSNConst::EstBFTypes::Simple:
      return NormalMeanFactorKind::FixedG;
    default:
      return NormalMeanFactorKind::None;
  }
}

bool HasNormalMeanFactorParameters(const BSNSettings& settings, NormalMeanFactorKind kind,
                                   std::size_t nVars) {
  const std::size_t nG = settings.GetAlterGValues().size();
  const std::size_t nNull = settings.GetNullValues().size();
  switch (kind) {
    case NormalMeanFactorKind::FixedG:
      return nG >= nVars;
    case NormalMeanFactorKind::KnownVariance:
      return nG == nVars && (nNull == 0 || nNull == nVars);
    default:
      return true;
  }
}

double NormalMeanLogBf01(NormalMeanFactorKind kind, std::size_t i, double n, double t, double meanShift,
                         const BSNSettings& settings, KQCommon_850::KQWarnings& warnings) {
  switch (kind) {
    case NormalMeanFactorKind::Jzs:
      return JzsLogBf01FromSettings(n, n - 1.0, t, settings, warnings);
    case NormalMeanFactorKind::FixedG:
      return FixedGLogBf01(n, t, settings.GetAlterGValues()[i]);
    case NormalMeanFactorKind::KnownVariance:
      return KnownVarianceLogBf01(n, meanShift, settings.GetDataVarVals()[i], settings.GetAlterGValues()[i]);
    default:
      return KQMV::Missing();
  }
}

}  // namespace KQBSN_850
