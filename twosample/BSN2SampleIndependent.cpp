#include "twosample/BSN2SampleIndependent.h"

#include <cstddef>
#include <vector>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/detail/ResultLists.h"
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
  KQStatus status = ComputeBasicStats(iter);
  KeepWarning(status);
  if (!status.IsError() && !IsCancel(status)) status = CreateCalculators();
  // Each step replaces the status; the warnings of earlier steps stay in the warnings list.
  if (!status.IsError() && !IsCancel(status) && bayesFactor_ != nullptr) {
    status = bayesFactor_->ComputeStatistics(group1_, group2_, warnings_);
    KeepWarning(status);
  }
  if (!status.IsError() && !IsCancel(status) && posterior_ != nullptr) {
    status = posterior_->ComputePosterior(iter, group1_, group2_, warnings_);
    KeepWarning(status);
  }
  if (!status.IsError()) outputStats_ = std::make_unique<BSN2SampleIndOutputStats>(settings_, *this);
  return FinishBuild(status);
}

KQStatus BSN2SampleIndependent::ComputeBasicStats(MultiPassRecordIter& iter) {
  if (settings_.GetGroupVar() < 0) return KQStatus(BSN_NO_GROUP_VARIABLE, false);
  const std::vector<int>& vars = settings_.GetCovariates();
  if (vars.empty()) return KQStatus(BSN_NO_COVARIATES, false);

  const FrequencyAndRegressionWeight weightOf(settings_.GetFrequencyWeightVar(),
                                              settings_.GetRegrWeightVar());
  const auto groupVar = static_cast<std::size_t>(settings_.GetGroupVar());
  const KQStatus status =
      MakePass(PassOptions{.nullRecordEndsPass = false}).Run(iter, [&](const std::vector<double>& values) {
        const double group = groupVar < values.size() ? values[groupVar] : KQMV::Missing();
        if (group == 0.0) {
          group1_.Update(values, weightOf(values));
        } else if (group == 1.0) {
          group2_.Update(values, weightOf(values));
        }
        return true;  // every record read counts toward progress, whatever its group or weight
      });
  if (status.IsError()) return status;

  const std::vector<double> n1 = group1_.GetNWeightedCases(), n2 = group2_.GetNWeightedCases();
  for (std::size_t i = 0; i < vars.size(); ++i) {
    // One warning for the analysis: the calculators skip every such variable on their own.
    if (n1[i] + n2[i] <= 2.0) return VariableWarning(BSN_FEW_VALID_CASES_INDEPENDENT, i);
  }
  return status;
}

KQStatus BSN2SampleIndependent::CreateCalculators() {
  using BSNConst::AnalysTypes;
  const AnalysTypes type = settings_.GetAnalysType();
  if (type == AnalysTypes::BayesFactor || type == AnalysTypes::Both) {
    bayesFactor_ = CreateIndependentBayesFactor(settings_, varList_, warnings_);
  }
  KQStatus status;
  if (type == AnalysTypes::Posterior || type == AnalysTypes::Both) {
    posterior_ = CreateIndependentPosterior(settings_, varList_, cancelInfo_, status);
    KeepWarning(status);
  }
  return status;
}

bool BSN2SampleIndependent::IsCancel(KQStatus& status) {
  if (!cancelInfo_.IsCancel()) return false;
  status = KQStatus(BSN_STATUS_CANCELLED, false);
  return true;
}

void BSN2SampleIndependent::KeepWarning(const KQStatus& status) {
  if (status.IsWarning()) AddWarning(status);
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
