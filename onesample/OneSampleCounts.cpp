#include "onesample/detail/OneSampleCounts.h"

#include <algorithm>
#include <cmath>

#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"
#include "frame/detail/CountList.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::MultiPassRecordIter;

namespace {

// A null prior parameter the host left out gives the Beta(2, 2) or Gamma(2, 2) null prior.
constexpr double kDefaultNullPrior = 2.0;

}  // namespace

void CountSums::Add(double value, double weight) noexcept {
  const bool first = nRecords == 0.0;
  nRecords += 1.0;
  weightSum += weight;
  valueSum += value;
  weightedValueSum += weight * value;
  if (value == 0.0) zeroWeightSum += weight;
  smallest = first ? value : std::min(smallest, value);
  largest = first ? value : std::max(largest, value);
}

KQStatus ReadCountSums(RecordPass& pass, MultiPassRecordIter& iter, const std::vector<int>& vars,
                       CountRounding rounding, std::vector<CountSums>& sums) {
  sums.assign(vars.size(), CountSums());
  const KQStatus status = pass.Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
    for (std::size_t i = 0; i < vars.size(); ++i) {
      const double x = ValueAt(values, vars[i]);
      if (IsCountedValue(x))
        sums[i].Add(rounding == CountRounding::Floor ? std::floor(x) : x, weight.frequency);
    }
  });
  if (status.IsError()) return status;
  const bool anyCases =
      std::any_of(sums.begin(), sums.end(), [](const CountSums& s) { return s.weightSum >= 1.0; });
  return anyCases ? status : KQStatus(BSN_NO_VALID_CASES, false);
}

double PriorEntry(const std::vector<double>& list, std::size_t i) noexcept {
  return i < list.size() ? list[i] : KQMV::Missing();
}

double NullPriorEntry(const std::vector<double>& list, std::size_t i) noexcept {
  const double value = PriorEntry(list, i);
  return KQMV::IsMissing(value) ? kDefaultNullPrior : value;
}

KQStatus CheckConjugatePrior(const BSNSettings& settings) {
  if (settings.GetPriorType() != BSNConst::PriorTypes::Conjugate)
    return KQStatus(BSN_PRIOR_NOT_SUPPORTED, false);
  if (KQMV::IsMissingOrNaN(settings.GetPriorParam1()) || KQMV::IsMissingOrNaN(settings.GetPriorParam2()))
    return KQStatus(BSN_BAD_PARAMETER, false);
  return KQStatus();
}

KQStatus OneSampleCountAnalysis::BuildModel(MultiPassRecordIter& iter) {
  KQStatus status = CheckHasRecords(iter);
  if (status.IsError()) return FinishBuild(status);
  if (WantsBayesFactor()) {
    status = ListWarning(RunBayesFactor(iter));
    if (!status.IsError() && WantsPosterior()) status = RunPosteriorOnBayesFactorSums();
  } else {
    status = RunPosterior(iter);
  }
  status = ListWarning(status);
  // The passes do not poll the host, so that a short computation is not interrupted half-way; the
  // one question comes before the record is made.
  if (StopAfterStep(status)) return FinishBuild(status);
  WarnAboutLargeCounts();
  if (!outputStats_) outputStats_ = MakeOutputStats();
  return FinishBuild(status);
}

void OneSampleCountAnalysis::WarnAboutLargeCounts() {
  const std::vector<CountSums>* sums = GetCountSums();
  if (sums == nullptr) return;
  // The record shows the counts (and the Poisson analysis the largest value) as int.
  for (std::size_t i = 0; i < sums->size(); ++i) {
    const CountSums& s = (*sums)[i];
    if (ExceedsIntCount(s.weightSum) || ExceedsIntCount(s.largest))
      AddVariableWarning(BSN_COUNT_TOO_LARGE, i);
  }
}

}  // namespace KQBSN_850::detail
