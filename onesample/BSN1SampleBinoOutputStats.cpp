#include "onesample/BSN1SampleBinoOutputStats.h"

#include "companion/KQDisplay.h"
#include "frame/detail/CountList.h"
#include "frame/detail/SummaryLists.h"
#include "onesample/detail/BSN1SampleBinomial.h"
#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using namespace KQDisplay_850;

class BSN1SampleBinomOutputStatsImp {
 public:
  using Curves = BSN1SampleBinoOutputStats::Curves;

  /// The labels that differ between the record's print and the analysis' print.
  struct Labels {
    const char* isLog;
    const char* cat1Indices;
  };
  static constexpr Labels kRecordLabels{"IsLogBayesFactor", "Indices of category 1"};
  static constexpr Labels kAnalysisLabels{"Log indicators for Bayes factors", "Category 1 indices"};

  explicit BSN1SampleBinomOutputStatsImp(const BSNSettings& s) : settings(s), varIndices(s.GetFactors()) {}

  void CopyFrom(const BSN1SampleBinomial& analysis) {
    if (const BSN1SampleBinoBayesFactor* bayesFactor = analysis.GetBayesFactorCalculator()) {
      bayesFactors = bayesFactor->GetBayesFactors();
      isLogBayesFactor = bayesFactor->GetIsLogBayesFactor();
      ns = detail::CountList(bayesFactor->GetSums(), &detail::CountSums::weightSum);
      cat1Indices = bayesFactor->GetCat1Indices();
      cat1Ns = detail::CountList(bayesFactor->GetSums(), &detail::CountSums::zeroWeightSum);
    }
    if (const BSN1SampleBinoPosterior* posterior = analysis.GetPosteriorCalculator()) {
      summaries = posterior->GetSummaries();
      plotArguments = posterior->GetPlotArguments();
      plotLikelihoods = posterior->GetPlotLikelihoods();
      plotPosterior = posterior->GetPlotPosterior();
      plotPrior = posterior->GetPlotPrior();
    }
  }

  /// Works out the category-2 counts and both proportions from Ns and Cat1Ns.
  void UpdateCategories() const {
    if (ns.size() != cat1Ns.size()) return;
    cat2Ns.resize(ns.size());
    cat1Props.resize(ns.size());
    cat2Props.resize(ns.size());
    for (std::size_t i = 0; i < ns.size(); ++i) {
      cat2Ns[i] = ns[i] - cat1Ns[i];
      // Without cases there is no proportion: missing rather than the NaN of 0/0.
      const double total = ns[i];
      cat1Props[i] = total == 0.0 ? KQMV::Missing() : cat1Ns[i] / total;
      cat2Props[i] = total == 0.0 ? KQMV::Missing() : cat2Ns[i] / total;
    }
  }

  void Display(const Labels& labels) const {
    UpdateCategories();
    DisplayText(1, "BSN1SampleBinomOutputStatsImp Display start");
    DisplayDV("Bayes factors", bayesFactors);
    DisplayBV(labels.isLog, isLogBayesFactor);
    DisplayIV("Record number", ns);
    DisplayIV(labels.cat1Indices, cat1Indices);
    DisplayIV("Record number of group 1", cat1Ns);
    DisplayIV("Record number of group 2", cat2Ns);
    DisplayDV("Proportion of group 1", cat1Props);
    DisplayDV("Proportion of group 2", cat2Props);
    summaries.Display();
    DisplayDVV("Plot Arguments", plotArguments);
    DisplayDVV("Plot LogLikelihoods", plotLikelihoods);
    DisplayDVV("Plot Posterior", plotPosterior);
    DisplayDVV("Plot Prior", plotPrior);
  }

  BSNSettings settings;
  std::vector<int> varIndices;
  std::vector<double> bayesFactors;
  std::vector<bool> isLogBayesFactor;
  std::vector<int> ns;
  std::vector<int> cat1Indices;
  std::vector<int> cat1Ns;
  // Derived from ns and cat1Ns whenever they are read.
  mutable std::vector<int> cat2Ns;
  mutable std::vector<double> cat1Props;
  mutable std::vector<double> cat2Props;
  detail::SummaryLists summaries;
  Curves plotArguments, plotLikelihoods, plotPosterior, plotPrior;
};

using Imp = BSN1SampleBinomOutputStatsImp;

BSN1SampleBinoOutputStats::BSN1SampleBinoOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm)
    : imp_(std::make_unique<Imp>(settings)) {
  if (const auto* analysis = dynamic_cast<const BSN1SampleBinomial*>(&algorithm)) imp_->CopyFrom(*analysis);
  imp_->UpdateCategories();
}

BSN1SampleBinoOutputStats::BSN1SampleBinoOutputStats(const BSN1SampleBinoOutputStats& other)
    : BSNOutputStats(other), imp_(std::make_unique<Imp>(*other.imp_)) {}

BSN1SampleBinoOutputStats& BSN1SampleBinoOutputStats::operator=(const BSN1SampleBinoOutputStats& other) {
  BSNOutputStats::operator=(other);
  *imp_ = *other.imp_;
  return *this;
}

BSN1SampleBinoOutputStats::~BSN1SampleBinoOutputStats() = default;

void BSN1SampleBinoOutputStats::Display(std::ostream& os) const {
  StreamScope scope(os);
  imp_->Display(Imp::kRecordLabels);
}

const BSNSettings& BSN1SampleBinoOutputStats::GetSettings() const noexcept { return imp_->settings; }
const std::vector<int>& BSN1SampleBinoOutputStats::GetVarIndices() const noexcept { return imp_->varIndices; }
const std::vector<double>& BSN1SampleBinoOutputStats::GetBayesFactors() const noexcept {
  return imp_->bayesFactors;
}
const std::vector<bool>& BSN1SampleBinoOutputStats::GetIsLogBayesFactor() const noexcept {
  return imp_->isLogBayesFactor;
}
const std::vector<int>& BSN1SampleBinoOutputStats::GetNs() const noexcept { return imp_->ns; }
const std::vector<int>& BSN1SampleBinoOutputStats::GetCat1Indices() const noexcept {
  return imp_->cat1Indices;
}
const std::vector<int>& BSN1SampleBinoOutputStats::GetCat1Ns() const noexcept { return imp_->cat1Ns; }
const std::vector<int>& BSN1SampleBinoOutputStats::GetCat2Ns() const {
  imp_->UpdateCategories();
  return imp_->cat2Ns;
}
const std::vector<double>& BSN1SampleBinoOutputStats::GetCat1Props() const {
  imp_->UpdateCategories();
  return imp_->cat1Props;
}
const std::vector<double>& BSN1SampleBinoOutputStats::GetCat2Props() const {
  imp_->UpdateCategories();
  return imp_->cat2Props;
}
const std::vector<double>& BSN1SampleBinoOutputStats::GetModeValues() const noexcept {
  return imp_->summaries.modes;
}
const std::vector<double>& BSN1SampleBinoOutputStats::GetMeanValues() const noexcept {
  return imp_->summaries.means;
}
const std::vector<double>& BSN1SampleBinoOutputStats::GetVarianceValues() const noexcept {
  return imp_->summaries.variances;
}
const std::vector<double>& BSN1SampleBinoOutputStats::GetLowerLimits() const noexcept {
  return imp_->summaries.lowers;
}
const std::vector<double>& BSN1SampleBinoOutputStats::GetUpperLimits() const noexcept {
  return imp_->summaries.uppers;
}
const Imp::Curves& BSN1SampleBinoOutputStats::GetPlotArguments() const noexcept {
  return imp_->plotArguments;
}
const Imp::Curves& BSN1SampleBinoOutputStats::GetPlotLikelihoods() const noexcept {
  return imp_->plotLikelihoods;
}
const Imp::Curves& BSN1SampleBinoOutputStats::GetPlotPosterior() const noexcept {
  return imp_->plotPosterior;
}
const Imp::Curves& BSN1SampleBinoOutputStats::GetPlotPrior() const noexcept { return imp_->plotPrior; }

void BSN1SampleBinoOutputStats::SetOutputValues(
    BSNSettings settings, IntList varIndices, DoubleList bayesFactors, IntList ns, IntList cat1Indices,
    IntList cat1Ns, IntList cat2Ns, DoubleList cat1Props, DoubleList cat2Props, DoubleList modeValues,
    DoubleList meanValues, DoubleList varianceValues, DoubleList lowerLimits, DoubleList upperLimits,
    PairList /*pairs1*/, PairList /*pairs2*/, Curves plotArguments, Curves plotLikelihoods,
    Curves plotPosterior, Curves plotPrior) {
  Imp& imp = *imp_;
  imp.settings = std::move(settings);
  imp.varIndices = std::move(varIndices);
  imp.bayesFactors = std::move(bayesFactors);
  imp.ns = std::move(ns);
  imp.cat1Indices = std::move(cat1Indices);
  imp.cat1Ns = std::move(cat1Ns);
  imp.cat2Ns = std::move(cat2Ns);
  imp.cat1Props = std::move(cat1Props);
  imp.cat2Props = std::move(cat2Props);
  imp.summaries.modes = std::move(modeValues);
  imp.summaries.means = std::move(meanValues);
  imp.summaries.variances = std::move(varianceValues);
  imp.summaries.lowers = std::move(lowerLimits);
  imp.summaries.uppers = std::move(upperLimits);
  imp.plotArguments = std::move(plotArguments);
  imp.plotLikelihoods = std::move(plotLikelihoods);
  imp.plotPosterior = std::move(plotPosterior);
  imp.plotPrior = std::move(plotPrior);
}

namespace detail {

void DisplayBinomialAnalysis(const BSNSettings& settings, const BSN1SampleBinomial& analysis,
                             std::ostream& os) {
  StreamScope scope(os);
  Imp imp(settings);
  imp.CopyFrom(analysis);
  imp.Display(Imp::kAnalysisLabels);
}

}  // namespace detail

}  // namespace KQBSN_850
