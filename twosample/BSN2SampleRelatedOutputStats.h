#pragma once
// BSN2SampleRelatedOutputStats: the result record of the two related samples analysis. Entry j of every
// list belongs to pair j (entry j of the two variable lists): counts, mean differences, standard
// deviations and errors of the differences, degrees of freedom; Bayes factors BF01, t values and
// significances (empty unless a Bayes factor was asked for); the posterior mode, mean, variance and
// credible limits of the mean difference and the six plot lists (empty unless a posterior was asked
// for). It holds a copy of the settings and of every list, so it outlives nothing.

#include <memory>
#include <ostream>
#include <vector>

#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

class BSNAlgorithm;
class BSN2SampleRelatedOutputStatsImp;

class BSN2SampleRelatedOutputStats final : public BSNOutputStats {
 public:
  using IntList = std::vector<int>;
  using DoubleList = std::vector<double>;
  using DoubleLists = std::vector<std::vector<double>>;

  /// Copies the settings and, when the algorithm is a BSN2SampleRelated, every result list.
  BSN2SampleRelatedOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm);
  BSN2SampleRelatedOutputStats(const BSN2SampleRelatedOutputStats& other);
  BSN2SampleRelatedOutputStats& operator=(const BSN2SampleRelatedOutputStats& other);
  ~BSN2SampleRelatedOutputStats() override;

  BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::Related; }
  BSNConst::OutputTypes GetOutputType() const override { return BSNConst::OutputTypes::Output2SampleRelated; }
  void Display(std::ostream& os) const override;

  /// Replaces the settings, the two variable lists and the thirteen summary lists; the plot lists are
  /// kept.
  void SetOutputValues(BSNSettings settings, IntList firstList, IntList secondList, DoubleList ns,
                       DoubleList meanDiffValues, DoubleList stdDevs, DoubleList ems, DoubleList bayesFactors,
                       DoubleList tValues, DoubleList dfValues, DoubleList sigs, DoubleList modeValues,
                       DoubleList postMeanValues, DoubleList varianceValues, DoubleList lowerLimits,
                       DoubleList upperLimits);

  const BSNSettings& GetSettings() const noexcept;
  /// The first variables of the pairs (x of x - y), as positions in the variable list.
  const IntList& Get1ndRelatedList() const noexcept;
  /// The second variables of the pairs (y of x - y).
  const IntList& Get2ndRelatedList() const noexcept;
  /// Sums of frequency weights of the records with both values present.
  const DoubleList& GetNs() const noexcept;
  /// Mean differences x - y.
  const DoubleList& GetMeanDiffValues() const noexcept;
  /// Standard deviations of the differences.
  const DoubleList& GetStdDevs() const noexcept;
  /// Standard errors of the mean differences.
  const DoubleList& GetEMs() const noexcept;
  const DoubleList& GetBayesFactors() const noexcept;
  const DoubleList& GetTValues() const noexcept;
  const DoubleList& GetDFValues() const noexcept;
  /// Two-sided significances of the t values.
  const DoubleList& GetSigs() const noexcept;
  const DoubleList& GetModeValues() const noexcept;
  const DoubleList& GetPostMeanValues() const noexcept;
  const DoubleList& GetVarianceValues() const noexcept;
  const DoubleList& GetLowerLimits() const noexcept;
  const DoubleList& GetUpperLimits() const noexcept;
  const DoubleLists& GetPlotArguments4Likelihoods() const noexcept;
  const DoubleLists& GetPlotArguments4Prior() const noexcept;
  const DoubleLists& GetPlotArguments4Posterior() const noexcept;
  const DoubleLists& GetPlotLikelihoods() const noexcept;
  const DoubleLists& GetPlotPosterior() const noexcept;
  const DoubleLists& GetPlotPrior() const noexcept;

 private:
  std::unique_ptr<BSN2SampleRelatedOutputStatsImp> imp_;
};

}  // namespace KQBSN_850
