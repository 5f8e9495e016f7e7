#include "twosample/detail/BSN2SampleRelated.h"

#include <cmath>
#include <limits>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/detail/RecordValues.h"
#include "frame/detail/ResultLists.h"
#include "onesample/detail/BSNNormalInference.h"
#include "onesample/detail/NormalMeanFactors.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"

namespace KQBSN_850 {

using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;

namespace {

// Relative rounding noise of Sxx + Syy - 2 Sxy: a few dozen units of roundoff of Sxx + Syy.
constexpr double kCancellationNoise = 64.0 * std::numeric_limits<double>::epsilon();

}  // namespace

using KQCommon_850::KQMV;
using KQMath_850::KQMeansXProdData;

BSN2SampleRelated::BSN2SampleRelated(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList) {}

BSN2SampleRelated::~BSN2SampleRelated() = default;

KQStatus BSN2SampleRelated::BuildModel(MultiPassRecordIter& iter) {
  KQStatus status = Initialise();
  if (status.IsError()) return FinishBuild(status);
  iter.StartPass();
  if (!HasAnyRecord(iter)) return FinishBuild(KQStatus(BSN_NO_VALID_CASES, false));
  status = AccumulatePairs(iter);
  if (StopAfterStep(status)) return FinishBuild(status);
  status = RunAnalyses();
  if (status.IsError()) return FinishBuild(status);
  if (inference_ != nullptr) posterior_.CopyFrom(*inference_);
  if (outputStats_ == nullptr)
    outputStats_ = std::make_unique<BSN2SampleRelatedOutputStats>(settings_, *this);
  return FinishBuild(status);
}

bool BSN2SampleRelated::StopAfterStep(KQStatus& status) {
  if (status.IsError()) return true;
  if (!cancelInfo_.IsCancel()) return false;
  status = KQStatus(BSN_STATUS_CANCELLED, false);
  return true;
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
  pairStats_.assign(nPairs, KQMeansXProdData(2, true));
  for (DoubleList* list : {&meanDiffs_, &stdDevs_, &stdErrors_, &dfs_, &weights_})
    *list = MissingList(nPairs);
  for (DoubleList* list : {&bayesFactors_, &tValues_, &sigs_}) list->clear();
  posterior_ = detail::NormalPosteriorLists();
  inference_.reset();
  return KQStatus();
}

KQStatus BSN2SampleRelated::AccumulatePairs(MultiPassRecordIter& iter) {
  const FrequencyWeight weightOf(settings_.GetFrequencyWeightVar());
  const std::vector<int>& first = settings_.GetCovariates();
  const std::vector<int>& second = settings_.Get2ndRelatedList();
  const KQStatus status = MakePass().Run(iter, [&](const std::vector<double>& values) {
    const double weight = weightOf(values);
    if (weight <= 0.0) return false;  // skipped for every pair, and not counted toward progress
    // The accumulator skips a case with a missing value, so each pair keeps its own valid cases.
    for (std::size_t j = 0; j < pairStats_.size(); ++j) {
      pairStats_[j].AddCase({detail::ValueAt(values, first[j]), detail::ValueAt(values, second[j])}, weight);
    }
    return true;
  });
  if (status.IsError()) return status;
  for (std::size_t j = 0; j < pairStats_.size(); ++j) SummarisePair(j);
  return status;
}

void BSN2SampleRelated::SummarisePair(std::size_t j) {
  const KQMeansXProdData& stats = pairStats_[j];
  const double n = stats.GetNCases();
  const std::vector<double> means = stats.GetMeans();
  weights_[j] = n;
  if (n < 2.0) {
    AddWarning(VariableWarning(BSN_FEW_VALID_CASES_PAIR, j));
    dfs_[j] = n > 0.0 ? n - 1.0 : KQMV::Missing();
    meanDiffs_[j] = n > 0.0 ? means[0] - means[1] : KQMV::Missing();
    return;
  }
  meanDiffs_[j] = means[0] - means[1];
  dfs_[j] = n - 1.0;
  // Var(x - y) = Var x + Var y - 2 Cov(x, y), from the centred cross-products. For constant
  // differences the sum cancels to rounding noise of either sign, of the order of the machine epsilon
  // times Sxx + Syy (decimal data such as y = x + 0.1 leave such noise); a variance within that noise
  // counts as 0, as the formula cannot tell it from 0.
  const KQMath_850::KQSymMatrix xprods = stats.GetXProds();
  const double sumSquares = xprods(0, 0) + xprods(1, 1);
  double variance = (sumSquares - 2.0 * xprods(0, 1)) / (n - 1.0);
  if (variance <= kCancellationNoise * sumSquares / (n - 1.0)) variance = 0.0;
  stdDevs_[j] = variance > 0.0 ? std::sqrt(variance) : 0.0;
  if (stdDevs_[j] == 0.0) {
    AddWarning(VariableWarning(BSN_CONSTANT_PAIR_NORMAL, j));
    return;  // the standard error stays missing, which keeps the pair out of the t test
  }
  stdErrors_[j] = stdDevs_[j] / std::sqrt(n);
}

KQStatus BSN2SampleRelated::RunAnalyses() {
  using BSNConst::AnalysTypes;
  const AnalysTypes type = settings_.GetAnalysType();
  const bool wantsFactor = type == AnalysTypes::BayesFactor || type == AnalysTypes::Both;
  KQStatus status;
  if (wantsFactor) {
    status = ComputeBayesFactors();
    if (status.IsError()) return status;
  }
  if (type == AnalysTypes::Posterior || type == AnalysTypes::Both) {
    if (wantsFactor && cancelInfo_.IsCancel()) return KQStatus(BSN_STATUS_CANCELLED, false);
    inference_ = std::make_unique<BSNNormalInference>(settings_, warnings_, meanDiffs_, stdDevs_, weights_);
    status = inference_->Compute();
  }
  return status;
}

KQStatus BSN2SampleRelated::ComputeBayesFactors() {
  const std::size_t nPairs = pairStats_.size();
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
    bayesFactors_[j] = NormalMeanBf01(kind, j, n, test.t, meanDiffs_[j] - testValue, settings_, warnings_);
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
