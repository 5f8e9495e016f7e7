#include "regression/BSNMultipleRegr.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "companion/KQDisplay.h"
#include "companion/KQDistFun.h"
#include "companion/KQMV.h"
#include "companion/KQVarList.h"
#include "frame/BSNStatusCodes.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "regression/detail/BSNMultipleRegrFactor.h"
#include "regression/detail/BSNRegrPosterior.h"
#include "regression/detail/RegrFit.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;
using KQMath_850::KQFastDesignMatrix;

namespace {

/// The largest number of parameters a design may have.
constexpr int kMaxParameters = 4999;

bool Contains(const std::vector<int>& list, int value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

BSNMultipleRegr::BSNMultipleRegr(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList),
      rSquared_(KQMV::Missing()),
      rSquaredFull_(KQMV::Missing()),
      adjRSquared_(KQMV::Missing()),
      s2_(KQMV::Missing()),
      dfResidual_(KQMV::Missing()),
      bayesFactor_(KQMV::Missing()),
      fStat_(KQMV::Missing()),
      sig_(KQMV::Missing()) {}

BSNMultipleRegr::~BSNMultipleRegr() = default;

std::vector<int> BSNMultipleRegr::ScreenedVariables() const {
  std::vector<int> vars{settings_.GetDependentVar()};
  for (const std::vector<int>* list : {&settings_.GetFactors(), &settings_.GetCovariates()})
    vars.insert(vars.end(), list->begin(), list->end());
  if (settings_.GetCompareType() == BSNConst::CompareTypes::Full)
    for (const std::vector<int>* list : {&settings_.GetFullModFactors(), &settings_.GetFullModCovariates()})
      vars.insert(vars.end(), list->begin(), list->end());
  return vars;
}

KQStatus BSNMultipleRegr::CheckVariables() const {
  const KQCommon_850::KQContVar* dependent = varList_.GetContVarAt(settings_.GetDependentVar());
  if (dependent == nullptr) return KQStatus(BSN_INTERNAL_ERROR, false);
  if (dependent->GetMax() == dependent->GetMin()) return KQStatus(BSN_CONSTANT_DEPENDENT, false);
  bool usable = false;
  const std::vector<int>& sizes = settings_.GetFactorSizes();
  for (std::size_t i = 0; i < settings_.GetFactors().size(); ++i) usable |= i < sizes.size() && sizes[i] > 1;
  for (int var : settings_.GetCovariates())
    if (const KQCommon_850::KQContVar* covariate = varList_.GetContVarAt(var); covariate != nullptr)
      usable |= covariate->GetMin() < covariate->GetMax();
  return usable ? KQStatus() : KQStatus(BSN_NO_NONREDUNDANT_PREDICTORS, false);
}

KQStatus BSNMultipleRegr::BuildModel(MultiPassRecordIter& iter) {
  bool fullModelFactor = false;
  KQStatus status = CheckVariables();
  if (!status.IsError()) status = Fit(iter, fullModelFactor);
  if (!StopAfterStep(status) && WantsBayesFactor() &&
      (settings_.GetCompareType() == BSNConst::CompareTypes::Null || fullModelFactor))
    status = ListWarning(ComputeBayesFactor());
  if (!StopAfterStep(status) && WantsPosterior()) status = ListWarning(ComputePosterior());
  if (!status.IsError()) outputStats_ = std::make_unique<BSNMultiRegOutputStats>(settings_, *this);
  return FinishBuild(status);
}

KQStatus BSNMultipleRegr::Fit(MultiPassRecordIter& iter, bool& fullModelFactor) {
  KQFastDesignMatrix design(settings_.GetFactors(), settings_.GetFactorSizes(), settings_.GetCovariates(),
                            true);
  design.SetDepVar(settings_.GetDependentVar());
  if (design.GetNParameters() > kMaxParameters) return KQStatus(BSN_TOO_MANY_PARAMETERS, false);
  if (KQStatus status = CheckHasRecords(iter); status.IsError()) return status;

  if (settings_.GetCompareType() == BSNConst::CompareTypes::Full) {
    const std::vector<int>& fullSizes = settings_.GetFullModFactorSizes();
    if (std::accumulate(fullSizes.begin(), fullSizes.end(), 0LL) > kMaxParameters) {
      AddWarning(KQStatus(BSN_FULL_MODEL_TOO_MANY_PARAMETERS, true));
    } else {
      KQFastDesignMatrix full = design;
      std::vector<int> vars, counts;
      const std::vector<int>& fullFactors = settings_.GetFullModFactors();
      for (std::size_t i = 0; i < fullFactors.size(); ++i)
        if (!Contains(settings_.GetFactors(), fullFactors[i]))
          vars.push_back(fullFactors[i]), counts.push_back(i < fullSizes.size() ? fullSizes[i] : 0);
      for (int var : settings_.GetFullModCovariates())
        if (!Contains(settings_.GetCovariates(), var)) vars.push_back(var), counts.push_back(1);
      full.AddModelEffects(vars, counts);
      fullFit_ = std::make_unique<detail::RegrFit>(std::move(full));
      fullModelFactor = true;
    }
  }
  fit_ = std::make_unique<detail::RegrFit>(std::move(design));

  RecordPass pass = MakePass(kPassOptions, ScreenedVariables());
  KQStatus status = pass.Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
    fit_->Accumulate(values, weight.frequency, weight.Product());
    if (fullFit_) fullFit_->Accumulate(values, weight.frequency, weight.Product());
  });
  if (status.IsError()) return status;
  if (!(fit_->N() > 0.0)) return KQStatus(BSN_NO_VALID_CASES, false);
  const KQStatus cancelled(BSN_STATUS_CANCELLED, false);
  if (!fit_->Solve(cancelInfo_, WantsPosterior())) return cancelled;
  double r = fit_->Rank();
  if (r <= 1.0) return KQStatus(BSN_NO_NONREDUNDANT_PREDICTORS, false);
  if (cancelInfo_.IsCancel()) return cancelled;
  const double n = fit_->N();
  if (n < r) r = std::trunc(n);
  dfResidual_ = n - r;
  if (fullFit_ && !fullFit_->Solve(cancelInfo_, false)) return cancelled;

  // Second pass: total and residual sums about the weighted mean and the fitted values.
  const double meanY = fit_->SumWY() / fit_->W();
  const int dependent = settings_.GetDependentVar();
  double sst = 0.0, sse = 0.0, sseFull = 0.0;
  status = pass.Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
    const double w = weight.Product(), y = values[static_cast<std::size_t>(dependent)];
    sst += w * (y - meanY) * (y - meanY);
    const double residual = y - fit_->FittedValue(values);
    sse += w * residual * residual;
    if (fullFit_) {
      const double residualFull = y - fullFit_->FittedValue(values);
      sseFull += w * residualFull * residualFull;
    }
  });
  if (status.IsError()) return status;
  ResidualStatistics(sst, sse, sseFull);
  anova_.dfReg = r - 1.0;
  if (anova_.dfRes > 0.0 && r < n) s2_ = anova_.msRes = sse / (n - r);
  if (r > 1.0 && !KQMV::IsMissing(anova_.ssReg)) anova_.msReg = anova_.ssReg / (r - 1.0);
  if (sse > settings_.GetTolValue() && r > 1.0 && !KQMV::IsMissing(anova_.ssReg)) {
    anova_.f = (n - r) * anova_.ssReg / ((r - 1.0) * sse);
    const double sig = KQMath_850::KQDistFun::SigF(anova_.f, r - 1.0, n - r);
    if (!KQMV::IsMissingOrNaN(sig)) anova_.sig = sig;
  }
  return status;
}

void BSNMultipleRegr::ResidualStatistics(double sst, double sse, double sseFull) {
  const double n = fit_->N(), r = n - dfResidual_;
  if (sst <= 0.0) {
    rSquared_ = rSquaredFull_ = 1.0;
  } else {
    rSquared_ = std::max(1.0 - sse / sst, 0.0);
    rSquaredFull_ = std::max(1.0 - sseFull / sst, 0.0);
  }
  if (!fullFit_) rSquaredFull_ = KQMV::Missing();
  if (n - r > 0.0) adjRSquared_ = 1.0 - (1.0 - rSquared_) * (n - 1.0) / (n - r);
  anova_.dfTotal = n - 1.0;
  anova_.ssTotal = sst;
  anova_.ssRes = sse;
  anova_.ssReg = sst - sse >= 0.0 ? sst - sse : KQMV::Missing();
  anova_.dfRes = std::max(n - r, 0.0);
}

KQStatus BSNMultipleRegr::ComputeBayesFactor() {
  const bool nullComparison = settings_.GetCompareType() == BSNConst::CompareTypes::Null;
  if (!(1.0 - rSquared_ >= settings_.GetTolValue()) &&
      !(nullComparison && settings_.GetRegrCompType() == BSNConst::RegrCompute::Zellner))
    return KQStatus(BSN_PERFECT_FIT, true);
  const double n = fit_->N(), p = fit_->N() - dfResidual_ - 1.0;
  std::unique_ptr<BSNMultipleRegrFactor> factor;
  if (nullComparison)
    factor = std::make_unique<BSNMultipleRegrNullFactor>(settings_, n, p, rSquared_);
  else
    factor = std::make_unique<BSNMultipleRegrFullFactor>(settings_, n, p, fullFit_->Rank() - 1.0, rSquared_,
                                                         rSquaredFull_);
  factor->SetCancelInfo(&cancelInfo_);
  const KQStatus status = factor->Compute();
  if (factor->WasCancelled()) return KQStatus(BSN_STATUS_CANCELLED, false);
  bayesFactor_ = factor->GetBayesFactor();
  isLogFactor_ = factor->IsLogBayesFactor();
  warnings_.AddWarnings(factor->GetWarnings());
  return status;
}

KQStatus BSNMultipleRegr::ComputePosterior() {
  posterior_ = CreateRegrPosterior(settings_, *fit_, s2_, warnings_);
  KQStatus status = posterior_->ComputePosterior();
  if (status.IsError()) return status;
  fStat_ = posterior_->GetFStat();
  sig_ = posterior_->GetFSig();
  if (StopAfterStep(status)) return status;
  posterior_->ComputePlots();
  return status;
}

void BSNMultipleRegr::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BSNMultipleRegr Display start");
  if (fit_) {
    fit_->Display(s2_);
    DisplayDV("X'Wy", fit_->XWy());
    DisplayD("y'Wy", fit_->YWy());
  }
  if (outputStats_) {
    DisplayText(1, "Output Stats:");
    outputStats_->Display(os);
  }
}

}  // namespace KQBSN_850
