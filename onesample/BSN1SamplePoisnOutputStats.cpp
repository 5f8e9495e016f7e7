#include "onesample/BSN1SamplePoisnOutputStats.h"

#include "companion/KQDisplay.h"
#include "frame/detail/CountList.h"
#include "frame/detail/SummaryLists.h"
#include "onesample/detail/BSN1SamplePoisson.h"
#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850 {

using namespace KQDisplay_850;

class BSN1SamplePoisnOutputStatsImp {
 public:
  using Curves = BSN1SamplePoisnOutputStats::Curves;
  using PairList = BSN1SamplePoisnOutputStats::PairList;

  explicit BSN1SamplePoisnOutputStatsImp(const BSNSettings& s) : settings(s), varIndices(s.GetCovariates()) {}

  /// Copies the calculators' lists; with curves, also computes the plot curves from them.
  void CopyFrom(const BSN1SamplePoisson& analysis, bool withCurves) {
    if (const BSN1SamplePoisnBayesFactor* bayesFactor = analysis.GetBayesFactorCalculator()) {
      const std::vector<detail::CountSums>& sums = bayesFactor->GetSums();
      ns = detail::CountList(sums, &detail::CountSums::weightSum);
      bayesFactors = bayesFactor->GetBayesFactors();
      isLogBayesFactor = bayesFactor->GetIsLogBayesFactor();
      minCnts = detail::CountList(sums, &detail::CountSums::smallest);
      maxCnts = detail::CountList(sums, &detail::CountSums::largest);
    }
    const BSN1SamplePoisnPosterior* posterior = analysis.GetPosteriorCalculator();
    if (posterior == nullptr) return;
    ns = detail::CountList(posterior->GetSums(), &detail::CountSums::weightSum);
    summaries = posterior->GetSummaries();
    posteriorParams = posterior->GetPosteriorParams();
    likelihoodParams = posterior->GetLikelihoodParams();
    if (!withCurves) return;
    detail::PoissonPlotCurves curves =
        detail::MakePoissonPlotCurves(settings, ns, posteriorParams, likelihoodParams);
    plotArguments4Likelihoods = std::move(curves.likelihoodArguments);
    plotArguments4Prior = std::move(curves.priorArguments);
    plotArguments4Posterior = std::move(curves.posteriorArguments);
    plotLikelihoods = std::move(curves.likelihoods);
    plotPosterior = std::move(curves.posteriors);
    plotPrior = std::move(curves.priors);
  }

  /// The record prints every list; the analysis adds the log flags and stops before the curves.
  void Display(bool forAnalysis) const {
    DisplayText(1, "BSN1SamplePoisnOutputStatsImp Display start");
    DisplayDV("Bayes factors", bayesFactors);
    if (forAnalysis) DisplayBV("Log indicators for Bayes factors", isLogBayesFactor);
    DisplayIV("Record number", ns);
    DisplayIV("Min values", minCnts);
    DisplayIV("Max values", maxCnts);
    summaries.Display();
    DisplayVPD("Posterior parameters Values", posteriorParams);
    DisplayVPD("Likelihood parameters Values", likelihoodParams);
    if (forAnalysis) return;
    DisplayDVV("Plot arguments for loglikelihood", plotArguments4Likelihoods);
    DisplayDVV("Plot arguments for prior", plotArguments4Prior);
    DisplayDVV("Plot arguments for posterior", plotArguments4Posterior);
    DisplayDVV("Plots Likelihoods", plotLikelihoods);
    DisplayDVV("Plots Posterior", plotPosterior);
    DisplayDVV("Plots Prior", plotPrior);
  }

  BSNSettings settings;
  std::vector<int> varIndices;
  std::vector<double> bayesFactors;
  std::vector<bool> isLogBayesFactor;
  std::vector<int> ns;
  std::vector<int> minCnts;
  std::vector<int> maxCnts;
  detail::SummaryLists summaries;
  PairList posteriorParams, likelihoodParams;
  Curves plotArguments4Likelihoods, plotArguments4Prior, plotArguments4Posterior;
  Curves plotLikelihoods, plotPosterior, plotPrior;
};

using Imp = BSN1SamplePoisnOutputStatsImp;
using Stats = BSN1SamplePoisnOutputStats;

Stats::BSN1SamplePoisnOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm)
    : imp_(std::make_unique<Imp>(settings)) {
  if (const auto* analysis = dynamic_cast<const BSN1SamplePoisson*>(&algorithm))
    imp_->CopyFrom(*analysis, true);
}

Stats::BSN1SamplePoisnOutputStats(const Stats& other)
    : BSNOutputStats(other), imp_(std::make_unique<Imp>(*other.imp_)) {}

Stats& Stats::operator=(const Stats& other) {
  BSNOutputStats::operator=(other);
  *imp_ = *other.imp_;
  return *this;
}

Stats::~BSN1SamplePoisnOutputStats() = default;

void Stats::Display(std::ostream& os) const {
  StreamScope scope(os);
  imp_->Display(false);
}

const BSNSettings& Stats::GetSettings() const noexcept { return imp_->settings; }
const Stats::IntList& Stats::GetVarIndices() const noexcept { return imp_->varIndices; }
const Stats::DoubleList& Stats::GetBayesFactors() const noexcept { return imp_->bayesFactors; }
const Stats::BoolList& Stats::GetIsLogBayesFactor() const noexcept { return imp_->isLogBayesFactor; }
const Stats::IntList& Stats::GetNs() const noexcept { return imp_->ns; }
const Stats::IntList& Stats::GetMinCnts() const noexcept { return imp_->minCnts; }
const Stats::IntList& Stats::GetMaxCnts() const noexcept { return imp_->maxCnts; }
const Stats::DoubleList& Stats::GetModeValues() const noexcept { return imp_->summaries.modes; }
const Stats::DoubleList& Stats::GetMeanValues() const noexcept { return imp_->summaries.means; }
const Stats::DoubleList& Stats::GetVarianceValues() const noexcept { return imp_->summaries.variances; }
const Stats::DoubleList& Stats::GetLowerLimits() const noexcept { return imp_->summaries.lowers; }
const Stats::DoubleList& Stats::GetUpperLimits() const noexcept { return imp_->summaries.uppers; }
const Stats::PairList& Stats::GetPosteriorParams() const noexcept { return imp_->posteriorParams; }
const Stats::PairList& Stats::GetLikelihoodParams() const noexcept { return imp_->likelihoodParams; }
const Stats::Curves& Stats::GetPlotArguments4Likelihoods() const noexcept {
  return imp_->plotArguments4Likelihoods;
}
const Stats::Curves& Stats::GetPlotArguments4Prior() const noexcept { return imp_->plotArguments4Prior; }
const Stats::Curves& Stats::GetPlotArguments4Posterior() const noexcept {
  return imp_->plotArguments4Posterior;
}
const Stats::Curves& Stats::GetPlotLikelihoods() const noexcept { return imp_->plotLikelihoods; }
const Stats::Curves& Stats::GetPlotPosterior() const noexcept { return imp_->plotPosterior; }
const Stats::Curves& Stats::GetPlotPrior() const noexcept { return imp_->plotPrior; }

void Stats::SetOutputValues(BSNSettings settings, IntList varIndices, DoubleList bayesFactors, IntList ns,
                            IntList minCnts, IntList maxCnts, DoubleList modeValues, DoubleList meanValues,
                            DoubleList varianceValues, DoubleList lowerLimits, DoubleList upperLimits,
                            PairList posteriorParams, PairList likelihoodParams,
                            Curves plotArguments4Likelihoods, Curves plotArguments4Prior,
                            Curves plotArguments4Posterior, Curves plotLikelihoods, Curves plotPosterior,
                            Curves plotPrior) {
  Imp& imp = *imp_;
  imp.settings = std::move(settings);
  imp.varIndices = std::move(varIndices);
  imp.bayesFactors = std::move(bayesFactors);
  imp.ns = std::move(ns);
  imp.minCnts = std::move(minCnts);
  imp.maxCnts = std::move(maxCnts);
  imp.summaries.modes = std::move(modeValues);
  imp.summaries.means = std::move(meanValues);
  imp.summaries.variances = std::move(varianceValues);
  imp.summaries.lowers = std::move(lowerLimits);
  imp.summaries.uppers = std::move(upperLimits);
  imp.posteriorParams = std::move(posteriorParams);
  imp.likelihoodParams = std::move(likelihoodParams);
  imp.plotArguments4Likelihoods = std::move(plotArguments4Likelihoods);
  imp.plotArguments4Prior = std::move(plotArguments4Prior);
  imp.plotArguments4Posterior = std::move(plotArguments4Posterior);
  imp.plotLikelihoods = std::move(plotLikelihoods);
  imp.plotPosterior = std::move(plotPosterior);
  imp.plotPrior = std::move(plotPrior);
}

namespace detail {

void DisplayPoissonAnalysis(const BSNSettings& settings, const BSN1SamplePoisson& analysis,
                            std::ostream& os) {
  StreamScope scope(os);
  Imp imp(settings);
  imp.CopyFrom(analysis, false);
  imp.Display(true);
}

}  // namespace detail

}  // namespace KQBSN_850
