#include "regression/BSNMultiRegOutputStats.h"

#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQDistFun.h"
#include "companion/KQFastDesignMatrix.h"
#include "companion/KQMV.h"
#include "companion/KQSymMatrix.h"
#include "frame/BSNStatusCodes.h"
#include "regression/BSNAnova.h"
#include "regression/BSNMultipleRegr.h"
#include "regression/detail/BSNRegrPosterior.h"
#include "regression/detail/MultiRegOutputData.h"
#include "regression/detail/RegrFit.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

namespace {

/// What the regression and the ANOVA records take alike from their analysis: the ANOVA table, the fit
/// statistics, the fit, the posterior's summaries, F tests, dispersion and the parameter and
/// error-variance curves (withPrediction adds the predicted-value summary and curves), the scoring
/// coefficients and the t quantile of the scoring intervals.
template <class Analysis>
void CopyAnalysis(BSNMultiRegOutputData& d, const BSNSettings& settings, const Analysis& analysis,
                  bool withPrediction) {
  d.settings = &settings;
  d.algorithm = &analysis;
  d.computeVarianceInScoring = settings.IsComputeVarianceInScoring();
  d.anova = analysis.GetAnova();
  d.bayesFactor = analysis.GetBayesFactor();
  d.rSquared = analysis.GetRSquared();
  d.adjRSquared = analysis.GetAdjRSquared();
  const double s2 = analysis.GetSigmaSquared();
  if (!KQMV::IsMissing(s2) && s2 >= 0.0) d.stdError = std::sqrt(s2);
  d.df = analysis.GetDFResidual();
  const detail::RegrFit& fit = *analysis.GetFit();
  d.xwxInverse = fit.Inverse();
  d.design = fit.Design();
  d.b = fit.Coefficients();
  d.nonRedundant = fit.NonRedundant();
  d.parameters = d.design.GetParameters();
  const BSNRegrPosterior* posterior = analysis.GetPosterior();
  if (posterior != nullptr) {
    d.coefficients = posterior->GetCoefficients();
    d.errorVariance = posterior->GetErrorVariance();
    d.fTests = posterior->GetFTests();
    d.df = posterior->GetDF();
    d.plots = posterior->GetPlots();
    if (withPrediction)
      d.predicted = posterior->GetPredicted();
    else
      d.plots.ClearPrediction();
    d.postMeanSigma2 = posterior->GetPosteriorMeanSigma2();
    d.sigma2Scale = posterior->GetSigma2Scale();
    d.dispersion = posterior->GetDispersion();
  }
  const bool leastSquares = settings.GetAnalysType() == BSNConst::AnalysTypes::BayesFactor ||
                            settings.GetPriorType() == BSNConst::PriorTypes::Reference ||
                            posterior == nullptr;
  if (leastSquares) {
    d.scoringCoefficients = d.b;
  } else {
    for (const BayesEstimation& e : d.coefficients) d.scoringCoefficients.push_back(e.mean);
  }
  const double ci = settings.GetCILevel();
  if (!KQMV::IsMissingOrNaN(ci) && d.df > 0.0)
    d.tQuantile = KQMath_850::KQDistFun::IdfT(0.5 + ci / 200.0, d.df);
}

}  // namespace

BSNMultiRegOutputStats::BSNMultiRegOutputStats(const BSNSettings& settings, const BSNMultipleRegr& regression)
    : data_(std::make_unique<BSNMultiRegOutputData>()) {
  BSNMultiRegOutputData& d = *data_;
  CopyAnalysis(d, settings, regression, true);
  d.rSquaredFull = regression.GetRSquaredFull();
  // The overall F of the posterior; missing without one.
  d.fStat = regression.GetFStat();
  d.sig = regression.GetSig();
  d.sparseScoring = d.design.GetNParameters() > 2 * d.design.GetNEffects();
}

// The ANOVA table holds the classical F and its significance; the record's own F fields stay missing
// (SetFStats may fill them), and scoring reads the one indicator of a case densely.
BSNMultiRegOutputStats::BSNMultiRegOutputStats(const BSNSettings& settings, const BSNAnova& anova)
    : data_(std::make_unique<BSNMultiRegOutputData>()) {
  CopyAnalysis(*data_, settings, anova, false);
}

BSNMultiRegOutputStats::~BSNMultiRegOutputStats() = default;

BSNConst::ModelTypes BSNMultiRegOutputStats::GetModelType() const { return data_->settings->GetModelType(); }

BSNConst::OutputTypes BSNMultiRegOutputStats::GetOutputType() const {
  return GetModelType() == BSNConst::ModelTypes::Regression ? BSNConst::OutputTypes::OutputRegression
                                                            : BSNConst::OutputTypes::OutputAnova;
}

void BSNMultiRegOutputStats::SetFStats(double f, double df, double sig) {
  data_->fStat = f;
  data_->df = df;
  data_->sig = sig;
}

bool BSNMultiRegOutputStats::IsLogBayesFactor() const {
  if (KQMV::IsMissingOrNaN(data_->bayesFactor)) return false;
  const KQCommon_850::KQWarnings& warnings = data_->algorithm->GetWarningMessages();
  for (std::size_t i = 0; i < warnings.Size(); ++i)
    if (warnings[i].GetErrorCode() == BSN_LOG_FACTOR) return true;
  return false;
}

const KQMath_850::KQRegANOVA& BSNMultiRegOutputStats::GetAnova() const noexcept { return data_->anova; }
double BSNMultiRegOutputStats::GetBayesFactor() const noexcept { return data_->bayesFactor; }
const std::vector<BayesEstimation>& BSNMultiRegOutputStats::GetVarCoeffBayesEstimations() const noexcept {
  return data_->coefficients;
}
const BayesEstimation& BSNMultiRegOutputStats::GetErrorBayesEstimation() const noexcept {
  return data_->errorVariance;
}
const BayesEstimation& BSNMultiRegOutputStats::GetPredictedBayesEstimation() const noexcept {
  return data_->predicted;
}
double BSNMultiRegOutputStats::GetRSquared() const noexcept { return data_->rSquared; }
double BSNMultiRegOutputStats::GetRSquaredFull() const noexcept { return data_->rSquaredFull; }
double BSNMultiRegOutputStats::GetAdjRSquared() const noexcept { return data_->adjRSquared; }
double BSNMultiRegOutputStats::GetSigmaSquared() const noexcept {
  return KQMV::IsMissing(data_->stdError) ? KQMV::Missing() : data_->stdError * data_->stdError;
}
double BSNMultiRegOutputStats::GetStdError() const noexcept { return data_->stdError; }
const std::vector<KQMath_850::KQRegrParameter>& BSNMultiRegOutputStats::GetRegrParameters() const noexcept {
  return data_->parameters;
}
const KQMath_850::KQBitSet& BSNMultiRegOutputStats::GetRedundancy() const noexcept {
  return data_->nonRedundant;
}
const BSNMultiRegOutputStats::DoubleList& BSNMultiRegOutputStats::GetLeastSquaresCoefficients()
    const noexcept {
  return data_->b;
}
const std::vector<KQMath_850::KQTestStats>& BSNMultiRegOutputStats::GetFTestResults() const noexcept {
  return data_->fTests;
}

#define KQ_PLOT_GETTER(Type, Name, field)                                             \
  const BSNMultiRegOutputStats::Type& BSNMultiRegOutputStats::Name() const noexcept { \
    return data_->plots.field;                                                        \
  }
KQ_PLOT_GETTER(DoubleLists, GetParamsArgumentsPlots4Likelihoods, paramLikelihoodArgs)
KQ_PLOT_GETTER(DoubleLists, GetParamsArgumentsPlots4Prior, paramPriorArgs)
KQ_PLOT_GETTER(DoubleLists, GetParamsArgumentsPlots4Posterior, paramPosteriorArgs)
KQ_PLOT_GETTER(DoubleLists, GetLikelihoodParamPlots, paramLikelihood)
KQ_PLOT_GETTER(DoubleLists, GetPriorParamPlots, paramPrior)
KQ_PLOT_GETTER(DoubleLists, GetPosteriorParamPlots, paramPosterior)
KQ_PLOT_GETTER(DoubleList, GetArgumentErrorVarPlot4Likelihoods, errorLikelihoodArgs)
KQ_PLOT_GETTER(DoubleList, GetArgumentErrorVarPlot4Prior, errorPriorArgs)
KQ_PLOT_GETTER(DoubleList, GetArgumentErrorVarPlot4Posterior, errorPosteriorArgs)
KQ_PLOT_GETTER(DoubleList, GetLikelihoodErrorVarPlot, errorLikelihood)
KQ_PLOT_GETTER(DoubleList, GetPriorErrorVarPlot, errorPrior)
KQ_PLOT_GETTER(DoubleList, GetPosteriorErrorVarPlot, errorPosterior)
KQ_PLOT_GETTER(DoubleList, GetArgumentPredictedPlot4Likelihoods, predictedLikelihoodArgs)
KQ_PLOT_GETTER(DoubleList, GetArgumentPredictedPlot4Prior, predictedPriorArgs)
KQ_PLOT_GETTER(DoubleList, GetArgumentPredictedPlot4Posterior, predictedPosteriorArgs)
KQ_PLOT_GETTER(DoubleList, GetLikelihoodPredictedPlot, predictedLikelihood)
KQ_PLOT_GETTER(DoubleList, GetPriorPredictedPlot, predictedPrior)
KQ_PLOT_GETTER(DoubleList, GetPosteriorPredictedPlot, predictedPosterior)
#undef KQ_PLOT_GETTER

double BSNMultiRegOutputStats::GetFStat() const noexcept { return data_->fStat; }
double BSNMultiRegOutputStats::GetDF() const noexcept { return data_->df; }
double BSNMultiRegOutputStats::GetSig() const noexcept { return data_->sig; }
const BSNSettings& BSNMultiRegOutputStats::GetSettings() const noexcept { return *data_->settings; }

void BSNMultiRegOutputStats::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  const BSNMultiRegOutputData& d = *data_;
  DisplayText(1, "Begin display of BSNMultiRegOutputStats");
  DisplayI("Model type", BSNConst::ToInt(GetModelType()));
  DisplayDV("Parameter estimates", d.b);
  DisplayD("Bayes factor", d.bayesFactor);
  DisplayB("Is log?", IsLogBayesFactor());
  DisplayD("R squared", d.rSquared);
  DisplayD("Adjusted R squared", d.adjRSquared);
  DisplayD("Standard error of variance", d.stdError);
  DisplayD("F statistic", d.fStat);
  DisplayD("Degrees of freedom", d.df);
  DisplayD("p-value for the F statistic", d.sig);
  DisplayText(1, "Var Coeff Bayes Estimation:");
  for (const BayesEstimation& e : d.coefficients) e.Display(os);
  DisplayText(1, "Error Term Bayes Estimation:");
  d.errorVariance.Display(os);
  DisplayText(1, "Predicted Bayes Estimation:");
  d.predicted.Display(os);
  const RegrPlots& p = d.plots;
  DisplayText(1, "Information for plots of parameters:");
  DisplayDVV("Arguments of Log-likelihood for parameter plots", p.paramLikelihoodArgs);
  DisplayDVV("Log-likelihood for parameter plots", p.paramLikelihood);
  DisplayDVV("Arguments of Prior for parameter plots", p.paramPriorArgs);
  DisplayDVV("Prior for parameter plots", p.paramPrior);
  DisplayDVV("Arguments of Posterior for parameter plots", p.paramPosteriorArgs);
  DisplayDVV("Posterior for parameter plots", p.paramPosterior);
  DisplayText(1, "Information for plots of error term:");
  DisplayDV("Arguments of Log-likelihood for error term plots", p.errorLikelihoodArgs);
  DisplayDV("Log-likelihood of error term", p.errorLikelihood);
  DisplayDV("Arguments of Prior for error term plots", p.errorPriorArgs);
  DisplayDV("Prior of error term", p.errorPrior);
  DisplayDV("Arguments of Posterior for error term plots", p.errorPosteriorArgs);
  DisplayDV("Posterior of error term", p.errorPosterior);
  DisplayText(1, "Information for plots of predicted value:");
  DisplayDV("Arguments of Log-likelihood for predicted value plots", p.predictedLikelihoodArgs);
  DisplayDV("Log-likelihood of predicted value", p.predictedLikelihood);
  DisplayDV("Arguments of Prior for predicted value plots", p.predictedPriorArgs);
  DisplayDV("Prior of predicted value", p.predictedPrior);
  DisplayDV("Arguments of Posterior for predicted value plots", p.predictedPosteriorArgs);
  DisplayDV("Posterior of predicted value", p.predictedPosterior);
  for (const KQMath_850::KQTestStats& test : d.fTests) {
    DisplayText(1, "\n\nTest label");
    test.Display();
  }
}

}  // namespace KQBSN_850
