#include "onesample/BSN1SampleNormOutputStats.h"

#include <utility>

#include "companion/KQDisplay.h"
#include "onesample/detail/BSN1SampleNormal.h"
#include "onesample/detail/NormalPosteriorLists.h"

namespace KQBSN_850 {

class BSN1SampleNormOutputStatsImp {
 public:
  using IntList = BSN1SampleNormOutputStats::IntList;
  using DoubleList = BSN1SampleNormOutputStats::DoubleList;

  BSNSettings settings;
  IntList varIndices;
  DoubleList ns, meanValues, stdDevs, ems, bayesFactors, tValues, dfValues, sigs;
  detail::NormalPosteriorLists posterior;
};

BSN1SampleNormOutputStats::BSN1SampleNormOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm)
    : imp_(std::make_unique<BSN1SampleNormOutputStatsImp>()) {
  BSN1SampleNormOutputStatsImp& imp = *imp_;
  imp.settings = settings;
  const auto* normal = dynamic_cast<const BSN1SampleNormal*>(&algorithm);
  if (normal == nullptr) return;
  imp.varIndices = normal->settings_.GetCovariates();
  imp.ns = normal->weights_;
  imp.meanValues = normal->means_;
  imp.stdDevs = normal->stdDevs_;
  imp.ems = normal->stdErrors_;
  imp.bayesFactors = normal->bayesFactors_;
  imp.tValues = normal->tValues_;
  imp.dfValues = normal->dfs_;
  imp.sigs = normal->sigs_;
  imp.posterior = normal->posterior_;
}

BSN1SampleNormOutputStats::BSN1SampleNormOutputStats(const BSN1SampleNormOutputStats& other)
    : BSNOutputStats(other), imp_(std::make_unique<BSN1SampleNormOutputStatsImp>(*other.imp_)) {}

BSN1SampleNormOutputStats& BSN1SampleNormOutputStats::operator=(const BSN1SampleNormOutputStats& other) {
  if (this != &other) {
    BSNOutputStats::operator=(other);
    *imp_ = *other.imp_;
  }
  return *this;
}

BSN1SampleNormOutputStats::~BSN1SampleNormOutputStats() = default;

void BSN1SampleNormOutputStats::SetOutputValues(BSNSettings settings, IntList varIndices, DoubleList ns,
                                                DoubleList meanValues, DoubleList stdDevs, DoubleList ems,
                                                DoubleList bayesFactors, DoubleList tValues,
                                                DoubleList dfValues, DoubleList sigs, DoubleList modeValues,
                                                DoubleList postMeanValues, DoubleList varianceValues,
                                                DoubleList lowerLimits, DoubleList upperLimits) {
  BSN1SampleNormOutputStatsImp& imp = *imp_;
  imp.settings = std::move(settings);
  imp.varIndices = std::move(varIndices);
  imp.ns = std::move(ns);
  imp.meanValues = std::move(meanValues);
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

const BSNSettings& BSN1SampleNormOutputStats::GetSettings() const noexcept { return imp_->settings; }
auto BSN1SampleNormOutputStats::GetVarIndices() const noexcept -> const IntList& { return imp_->varIndices; }
auto BSN1SampleNormOutputStats::GetNs() const noexcept -> const DoubleList& { return imp_->ns; }
auto BSN1SampleNormOutputStats::GetMeanValues() const noexcept -> const DoubleList& {
  return imp_->meanValues;
}
auto BSN1SampleNormOutputStats::GetStdDevs() const noexcept -> const DoubleList& { return imp_->stdDevs; }
auto BSN1SampleNormOutputStats::GetEMs() const noexcept -> const DoubleList& { return imp_->ems; }
auto BSN1SampleNormOutputStats::GetBayesFactors() const noexcept -> const DoubleList& {
  return imp_->bayesFactors;
}
auto BSN1SampleNormOutputStats::GetTValues() const noexcept -> const DoubleList& { return imp_->tValues; }
auto BSN1SampleNormOutputStats::GetDFValues() const noexcept -> const DoubleList& { return imp_->dfValues; }
auto BSN1SampleNormOutputStats::GetSigs() const noexcept -> const DoubleList& { return imp_->sigs; }
auto BSN1SampleNormOutputStats::GetModeValues() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.modes;
}
auto BSN1SampleNormOutputStats::GetPostMeanValues() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.means;
}
auto BSN1SampleNormOutputStats::GetVarianceValues() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.variances;
}
auto BSN1SampleNormOutputStats::GetLowerLimits() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.lowers;
}
auto BSN1SampleNormOutputStats::GetUpperLimits() const noexcept -> const DoubleList& {
  return imp_->posterior.summaries.uppers;
}
auto BSN1SampleNormOutputStats::GetPlotArguments4Likelihoods() const noexcept -> const DoubleLists& {
  return imp_->posterior.argsLikelihood;
}
auto BSN1SampleNormOutputStats::GetPlotArguments4Prior() const noexcept -> const DoubleLists& {
  return imp_->posterior.argsPrior;
}
auto BSN1SampleNormOutputStats::GetPlotArguments4Posterior() const noexcept -> const DoubleLists& {
  return imp_->posterior.argsPosterior;
}
auto BSN1SampleNormOutputStats::GetPlotLikelihoods() const noexcept -> const DoubleLists& {
  return imp_->posterior.likelihoods;
}
auto BSN1SampleNormOutputStats::GetPlotPosterior() const noexcept -> const DoubleLists& {
  return imp_->posterior.posteriors;
}
auto BSN1SampleNormOutputStats::GetPlotPrior() const noexcept -> const DoubleLists& {
  return imp_->posterior.priors;
}

void BSN1SampleNormOutputStats::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  const BSN1SampleNormOutputStatsImp& imp = *imp_;
  DisplayText(1, "BSN1SampleNormOutputStatsImp Display start");
  DisplayDV("Degrees of freedom Values", imp.dfValues);
  DisplayDV("Factor Values", imp.bayesFactors);
  DisplayDV("Mean Values", imp.meanValues);
  DisplayDV("Sum of weights of cases's Values", imp.ns);
  DisplayDV("Significance Values", imp.sigs);
  DisplayDV("Standar deviation Values", imp.stdDevs);
  DisplayDV("Standar error Values", imp.ems);
  DisplayDV("Observed t-statistic Values", imp.tValues);
  imp.posterior.Display();
}

}  // namespace KQBSN_850
