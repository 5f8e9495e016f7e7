#include "regression/detail/BSNRegrPosterior.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/PlotDensities.h"
#include "frame/detail/PlotGrid.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQMath_850::KQDistFun;
using KQMath_850::KQRectMatrix;
using KQMath_850::KQSymMatrix;

namespace {

std::size_t ToSize(int i) { return static_cast<std::size_t>(i); }

bool IsPresent(double x) { return !KQMV::IsMissingOrNaN(x); }

/// t quantile, missing for nu <= 0.
double TQuantile(double p, double nu) { return nu > 0.0 ? KQDistFun::IdfT(p, nu) : KQMV::Missing(); }

/// P(F > f) for F(df1, df2), missing when it cannot be formed.
double UpperF(double f, double df1, double df2) {
  if (!IsPresent(f) || !(df1 > 0.0) || !(df2 > 0.0)) return KQMV::Missing();
  return KQDistFun::SigF(f, df1, df2);
}

/// 1 / (Gamma(shape, rate) quantile p): the (1 - p) quantile of the inverse gamma; missing unless the
/// gamma quantile is present and positive.
double InverseGammaQuantile(double p, double shape, double rate) {
  if (!(shape > 0.0) || !(rate > 0.0)) return KQMV::Missing();
  const double q = KQDistFun::IdfGam(p, shape, rate);
  return IsPresent(q) && q > 0.0 ? 1.0 / q : KQMV::Missing();
}

/// Inverse-gamma densities (shape, scale) on a grid, through logarithms.
std::vector<double> InverseGammaDensities(const std::vector<double>& grid, double shape, double scale) {
  std::vector<double> curve;
  if (!(shape > 0.0) || !(scale > 0.0)) return curve;
  const double c = shape * std::log(scale) - KQDistFun::qorvdnlgam(shape);
  for (double x : grid)
    curve.push_back(x > 0.0 ? PlotDensityFromLog(c - (shape + 1.0) * std::log(x) - scale / x) : 0.0);
  return curve;
}

std::vector<double> Grid(double lower, double upper, int nPoints) {
  if (!IsPresent(lower) || !IsPresent(upper) || !(upper > lower)) return {};
  return PlotGrid(Range{lower, upper}, nPoints);
}

}  // namespace

BSNRegrPosterior::BSNRegrPosterior(const BSNSettings& settings, const detail::RegrFit& fit, double s2,
                                   KQCommon_850::KQWarnings& warnings)
    : settings_(settings),
      fit_(fit),
      warnings_(warnings),
      n_(fit.N()),
      s2_(s2),
      singleEffect_(fit.Design().GetNEffects() == 1) {
  mlVariance_ = std::max(fit.ResidualSum(), 0.0) / n_;
  const double ci = settings.GetCILevel();
  alpha_ = IsPresent(ci) ? 1.0 - ci / 100.0 : 0.05;
}

void BSNRegrPosterior::Summarize(double sigmaShape, double sigmaScale, bool canPredict) {
  const int p = fit_.NParameters();
  const double q = alpha_ / 2.0, q2 = settings_.GetPlotDomainLevel() / 2.0;
  const double t = TQuantile(1.0 - q, nu_), t2 = TQuantile(1.0 - q2, nu_);
  const double inflation = nu_ > 2.0 ? nu_ / (nu_ - 2.0) : KQMV::Missing();
  coefficients_.assign(ToSize(p), BayesEstimation());
  paramLower_.assign(ToSize(p), KQMV::Missing());
  paramUpper_.assign(ToSize(p), KQMV::Missing());
  for (int i = 0; i < p; ++i) {
    BayesEstimation& e = coefficients_[ToSize(i)];
    if (!fit_.NonRedundant().IsIn(i)) {
      e.mode = e.mean = 0.0;
      continue;
    }
    e.mode = e.mean = centre_[ToSize(i)];
    const double h = std::max(scale_ * dispersion_(i, i), 0.0);
    if (IsPresent(inflation)) e.variance = h * inflation;
    if (IsPresent(t)) e.lower = e.mean - std::sqrt(h) * t, e.upper = e.mean + std::sqrt(h) * t;
    if (IsPresent(t2))
      paramLower_[ToSize(i)] = e.mean - std::sqrt(h) * t2,
      paramUpper_[ToSize(i)] = e.mean + std::sqrt(h) * t2;
  }

  // sigma^2 ~ IG(shape, scale): 1 / sigma^2 ~ Gamma(shape, rate = scale).
  sigmaShape_ = sigmaShape, sigmaScale_ = sigmaScale;
  errorVariance_ = BayesEstimation();
  errorVariance_.mode = sigmaScale / (sigmaShape + 1.0);
  if (sigmaShape > 1.0) errorVariance_.mean = postMeanSigma2_ = sigmaScale / (sigmaShape - 1.0);
  if (sigmaShape > 2.0)
    errorVariance_.variance =
        sigmaScale * sigmaScale / ((sigmaShape - 2.0) * (sigmaShape - 1.0) * (sigmaShape - 1.0));
  errorVariance_.lower = InverseGammaQuantile(1.0 - q, sigmaShape, sigmaScale);
  errorVariance_.upper = InverseGammaQuantile(q, sigmaShape, sigmaScale);
  errorLower_ = InverseGammaQuantile(1.0 - q2, sigmaShape, sigmaScale);
  errorUpper_ = InverseGammaQuantile(q2, sigmaShape, sigmaScale);

  predicted_ = BayesEstimation();
  x0_.clear();
  if (!canPredict || settings_.GetRegressors().empty()) return;
  std::vector<double> x0;
  if (!RegressorRow(x0)) {
    warnings_.AddWarning(KQStatus(BSN_REGRESSOR_MISMATCH, true), 0);
    return;
  }
  x0_ = x0;
  double mean = 0.0;
  for (int i = 0; i < p; ++i)
    if (fit_.NonRedundant().IsIn(i)) mean += x0[ToSize(i)] * centre_[ToSize(i)];
  const double h = (1.0 + dispersion_.QuadraticForm(x0)) * scale_;
  predicted_.mode = predicted_.mean = mean;
  if (IsPresent(inflation)) predicted_.variance = h * inflation;
  if (h >= 0.0) {
    if (IsPresent(t)) predicted_.lower = mean - std::sqrt(h) * t, predicted_.upper = mean + std::sqrt(h) * t;
    if (IsPresent(t2)) predLower_ = mean - std::sqrt(h) * t2, predUpper_ = mean + std::sqrt(h) * t2;
  }
}

bool BSNRegrPosterior::RegressorRow(std::vector<double>& row) {
  const std::vector<int>& factors = settings_.GetFactors();
  const std::vector<int>& covariates = settings_.GetCovariates();
  const std::vector<double>& values = settings_.GetRegressors();
  if (values.size() < factors.size() + covariates.size()) return false;
  int maxVar = -1;
  for (int var : factors) maxVar = std::max(maxVar, var);
  for (int var : covariates) maxVar = std::max(maxVar, var);
  std::vector<double> record(ToSize(maxVar + 1), 0.0);
  std::size_t next = 0;
  for (int var : factors) {
    const double value = values[next++];
    if (!IsPresent(value) || value < 0.0 || std::trunc(value) != value) return false;
    record[ToSize(var)] = value;
  }
  for (int var : covariates) {
    const double value = values[next++];
    if (!IsPresent(value)) return false;
    record[ToSize(var)] = value;
  }
  fit_.Design().ExpandRowX(record, row);
  return true;
}

bool BSNRegrPosterior::BuildHypothesis(std::size_t test, KQRectMatrix& l, std::vector<double>& c) {
  const BayesFTest& fTest = settings_.GetFTests()[test];
  const KQMath_850::KQFastDesignMatrix& design = fit_.Design();
  const std::vector<double>& values = fTest.GetTestValues();
  const int p = fit_.NParameters();
  std::size_t position = 0;
  const auto addRow = [&](int parameter, double value) {
    std::vector<double> row(ToSize(p), 0.0);
    row[ToSize(parameter)] = 1.0;
    l.AppendRow(row);
    c.push_back(value);
  };
  if (fTest.IsUseIntercept() && design.HasIntercept()) {
    const double value = values.empty() ? 0.0 : values[position++];
    if (fit_.NonRedundant().IsIn(0)) addRow(0, value);
  }
  for (int var : fTest.GetPredictors()) {
    int effect = design.FindEffect(var, false);
    if (effect < 0) effect = design.FindEffect(var, true);
    if (effect < 0) {
      KQStatus warning(BSN_PREDICTOR_NOT_FOUND, true);
      warning.SetDiscreteDatum(0, static_cast<long>(test));
      warning.SetDiscreteDatum(1, var);
      warnings_.AddWarning(warning, 0);
      return false;
    }
    int first = 0, count = 0;
    design.GetParamsForEffect(effect, first, count);
    for (int k = first; k < first + count; ++k) {
      double value = 0.0;
      if (!values.empty()) {
        if (position >= values.size()) {
          warnings_.AddWarning(KQStatus(BSN_FTEST_VALUES_MISMATCH, true), 0);
          return false;
        }
        value = values[position++];
      }
      if (fit_.NonRedundant().IsIn(k)) addRow(k, value);
    }
  }
  if (l.GetNRows() == 0) {
    KQStatus warning(BSN_FTEST_NO_L_ROWS, true);
    warning.SetDiscreteDatum(0, static_cast<long>(test));
    warnings_.AddWarning(warning, 0);
    return false;
  }
  return true;
}

KQStatus BSNRegrPosterior::RunFTests() {
  const std::size_t nTests = settings_.GetFTests().size();
  fTests_.assign(nTests, KQMath_850::KQTestStats());
  for (std::size_t j = 0; j < nTests; ++j) {
    fTests_[j].SetTestType(0);
    KQRectMatrix l;
    std::vector<double> c;
    if (!BuildHypothesis(j, l, c)) continue;
    KQSymMatrix s;
    if (!dispersion_.ComputeRSRTrans(l, s)) return KQStatus(BSN_INTERNAL_ERROR, false);
    s.Invert(detail::kRegrSweepTolerance);
    std::vector<double> d;
    l.MultiplyVector(centre_, d);
    for (std::size_t k = 0; k < d.size(); ++k) d[k] -= c[k];
    const double rows = l.GetNRows();
    const double wald = s.QuadraticForm(d) / (rows * scale_);
    fTests_[j].SetWald(wald);
    fTests_[j].SetDF(rows);
    fTests_[j].SetDF2(nu_);
    if (const double sig = UpperF(wald, rows, nu_); IsPresent(sig)) fTests_[j].SetSig(sig);
  }
  return KQStatus();
}

void BSNRegrPosterior::ComputePlots() {
  if (!singleEffect_) PlotPrediction();
  PlotErrorVariance();
  const int p = fit_.NParameters();
  for (RegrPlots::Curves* curves :
       {&plots_.paramLikelihoodArgs, &plots_.paramPriorArgs, &plots_.paramPosteriorArgs,
        &plots_.paramLikelihood, &plots_.paramPrior, &plots_.paramPosterior})
    curves->assign(ToSize(p), {});
  std::vector<int> plotted;
  const std::vector<int>& categories = settings_.GetPlotFactorCats();
  const KQMath_850::KQFastDesignMatrix& design = fit_.Design();
  if (singleEffect_) {
    for (int category : categories) plotted.push_back(category);
  } else {
    if (design.HasIntercept()) plotted.push_back(0);
    int first = 0, count = 0;
    for (int var : settings_.GetPlotCovars())
      if (const int effect = design.FindEffect(var, false); effect >= 0) {
        design.GetParamsForEffect(effect, first, count);
        plotted.push_back(first);
      }
    const std::size_t nCategories =
        std::min(categories.size(), ToSize(std::max(settings_.GetMaxNPlotCategories(), 0)));
    for (int var : settings_.GetPlotFactors())
      if (const int effect = design.FindEffect(var, true); effect >= 0) {
        design.GetParamsForEffect(effect, first, count);
        for (std::size_t k = 0; k < nCategories; ++k)
          if (categories[k] >= 0 && categories[k] < count) plotted.push_back(first + categories[k]);
      }
  }
  for (int i : plotted) {
    if (i < 0 || i >= p) continue;
    if (!fit_.NonRedundant().IsIn(i)) {
      warnings_.AddWarning(KQStatus(BSN_REDUNDANT_PARAMETERS, true), 0);
      continue;
    }
    PlotCoefficient(i);
  }
}

void BSNRegrPosterior::PlotCoefficient(int i) {
  const std::size_t k = ToSize(i);
  const std::vector<double> grid = Grid(paramLower_[k], paramUpper_[k], settings_.GetNPlotPoints());
  if (grid.empty()) return;
  const double b = fit_.Coefficients()[k], d = fit_.Inverse()(i, i);
  plots_.paramLikelihoodArgs[k] = grid;
  for (double beta : grid)
    plots_.paramLikelihood[k].push_back(-(n_ / 2.0) *
                                        std::log(mlVariance_ + (b - beta) * (b - beta) / (n_ * d)));
  CoefficientPrior(i, plots_.paramPriorArgs[k], plots_.paramPrior[k]);
  const double scale2 = scale_ * dispersion_(i, i);
  if (nu_ > 0.0 && scale2 > 0.0) {
    plots_.paramPosteriorArgs[k] = grid;
    plots_.paramPosterior[k] = ScaledTDensities(grid, centre_[k], scale2, nu_);
  }
}

void BSNRegrPosterior::PlotErrorVariance() {
  const std::vector<double> grid = Grid(errorLower_, errorUpper_, settings_.GetNPlotPoints());
  if (grid.empty()) return;
  const double chiUpper = KQDistFun::IdfChi(1.0 - alpha_ / 2.0, n_ - 2.0);
  const double chiLower = KQDistFun::IdfChi(alpha_ / 2.0, n_ - 2.0);
  if (n_ > 2.0 && IsPresent(chiUpper) && IsPresent(chiLower) && chiLower > 0.0) {
    plots_.errorLikelihoodArgs =
        Grid(n_ * mlVariance_ / chiUpper, n_ * mlVariance_ / chiLower, settings_.GetNPlotPoints());
    for (double s2 : plots_.errorLikelihoodArgs)
      plots_.errorLikelihood.push_back(-(n_ / 2.0) * std::log(s2) - n_ * mlVariance_ / (2.0 * s2));
  }
  ErrorVariancePrior(grid, plots_.errorPrior);
  if (!plots_.errorPrior.empty()) plots_.errorPriorArgs = grid;
  plots_.errorPosterior = InverseGammaDensities(grid, sigmaShape_, sigmaScale_);
  if (!plots_.errorPosterior.empty()) plots_.errorPosteriorArgs = grid;
}

void BSNRegrPosterior::PlotPrediction() {
  if (x0_.empty()) return;
  const std::vector<double> grid = Grid(predLower_, predUpper_, settings_.GetNPlotPoints());
  if (grid.empty()) return;
  double leastSquares = 0.0;
  for (std::size_t i = 0; i < x0_.size(); ++i) leastSquares += x0_[i] * fit_.Coefficients()[i];
  const double d = fit_.Inverse().QuadraticForm(x0_);
  if (d > 0.0) {
    plots_.predictedLikelihoodArgs = grid;
    for (double mu : grid)
      plots_.predictedLikelihood.push_back(
          -(n_ / 2.0) * std::log(mlVariance_ + (leastSquares - mu) * (leastSquares - mu) / (n_ * d)));
  }
  PredictionPrior(plots_.predictedPriorArgs, plots_.predictedPrior);
  const double scale2 = predicted_.variance * (nu_ - 2.0) / nu_;
  if (nu_ > 0.0 && scale2 > 0.0) {
    plots_.predictedPosteriorArgs = grid;
    plots_.predictedPosterior = ScaledTDensities(grid, predicted_.mean, scale2, nu_);
  }
}

// ---- conjugate prior ----

KQStatus BSNRegrConjugatePrior::ComputePosterior() {
  const double a0 = settings_.GetPriorShape(), b0 = settings_.GetPriorScale();
  if (!IsPresent(a0) || !IsPresent(b0)) return status_ = KQStatus(BSN_BAD_PARAMETER, false);
  const int p = fit_.NParameters();
  priorMeans_ = settings_.GetPriorMeans();
  if (priorMeans_.size() != ToSize(p)) {
    status_ = KQStatus(BSN_BAD_PRIOR_MEANS_LENGTH, false);
    status_.SetDiscreteDatum(0, p);
    status_.SetDiscreteDatum(1, static_cast<long>(priorMeans_.size()));
    return status_;
  }
  priorMatrix_ = KQSymMatrix(p, false);
  const std::vector<double>& packed = settings_.GetPriorCovMatrix();
  if (!packed.empty() && !priorMatrix_.SetFromVector(packed)) {
    KQStatus warning(BSN_BAD_PRIOR_MATRIX_SIZE, true);
    warning.SetDiscreteDatum(0, static_cast<long>(priorMatrix_.AsVector().size()));
    warning.SetDiscreteDatum(1, static_cast<long>(packed.size()));
    warnings_.AddWarning(warning, 0);
  }
  const KQMath_850::KQBitSet& kept = fit_.NonRedundant();
  if (kept.InSet() < p) {
    priorMatrix_.ZeroOutRedundant(kept);
    for (int i = 0; i < p; ++i)
      if (!kept.IsIn(i)) priorMeans_[ToSize(i)] = 0.0;
  }
  nu_ = 2.0 * a0 + n_;
  if (nu_ <= 4.0) warnings_.AddWarning(KQStatus(BSN_DF_NOT_ABOVE_4, true), 0);

  KQSymMatrix priorPrecision = priorMatrix_;
  priorPrecision.Invert(detail::kRegrSweepTolerance);
  std::vector<double> m0;
  priorPrecision.MultiplyVector(priorMeans_, m0);
  const double priorQuadratic = priorPrecision.QuadraticForm(priorMeans_);
  for (int i = 0; i < p; ++i) m0[ToSize(i)] += fit_.XWy()[ToSize(i)];
  KQSymMatrix precision = priorPrecision;
  precision.Add(fit_.CrossProducts());
  // A redundant parameter is left out of the model: without its rows and columns in A it has no
  // posterior spread and mean 0, and the others' posterior is that of the design without it.
  if (kept.InSet() < p) precision.ZeroOutRedundant(kept);
  dispersion_ = precision;
  dispersion_.Invert(detail::kRegrSweepTolerance);
  dispersion_.MultiplyVector(m0, centre_);
  const double posteriorQuadratic = precision.QuadraticForm(centre_);
  const double aStar = a0 + n_ / 2.0;
  const double bStar = b0 + (fit_.YWy() + priorQuadratic - posteriorQuadratic) / 2.0;
  scale_ = bStar / aStar;
  for (int i = 0; i < p; ++i)
    if (!kept.IsIn(i)) centre_[ToSize(i)] = 0.0;

  Summarize(aStar, bStar, aStar > 1.0 && !singleEffect_);
  const double k = kept.InSet();
  fStat_ = posteriorQuadratic / (k * scale_);
  fSig_ = UpperF(fStat_, k, nu_);
  return RunFTests();
}

void BSNRegrConjugatePrior::CoefficientPrior(int i, std::vector<double>& args,
                                             std::vector<double>& curve) const {
  const std::vector<double>& means = settings_.GetPriorMeans();
  const double variance = settings_.GetPriorScale() / (settings_.GetPriorShape() + 1.0);
  if (ToSize(i) >= means.size() || !(variance > 0.0)) return;
  args = plots_.paramLikelihoodArgs[ToSize(i)];
  for (double x : args) curve.push_back(KQDistFun::PdfNormal(x, means[ToSize(i)], std::sqrt(variance)));
}

void BSNRegrConjugatePrior::ErrorVariancePrior(const std::vector<double>& grid,
                                               std::vector<double>& curve) const {
  curve = InverseGammaDensities(grid, settings_.GetPriorShape(), settings_.GetPriorScale());
}

void BSNRegrConjugatePrior::PredictionPrior(std::vector<double>& args, std::vector<double>& curve) const {
  // x0'beta under the prior: mean x0'mu0, variance (b0 / (a0 + 1)) x0'V x0.
  double mean = 0.0;
  for (std::size_t i = 0; i < x0_.size(); ++i) mean += x0_[i] * priorMeans_[i];
  const double variance =
      settings_.GetPriorScale() / (settings_.GetPriorShape() + 1.0) * priorMatrix_.QuadraticForm(x0_);
  if (!(variance > 0.0)) return;
  args =
      plots_.predictedLikelihoodArgs.empty() ? plots_.predictedPosteriorArgs : plots_.predictedLikelihoodArgs;
  if (args.empty()) args = Grid(predLower_, predUpper_, settings_.GetNPlotPoints());
  curve = NormalDensities(args, mean, variance);
}

// ---- reference prior ----

BSNRegrPosteriorReference::BSNRegrPosteriorReference(const BSNSettings& settings, const detail::RegrFit& fit,
                                                     double s2, KQCommon_850::KQWarnings& warnings)
    : BSNRegrPosterior(settings, fit, s2, warnings) {
  dispersion_ = fit.Inverse();
}

KQStatus BSNRegrPosteriorReference::ComputePosterior() {
  const double k = fit_.Rank();
  nu_ = n_ - k;
  if (nu_ < 0.0) {
    nu_ = 0.0;
    warnings_.AddWarning(KQStatus(BSN_DF_NOT_ABOVE_2, true), 0);
  } else if (nu_ <= 2.0) {
    warnings_.AddWarning(KQStatus(BSN_DF_NOT_ABOVE_2, true), 0);
  } else if (nu_ <= 4.0) {
    warnings_.AddWarning(KQStatus(BSN_DF_NOT_ABOVE_4, true), 0);
  }
  const double residual = fit_.ResidualSum();
  scale_ = nu_ > 0.0 ? residual / nu_ : 0.0;
  centre_ = fit_.Coefficients();
  Summarize(nu_ / 2.0, nu_ * scale_ / 2.0, true);
  // Q = b'X'WX b = b'X'Wy for the least-squares b.
  const double q =
      fit_.CrossProducts().Size() > 0 ? fit_.CrossProducts().QuadraticForm(centre_) : fit_.YWy() - residual;
  fStat_ = q * nu_ / (k * (fit_.YWy() - q));
  fSig_ = UpperF(fStat_, k, nu_);
  return RunFTests();
}

void BSNRegrPosteriorReference::CoefficientPrior(int i, std::vector<double>& args,
                                                 std::vector<double>& curve) const {
  args = {paramLower_[ToSize(i)], paramUpper_[ToSize(i)]};
  curve = {1.0, 1.0};
}

void BSNRegrPosteriorReference::PredictionPrior(std::vector<double>& args, std::vector<double>& curve) const {
  args = {predLower_, predUpper_};
  curve = {1.0, 1.0};
}

std::unique_ptr<BSNRegrPosterior> CreateRegrPosterior(const BSNSettings& settings, const detail::RegrFit& fit,
                                                      double s2, KQCommon_850::KQWarnings& warnings) {
  if (settings.GetPriorType() == BSNConst::PriorTypes::Conjugate)
    return std::make_unique<BSNRegrConjugatePrior>(settings, fit, s2, warnings);
  return std::make_unique<BSNRegrPosteriorReference>(settings, fit, s2, warnings);
}

}  // namespace KQBSN_850
