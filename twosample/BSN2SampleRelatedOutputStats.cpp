#include "twosample/BSN2SampleRelatedOutputStats.h"

#include <utility>

#include "companion/KQDisplay.h"
#include "onesample/detail/NormalPosteriorLists.h"
#include "twosample/detail/BSN2SampleRelated.h"

namespace KQBSN_850 {

class BSN2SampleRelatedOutputStatsImp {
 public:
  using IntList = BSN2SampleRelatedOutputStats::IntList;
  using DoubleList = BSN2SampleRelatedOutputStats::DoubleList;

  BSNSettings settings;
  IntList firstList, secondList;
  DoubleList ns, meanDiffValues, stdDevs, ems, bayesFactors, tValues, dfValues, sigs;
  detail::NormalPosteriorLists posterior;
};

BSN2SampleRelatedOutputStats::BSN2SampleRelatedOutputStats(const BSNSettings& settings,
                                                           BSNAlgorithm& algorithm)
    : imp_(std::make_unique<BSN2SampleRelatedOutputStatsImp>()) {
  BSN2SampleRelatedOutputStatsImp& imp = *imp_;
  imp.settings = settings;
  const auto* related = dynamic_cast<const BSN2SampleRelated*>(&algorithm);
  if (related == nullptr) return;
  imp.firstList = related->settings_.GetCovariates();
  imp.secondList = related->settings_.Get2ndRelatedList();
  imp.ns = related->weights_;
  imp.meanDiffValues = related->meanDiffs_;
  imp.stdDevs = related->stdDevs_;
  imp.ems = related->stdErrors_;
  imp.bayesFactors = related->bayesFactors_;
  imp.tValues = related->tValues_;
  imp.dfValues = related->dfs_;
  imp.sigs = related->sigs_;
  imp.posterior = related->posterior_;
}

BSN2SampleRelatedOutputStats::BSN2SampleRelatedOutputStats(const BSN2SampleRelatedOutputStats& other)
    : BSNOutputStats(other), imp_(std::make_unique<BSN2SampleRelatedOutputStatsImp>(*other.imp_)) {}

BSN2SampleRelatedOutputStats& BSN2SampleRelatedOutputStats::operator=(
    const BSN2SampleRelatedOutputStats& other) {
  if (this != &other) {
    BSNOutputStats::operator=(other);
    *imp_ = *other.imp_;
  }
  return *this;
}

BSN2SampleRelatedOutputStats::~BSN2SampleRelatedOutputStats() = default;

void BSN2SampleRelatedOutputStats::SetOutputValues(
    BSNSettings settings, IntList firstList, IntList secondList, DoubleList ns, DoubleList meanDiffValues,
    DoubleList stdDevs, DoubleList ems, DoubleList bayesFactors, DoubleList tValues, DoubleList dfValues,
    DoubleList sigs, DoubleList modeValues, DoubleList postMeanValues, DoubleList varianceValues,
    DoubleList lowerLimits, DoubleList upperLimits) {
  BSN2SampleRelatedOutputStatsImp& imp = *imp_;
  imp.settings = std::move(settings);
  imp.firstList = std::move(firstList);
  imp.secondList = std::move(secondList);
  imp.ns = std::move(ns);
  imp.meanDiffValues = std::move(meanDiffValues);
  imp.stdDevs = std::move(stdDevs);
  imp.ems = std::move(ems);
  imp.bayesFactors = std::move(bayesFactors);
  imp.tValues = std::move(tValues);
  imp.dfValues = std::move(dfValues);
  imp.sigs = std::move(sigs);
  imp.posterior.summaries.modes = std::move(modeValues);
  imp.posterior.summaries.means = std::move(postMeanValues);
  imp.posterior.summaries.variances = std::move(varianceValues);
  imp.posterior.summaries.lowers = std::move(lowerLimits);
  imp.posterior.summaries.uppers = std::move(upperLimits);
}

const BSNSettings& BSN2SampleRelatedOutputStats::GetSettings() const noexcept { return imp_->settings; }
auto BSN2SampleRelatedOutputStats::Get1ndRelatedList() const noexcept -> const IntList& {
  return imp_->firstList;
}
auto BSN2SampleRelatedOutputStats::Get2ndRelatedList() const noexcept -> const IntList& {
  return imp_->secondList;
}
auto BSN2SampleRelatedOutputStats::GetNs() const noexcept -> const DoubleList& { return imp_->ns; }
auto BSN2SampleRelatedOutputStats::GetMeanDiffValues() const noexcept -> const DoubleList& {
  return imp_->meanDiffValues;
}
auto BSN2SampleRelatedOutputStats::GetStdDevs() const noexcept -> const DoubleList& { return imp_->stdDevs; }
auto BSN2SampleRelatedOutputStats::GetEMs() const noexcept -> const DoubleList& { return imp_->ems; }
auto BSN2SampleRelatedOutputStats::GetBayesFactors() const noexcept -> const DoubleList& {
  return imp_->bayesFactors;
}
auto BSN2SampleRelatedOutputStats::GetTValues() const noexcept -> const DoubleList& { return imp_->tValues; }
auto BSN2SampleRelatedOutputStats::GetDFValues() const noexcept -> const DoubleList& {
  return imp_->dfValues;
}
auto BSN2SampleRelatedOutputStats::GetSigs() const noexcept -> const DoubleList& { return imp_->sigs; }
auto BSN2SampleRelatedOutputStats::GetModeValues() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.modes;
}
auto BSN2SampleRelatedOutputStats::GetPostMeanValues() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.means;
}
auto BSN2SampleRelatedOutputStats::GetVarianceValues() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.variances;
}
auto BSN2SampleRelatedOutputStats::GetLowerLimits() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.lowers;
}
auto BSN2SampleRelatedOutputStats::GetUpperLimits() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.uppers;
}
auto BSN2SampleRelatedOutputStats::GetPlotArguments4Likelihoods() const noexcept -> const DoubleLists& {
  return imp_->posterior.argsLikelihood;
}
auto BSN2SampleRelatedOutputStats::GetPlotArguments4Prior() const noexcept -> const DoubleLists& {
  return imp_->posterior.argsPrior;
}
auto BSN2SampleRelatedOutputStats::GetPlotArguments4Posterior() const noexcept -> const DoubleLists& {
  return imp_->posterior.argsPosterior;
}
auto BSN2SampleRelatedOutputStats::GetPlotLikelihoods() const noexcept -> const DoubleLists& {
  return imp_->posterior.likelihoods;
}
auto BSN2SampleRelatedOutputStats::GetPlotPosterior() const noexcept -> const DoubleLists& {
  return imp_->posterior.posteriors;
}
auto BSN2SampleRelatedOutputStats::GetPlotPrior() const noexcept -> const DoubleLists& {
  return imp_->posterior.priors;
}

void BSN2SampleRelatedOutputStats::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  const BSN2SampleRelatedOutputStatsImp& imp = *imp_;
  DisplayText(1, "BSN2SampleRelatedOutputStatsImp Display start");
  DisplayIV("The first vector of Pairs", imp.firstList);
  DisplayIV("The second vector of Pairs", imp.secondList);
  DisplayDV("Degrees of freedom Value", imp.dfValues);
  DisplayDV("Factor Value", imp.bayesFactors);
  DisplayDV("Mean Value", imp.meanDiffValues);
  DisplayDV("Sum of weights of cases's Value", imp.ns);
  DisplayDV("Significance Value", imp.sigs);
  DisplayDV("Standard deviation Value", imp.stdDevs);
  DisplayDV("Standard error Value", imp.ems);
  DisplayDV("Observed t-statistic Value", imp.tValues);
  imp.posterior.Display();
}

}  // namespace KQBSN_850
