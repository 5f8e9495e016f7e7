#include "onesample/detail/BSNNormalInference.h"

#include <cmath>
#include <utility>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/PlotDensities.h"
#include "frame/detail/PlotGrid.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using BSNConst::DistTypes;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQWarnings;

namespace {

bool IsPresent(double x) noexcept { return !KQMV::IsMissingOrNaN(x) && std::isfinite(x); }
bool IsPositive(double x) noexcept { return IsPresent(x) && x > 0.0; }

// Jeffreys 2 uses nu = n - 1 and the diffuse prior nu = n - 3; below these counts the posterior
// variance w nu / (nu - 2) would not exist (nu <= 2).
constexpr double kMinCasesJeffreys2 = 4.0;
constexpr double kMinCasesDiffuse = 6.0;

}  // namespace

BSNNormalInference::BSNNormalInference(const BSNSettings& settings, KQWarnings& warnings, DoubleList means,
                                       DoubleList stdDevs, DoubleList weights)
    : credibleTail_(TailProbability(settings.GetCILevel())),
      plotTail_(0.5 * settings.GetPlotDomainLevel()),
      settings_(settings),
      warnings_(warnings),
      means_(std::move(means)),
      stdDevs_(std::move(stdDevs)),
      weights_(std::move(weights)) {
  const std::size_t nVars = settings.GetCovariates().size();
  // Lists shorter than the variable list count as missing entries.
  means_.resize(nVars, KQMV::Missing());
  stdDevs_.resize(nVars, KQMV::Missing());
  weights_.resize(nVars, KQMV::Missing());
  for (DoubleList* list : {&modes_, &postMeans_, &postVariances_, &lowerLimits_, &upperLimits_}) {
    *list = MissingList(nVars);
  }
  for (DoubleLists* lists :
       {&argsLikelihood_, &argsPrior_, &argsPosterior_, &likelihoods_, &posteriors_, &priors_}) {
    lists->assign(nVars, {});
  }
}

KQStatus BSNNormalInference::Compute() {
  if (means_.empty()) {
    status_ = KQStatus(BSN_TOO_FEW_CORR_VARIABLES, false);
    return status_;
  }
  for (std::size_t i = 0; i < means_.size(); ++i) ComputeVariable(i);
  status_ = KQStatus();
  return status_;
}

void BSNNormalInference::ComputeVariable(std::size_t i) {
  if (!(weights_[i] >= 2.0) || !IsPositive(stdDevs_[i]) || !IsPresent(means_[i])) return;
  const DoubleList& knownVariances = settings_.GetDataVarVals();
  if (knownVariances.size() == means_.size() && !KQMV::IsMissing(knownVariances[i])) {
    KnownVarianceCase(i, knownVariances[i]);
  } else {
    EstimatedVarianceCase(i);
  }
}

void BSNNormalInference::KnownVarianceCase(std::size_t i, double variance) {
  switch (settings_.GetMeanDistType()) {
    case DistTypes::Normal:
      KnownVarianceNormalPrior(i, variance);
      return;
    case DistTypes::Diffuse:
      KnownVarianceFlatPrior(i, variance);
      return;
    default:
      WarnPriorNotSupported();
      KnownVarianceFlatPrior(i, variance);
  }
}

void BSNNormalInference::EstimatedVarianceCase(std::size_t i) {
  const double param1 = settings_.GetPriorDistParam1();
  const double param2 = settings_.GetPriorDistParam2();
  const DistTypes varianceDist = settings_.GetPriorDistType();
  switch (settings_.GetMeanDistType()) {
    case DistTypes::Normal:
      switch (varianceDist) {
        case DistTypes::ChiSquare:
          if (IsPresent(param1)) NormalGamma(i, 0.5 * param1, 0.5);
          return;
        case DistTypes::InverseChiSquare:
          NormalInverseChiSquare(i, param1, param2);
          return;
        case DistTypes::Gamma:
          NormalGamma(i, param1, param2);
          return;
        case DistTypes::InverseGamma:
          // The inverse gamma(a, b) law of the variance is the scaled inverse chi-square law with
          // nu0 = 2a and s0^2 = b/a.
          if (IsPositive(param1) && IsPresent(param2))
            NormalInverseChiSquare(i, 2.0 * param1, param2 / param1);
          return;
        default:
          DiffuseCase(i);
          WarnPriorNotSupported();
          return;
      }
    case DistTypes::Diffuse:
      if (varianceDist == DistTypes::Jeffreys2 || varianceDist == DistTypes::Jeffreys4) {
        JeffreysCase(i);
        return;
      }
      DiffuseCase(i);
      if (varianceDist != DistTypes::Diffuse) WarnPriorNotSupported();
      return;
    default:
      DiffuseCase(i);
      WarnPriorNotSupported();
  }
}

void BSNNormalInference::KnownVarianceNormalPrior(std::size_t i, double variance) {
  const double priorMean = settings_.GetMeanDistParam1();
  const double priorVariance = settings_.GetMeanDistParam2();
  if (!IsPositive(variance) || !IsPresent(priorMean) || !IsPositive(priorVariance)) return;
  const double n = weights_[i];
  const double postVariance = 1.0 / (n / variance + 1.0 / priorVariance);
  const double postMean = (means_[i] * n / variance + priorMean / priorVariance) * postVariance;
  SetSummary(i, postMean, postVariance, NormalRange(credibleTail_, postMean, postVariance));
  SetKnownVarianceLikelihood(i, variance);
  SetNormalPrior(i, priorMean, priorVariance);
  SetNormalPosterior(i, postMean, postVariance);
}

void BSNNormalInference::KnownVarianceFlatPrior(std::size_t i, double variance) {
  if (!IsPositive(variance)) return;
  const double postVariance = variance / weights_[i];
  SetSummary(i, means_[i], postVariance, NormalRange(credibleTail_, means_[i], postVariance));
  SetKnownVarianceLikelihood(i, variance);
  SetFlatPrior(i);
  SetNormalPosterior(i, means_[i], postVariance);
}

void BSNNormalInference::NormalInverseChiSquare(std::size_t i, double priorDf, double priorScale2) {
  const double priorMean = settings_.GetMeanDistParam1();
  const double kappa0 = KQMV::IsMissing(settings_.GetKappaValue()) ? 1.0 : settings_.GetKappaValue();
  if (!IsPositive(priorDf) || !IsPositive(priorScale2) || !IsPresent(priorMean) || !IsPositive(kappa0))
    return;
  const double n = weights_[i];
  const double xbar = means_[i];
  const double sumSquares = (n - 1.0) * stdDevs_[i] * stdDevs_[i];
  const double postDf = n + priorDf;
  const double kappaN = kappa0 + n;
  const double postMean = xbar * n / kappaN + priorMean * kappa0 / kappaN;
  const double shift = xbar - priorMean;
  const double postScale2 =
      (priorDf * priorScale2 + sumSquares + (kappa0 * n / kappaN) * shift * shift) / postDf;
  const double scale2 = postScale2 / kappaN;
  SetSummary(i, postMean, scale2 * postDf / (postDf - 2.0), TRange(credibleTail_, postMean, scale2, postDf));
  SetProfileLikelihood(i);
  SetNormalPrior(i, priorMean, (priorDf * priorScale2 / (priorDf + 2.0)) / kappa0);
  SetTPosterior(i, postMean, scale2, postDf);
}

void BSNNormalInference::NormalGamma(std::size_t i, double shape, double rate) {
  const double priorMean = settings_.GetMeanDistParam1();
  const double kappa0 = KQMV::IsMissing(settings_.GetKappaValue()) ? 1.0 : settings_.GetKappaValue();
  if (!IsPositive(shape) || !IsPositive(rate) || !IsPresent(priorMean) || !IsPositive(kappa0)) return;
  const double n = weights_[i];
  const double xbar = means_[i];
  const double sumSquares = (n - 1.0) * stdDevs_[i] * stdDevs_[i];
  const double shapeN = shape + 0.5 * n;
  const double kappaN = kappa0 + n;
  const double shift = xbar - priorMean;
  const double rateN = rate + 0.5 * sumSquares + kappa0 * n * shift * shift / (2.0 * kappaN);
  const double postMean = kappa0 * priorMean / kappaN + xbar * n / kappaN;
  const double scale2 = (rateN / shapeN) / kappaN;
  SetSummary(i, postMean, (rateN / (shapeN - 1.0)) / kappaN,
             TRange(credibleTail_, postMean, scale2, 2.0 * shapeN));
  SetProfileLikelihood(i);
  // The prior curve of mu uses the variance b / ((a - 1) kappa0) of its t law, which exists only for a > 1;
  // below that b / (a kappa0) keeps the curve on the same scale.
  const double shapeForPrior = shape > 1.0 ? shape - 1.0 : shape;
  SetNormalPrior(i, priorMean, rate / (shapeForPrior * kappa0));
  SetTPosterior(i, postMean, scale2, 2.0 * shapeN);
}

void BSNNormalInference::FlatMeanT(std::size_t i, double df) {
  const double n = weights_[i];
  const double scale2 = (n - 1.0) * stdDevs_[i] * stdDevs_[i] / (n * df);
  SetSummary(i, means_[i], scale2 * df / (df - 2.0), TRange(credibleTail_, means_[i], scale2, df));
  SetProfileLikelihood(i);
  SetFlatPrior(i);
  SetTPosterior(i, means_[i], scale2, df);
}

void BSNNormalInference::JeffreysCase(std::size_t i) {
  const double n = weights_[i];
  if (settings_.GetPriorDistType() == DistTypes::Jeffreys4) {
    FlatMeanT(i, n + 1.0);
    return;
  }
  if (n < kMinCasesJeffreys2) {
    warnings_.AddWarning(VariableWarning(BSN_DF_NOT_ABOVE_3_JEFFREYS2, i), 0);
    return;
  }
  FlatMeanT(i, n - 1.0);
}

void BSNNormalInference::DiffuseCase(std::size_t i) {
  const double n = weights_[i];
  if (n < kMinCasesDiffuse) {
    warnings_.AddWarning(VariableWarning(BSN_DF_NOT_ABOVE_5_DIFFUSE, i), 0);
    return;
  }
  FlatMeanT(i, n - 3.0);
}

void BSNNormalInference::WarnPriorNotSupported() {
  warnings_.AddWarning(KQStatus(BSN_PRIOR_NOT_SUPPORTED, true), 0);
}

void BSNNormalInference::SetSummary(std::size_t i, double mean, double variance, const Range& interval) {
  modes_[i] = mean;
  postMeans_[i] = mean;
  postVariances_[i] = variance;
  lowerLimits_[i] = interval.lower;
  upperLimits_[i] = interval.upper;
}

void BSNNormalInference::SetKnownVarianceLikelihood(std::size_t i, double variance) {
  const double n = weights_[i];
  const double xbar = means_[i];
  const double sumSquares = (n - 1.0) * stdDevs_[i] * stdDevs_[i];
  argsLikelihood_[i] = PlotGrid(NormalRange(plotTail_, xbar, variance), settings_.GetNPlotPoints());
  DoubleList& values = likelihoods_[i];
  values.clear();
  for (double x : argsLikelihood_[i]) {
    values.push_back(-(sumSquares + n * (x - xbar) * (x - xbar)) / (2.0 * variance));
  }
}

void BSNNormalInference::SetProfileLikelihood(std::size_t i) {
  const double n = weights_[i];
  const double xbar = means_[i];
  const double variance = stdDevs_[i] * stdDevs_[i];
  // The log-likelihood of mu with the variance at its maximum for each mu, up to a constant.
  const double spread = variance * (n - 1.0) / n;
  argsLikelihood_[i] = PlotGrid(NormalRange(plotTail_, xbar, variance), settings_.GetNPlotPoints());
  DoubleList& values = likelihoods_[i];
  values.clear();
  for (double x : argsLikelihood_[i]) values.push_back(-0.5 * n * std::log((x - xbar) * (x - xbar) + spread));
}

void BSNNormalInference::SetNormalPrior(std::size_t i, double mean, double variance) {
  argsPrior_[i] = PlotGrid(NormalRange(plotTail_, mean, variance), settings_.GetNPlotPoints());
  priors_[i] = NormalDensities(argsPrior_[i], mean, variance);
}

// A flat prior has no range of its own: it is drawn over the likelihood's arguments as a constant,
// of which two values suffice.
void BSNNormalInference::SetFlatPrior(std::size_t i) {
  argsPrior_[i] = argsLikelihood_[i];
  priors_[i] = argsPrior_[i].empty() ? DoubleList{} : DoubleList{1.0, 1.0};
}

void BSNNormalInference::SetNormalPosterior(std::size_t i, double mean, double variance) {
  argsPosterior_[i] = PlotGrid(NormalRange(plotTail_, mean, variance), settings_.GetNPlotPoints());
  posteriors_[i] = NormalDensities(argsPosterior_[i], mean, variance);
}

void BSNNormalInference::SetTPosterior(std::size_t i, double center, double scale2, double df) {
  argsPosterior_[i] = PlotGrid(TRange(plotTail_, center, scale2, df), settings_.GetNPlotPoints());
  posteriors_[i] = ScaledTDensities(argsPosterior_[i], center, scale2, df);
}

void BSNNormalInference::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  if (status_.IsError()) {
    DisplayText(1, "BSNNormalInference is error!");
    DisplayI("error code:", status_.GetErrorCode());
  } else {
    DisplayText(1, "BSNNormalInference is ok!");
  }
  DisplayDV("Mode Values", modes_);
  DisplayDV("Post Mean Values", postMeans_);
  DisplayDV("post Variance Values", postVariances_);
  DisplayDV("Lower limited Values", lowerLimits_);
  DisplayDV("Upper limited Values", upperLimits_);
  DisplayDVV("Plot arguments for loglikelihood", argsLikelihood_);
  DisplayDVV("Plot arguments for prior", argsPrior_);
  DisplayDVV("Plot arguments for posterior", argsPosterior_);
  DisplayDVV("Plot LogLikelihoods", likelihoods_);
  DisplayDVV("Plot Posterior", posteriors_);
  DisplayDVV("Plot Prior", priors_);
}

}  // namespace KQBSN_850
