#include "twosample/detail/BSN2SampleRelated.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"
#include "frame/detail/FactorStore.h"
#include "frame/detail/ResultLists.h"
#include "frame/detail/RowBatch.h"
#include "onesample/detail/BSNNormalInference.h"
#include "onesample/detail/NormalMeanFactors.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"

namespace KQBSN_850 {

using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;

namespace {

// The differences of decimal data carry the rounding of x and y themselves, about one unit of roundoff
// of the larger of |x| and |y| (y = x + 0.1 gives differences that differ in their last bits). A standard
// deviation of the differences within a few dozen such units cannot be told from 0.
constexpr double kRoundingNoise = 64.0 * std::numeric_limits<double>::epsilon();

}  // namespace

using KQCommon_850::KQMV;

BSN2SampleRelated::BSN2SampleRelated(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList) {}

BSN2SampleRelated::~BSN2SampleRelated() = default;

KQStatus BSN2SampleRelated::BuildModel(MultiPassRecordIter& iter) {
  KQStatus status = Initialise();
  if (status.IsError()) return FinishBuild(status);
  status = CheckHasRecords(iter);
  if (status.IsError()) return FinishBuild(status);
  status = AccumulatePairs(iter);
  if (StopAfterStep(status)) return FinishBuild(status);
  status = RunAnalyses();
  if (status.IsError()) return FinishBuild(status);
  if (inference_ != nullptr) posterior_.CopyFrom(*inference_);
  if (outputStats_ == nullptr)
    outputStats_ = std::make_unique<BSN2SampleRelatedOutputStats>(settings_, *this);
  return FinishBuild(status);
}

KQStatus BSN2SampleRelated::Initialise() {
  const std::vector<int>& first = settings_.GetCovariates();
  const std::vector<int>& second = settings_.Get2ndRelatedList();
  if (first.empty() || first.size() != second.size()) return KQStatus(BSN_BAD_PARAMETER, false);
  // The settings accept any index; one that names no variable could not be read.
  for (std::size_t j = 0; j < first.size(); ++j) {
    if (first[j] < 0 || second[j] < 0) {
      return KQCommon_850::StatusWithDatum(BSN_BAD_PARAMETER, false, static_cast<long>(j));
    }
  }
  const std::size_t nPairs = first.size();
  differences_.assign(nPairs, KQMath_850::KQContStats());
  largestMagnitudes_.assign(nPairs, 0.0);
  for (DoubleList* list : {&meanDiffs_, &stdDevs_, &stdErrors_, &dfs_, &weights_})
    *list = MissingList(nPairs);
  for (DoubleList* list : {&bayesFactors_, &tValues_, &sigs_}) list->clear();
  posterior_ = detail::NormalPosteriorLists();
  inference_.reset();
  return KQStatus();
}

KQStatus BSN2SampleRelated::AccumulatePairs(MultiPassRecordIter& iter) {
  const std::vector<int>& first = settings_.GetCovariates();
  const std::vector<int>& second = settings_.Get2ndRelatedList();
  // Each pair keeps its own valid cases: a pair with a missing value gives no difference. The first
  // and second values are gathered side by side in rows, a block of records at a time, and the
  // accumulators add the differences of each block.
  detail::RowBatch batch(first, second);
  const auto addBatch = [&] {
    if (batch.Size() > 0)
      KQMath_850::KQContStats::UpdateRowDifferences(differences_, batch.Rows(), batch.Stride(),
                                                    batch.SecondOffset(), batch.FrequencyWeights(),
                                                    batch.CaseWeights(), largestMagnitudes_);
    batch.Clear();
  };
  // A record whose weight is 0 is skipped for every pair and not counted toward progress.
  const KQStatus status =
      MakePass().Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
        batch.Add(weight, values);
        if (batch.IsFull()) addBatch();
      });
  addBatch();
  if (status.IsError()) return status;
  for (std::size_t j = 0; j < differences_.size(); ++j) SummarisePair(j);
  return status;
}

void BSN2SampleRelated::SummarisePair(std::size_t j) {
  const KQMath_850::KQContStats& stats = differences_[j];
  const double n = stats.GetSumFreqWeights();
  weights_[j] = n;
  if (n < 2.0) {
    AddVariableWarning(BSN_FEW_VALID_CASES_PAIR, j);
    dfs_[j] = n > 0.0 ? n - 1.0 : KQMV::Missing();
    meanDiffs_[j] = n > 0.0 ? stats.GetMean() : KQMV::Missing();
    return;
  }
  meanDiffs_[j] = stats.GetMean();
  dfs_[j] = n - 1.0;
  const double stdDev = stats.GetStdDev();
  stdDevs_[j] = stdDev > kRoundingNoise * largestMagnitudes_[j] ? stdDev : 0.0;
  if (stdDevs_[j] == 0.0) {
    AddVariableWarning(BSN_CONSTANT_PAIR_NORMAL, j);
    return;  // the standard error stays missing, which keeps the pair out of the t test
  }
  stdErrors_[j] = stdDevs_[j] / std::sqrt(n);
}

KQStatus BSN2SampleRelated::RunAnalyses() {
  KQStatus status;
  if (WantsBayesFactor()) {
    status = ComputeBayesFactors();
    if (status.IsError()) return status;
  }
  if (WantsPosterior()) {
    if (WantsBayesFactor() && StopAfterStep(status)) return status;
    inference_ = std::make_unique<BSNNormalInference>(settings_, warnings_, meanDiffs_, stdDevs_, weights_);
    status = inference_->Compute();
  }
  return status;
}

KQStatus BSN2SampleRelated::ComputeBayesFactors() {
  const std::size_t nPairs = differences_.size();
  const DoubleList& nullValues = settings_.GetNullValues();
  if (!nullValues.empty() && nullValues.size() < nPairs) return KQStatus(BSN_BAD_PARAMETER, false);
  for (DoubleList* list : {&bayesFactors_, &tValues_, &sigs_}) *list = MissingList(nPairs);
  for (std::size_t j = 0; j < nPairs; ++j) {
    if (cancelInfo_.IsCancel()) return KQStatus(BSN_STATUS_CANCELLED, false);
    // A missing test value is kept as it is: it leaves the pair without a t and a factor.
    const double testValue = nullValues.empty() ? 0.0 : nullValues[j];
    const double n = weights_[j];
    const OneSampleTResult test = OneSampleTTest(meanDiffs_[j], testValue, stdErrors_[j], n);
    tValues_[j] = test.t;
    sigs_[j] = test.significance;
    if (KQMV::IsMissing(test.t)) continue;
    const NormalMeanFactorKind kind = ChooseNormalMeanFactor(settings_, j, nPairs);
    if (!HasNormalMeanFactorParameters(settings_, kind, nPairs)) return KQStatus(BSN_BAD_PARAMETER, false);
    const double logBf01 =
        NormalMeanLogBf01(kind, j, n, test.t, meanDiffs_[j] - testValue, settings_, warnings_);
    detail::StoreFactorWithoutLog(logBf01, j, bayesFactors_[j], warnings_);
  }
  return KQStatus();
}

void BSN2SampleRelated::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BSN2SampleRelated Display start");
  if (status_.IsError()) {
    DisplayText(1, "BSN2SampleRelated is error!");
    DisplayI("error code:", status_.GetErrorCode());
  } else {
    DisplayText(1, "BSN2SampleRelated is ok!");
  }
  DisplayIV("The first vector of Pairs", settings_.GetCovariates());
  DisplayIV("The second vector of Pairs", settings_.Get2ndRelatedList());
  DisplayDV("Degrees of freedom Values", dfs_);
  DisplayDV("Factor Values", bayesFactors_);
  DisplayDV("Mean Values", meanDiffs_);
  DisplayDV("Sum of weights of cases's Values", weights_);
  DisplayDV("Significance Values", sigs_);
  DisplayDV("Standard deviation Values", stdDevs_);
  DisplayDV("Standard error Values", stdErrors_);
  DisplayDV("Observed t-statistic Values", tValues_);
}

}  // namespace KQBSN_850
