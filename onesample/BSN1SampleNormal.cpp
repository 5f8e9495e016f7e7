#include "onesample/detail/BSN1SampleNormal.h"

#include <algorithm>
#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"
#include "frame/detail/ResultLists.h"
#include "frame/detail/RowBatch.h"
#include "onesample/BSN1SampleNormOutputStats.h"
#include "onesample/detail/BSN1SampleNormBayesFactor.h"
#include "onesample/detail/BSNNormalInference.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;
using KQMath_850::KQContStats;

BSN1SampleNormal::BSN1SampleNormal(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList) {}

BSN1SampleNormal::~BSN1SampleNormal() = default;

KQStatus BSN1SampleNormal::BuildModel(MultiPassRecordIter& iter) {
  // A cancellation noticed between the steps carries this analysis' own code; one noticed during the
  // pass is the pass's code 1.
  KQStatus status = Initialise();
  if (StopAfterStep(status, BSN_CANCELLED)) return FinishBuild(status);
  status = AccumulateStatistics(iter);
  if (StopAfterStep(status, BSN_CANCELLED)) return FinishBuild(status);
  status = RunAnalyses();
  if (StopAfterStep(status, BSN_CANCELLED)) return FinishBuild(status);
  CopyResults();
  if (outputStats_ == nullptr) outputStats_ = std::make_unique<BSN1SampleNormOutputStats>(settings_, *this);
  return FinishBuild(status);
}

KQStatus BSN1SampleNormal::Initialise() {
  const std::size_t nVars = settings_.GetCovariates().size();
  if (nVars < 1) return KQStatus(BSN_TOO_FEW_CORR_VARIABLES, false);
  // The settings accept any index; one that names no variable could not be read.
  const std::vector<int>& vars = settings_.GetCovariates();
  if (const auto bad = std::find_if(vars.begin(), vars.end(), [](int var) { return var < 0; });
      bad != vars.end()) {
    return KQCommon_850::StatusWithDatum(BSN_BAD_PARAMETER, false, static_cast<long>(bad - vars.begin()));
  }
  stats_.assign(nVars, KQContStats());
  for (DoubleList* list : {&means_, &stdDevs_, &stdErrors_, &dfs_, &weights_}) *list = MissingList(nVars);
  // Results of the Bayes factor and the posterior stay empty unless they are computed.
  for (DoubleList* list : {&bayesFactors_, &tValues_, &sigs_}) list->clear();
  posterior_ = detail::NormalPosteriorLists();
  bayesFactor_.reset();
  inference_.reset();
  return KQStatus();
}

KQStatus BSN1SampleNormal::AccumulateStatistics(MultiPassRecordIter& iter) {
  if (KQStatus status = CheckHasRecords(iter); status.IsError()) return status;
  const std::vector<int>& vars = settings_.GetCovariates();
  const std::size_t nVars = vars.size();
  // The accumulators skip missing values, so each variable keeps its own valid cases; they take the
  // records a block of rows at a time.
  detail::RowBatch batch(vars);
  // Every record read counts toward progress, whatever its weight.
  const KQStatus status = MakePass({.progress = ProgressCount::EveryRecord})
                              .Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
                                batch.Add(weight, values);
                                if (batch.IsFull()) batch.AddTo(stats_);
                              });
  batch.AddTo(stats_);
  if (status.IsError()) return status;
  for (std::size_t i = 0; i < nVars; ++i) SummariseVariable(i);
  return status;
}

void BSN1SampleNormal::SummariseVariable(std::size_t i) {
  const double mean = stats_[i].GetMean();
  // The standard deviation comes from the accumulator's scaled sums, so that it exists where the
  // variance itself overflows (values near 1e200) or underflows (near 1e-300).
  const double stdDev = stats_[i].GetStdDev();
  const double n = stats_[i].GetSumFreqWeights();
  weights_[i] = n;
  if (!KQMV::IsMissing(stdDev) && n >= 2.0 && stdDev > 0.0) {
    means_[i] = mean;
    stdDevs_[i] = stdDev;
    stdErrors_[i] = stdDevs_[i] / std::sqrt(n);
    dfs_[i] = n - 1.0;
    return;
  }
  AddVariableWarning(n < 2.0 ? BSN_FEW_VALID_CASES_NORMAL : BSN_CONSTANT_FIELDS, i);
  dfs_[i] = n > 0.0 ? n - 1.0 : KQMV::Missing();
  means_[i] = n > 0.0 ? mean : KQMV::Missing();
  stdDevs_[i] = n > 1.0 ? 0.0 : KQMV::Missing();
  stdErrors_[i] = stdDevs_[i];
}

KQStatus BSN1SampleNormal::RunAnalyses() {
  KQStatus status;
  if (WantsBayesFactor()) {
    bayesFactor_ =
        std::make_unique<BSN1SampleNormBayesFactor>(settings_, stats_, stdErrors_, warnings_, cancelInfo_);
    status = bayesFactor_->Compute();
    if (WantsPosterior() && StopAfterStep(status, BSN_CANCELLED)) return status;
  }
  if (WantsPosterior()) {
    inference_ = std::make_unique<BSNNormalInference>(settings_, warnings_, means_, stdDevs_, weights_);
    status = inference_->Compute();
  }
  return status;
}

void BSN1SampleNormal::CopyResults() {
  if (bayesFactor_ != nullptr) {
    bayesFactors_ = bayesFactor_->GetBayesFactors();
    tValues_ = bayesFactor_->GetTValues();
    sigs_ = bayesFactor_->GetSigs();
  }
  if (inference_ != nullptr) posterior_.CopyFrom(*inference_);
}

void BSN1SampleNormal::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BSN1SampleNormal Display start");
  if (status_.IsError()) {
    DisplayText(1, "BSN1SampleNormal is error!");
    DisplayI("error code:", status_.GetErrorCode());
  } else {
    DisplayText(1, "BSN1SampleNormal is ok!");
  }
  DisplayDV("Degrees of freedom Values", dfs_);
  DisplayDV("Factor Values", bayesFactors_);
  DisplayDV("Mean Values", means_);
  DisplayDV("Sum of weights of cases's Values", weights_);
  DisplayDV("Significance Values", sigs_);
  DisplayDV("Standard deviation Values", stdDevs_);
  DisplayDV("Standard error Values", stdErrors_);
  DisplayDV("Observed t-statistic Values", tValues_);
  settings_.Display(os);
}

}  // namespace KQBSN_850
