#pragma once
// BSNPearsonCorrelationOutputStats: the result record of the correlation analysis. Entry p of every
// per-pair list belongs to pair p of GetVarPairIndices (pairs (i, j), i < j, of the settings' covariates
// in row order):
//   N and r, always filled (r missing for a pair with fewer than 2 cases or a constant variable);
//   BF01 or its logarithm where marked, empty unless a Bayes factor was asked for;
//   the posterior mode, mean, variance and credible limits of rho, empty unless a posterior was asked for;
//   the rho grid and, per plotted pair, the log-likelihood, prior and posterior curves.
// Per variable: the sum of weights of its non-missing values. The record copies the settings and every
// list, so it outlives nothing.

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

class BSNAlgorithm;
class BSNPearsonCorrelationOutputStatsImp;

class BSNPearsonCorrelationOutputStats final : public BSNOutputStats {
 public:
  using IntList = std::vector<int>;
  using DoubleList = std::vector<double>;
  using DoubleLists = std::vector<std::vector<double>>;
  using BoolList = std::vector<bool>;
  using PairList = std::vector<std::pair<int, int>>;

  /// Copies the settings and, when the algorithm is a BSNPearsonCorrelation, its results.
  BSNPearsonCorrelationOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm);
  BSNPearsonCorrelationOutputStats(const BSNPearsonCorrelationOutputStats& other);
  BSNPearsonCorrelationOutputStats& operator=(const BSNPearsonCorrelationOutputStats& other);
  ~BSNPearsonCorrelationOutputStats() override;

  BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::Correlation; }
  BSNConst::OutputTypes GetOutputType() const override { return BSNConst::OutputTypes::OutputCorrelation; }
  void Display(std::ostream& os) const override;

  /// Replaces every list but the failed integrals, in the order of the getters below.
  void SetOutputValues(BSNSettings settings, PairList varPairIndices, DoubleList pearsonCorrelation,
                       DoubleList varPairN, DoubleList varN, DoubleList bayesFactor,
                       BoolList isLogBayesFactor, DoubleList posteriorMode, DoubleList posteriorMean,
                       DoubleList posteriorVariance, DoubleList posteriorLowerBound,
                       DoubleList posteriorUpperBound, DoubleList plotXAxis, DoubleLists plotLogLikelihood,
                       DoubleLists plotPrior, DoubleLists plotPosterior);

  const BSNSettings& GetSettings() const noexcept;
  /// The pairs as variable indices, in pair order.
  const PairList& GetVarPairIndices() const noexcept;
  const DoubleList& GetPearsonCorrelation() const noexcept;
  /// BF01 of rho = 0 (JZS) or rho = null value (fractional), or its logarithm where marked.
  const DoubleList& GetBayesFactor() const noexcept;
  const BoolList& GetIsLogBayesFactor() const noexcept;
  /// Pair positions whose integrals reported warnings.
  const IntList& GetIndIntegralFailed() const noexcept;
  /// Sum of weights of each pair's cases.
  const DoubleList& GetVarPairN() const noexcept;
  /// Sum of weights of each variable's non-missing values.
  const DoubleList& GetVarN() const noexcept;
  const DoubleList& GetPosteriorMode() const noexcept;
  const DoubleList& GetPosteriorMean() const noexcept;
  const DoubleList& GetPosteriorVariance() const noexcept;
  const DoubleList& GetPosteriorLowerBound() const noexcept;
  const DoubleList& GetPosteriorUpperBound() const noexcept;
  /// The grid of rho values of the curves.
  const DoubleList& GetPlotXAxis() const noexcept;
  const DoubleLists& GetPlotLogLikelihood() const noexcept;
  const DoubleLists& GetPlotPrior() const noexcept;
  /// Posterior density divided by its largest value on the grid.
  const DoubleLists& GetPlotPosterior() const noexcept;

 private:
  std::unique_ptr<BSNPearsonCorrelationOutputStatsImp> imp_;
};

}  // namespace KQBSN_850
