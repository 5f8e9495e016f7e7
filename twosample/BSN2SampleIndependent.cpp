#include "twosample/BSN2SampleIndependent.h"

#include <cstddef>
#include <vector>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"
#include "frame/detail/CountList.h"
#include "frame/detail/ResultLists.h"
#include "frame/detail/RowBatch.h"
#include "twosample/BSN2SampleIndOutputStats.h"
#include "twosample/detail/BSN2SampleIndBayesFactor.h"
#include "twosample/detail/BSN2SampleIndPosterior.h"
#include "twosample/detail/IndependentBayesFactorFactory.h"
#include "twosample/detail/IndependentPosteriorFactory.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;

BSN2SampleIndependent::BSN2SampleIndependent(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList),
      group1_(settings_.GetCovariates()),
      group2_(settings_.GetCovariates()) {}

BSN2SampleIndependent::~BSN2SampleIndependent() = default;

KQStatus BSN2SampleIndependent::BuildModel(MultiPassRecordIter& iter) {
  // Each step replaces the status; the warnings of earlier steps stay in the warnings list.
  KQStatus status = ListWarning(ComputeBasicStats(iter));
  if (!StopAfterStep(status)) status = ListWarning(CreateCalculators());
  if (!StopAfterStep(status) && bayesFactor_ != nullptr)
    status = ListWarning(bayesFactor_->ComputeStatistics(group1_, group2_, warnings_));
  if (!StopAfterStep(status) && posterior_ != nullptr) {
    RecordPass pass = MakePass(kPassOptions);
    status = ListWarning(posterior_->ComputePosterior(pass, iter, group1_, group2_, warnings_));
  }
  if (!status.IsError()) outputStats_ = std::make_unique<BSN2SampleIndOutputStats>(settings_, *this);
  return FinishBuild(status);
}

KQStatus BSN2SampleIndependent::ComputeBasicStats(MultiPassRecordIter& iter) {
  if (settings_.GetGroupVar() < 0) return KQStatus(BSN_NO_GROUP_VARIABLE, false);
  const std::vector<int>& vars = settings_.GetCovariates();
  if (vars.empty()) return KQStatus(BSN_NO_COVARIATES, false);
  if (KQStatus status = CheckHasRecords(iter); status.IsError()) return status;

  const int groupVar = settings_.GetGroupVar();
  // Each group's values go to its accumulators a batch of records at a time.
  detail::RowBatch batches[2] = {detail::RowBatch(vars), detail::RowBatch(vars)};
  BSN2SampleIndBasicStats* groups[2] = {&group1_, &group2_};
  const auto addBatch = [&](int g) {
    const detail::RowBatch& batch = batches[g];
    if (batch.Size() > 0)
      groups[g]->UpdateRows(batch.Rows(), batch.Stride(), batch.FrequencyWeights(), batch.CaseWeights());
    batches[g].Clear();
  };
  const KQStatus status =
      MakePass(kPassOptions).Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
        const double group = detail::ValueAt(values, groupVar);
        const int g = group == 0.0 ? 0 : group == 1.0 ? 1 : -1;
        if (g < 0) return;
        batches[g].Add(weight, values);
        if (batches[g].IsFull()) addBatch(g);
      });
  addBatch(0);
  addBatch(1);
  if (status.IsError()) return status;

  const std::vector<double> n1 = group1_.GetNWeightedCases(), n2 = group2_.GetNWeightedCases();
  // The record shows the counts as int; a larger count is shown as the largest int, and said so.
  for (std::size_t i = 0; i < vars.size(); ++i)
    if (detail::ExceedsIntCount(n1[i]) || detail::ExceedsIntCount(n2[i]))
      AddVariableWarning(BSN_COUNT_TOO_LARGE, i);
  for (std::size_t i = 0; i < vars.size(); ++i) {
    // One warning for the analysis: the calculators skip every such variable on their own.
    if (n1[i] + n2[i] <= 2.0) return VariableWarning(BSN_FEW_VALID_CASES_INDEPENDENT, i);
  }
  return status;
}

KQStatus BSN2SampleIndependent::CreateCalculators() {
  if (WantsBayesFactor()) bayesFactor_ = CreateIndependentBayesFactor(settings_, varList_, warnings_);
  KQStatus status;
  if (WantsPosterior()) posterior_ = CreateIndependentPosterior(settings_, varList_, cancelInfo_, status);
  return status;
}

void BSN2SampleIndependent::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BSN2SampleIndependent display start");
  DisplayText(1, "Basic stats of group 1");
  group1_.Display(os);
  DisplayText(1, "Basic stats of group 2");
  group2_.Display(os);
  DisplayText(1, "End of display BSN2SampleIndependent");
}

}  // namespace KQBSN_850
