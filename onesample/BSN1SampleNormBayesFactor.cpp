#include "onesample/BSN1SampleNormBayesFactor.h"

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/ResultLists.h"
#include "onesample/NormalMeanFactors.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

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
  const bool perVariable = !settings_.GetDataVarVals().empty() && settings_.GetDataVarVals().size() == nVars;
  if (!perVariable && nVars > 0 && !HasParameters(ChooseFactor(0, false))) {
    status_ = KQStatus(BSN_BAD_PARAMETER, false);
    return status_;
  }
  for (std::size_t i = 0; i < nVars; ++i) {
    if (KQMV::IsMissing(tValues_[i])) continue;
    const FactorKind kind = ChooseFactor(i, perVariable);
    if (kind == FactorKind::None) continue;
    if (!HasParameters(kind)) {
      status_ = KQStatus(BSN_BAD_PARAMETER, false);
      return status_;
    }
    if (cancel_.IsCancel()) {
      status_ = KQStatus(BSN_CANCELLED, false);
      return status_;
    }
    bayesFactors_[i] = ComputeFactor(i, kind);
  }
  status_ = KQStatus();
  return status_;
}

double BSN1SampleNormBayesFactor::TestValue(std::size_t i) const {
  const DoubleList& nullValues = settings_.GetNullValues();
  if (i >= nullValues.size() || KQMV::IsMissing(nullValues[i])) return 0.0;
  return nullValues[i];
}

BSN1SampleNormBayesFactor::FactorKind BSN1SampleNormBayesFactor::ChooseFactor(std::size_t i,
                                                                              bool perVariable) const {
  if (perVariable && !KQMV::IsMissing(settings_.GetDataVarVals()[i])) return FactorKind::KnownVariance;
  switch (settings_.GetEstBFType()) {
    case BSNConst::EstBFTypes::JZS:
      return FactorKind::Jzs;
    case BSNConst::EstBFTypes::Simple:
      return FactorKind::FixedG;
    default:
      return FactorKind::None;
  }
}

bool BSN1SampleNormBayesFactor::HasParameters(FactorKind kind) const {
  const std::size_t nVars = stats_.size();
  const std::size_t nG = settings_.GetAlterGValues().size();
  const std::size_t nNull = settings_.GetNullValues().size();
  switch (kind) {
    case FactorKind::FixedG:
      return nG >= nVars;
    case FactorKind::KnownVariance:
      return nG == nVars && (nNull == 0 || nNull == nVars);
    default:
      return true;
  }
}

double BSN1SampleNormBayesFactor::ComputeFactor(std::size_t i, FactorKind kind) {
  const double n = stats_[i].GetSumFreqWeights();
  switch (kind) {
    case FactorKind::Jzs:
      return JzsBf01(n, tValues_[i], settings_, warnings_);
    case FactorKind::FixedG:
      return FixedGBf01(n, tValues_[i], settings_.GetAlterGValues()[i]);
    case FactorKind::KnownVariance:
      return KnownVarianceBf01(n, stats_[i].GetMean() - TestValue(i), settings_.GetDataVarVals()[i],
                               settings_.GetAlterGValues()[i]);
    default:
      return KQMV::Missing();
  }
}

}  // namespace KQBSN_850
