#include "correlation/BSNPearsonCorrelationOutputStats.h"

#include "companion/KQDisplay.h"
#include "correlation/BSNPearsonCorrelation.h"
#include "correlation/detail/CorrPairResults.h"

namespace KQBSN_850 {

class BSNPearsonCorrelationOutputStatsImp {
 public:
  using IntList = BSNPearsonCorrelationOutputStats::IntList;
  using DoubleList = BSNPearsonCorrelationOutputStats::DoubleList;
  using DoubleLists = BSNPearsonCorrelationOutputStats::DoubleLists;
  using BoolList = BSNPearsonCorrelationOutputStats::BoolList;
  using PairList = BSNPearsonCorrelationOutputStats::PairList;

  BSNSettings settings;
  PairList pairs;
  DoubleList r, pairN, varN, bayesFactors;
  BoolList isLog;
  IntList failed;
  DoubleList modes, means, variances, lowers, uppers, plotX;
  DoubleLists logLikelihoods, priors, posteriors;
};

BSNPearsonCorrelationOutputStats::BSNPearsonCorrelationOutputStats(const BSNSettings& settings,
                                                                   BSNAlgorithm& algorithm)
    : imp_(std::make_unique<BSNPearsonCorrelationOutputStatsImp>()) {
  BSNPearsonCorrelationOutputStatsImp& imp = *imp_;
  imp.settings = settings;
  const auto* analysis = dynamic_cast<const BSNPearsonCorrelation*>(&algorithm);
  if (analysis == nullptr) return;
  const detail::CorrPairResults& results = analysis->GetResults();
  imp.pairs = results.pairs;
  imp.r = results.r;
  imp.pairN = results.n;
  imp.varN = results.varN;
  imp.bayesFactors = results.bayesFactors;
  imp.isLog.assign(results.isLogFactor.begin(), results.isLogFactor.end());
  imp.failed = results.failedPairs;
  imp.modes = results.posterior.modes;
  imp.means = results.posterior.means;
  imp.variances = results.posterior.variances;
  imp.lowers = results.posterior.lowers;
  imp.uppers = results.posterior.uppers;
  imp.plotX = results.plotX;
  imp.logLikelihoods = results.logLikelihoods;
  imp.priors = results.priors;
  imp.posteriors = results.posteriors;
}

BSNPearsonCorrelationOutputStats::BSNPearsonCorrelationOutputStats(
    const BSNPearsonCorrelationOutputStats& other)
    : BSNOutputStats(other), imp_(std::make_unique<BSNPearsonCorrelationOutputStatsImp>(*other.imp_)) {}

BSNPearsonCorrelationOutputStats& BSNPearsonCorrelationOutputStats::operator=(
    const BSNPearsonCorrelationOutputStats& other) {
  if (this != &other) {
    BSNOutputStats::operator=(other);
    *imp_ = *other.imp_;
  }
  return *this;
}

BSNPearsonCorrelationOutputStats::~BSNPearsonCorrelationOutputStats() = default;

void BSNPearsonCorrelationOutputStats::SetOutputValues(
    BSNSettings settings, PairList varPairIndices, DoubleList pearsonCorrelation, DoubleList varPairN,
    DoubleList varN, DoubleList bayesFactor, BoolList isLogBayesFactor, DoubleList posteriorMode,
    DoubleList posteriorMean, DoubleList posteriorVariance, DoubleList posteriorLowerBound,
    DoubleList posteriorUpperBound, DoubleList plotXAxis, DoubleLists plotLogLikelihood,
    DoubleLists plotPrior, DoubleLists plotPosterior) {
  BSNPearsonCorrelationOutputStatsImp& imp = *imp_;
  imp.settings = std::move(settings);
  imp.pairs = std::move(varPairIndices);
  imp.r = std::move(pearsonCorrelation);
  imp.pairN = std::move(varPairN);
  imp.varN = std::move(varN);
  imp.bayesFactors = std::move(bayesFactor);
  imp.isLog = std::move(isLogBayesFactor);
  imp.modes = std::move(posteriorMode);
  imp.means = std::move(posteriorMean);
  imp.variances = std::move(posteriorVariance);
  imp.lowers = std::move(posteriorLowerBound);
  imp.uppers = std::move(posteriorUpperBound);
  imp.plotX = std::move(plotXAxis);
  imp.logLikelihoods = std::move(plotLogLikelihood);
  imp.priors = std::move(plotPrior);
  imp.posteriors = std::move(plotPosterior);
}

using IntList = BSNPearsonCorrelationOutputStats::IntList;
using DoubleList = BSNPearsonCorrelationOutputStats::DoubleList;
using DoubleLists = BSNPearsonCorrelationOutputStats::DoubleLists;
using BoolList = BSNPearsonCorrelationOutputStats::BoolList;
using PairList = BSNPearsonCorrelationOutputStats::PairList;

const BSNSettings& BSNPearsonCorrelationOutputStats::GetSettings() const noexcept { return imp_->settings; }
const PairList& BSNPearsonCorrelationOutputStats::GetVarPairIndices() const noexcept { return imp_->pairs; }
const DoubleList& BSNPearsonCorrelationOutputStats::GetPearsonCorrelation() const noexcept { return imp_->r; }
const DoubleList& BSNPearsonCorrelationOutputStats::GetBayesFactor() const noexcept {
  return imp_->bayesFactors;
}
const BoolList& BSNPearsonCorrelationOutputStats::GetIsLogBayesFactor() const noexcept { return imp_->isLog; }
const IntList& BSNPearsonCorrelationOutputStats::GetIndIntegralFailed() const noexcept {
  return imp_->failed;
}
const DoubleList& BSNPearsonCorrelationOutputStats::GetVarPairN() const noexcept { return imp_->pairN; }
const DoubleList& BSNPearsonCorrelationOutputStats::GetVarN() const noexcept { return imp_->varN; }
const DoubleList& BSNPearsonCorrelationOutputStats::GetPosteriorMode() const noexcept { return imp_->modes; }
const DoubleList& BSNPearsonCorrelationOutputStats::GetPosteriorMean() const noexcept { return imp_->means; }
const DoubleList& BSNPearsonCorrelationOutputStats::GetPosteriorVariance() const noexcept {
  return imp_->variances;
}
const DoubleList& BSNPearsonCorrelationOutputStats::GetPosteriorLowerBound() const noexcept {
  return imp_->lowers;
}
const DoubleList& BSNPearsonCorrelationOutputStats::GetPosteriorUpperBound() const noexcept {
  return imp_->uppers;
}
const DoubleList& BSNPearsonCorrelationOutputStats::GetPlotXAxis() const noexcept { return imp_->plotX; }
const DoubleLists& BSNPearsonCorrelationOutputStats::GetPlotLogLikelihood() const noexcept {
  return imp_->logLikelihoods;
}
const DoubleLists& BSNPearsonCorrelationOutputStats::GetPlotPrior() const noexcept { return imp_->priors; }
const DoubleLists& BSNPearsonCorrelationOutputStats::GetPlotPosterior() const noexcept {
  return imp_->posteriors;
}

void BSNPearsonCorrelationOutputStats::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  const BSNPearsonCorrelationOutputStatsImp& imp = *imp_;
  DisplayText(1, "BSNPearsonCorrelationOutputStats Display start");
  DisplayVPII("VarPairIndices", imp.pairs);
  DisplayDV("PearsonCorrelation", imp.r);
  DisplayDV("BayesFactor", imp.bayesFactors);
  DisplayBV("IsLogBayesFactor", imp.isLog);
  DisplayIV("Indices where Integral Failed", imp.failed);
  DisplayDV("VarPairRecordNumber", imp.pairN);
  DisplayDV("VarRecordNumber", imp.varN);
  DisplayDV("PosteriorMode", imp.modes);
  DisplayDV("PosteriorMean", imp.means);
  DisplayDV("PosteriorVariance", imp.variances);
  DisplayDV("PosteriorLowerBound", imp.lowers);
  DisplayDV("PosteriorUpperBound", imp.uppers);
  DisplayDV("PlotXAxis", imp.plotX);
  DisplayDVV("PlotLogLikelihood", imp.logLikelihoods);
  DisplayDVV("PlotPrior", imp.priors);
  DisplayDVV("PlotPosterior", imp.posteriors);
}

}  // namespace KQBSN_850
