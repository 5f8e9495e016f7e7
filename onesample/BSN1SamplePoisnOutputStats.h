#pragma once
// BSN1SamplePoisnOutputStats: the result record of the one-sample Poisson analysis. Entry i of every
// per-variable list belongs to entry i of the settings' Covariates. The record copies the settings and
// the calculators' lists when it is made and computes the plot curves then (see
// detail::MakePoissonPlotCurves), so it stays valid on its own; copies are deep.
// Bayes factors, flags and the smallest and largest counts are filled for the types Bayes Factor and
// Both, summaries, parameters and curves for the others; Ns always. A variable without cases has a
// missing factor and -1 as its smallest and largest count.

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "frame/BSNAlgorithm.h"
#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

class BSN1SamplePoisnOutputStatsImp;
class BSN1SamplePoisson;

class BSN1SamplePoisnOutputStats final : public BSNOutputStats {
 public:
  using IntList = std::vector<int>;
  using DoubleList = std::vector<double>;
  using BoolList = std::vector<bool>;
  using PairList = std::vector<std::pair<double, double>>;
  using Curves = std::vector<std::vector<double>>;

  /// Copies the settings and their Covariates, then the lists of the Poisson analysis' calculators.
  BSN1SamplePoisnOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm);
  BSN1SamplePoisnOutputStats(const BSN1SamplePoisnOutputStats& other);
  BSN1SamplePoisnOutputStats& operator=(const BSN1SamplePoisnOutputStats& other);
  ~BSN1SamplePoisnOutputStats() override;

  BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::OneSample; }
  BSNConst::OutputTypes GetOutputType() const override { return BSNConst::OutputTypes::Output1SamplePoisson; }
  /// Prints every list with its label to os; the caller's display stream is restored afterwards.
  void Display(std::ostream& os) const override;

  const BSNSettings& GetSettings() const noexcept;
  const IntList& GetVarIndices() const noexcept;
  /// BF01 per variable, or its natural logarithm where GetIsLogBayesFactor says so.
  const DoubleList& GetBayesFactors() const noexcept;
  const BoolList& GetIsLogBayesFactor() const noexcept;
  /// The sum of the case weights, truncated to a whole number.
  const IntList& GetNs() const noexcept;
  const IntList& GetMinCnts() const noexcept;
  const IntList& GetMaxCnts() const noexcept;
  const DoubleList& GetModeValues() const noexcept;
  const DoubleList& GetMeanValues() const noexcept;
  const DoubleList& GetVarianceValues() const noexcept;
  const DoubleList& GetLowerLimits() const noexcept;
  const DoubleList& GetUpperLimits() const noexcept;
  /// (shape, rate) of each posterior.
  const PairList& GetPosteriorParams() const noexcept;
  /// (-n, S) of each log-likelihood S ln(x) - n x.
  const PairList& GetLikelihoodParams() const noexcept;
  const Curves& GetPlotArguments4Likelihoods() const noexcept;
  const Curves& GetPlotArguments4Prior() const noexcept;
  const Curves& GetPlotArguments4Posterior() const noexcept;
  /// Log-likelihood at each of GetPlotArguments4Likelihoods.
  const Curves& GetPlotLikelihoods() const noexcept;
  const Curves& GetPlotPosterior() const noexcept;
  const Curves& GetPlotPrior() const noexcept;

  /// Replaces the settings and the named lists, so that a host can rebuild a record from stored values;
  /// GetIsLogBayesFactor keeps its value.
  void SetOutputValues(BSNSettings settings, IntList varIndices, DoubleList bayesFactors, IntList ns,
                       IntList minCnts, IntList maxCnts, DoubleList modeValues, DoubleList meanValues,
                       DoubleList varianceValues, DoubleList lowerLimits, DoubleList upperLimits,
                       PairList posteriorParams, PairList likelihoodParams, Curves plotArguments4Likelihoods,
                       Curves plotArguments4Prior, Curves plotArguments4Posterior, Curves plotLikelihoods,
                       Curves plotPosterior, Curves plotPrior);

 private:
  std::unique_ptr<BSN1SamplePoisnOutputStatsImp> imp_;
};

namespace detail {

/// Prints the analysis' current results under the record's header, up to the likelihood parameters.
void DisplayPoissonAnalysis(const BSNSettings& settings, const BSN1SamplePoisson& analysis, std::ostream& os);

}  // namespace detail

}  // namespace KQBSN_850
