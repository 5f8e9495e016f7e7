#include "onesample/OneSampleCounts.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "companion/KQDisplay.h"
#include "frame/BSNStatusCodes.h"
#include "frame/LogSpace.h"
#include "onesample/RecordValues.h"

namespace KQBSN_850::detail {

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

int ToCount(double x) noexcept {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(x);
}

std::vector<int> CountList(const std::vector<CountSums>& sums, double CountSums::*field) {
  std::vector<int> counts;
  counts.reserve(sums.size());
  for (const CountSums& s : sums) counts.push_back(ToCount(s.*field));
  return counts;
}

void StoredFactors::Store(std::size_t i, double logBf01) noexcept {
  const StoredFactor stored = StoreLogFactor(logBf01);
  values_[i] = stored.value;
  isLog_[i] = stored.isLog;
}

KQStatus StoredFactors::LogFactorWarning() const {
  const bool anyLog = std::find(isLog_.begin(), isLog_.end(), true) != isLog_.end();
  return anyLog ? KQStatus(BSN_LOG_FACTOR, true) : KQStatus();
}

SummaryLists::SummaryLists(std::size_t nVars)
    : modes(nVars, KQMV::Missing()),
      means(nVars, KQMV::Missing()),
      variances(nVars, KQMV::Missing()),
      lowers(nVars, KQMV::Missing()),
      uppers(nVars, KQMV::Missing()) {}

void SummaryLists::Set(std::size_t i, const BayesEstimation& summary) {
  modes[i] = summary.mode;
  means[i] = summary.mean;
  variances[i] = summary.variance;
  lowers[i] = summary.lower;
  uppers[i] = summary.upper;
}

void SummaryLists::Display() const {
  using namespace KQDisplay_850;
  DisplayDV("Mode values", modes);
  DisplayDV("Mean values", means);
  DisplayDV("Variance values", variances);
  DisplayDV("Lower bound values", lowers);
  DisplayDV("Upper bound Values", uppers);
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
  if (!outputStats_) outputStats_ = MakeOutputStats();
  return FinishBuild(status);
}

}  // namespace KQBSN_850::detail
