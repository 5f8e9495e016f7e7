#include "regression/BSNAnova.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "companion/KQContStats.h"
#include "companion/KQDisplay.h"
#include "companion/KQDistFun.h"
#include "companion/KQFastDesignMatrix.h"
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
using KQMath_850::KQContStats;
using KQMath_850::KQFastDesignMatrix;

namespace {

/// The largest number of categories the factor may have.
constexpr int kMaxParameters = 4999;

/// The category of a factor value: the value plus 0.1, truncated, so that codes stored as 2.9999 or
/// 3.0001 both read as 3; -1 when that is not one of 0 .. nCategories - 1.
int CategoryOf(double value, int nCategories) {
  const double shifted = value + 0.1;
  if (!(shifted >= 0.0) || !(shifted < static_cast<double>(nCategories))) return -1;
  return static_cast<int>(shifted);
}

}  // namespace

BSNAnova::BSNAnova(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList),
      dependent_(settings.GetDependentVar()),
      factor_(settings.GetFactors().empty() ? -1 : settings.GetFactors().front()),
      nCategories_(settings.GetFactorSizes().empty() ? 0 : settings.GetFactorSizes().front()),
      rSquared_(KQMV::Missing()),
      adjRSquared_(KQMV::Missing()),
      s2_(KQMV::Missing()),
      dfResidual_(KQMV::Missing()),
      bayesFactor_(KQMV::Missing()) {}

BSNAnova::~BSNAnova() = default;

KQStatus BSNAnova::CheckVariables() const {
  const KQCommon_850::KQContVar* dependent = varList_.GetContVarAt(dependent_);
  if (dependent == nullptr) return KQStatus(BSN_INTERNAL_ERROR, false);
  if (dependent->GetMax() == dependent->GetMin()) return KQStatus(BSN_CONSTANT_DEPENDENT, false);
  if (nCategories_ <= 1) return KQStatus(BSN_NO_NONREDUNDANT_PREDICTORS, false);
  if (nCategories_ > kMaxParameters) return KQStatus(BSN_TOO_MANY_PARAMETERS, false);
  return KQStatus();
}

KQStatus BSNAnova::BuildModel(MultiPassRecordIter& iter) {
  KQStatus status = CheckVariables();
  if (!status.IsError()) status = Fit(iter);
  if (!StopAfterStep(status) && WantsBayesFactor()) status = ListWarning(ComputeBayesFactor());
  if (!StopAfterStep(status) && WantsPosterior()) status = ListWarning(ComputePosterior());
  if (!status.IsError()) outputStats_ = std::make_unique<BSNMultiRegOutputStats>(settings_, *this);
  return FinishBuild(status);
}

KQStatus BSNAnova::Fit(MultiPassRecordIter& iter) {
  if (KQStatus status = CheckHasRecords(iter); status.IsError()) return status;
  const std::size_t p = static_cast<std::size_t>(nCategories_);

  // Each category's moments are of y - shift, the shift being the first dependent value read: the
  // deviations are then exact for data far from zero, and so are the differences of the category means.
  std::vector<KQContStats> cells(p);
  double n = 0.0, shift = 0.0;
  bool hasShift = false;
  std::vector<int> screened{dependent_, factor_};
  for (int var : {settings_.GetFrequencyWeightVar(), settings_.GetRegrWeightVar()})
    if (var >= 0) screened.push_back(var);
  RecordPass pass = MakePass(kPassOptions, std::move(screened));
  const KQStatus status = pass.Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
    const int category = CategoryOf(values[static_cast<std::size_t>(factor_)], nCategories_);
    if (category < 0) return;
    const double y = values[static_cast<std::size_t>(dependent_)];
    if (!hasShift) shift = y, hasShift = true;
    n += weight.frequency;
    cells[static_cast<std::size_t>(category)].Update(y - shift, weight.frequency, weight.regression);
  });
  if (status.IsError()) return status;
  if (!(n > 0.0)) return KQStatus(BSN_NO_VALID_CASES, false);

  detail::DiagonalSolution solution;
  solution.n = n;
  solution.diagonal.assign(p, 0.0);
  solution.coefficients.assign(p, 0.0);
  solution.xwy.assign(p, 0.0);
  solution.nonRedundant.Resize(nCategories_, true);
  std::vector<double> deviationMeans(p, 0.0);
  double w = 0.0, weightedDeviations = 0.0;
  for (std::size_t c = 0; c < p; ++c) {
    const double wc = cells[c].GetSumWeights();
    solution.diagonal[c] = wc;
    if (wc > 0.0) deviationMeans[c] = cells[c].GetMean();
    w += wc;
    weightedDeviations += wc * deviationMeans[c];
    if (wc <= settings_.GetTolValue()) solution.nonRedundant.Set(static_cast<int>(c), false);
  }
  const double r = solution.nonRedundant.InSet();
  if (r <= 1.0) return KQStatus(BSN_NO_NONREDUNDANT_PREDICTORS, false);
  if (cancelInfo_.IsCancel()) return KQStatus(BSN_STATUS_CANCELLED, false);

  // Sums of squares from the deviations: within the categories (SSE), between their means and the
  // overall mean. A redundant category keeps the coefficient 0, so its cases' whole y'Wy is residual.
  const double meanDeviation = weightedDeviations / w;
  double within = 0.0, between = 0.0, redundant = 0.0, ywy = 0.0;
  for (std::size_t c = 0; c < p; ++c) {
    const double wc = solution.diagonal[c];
    if (!(wc > 0.0)) continue;
    const double squares = cells[c].GetSumSquaredDeviations();
    const double mean = shift + deviationMeans[c];
    const double meanSquares = wc * mean * mean;
    within += squares;
    between += wc * (deviationMeans[c] - meanDeviation) * (deviationMeans[c] - meanDeviation);
    ywy += squares + meanSquares;
    solution.xwy[c] = wc * mean;
    if (solution.nonRedundant.IsIn(static_cast<int>(c)))
      solution.coefficients[c] = mean;
    else
      redundant += meanSquares;
  }
  const double sse = within + redundant, sst = within + between;
  solution.w = w;
  solution.sumWY = w * (shift + meanDeviation);
  solution.ywy = ywy;
  solution.residualSum = sse;
  KQFastDesignMatrix design({factor_}, {nCategories_}, {}, false);
  design.SetDepVar(dependent_);
  fit_ = std::make_unique<detail::RegrFit>(std::move(design), std::move(solution));

  dfResidual_ = n - r;
  rSquared_ = sst > 0.0 ? 1.0 - sse / sst : 1.0;
  if (n - r > 0.0) adjRSquared_ = 1.0 - (n - 1.0) * (1.0 - rSquared_) / (n - r);
  anova_.dfTotal = n - 1.0;
  anova_.ssTotal = sst;
  anova_.ssRes = sse;
  anova_.ssReg = between - redundant;
  anova_.dfRes = n - r;
  anova_.dfReg = r - 1.0;
  if (n - r > 0.0) s2_ = anova_.msRes = sse / (n - r);
  anova_.msReg = anova_.ssReg / (r - 1.0);
  if (sse > settings_.GetTolValue()) {
    anova_.f = anova_.ssReg * (n - r) / ((r - 1.0) * sse);
    const double sig = KQMath_850::KQDistFun::SigF(anova_.f, r - 1.0, n - r);
    if (!KQMV::IsMissingOrNaN(sig)) anova_.sig = sig;
  }
  return KQStatus();
}

KQStatus BSNAnova::ComputeBayesFactor() {
  if (!(1.0 - rSquared_ >= settings_.GetTolValue()) &&
      settings_.GetRegrCompType() != BSNConst::RegrCompute::Zellner)
    return KQStatus(BSN_PERFECT_FIT, true);
  const double n = fit_->N(), p = n - dfResidual_ - 1.0;
  BSNMultipleRegrNullFactor factor(settings_, n, p, rSquared_);
  factor.SetCancelInfo(&cancelInfo_);
  const KQStatus status = factor.Compute();
  if (factor.WasCancelled()) return KQStatus(BSN_STATUS_CANCELLED, false);
  bayesFactor_ = factor.GetBayesFactor();
  isLogFactor_ = factor.IsLogBayesFactor();
  warnings_.AddWarnings(factor.GetWarnings());
  return status;
}

KQStatus BSNAnova::ComputePosterior() {
  posterior_ = CreateRegrPosterior(settings_, *fit_, s2_, warnings_);
  KQStatus status = posterior_->ComputePosterior();
  if (StopAfterStep(status)) return status;
  posterior_->ComputePlots();
  return status;
}

void BSNAnova::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BSNAnova Display start");
  if (fit_) {
    fit_->Display(s2_);
  }
  if (outputStats_) {
    DisplayText(1, "Output Stats:");
    outputStats_->Display(os);
  }
}

}  // namespace KQBSN_850
