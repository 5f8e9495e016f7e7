#pragma once
// BSN1SampleBinoOutputStats: the result record of the one-sample binomial analysis. Entry i of every
// per-variable list belongs to entry i of the settings' Factors. The record copies the settings and the
// calculators' lists when it is made, so it stays valid on its own; copies are deep.
// Bayes factors and counts are filled for the types Bayes Factor and Both, summaries and curves for
// Posterior and Both; other lists stay empty. Cat2Ns, Cat1Props and Cat2Props are worked out from Ns
// and Cat1Ns on every call while those two lists have the same length (a proportion of a variable
// without cases is missing); otherwise the stored lists are returned.

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "frame/BSNAlgorithm.h"
#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

class BSN1SampleBinomOutputStatsImp;
class BSN1SampleBinomial;

class BSN1SampleBinoOutputStats final : public BSNOutputStats {
 public:
  using IntList = std::vector<int>;
  using DoubleList = std::vector<double>;
  using BoolList = std::vector<bool>;
  using PairList = std::vector<std::pair<double, double>>;
  using Curves = std::vector<std::vector<double>>;

  /// Copies the settings and their Factors, then the lists of the binomial analysis' calculators.
  BSN1SampleBinoOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm);
  BSN1SampleBinoOutputStats(const BSN1SampleBinoOutputStats& other);
  BSN1SampleBinoOutputStats& operator=(const BSN1SampleBinoOutputStats& other);
  ~BSN1SampleBinoOutputStats() override;

  BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::OneSample; }
  BSNConst::OutputTypes GetOutputType() const override {
    return BSNConst::OutputTypes::Output1SampleBinomial;
  }
  /// Prints every list with its label to os; the caller's display stream is restored afterwards.
  void Display(std::ostream& os) const override;

  const BSNSettings& GetSettings() const noexcept;
  const IntList& GetVarIndices() const noexcept;
  /// BF01 per variable, or its natural logarithm where GetIsLogBayesFactor says so.
  const DoubleList& GetBayesFactors() const noexcept;
  const BoolList& GetIsLogBayesFactor() const noexcept;
  /// The weighted number of counted cases.
  const IntList& GetNs() const noexcept;
  const IntList& GetCat1Indices() const noexcept;
  /// The weighted number of counted cases whose value is 0.
  const IntList& GetCat1Ns() const noexcept;
  /// Ns - Cat1Ns.
  const IntList& GetCat2Ns() const;
  /// Cat1Ns / Ns.
  const DoubleList& GetCat1Props() const;
  /// (Ns - Cat1Ns) / Ns.
  const DoubleList& GetCat2Props() const;
  const DoubleList& GetModeValues() const noexcept;
  const DoubleList& GetMeanValues() const noexcept;
  const DoubleList& GetVarianceValues() const noexcept;
  const DoubleList& GetLowerLimits() const noexcept;
  const DoubleList& GetUpperLimits() const noexcept;
  const Curves& GetPlotArguments() const noexcept;
  /// Log-likelihood at each plot argument.
  const Curves& GetPlotLikelihoods() const noexcept;
  const Curves& GetPlotPosterior() const noexcept;
  const Curves& GetPlotPrior() const noexcept;

  /// Replaces the settings and the named lists, so that a host can rebuild a record from stored values.
  /// The two pair lists are accepted and not kept; GetIsLogBayesFactor keeps its value.
  void SetOutputValues(BSNSettings settings, IntList varIndices, DoubleList bayesFactors, IntList ns,
                       IntList cat1Indices, IntList cat1Ns, IntList cat2Ns, DoubleList cat1Props,
                       DoubleList cat2Props, DoubleList modeValues, DoubleList meanValues,
                       DoubleList varianceValues, DoubleList lowerLimits, DoubleList upperLimits,
                       PairList pairs1, PairList pairs2, Curves plotArguments, Curves plotLikelihoods,
                       Curves plotPosterior, Curves plotPrior);

 private:
  std::unique_ptr<BSN1SampleBinomOutputStatsImp> imp_;
};

namespace detail {

/// Prints the analysis' current results as the record would, with the analysis' own labels.
void DisplayBinomialAnalysis(const BSNSettings& settings, const BSN1SampleBinomial& analysis,
                             std::ostream& os);

}  // namespace detail

}  // namespace KQBSN_850
