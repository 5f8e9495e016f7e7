#pragma once
// BSN2SampleIndOutputStats: the result record of the two independent samples analysis. Entry i of every
// list belongs to test variable i (the settings' covariates):
//   group statistics of group 1 (grouping value 0) and group 2 (value 1): case counts, means,
//   standard deviations and standard errors, always filled;
//   the pooled t test and BF01 (mean difference group 2 - group 1, its pooled standard error, factors,
//   t, degrees of freedom, two-sided significances), empty unless a Bayes factor was asked for;
//   the posterior of the difference (mode, mean, variance, credible limits) and its ten plot lists,
//   empty unless a posterior was asked for.
// Entries that could not be computed hold the missing value. The record copies the settings and every
// list, so it outlives nothing.

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

class BSNAlgorithm;
class BSN2SampleIndOutputStatsImp;

class BSN2SampleIndOutputStats final : public BSNOutputStats {
 public:
  using IntList = std::vector<int>;
  using DoubleList = std::vector<double>;
  using DoubleLists = std::vector<std::vector<double>>;
  using PairList = std::vector<std::pair<double, double>>;

  /// Copies the settings and, when the algorithm is a BSN2SampleIndependent, its results.
  BSN2SampleIndOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm);
  BSN2SampleIndOutputStats(const BSN2SampleIndOutputStats& other);
  BSN2SampleIndOutputStats& operator=(const BSN2SampleIndOutputStats& other);
  ~BSN2SampleIndOutputStats() override;

  BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::Independent; }
  BSNConst::OutputTypes GetOutputType() const override {
    return BSNConst::OutputTypes::Output2SampleIndependent;
  }
  void Display(std::ostream& os) const override;

  /// Replaces the settings and the 22 lists from GetGroupStatsVarIndices to GetUpperLimits, in that
  /// order. The two lists of pairs are accepted for the host's interface and not stored; the plot
  /// lists are kept.
  void SetOutputValues(BSNSettings settings, IntList groupStatsVarIndices, IntList group1StatsNs,
                       DoubleList group1MeanValues, DoubleList group1StdDevs, DoubleList group1EMs,
                       IntList group2StatsNs, DoubleList group2MeanValues, DoubleList group2StdDevs,
                       DoubleList group2EMs, IntList tTestVarIndices, DoubleList meanDiffValues,
                       DoubleList pStdEDDevs, DoubleList bayesFactors, DoubleList tValues,
                       DoubleList dfValues, DoubleList sigs, IntList postVarIndices, DoubleList modeValues,
                       DoubleList postMeanValues, DoubleList varianceValues, DoubleList lowerLimits,
                       DoubleList upperLimits, PairList, PairList);

  const BSNSettings& GetSettings() const noexcept;
  /// The test variables' positions in the record.
  const IntList& GetGroupStatsVarIndices() const noexcept;
  /// Case counts (sums of rounded frequency weights) truncated to whole numbers.
  const IntList& GetGroup1StatsNs() const noexcept;
  const DoubleList& GetGroup1MeanValues() const noexcept;
  const DoubleList& GetGroup1StdDevs() const noexcept;
  /// Standard errors of the group means.
  const DoubleList& GetGroup1EMs() const noexcept;
  const IntList& GetGroup2StatsNs() const noexcept;
  const DoubleList& GetGroup2MeanValues() const noexcept;
  const DoubleList& GetGroup2StdDevs() const noexcept;
  const DoubleList& GetGroup2EMs() const noexcept;
  const IntList& GetTTestVarIndices() const noexcept;
  /// Group 2 mean minus group 1 mean.
  const DoubleList& GetMeanDiffValues() const noexcept;
  /// Pooled standard errors of the difference.
  const DoubleList& GetPStdEDDevs() const noexcept;
  /// BF01, equal means over different means.
  const DoubleList& GetBayesFactors() const noexcept;
  /// Pooled-variance t statistics.
  const DoubleList& GetTValues() const noexcept;
  const DoubleList& GetDFValues() const noexcept;
  /// Two-sided significances of the pooled t.
  const DoubleList& GetSigs() const noexcept;
  const IntList& GetPostVarIndices() const noexcept;
  const DoubleList& GetModeValues() const noexcept;
  const DoubleList& GetPostMeanValues() const noexcept;
  const DoubleList& GetVarianceValues() const noexcept;
  const DoubleList& GetLowerLimits() const noexcept;
  const DoubleList& GetUpperLimits() const noexcept;
  /// Grid of group 1 means for the profile likelihood.
  const DoubleLists& GetPlotXArguments() const noexcept;
  /// Grid of group 2 means for the profile likelihood.
  const DoubleLists& GetPlotYArguments() const noexcept;
  /// Profile log-likelihood of the group 1 mean on its grid.
  const DoubleLists& GetPlotXLikelihoods() const noexcept;
  const DoubleLists& GetPlotYLikelihoods() const noexcept;
  const DoubleLists& GetPlotXPriorArguments() const noexcept;
  const DoubleLists& GetPlotYPriorArguments() const noexcept;
  const DoubleLists& GetPlotXPrior() const noexcept;
  const DoubleLists& GetPlotYPrior() const noexcept;
  /// Grid of values of the mean difference.
  const DoubleLists& GetPlotArguments() const noexcept;
  /// Posterior density of the mean difference on that grid.
  const DoubleLists& GetPlotPosterior() const noexcept;

 private:
  std::unique_ptr<BSN2SampleIndOutputStatsImp> imp_;
};

}  // namespace KQBSN_850
