#include "onesample/detail/BSN1SampleNormal.h"

#include <algorithm>
#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/detail/ResultLists.h"
#include "onesample/BSN1SampleNormOutputStats.h"
#include "onesample/detail/BSN1SampleNormBayesFactor.h"
#include "onesample/detail/BSNNormalInference.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;
using KQMath_850::KQContStats;

namespace {

// One more than the highest position a record is read at.
std::size_t ValuesNeeded(const std::vector<int>& vars, int weightVar) {
  int highest = weightVar;
  for (int var : vars) highest = std::max(highest, var);
  return static_cast<std::size_t>(highest + 1);
}

}  // namespace

BSN1SampleNormal::BSN1SampleNormal(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList) {}

BSN1SampleNormal::~BSN1SampleNormal() = default;

KQStatus BSN1SampleNormal::BuildModel(MultiPassRecordIter& iter) {
  KQStatus status = Initialise();
  if (StopAfterStep(status)) return FinishBuild(status);
  status = AccumulateStatistics(iter);
  if (StopAfterStep(status)) return FinishBuild(status);
  status = RunAnalyses();
  if (StopAfterStep(status)) return FinishBuild(status);
  CopyResults();
  if (outputStats_ == nullptr) outputStats_ = std::make_unique<BSN1SampleNormOutputStats>(settings_, *this);
  return FinishBuild(status);
}

bool BSN1SampleNormal::StopAfterStep(KQStatus& status) {
  if (status.IsError()) return true;
  if (!cancelInfo_.IsCancel()) return false;
  status = KQStatus(BSN_CANCELLED, false);
  return true;
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
  iter.StartPass();
  if (!HasAnyRecord(iter)) return KQStatus(BSN_NO_VALID_CASES, false);
  const FrequencyWeight weightOf(settings_.GetFrequencyWeightVar());
  const std::vector<int>& vars = settings_.GetCovariates();
  const std::size_t nVars = vars.size();
  const std::size_t nValuesNeeded = ValuesNeeded(vars, settings_.GetFrequencyWeightVar());
  KQContStats* stats = stats_.data();
  const KQStatus status = MakePass().Run(iter, [&](const std::vector<double>& values) {
    // A record shorter than the variable list is the host's error: it is read (and counted) but
    // contributes nothing, rather than being read past its end.
    if (values.size() < nValuesNeeded) return true;
    const double weight = weightOf(values);
    // The accumulator itself skips missing values and weights of 0, so each variable keeps its own
    // valid cases without a test here.
    for (std::size_t i = 0; i < nVars; ++i) {
      stats[i].Update(values[static_cast<std::size_t>(vars[i])], weight, KQContStats::kNoRegressionWeight);
    }
    return true;  // every record read counts toward progress, whatever its weight
  });
  if (status.IsError()) return status;
  for (std::size_t i = 0; i < nVars; ++i) SummariseVariable(i);
  return status;
}

void BSN1SampleNormal::SummariseVariable(std::size_t i) {
  const double mean = stats_[i].GetMean();
  const double variance = stats_[i].GetVariance();
  const double n = stats_[i].GetSumFreqWeights();
  weights_[i] = n;
  if (!KQMV::IsMissing(variance) && n >= 2.0 && variance > 0.0) {
    means_[i] = mean;
    stdDevs_[i] = std::sqrt(variance);
    stdErrors_[i] = stdDevs_[i] / std::sqrt(n);
    dfs_[i] = n - 1.0;
    return;
  }
  AddWarning(VariableWarning(n < 2.0 ? BSN_FEW_VALID_CASES_NORMAL : BSN_CONSTANT_FIELDS, i));
  dfs_[i] = n > 0.0 ? n - 1.0 : KQMV::Missing();
  means_[i] = n > 0.0 ? mean : KQMV::Missing();
  stdDevs_[i] = n > 1.0 ? 0.0 : KQMV::Missing();
  stdErrors_[i] = stdDevs_[i];
}

KQStatus BSN1SampleNormal::RunAnalyses() {
  using BSNConst::AnalysTypes;
  const AnalysTypes type = settings_.GetAnalysType();
  KQStatus status;
  if (type == AnalysTypes::BayesFactor || type == AnalysTypes::Both) {
    bayesFactor_ =
        std::make_unique<BSN1SampleNormBayesFactor>(settings_, stats_, stdErrors_, warnings_, cancelInfo_);
    status = bayesFactor_->Compute();
    if (status.IsError()) return status;
    if (type == AnalysTypes::Both && cancelInfo_.IsCancel()) return KQStatus(BSN_CANCELLED, false);
  }
  if (type == AnalysTypes::Posterior || type == AnalysTypes::Both) {
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
