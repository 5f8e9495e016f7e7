#pragma once
// BSNRegrPosterior: posterior summaries of a fitted regression: the coefficients, the error variance
// sigma^2 and the value predicted at the settings' regressor values; the overall and the custom F tests;
// the plot curves. Two priors:
//   BSNRegrConjugatePrior: normal-inverse-gamma, beta | sigma^2 ~ N(mu0, sigma^2 V), sigma^2 ~ IG(a0, b0).
//     With A = V^-1 + X'WX, Sigma* = A^-1, mu* = Sigma* (V^-1 mu0 + X'Wy), a* = a0 + N/2,
//     b* = b0 + (y'Wy + mu0'V^-1 mu0 - mu*'A mu*)/2 and nu = 2 a0 + N, beta is t_nu(mu*, (b*/a*) Sigma*) and
//     sigma^2 is IG(a*, b*).
//   BSNRegrPosteriorReference: p(beta, sigma^2) proportional to 1/sigma^2. With nu = N - r and
//     s^2 = (y'Wy - b'X'Wy)/nu (the fit's ResidualSum, formed within the cells by a cell-means fit),
//     beta is t_nu(b, s^2 (X'WX)^-1) and sigma^2 is IG(nu/2, nu s^2/2).
// A redundant parameter is left out of both (its rows and columns of V, A and (X'WX)^-1 are zero).
// In both the coefficients, the prediction and the F tests follow from the centre m, the dispersion
// Sigma* and the scale (b*/a* or s^2): variance = scale Sigma*_ii nu/(nu - 2), interval
// m_i -/+ sqrt(scale Sigma*_ii) t(1 - q, nu); a redundant parameter has mode and mean 0 and nothing else.
// An F test of L beta = c has W = d'(L Sigma* L')^-1 d / (rows scale), d = L m - c, with F(rows, nu).
// Input errors: BSN_BAD_PARAMETER (a0 or b0 missing) and BSN_BAD_PRIOR_MEANS_LENGTH (mu0 not of length
// P) for the conjugate prior; warnings BSN_BAD_PRIOR_MATRIX_SIZE (identity used), BSN_DF_NOT_ABOVE_4,
// BSN_DF_NOT_ABOVE_2, BSN_REGRESSOR_MISMATCH, BSN_REDUNDANT_PARAMETERS, BSN_FTEST_* go to the analysis'
// warnings; summaries that cannot be formed stay missing.
// Accuracy: tests/regression/BSNRegrPosterior_test.cpp compares with R's confint(lm) and with the
// conjugate posterior written in R's matrix algebra.

#include <memory>
#include <vector>

#include "companion/KQRectMatrix.h"
#include "companion/KQRegrTables.h"
#include "companion/KQStatus.h"
#include "companion/KQSymMatrix.h"
#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "frame/BayesEstimation.h"
#include "regression/detail/RegrFit.h"

namespace KQBSN_850 {

/// The plot curves of a posterior: six per-parameter lists (one inner list per parameter, empty unless
/// plotted) and twelve lists for the error variance and the prediction.
struct RegrPlots {
  using Curves = std::vector<std::vector<double>>;
  Curves paramLikelihoodArgs, paramPriorArgs, paramPosteriorArgs;
  Curves paramLikelihood, paramPrior, paramPosterior;
  std::vector<double> errorLikelihoodArgs, errorPriorArgs, errorPosteriorArgs;
  std::vector<double> errorLikelihood, errorPrior, errorPosterior;
  std::vector<double> predictedLikelihoodArgs, predictedPriorArgs, predictedPosteriorArgs;
  std::vector<double> predictedLikelihood, predictedPrior, predictedPosterior;

  /// Empties the six prediction lists.
  void ClearPrediction() {
    for (std::vector<double>* list : {&predictedLikelihoodArgs, &predictedPriorArgs, &predictedPosteriorArgs,
                                      &predictedLikelihood, &predictedPrior, &predictedPosterior})
      list->clear();
  }
};

class BSNRegrPosterior {
 public:
  BSNRegrPosterior(const BSNRegrPosterior&) = delete;
  BSNRegrPosterior& operator=(const BSNRegrPosterior&) = delete;
  virtual ~BSNRegrPosterior() = default;

  /// Computes the summaries and the F tests; an error status ends the analysis.
  virtual KQCommon_850::KQStatus ComputePosterior() = 0;
  /// Fills the plot curves (after ComputePosterior).
  void ComputePlots();

  const std::vector<BayesEstimation>& GetCoefficients() const noexcept { return coefficients_; }
  const BayesEstimation& GetErrorVariance() const noexcept { return errorVariance_; }
  const BayesEstimation& GetPredicted() const noexcept { return predicted_; }
  const std::vector<KQMath_850::KQTestStats>& GetFTests() const noexcept { return fTests_; }
  const RegrPlots& GetPlots() const noexcept { return plots_; }
  double GetPosteriorMeanSigma2() const noexcept { return postMeanSigma2_; }
  double GetSigma2Scale() const noexcept { return scale_; }
  const KQMath_850::KQSymMatrix& GetDispersion() const noexcept { return dispersion_; }
  double GetFStat() const noexcept { return fStat_; }
  double GetFSig() const noexcept { return fSig_; }
  double GetDF() const noexcept { return nu_; }

 protected:
  BSNRegrPosterior(const BSNSettings& settings, const detail::RegrFit& fit, double s2,
                   KQCommon_850::KQWarnings& warnings);

  /// Fills the summaries from centre_, dispersion_, scale_ and nu_; canPredict says whether a prediction
  /// is made at all. Shape and scale of the inverse-gamma posterior of sigma^2 are given.
  void Summarize(double sigmaShape, double sigmaScale, bool canPredict);
  /// Runs the settings' F tests; an error status when L Sigma* L' cannot be formed.
  KQCommon_850::KQStatus RunFTests();
  /// Prior curves of a coefficient and of sigma^2: conjugate prior only.
  virtual void CoefficientPrior(int i, std::vector<double>& args, std::vector<double>& curve) const = 0;
  virtual void ErrorVariancePrior(const std::vector<double>& grid, std::vector<double>& curve) const = 0;
  virtual void PredictionPrior(std::vector<double>& args, std::vector<double>& curve) const = 0;

  KQCommon_850::KQStatus status_;
  const BSNSettings& settings_;
  const detail::RegrFit& fit_;
  KQCommon_850::KQWarnings& warnings_;
  double n_;
  double s2_;
  double mlVariance_;  ///< max(y'Wy - b'X'Wy, 0) / N
  double alpha_;       ///< 1 - CI/100, 0.05 without a level
  bool singleEffect_;

  std::vector<double> centre_;          ///< posterior mean of the coefficients (0 when redundant)
  KQMath_850::KQSymMatrix dispersion_;  ///< Sigma*
  double scale_ = KQCommon_850::KQMV::Missing();
  double nu_ = KQCommon_850::KQMV::Missing();
  double postMeanSigma2_ = KQCommon_850::KQMV::Missing();
  double fStat_ = KQCommon_850::KQMV::Missing();
  double fSig_ = KQCommon_850::KQMV::Missing();
  double sigmaShape_ = KQCommon_850::KQMV::Missing(), sigmaScale_ = KQCommon_850::KQMV::Missing();

  std::vector<BayesEstimation> coefficients_;
  BayesEstimation errorVariance_, predicted_;
  std::vector<double> paramLower_, paramUpper_;
  double errorLower_ = KQCommon_850::KQMV::Missing(), errorUpper_ = KQCommon_850::KQMV::Missing();
  double predLower_ = KQCommon_850::KQMV::Missing(), predUpper_ = KQCommon_850::KQMV::Missing();
  std::vector<double> x0_;  ///< the prediction's design row; empty without a prediction
  std::vector<KQMath_850::KQTestStats> fTests_;
  RegrPlots plots_;

 private:
  bool RegressorRow(std::vector<double>& row);
  bool BuildHypothesis(std::size_t test, KQMath_850::KQRectMatrix& l, std::vector<double>& c);
  void PlotPrediction();
  void PlotErrorVariance();
  void PlotCoefficient(int i);
};

class BSNRegrConjugatePrior final : public BSNRegrPosterior {
 public:
  BSNRegrConjugatePrior(const BSNSettings& settings, const detail::RegrFit& fit, double s2,
                        KQCommon_850::KQWarnings& warnings)
      : BSNRegrPosterior(settings, fit, s2, warnings) {}
  KQCommon_850::KQStatus ComputePosterior() override;

 private:
  void CoefficientPrior(int i, std::vector<double>& args, std::vector<double>& curve) const override;
  void ErrorVariancePrior(const std::vector<double>& grid, std::vector<double>& curve) const override;
  void PredictionPrior(std::vector<double>& args, std::vector<double>& curve) const override;

  KQMath_850::KQSymMatrix priorMatrix_;  ///< V after the redundant rows and columns are zeroed
  std::vector<double> priorMeans_;       ///< mu0, 0 for redundant parameters
};

class BSNRegrPosteriorReference final : public BSNRegrPosterior {
 public:
  BSNRegrPosteriorReference(const BSNSettings& settings, const detail::RegrFit& fit, double s2,
                            KQCommon_850::KQWarnings& warnings);
  KQCommon_850::KQStatus ComputePosterior() override;

 private:
  void CoefficientPrior(int i, std::vector<double>& args, std::vector<double>& curve) const override;
  void ErrorVariancePrior(const std::vector<double>&, std::vector<double>&) const override {}
  void PredictionPrior(std::vector<double>& args, std::vector<double>& curve) const override;
};

/// The posterior the settings' prior type asks for: conjugate, or the reference posterior otherwise.
std::unique_ptr<BSNRegrPosterior> CreateRegrPosterior(const BSNSettings& settings, const detail::RegrFit& fit,
                                                      double s2, KQCommon_850::KQWarnings& warnings);

}  // namespace KQBSN_850
