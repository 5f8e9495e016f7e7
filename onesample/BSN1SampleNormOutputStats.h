#pragma once
// BSN1SampleNormOutputStats: the result record of the one-sample normal analysis. Entry i of every
// list belongs to test variable i: counts, means, standard deviations and errors, degrees of freedom;
// Bayes factors BF01, t values and significances (empty unless a Bayes factor was asked for); the
// posterior mode, mean, variance and credible limits and the six plot lists (empty unless a posterior
// was asked for). It holds a copy of the settings and of every list, so it outlives nothing.

#include <memory>
#include <ostream>
#include <vector>

#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

class BSNAlgorithm;
class BSN1SampleNormOutputStatsImp;

class BSN1SampleNormOutputStats final : public BSNOutputStats {
 public:
  using IntList = std::vector<int>;
  using DoubleList = std::vector<double>;
  using DoubleLists = std::vector<std::vector<double>>;

  /// Copies the settings and, when the algorithm is a BSN1SampleNormal, every result list.
  BSN1SampleNormOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm);
  BSN1SampleNormOutputStats(const BSN1SampleNormOutputStats& other);
  BSN1SampleNormOutputStats& operator=(const BSN1SampleNormOutputStats& other);
  ~BSN1SampleNormOutputStats() override;

  BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::OneSample; }
  BSNConst::OutputTypes GetOutputType() const override { return BSNConst::OutputTypes::Output1SampleNormal; }
  void Display(std::ostream& os) const override;

  /// Replaces the settings and the fourteen summary lists; the plot lists are kept.
  void SetOutputValues(BSNSettings settings, IntList varIndices, DoubleList ns, DoubleList meanValues,
                       DoubleList stdDevs, DoubleList ems, DoubleList bayesFactors, DoubleList tValues,
                       DoubleList dfValues, DoubleList sigs, DoubleList modeValues, DoubleList postMeanValues,
                       DoubleList varianceValues, DoubleList lowerLimits, DoubleList upperLimits);

  const BSNSettings& GetSettings() const noexcept;
  /// The test variables' positions in the variable list.
  const IntList& GetVarIndices() const noexcept;
  /// Sums of frequency weights.
  const DoubleList& GetNs() const noexcept;
  const DoubleList& GetMeanValues() const noexcept;
  const DoubleList& GetStdDevs() const noexcept;
  /// Standard errors of the means.
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
  std::unique_ptr<BSN1SampleNormOutputStatsImp> imp_;
};

}  // namespace KQBSN_850
