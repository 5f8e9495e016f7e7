#include "onesample/detail/BSN1SamplePoisnBayesFactor.h"

#include <cmath>

#include "companion/KQDistFun.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::MultiPassRecordIter;
using KQMath_850::KQDistFun;

namespace {

/// The log marginal likelihood of a total count S over n weighted cases under Gamma(a, b), without
/// the factorials of the counts; missing unless a and b are positive.
double LogGammaPoissonMarginal(double a, double b, double totalCount, double n) noexcept {
  if (!(a > 0.0 && b > 0.0)) return KQMV::Missing();
  const double logGammaA = KQDistFun::qorvdnlgam(a);
  const double logGammaAS = KQDistFun::qorvdnlgam(a + totalCount);
  if (KQMV::IsMissing(logGammaA) || KQMV::IsMissing(logGammaAS)) return KQMV::Missing();
  return a * std::log(b) - logGammaA + logGammaAS - (a + totalCount) * std::log(b + n);
}

}  // namespace

BSN1SamplePoisnBayesFactor::BSN1SamplePoisnBayesFactor(const BSNSettings& settings)
    : settings_(settings),
      sums_(settings.GetCovariates().size()),
      factors_(settings.GetCovariates().size()) {}

double BSN1SamplePoisnBayesFactor::LogBf01(double totalCount, double n, double a0, double b0, double a1,
                                           double b1) noexcept {
  const double logNull = LogGammaPoissonMarginal(a0, b0, totalCount, n);
  const double logAlternative = LogGammaPoissonMarginal(a1, b1, totalCount, n);
  if (KQMV::IsMissing(logNull) || KQMV::IsMissing(logAlternative)) return KQMV::Missing();
  return logNull - logAlternative;
}

KQStatus BSN1SamplePoisnBayesFactor::Compute(RecordPass& pass, MultiPassRecordIter& iter) {
  const std::vector<int>& covariates = settings_.GetCovariates();
  KQStatus status = detail::ReadCountSums(pass, iter, covariates, detail::CountRounding::Floor, sums_);
  if (status.IsError()) return status;
  for (std::size_t i = 0; i < covariates.size(); ++i) {
    const double a1 = detail::PriorEntry(settings_.GetAlterPrior1s(), i);
    const double b1 = detail::PriorEntry(settings_.GetAlterPrior2s(), i);
    if (KQMV::IsMissing(a1) || KQMV::IsMissing(b1)) {
      status = VariableWarning(BSN_NO_ALTERNATIVE_PRIOR_PARAMS, i);
      continue;
    }
    // Without cases both marginal likelihoods are 1 and their ratio says nothing: no factor.
    const detail::CountSums& sum = sums_[i];
    if (sum.weightSum == 0.0) continue;
    const double a0 = detail::NullPriorEntry(settings_.GetNullPrior1s(), i);
    const double b0 = detail::NullPriorEntry(settings_.GetNullPrior2s(), i);
    factors_.Store(i, LogBf01(sum.weightedValueSum, sum.weightSum, a0, b0, a1, b1));
  }
  if (KQStatus logWarning = factors_.LogFactorWarning(); logWarning.IsWarning()) status = logWarning;
  return status;
}

}  // namespace KQBSN_850
