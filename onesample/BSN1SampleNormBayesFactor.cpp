#include "onesample/detail/BSN1SampleNormBayesFactor.h"

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/FactorStore.h"
#include "frame/detail/ResultLists.h"
#include "onesample/detail/NormalMeanFactors.h"

namespace KQBSN_850 {

using KQCommon_850::KQCancelInfo;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQWarnings;

BSN1SampleNormBayesFactor::BSN1SampleNormBayesFactor(const BSNSettings& settings,
                                                     const std::vector<KQMath_850::KQContStats>& stats,
                                                     const DoubleList& stdErrors, KQWarnings& warnings,
                                                     KQCancelInfo& cancel)
    : settings_(settings),
      stats_(stats),
      stdErrors_(stdErrors),
      warnings_(warnings),
      cancel_(cancel),
      bayesFactors_(MissingList(stats.size())),
      tValues_(MissingList(stats.size())),
      sigs_(MissingList(stats.size())) {}

KQStatus BSN1SampleNormBayesFactor::Compute() {
  const std::size_t nVars = stats_.size();
  const DoubleList& nullValues = settings_.GetNullValues();
  if (!nullValues.empty() && nullValues.size() < nVars) {
    status_ = KQStatus(BSN_BAD_PARAMETER, false);
    return status_;
  }
  for (std::size_t i = 0; i < nVars && i < stdErrors_.size(); ++i) {
    const OneSampleTResult test =
        OneSampleTTest(stats_[i].GetMean(), TestValue(i), stdErrors_[i], stats_[i].GetSumFreqWeights());
    tValues_[i] = test.t;
    sigs_[i] = test.significance;
  }
  if (cancel_.IsCancel()) {
    status_ = KQStatus(BSN_CANCELLED, false);
    return status_;
  }

  // Known variances apply variable by variable only when there is one per variable; otherwise every
  // variable takes the estimated factor, whose parameters are checked once, before any variable.
  const bool perVariable = settings_.GetDataVarVals().size() == nVars;
  if (!perVariable && nVars > 0 &&
      !HasNormalMeanFactorParameters(settings_, ChooseNormalMeanFactor(settings_, 0, nVars), nVars)) {
    status_ = KQStatus(BSN_BAD_PARAMETER, false);
    return status_;
  }
  for (std::size_t i = 0; i < nVars; ++i) {
    if (KQMV::IsMissing(tValues_[i])) continue;
    const NormalMeanFactorKind kind = ChooseNormalMeanFactor(settings_, i, nVars);
    if (kind == NormalMeanFactorKind::None) continue;
    if (!HasNormalMeanFactorParameters(settings_, kind, nVars)) {
      status_ = KQStatus(BSN_BAD_PARAMETER, false);
      return status_;
    }
    if (cancel_.IsCancel()) {
      status_ = KQStatus(BSN_CANCELLED, false);
      return status_;
    }
    const double n = stats_[i].GetSumFreqWeights();
    const double logBf01 =
        NormalMeanLogBf01(kind, i, n, tValues_[i], stats_[i].GetMean() - TestValue(i), settings_, warnings_);
    detail::StoreFactorWithoutLog(logBf01, i, bayesFactors_[i], warnings_);
  }
  status_ = KQStatus();
  return status_;
}

double BSN1SampleNormBayesFactor::TestValue(std::size_t i) const {
  const DoubleList& nullValues = settings_.GetNullValues();
  if (i >= nullValues.size() || KQMV::IsMissing(nullValues[i])) return 0.0;
  return nullValues[i];
}

}  // namespace KQBSN_850
