#pragma once
// BSNNormalInference: the posterior distribution of the mean mu of a normal variable, for each test
// variable, from its weighted count n, mean xbar and standard deviation s and the prior chosen in the
// settings. It yields the posterior mode, mean and variance, the equal-tailed credible interval at
// CILevel, and three curves on grids of NPlotPoints points: the log-likelihood, the prior density and
// the posterior density.
//
// Known data variance sigma^2 (DataVarVals of one entry per variable, entry not missing): a normal
// prior N(mu0, tau^2) gives the normal posterior of precision n/sigma^2 + 1/tau^2; a flat prior gives
// N(xbar, sigma^2/n). Estimated variance: the conjugate normal-inverse-chi-square and normal-gamma
// priors give a scaled t posterior; Jeffreys (nu = n - 1 or n + 1) and the diffuse prior (nu = n - 3)
// give xbar + sqrt(SS/(n nu)) T_nu.
// Input: variables with n < 2, s <= 0 or a missing or invalid prior parameter keep missing summaries
// and empty curves. A prior the rules do not cover is replaced by the flat or diffuse one with a
// BSN_PRIOR_NOT_SUPPORTED warning; too few cases for Jeffreys 2 or the diffuse prior give
// BSN_DF_NOT_ABOVE_3_JEFFREYS2 or BSN_DF_NOT_ABOVE_5_DIFFUSE with the variable's position. Compute
// answers BSN_TOO_FEW_CORR_VARIABLES when there is no test variable, OK otherwise.
// Accuracy: tests/onesample/BSNNormalInference_test.cpp compares every prior case with the posterior
// formulas worked in R (tests/reference/normal_onesample.R) and the Jeffreys 2 interval with t.test.

#include <cstddef>
#include <ostream>
#include <vector>

#include "companion/KQStatus.h"
#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "frame/detail/PosteriorRange.h"

namespace KQBSN_850 {

class BSNNormalInference {
 public:
  using DoubleList = std::vector<double>;
  using DoubleLists = std::vector<std::vector<double>>;

  /// Takes per-variable means, standard deviations and weights (sums of frequency weights); warnings
  /// are added to the owner's list, which must outlive this object, as must the settings.
  BSNNormalInference(const BSNSettings& settings, KQCommon_850::KQWarnings& warnings, DoubleList means,
                     DoubleList stdDevs, DoubleList weights);

  /// Computes every variable; returns (and keeps) the status.
  KQCommon_850::KQStatus Compute();
  KQCommon_850::KQStatus GetStatus() const { return status_; }

  const DoubleList& GetModeValues() const noexcept { return modes_; }
  const DoubleList& GetPostMeanValues() const noexcept { return postMeans_; }
  const DoubleList& GetVarianceValues() const noexcept { return postVariances_; }
  const DoubleList& GetLowerLimits() const noexcept { return lowerLimits_; }
  const DoubleList& GetUpperLimits() const noexcept { return upperLimits_; }
  const DoubleLists& GetPlotArguments4Likelihoods() const noexcept { return argsLikelihood_; }
  const DoubleLists& GetPlotArguments4Prior() const noexcept { return argsPrior_; }
  const DoubleLists& GetPlotArguments4Posterior() const noexcept { return argsPosterior_; }
  const DoubleLists& GetPlotLikelihoods() const noexcept { return likelihoods_; }
  const DoubleLists& GetPlotPosterior() const noexcept { return posteriors_; }
  const DoubleLists& GetPlotPrior() const noexcept { return priors_; }

  void Display(std::ostream& os) const;

 private:
  void ComputeVariable(std::size_t i);
  void KnownVarianceCase(std::size_t i, double variance);
  void EstimatedVarianceCase(std::size_t i);
  void KnownVarianceNormalPrior(std::size_t i, double variance);
  void KnownVarianceFlatPrior(std::size_t i, double variance);
  void NormalInverseChiSquare(std::size_t i, double priorDf, double priorScale2);
  void NormalGamma(std::size_t i, double shape, double rate);
  void FlatMeanT(std::size_t i, double df);
  void JeffreysCase(std::size_t i);
  void DiffuseCase(std::size_t i);
  void WarnPriorNotSupported();

  void SetSummary(std::size_t i, double mean, double variance, const Range& interval);
  void SetKnownVarianceLikelihood(std::size_t i, double variance);
  void SetProfileLikelihood(std::size_t i);
  void SetNormalPrior(std::size_t i, double mean, double variance);
  void SetFlatPrior(std::size_t i);
  void SetNormalPosterior(std::size_t i, double mean, double variance);
  void SetTPosterior(std::size_t i, double center, double scale2, double df);

  double credibleTail_;  // probability in each tail of the credible interval
  double plotTail_;      // probability in each tail of a plot range
  const BSNSettings& settings_;
  KQCommon_850::KQWarnings& warnings_;
  DoubleList means_;
  DoubleList stdDevs_;
  DoubleList weights_;
  KQCommon_850::KQStatus status_;
  DoubleList modes_, postMeans_, postVariances_, lowerLimits_, upperLimits_;
  DoubleLists argsLikelihood_, argsPrior_, argsPosterior_;
  DoubleLists likelihoods_, posteriors_, priors_;
};

}  // namespace KQBSN_850
