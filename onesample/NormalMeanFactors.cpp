#include "onesample/detail/NormalMeanFactors.h"

#include <cmath>
#include <limits>
#include <vector>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"
#include "kernels/detail/BayesFactorOneSampleTT.h"
#include "kernels/detail/BayesFactorOneSampleTTMC.h"
#include "kernels/detail/JzsLogBf01.h"

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

double JzsBf01(double n, double t, const BSNSettings& settings, KQWarnings& warnings, double* logBf01) {
  if (logBf01 != nullptr) *logBf01 = KQMV::Missing();
  if (!IsPresent(n) || !IsPresent(t)) return KQMV::Missing();
  if (settings.GetMethodType() == BSNConst::MethodTypes::MCA) {
    BayesFactorOneSampleTTMC monteCarlo(n, n - 1.0, t, settings.GetMCSamples(), settings.GetRandomSeed());
    const double bf01 = monteCarlo.IsValid() ? monteCarlo.ComputeBayesFactor() : KQMV::Missing();
    if (logBf01 != nullptr && bf01 > 0.0) *logBf01 = std::log(bf01);
    return bf01;
  }
  JzsIntegration integration;
  if (settings.GetTolValue() > 0.0) integration.tolerance = settings.GetTolValue();
  if (settings.GetMaxIterations() > 0) integration.maxIter = settings.GetMaxIterations();
  const JzsLogBf01Result result = JzsLogBf01(n, n - 1.0, t, 1.0, integration);
  AddJzsTableWarnings(result.warnings, warnings);
  if (logBf01 != nullptr) *logBf01 = result.logBf01;
  return KQMV::IsMissing(result.logBf01) ? KQMV::Missing() : std::exp(result.logBf01);
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

double NormalMeanBf01(NormalMeanFactorKind kind, std::size_t i, double n, double t, double meanShift,
                      const BSNSettings& settings, KQCommon_850::KQWarnings& warnings) {
  const double logBf01 = NormalMeanLogBf01(kind, i, n, t, meanShift, settings, warnings);
  return KQMV::IsMissing(logBf01) ? logBf01 : std::exp(logBf01);
}

double NormalMeanLogBf01(NormalMeanFactorKind kind, std::size_t i, double n, double t, double meanShift,
                         const BSNSettings& settings, KQCommon_850::KQWarnings& warnings) {
  switch (kind) {
    case NormalMeanFactorKind::Jzs: {
      double logBf01 = KQMV::Missing();
      const double bf01 = JzsBf01(n, t, settings, warnings, &logBf01);
      // A Monte Carlo average that underflowed to 0 has no logarithm of its own.
      if (KQMV::IsMissing(logBf01) && bf01 == 0.0) return -std::numeric_limits<double>::infinity();
      return logBf01;
    }
    case NormalMeanFactorKind::FixedG:
      return FixedGLogBf01(n, t, settings.GetAlterGValues()[i]);
    case NormalMeanFactorKind::KnownVariance:
      return KnownVarianceLogBf01(n, meanShift, settings.GetDataVarVals()[i], settings.GetAlterGValues()[i]);
    default:
      return KQMV::Missing();
  }
}

}  // namespace KQBSN_850
