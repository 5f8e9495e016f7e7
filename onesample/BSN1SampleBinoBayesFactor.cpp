#include "onesample/detail/BSN1SampleBinoBayesFactor.h"

#include "companion/KQDistFun.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQWarnings;
using KQCommon_850::MultiPassRecordIter;
using KQMath_850::KQDistFun;

namespace {

/// ln B(p, q), with ln B(0, 0) = 0 so that an improper Beta(0, 0) prior cancels against itself;
/// missing for any other non-positive argument.
double LogBetaFunction(double p, double q) noexcept {
  if (p == 0.0 && q == 0.0) return 0.0;
  return KQDistFun::LogBeta(p, q);
}

}  // namespace

BSN1SampleBinoBayesFactor::BSN1SampleBinoBayesFactor(const BSNSettings& settings, KQWarnings& warnings)
    : settings_(settings),
      warnings_(warnings),
      sums_(settings.GetFactors().size()),
      factors_(settings.GetFactors().size()),
      cat1Indices_(settings.GetFactors().size(), 0) {}

double BSN1SampleBinoBayesFactor::LogBf01(double s, double n, double a0, double b0, double a1,
                                          double b1) noexcept {
  // LogBeta works without the cancellation of lnG(p) + lnG(q) - lnG(p + q), which would cost about
  // log10(n) digits of the factor for large samples.
  const double terms[] = {LogBetaFunction(s + a0, n - s + b0), LogBetaFunction(a0, b0),
                          LogBetaFunction(s + a1, n - s + b1), LogBetaFunction(a1, b1)};
  for (double term : terms)
    if (KQMV::IsMissing(term)) return KQMV::Missing();
  return (terms[0] - terms[1]) - (terms[2] - terms[3]);
}

KQStatus BSN1SampleBinoBayesFactor::Compute(RecordPass& pass, MultiPassRecordIter& iter) {
  const std::vector<int>& factors = settings_.GetFactors();
  KQStatus status = detail::ReadCountSums(pass, iter, factors, detail::CountRounding::AsIs, sums_);
  if (status.IsError()) return status;
  for (std::size_t i = 0; i < factors.size(); ++i) {
    const double a1 = detail::PriorEntry(settings_.GetAlterPrior1s(), i);
    const double b1 = detail::PriorEntry(settings_.GetAlterPrior2s(), i);
    if (KQMV::IsMissing(a1) || KQMV::IsMissing(b1)) {
      status = VariableWarning(BSN_NO_ALTERNATIVE_PRIOR_PARAMS, i);
      warnings_.AddWarning(status, 0);
      continue;
    }
    const double a0 = detail::NullPriorEntry(settings_.GetNullPrior1s(), i);
    const double b0 = detail::NullPriorEntry(settings_.GetNullPrior2s(), i);
    const detail::CountSums& sum = sums_[i];
    if (!(sum.weightSum >= 1.0)) {
      warnings_.AddWarning(VariableWarning(BSN_SAMPLE_TOO_SMALL, i), 0);
      continue;
    }
    factors_.Store(i, LogBf01(sum.weightedValueSum, sum.weightSum, a0, b0, a1, b1));
  }
  if (KQStatus logWarning = factors_.LogFactorWarning(); logWarning.IsWarning())
    warnings_.AddWarning(logWarning, 0);
  return status;
}

}  // namespace KQBSN_850
