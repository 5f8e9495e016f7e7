#include "twosample/BSN2SampleIndOutputStats.h"

#include <array>
#include <cstddef>
#include <tuple>
#include <utility>

#include "companion/KQDisplay.h"
#include "twosample/BSN2SampleIndependent.h"
#include "twosample/detail/BSN2SampleIndBayesFactor.h"
#include "twosample/detail/BSN2SampleIndPosterior.h"

namespace KQBSN_850 {

class BSN2SampleIndOutputStatsImp {
 public:
  using IntList = BSN2SampleIndOutputStats::IntList;
  using DoubleList = BSN2SampleIndOutputStats::DoubleList;
  using DoubleLists = BSN2SampleIndOutputStats::DoubleLists;

  void CopyGroups(const BSN2SampleIndependent& analysis);
  void CopyTTests(const BSN2SampleIndBayesFactor& bayesFactor);
  void CopyPosteriors(const BSN2SampleIndPosterior& posterior);

  BSNSettings settings;
  IntList groupStatsVarIndices, group1Ns, group2Ns, tTestVarIndices, postVarIndices;
  DoubleList group1Means, group1StdDevs, group1EMs, group2Means, group2StdDevs, group2EMs;
  DoubleList meanDiffs, pooledStdErrors, bayesFactors, tValues, dfValues, sigs;
  DoubleList modes, postMeans, variances, lowerLimits, upperLimits;
  /// The plot lists in the posterior's curve order: group 1 and 2 grids, their likelihoods, their
  /// prior grids, their prior values, the grid of the difference and its posterior density.
  std::array<DoubleLists, BSN2SampleIndPosterior::kNCurves> curves;
};

void BSN2SampleIndOutputStatsImp::CopyGroups(const BSN2SampleIndependent& analysis) {
  const BSN2SampleIndBasicStats& group1 = analysis.GetBasicStatsGroup1();
  const BSN2SampleIndBasicStats& group2 = analysis.GetBasicStatsGroup2();
  groupStatsVarIndices = group1.GetVarIndices();
  group1Ns = group1.GetNWeightedIntCases();
  group1Means = group1.GetMeans();
  group1StdDevs = group1.GetStdDevs();
  group1EMs = group1.GetStdErrors();
  group2Ns = group2.GetNWeightedIntCases();
  group2Means = group2.GetMeans();
  group2StdDevs = group2.GetStdDevs();
  group2EMs = group2.GetStdErrors();
}

void BSN2SampleIndOutputStatsImp::CopyTTests(const BSN2SampleIndBayesFactor& bayesFactor) {
  tTestVarIndices = settings.GetCovariates();
  meanDiffs = bayesFactor.GetMeanDiffs();
  pooledStdErrors = bayesFactor.GetPooledStdErrors();
  bayesFactors = bayesFactor.GetBayesFactors();
  tValues = bayesFactor.GetTValues();
  dfValues = bayesFactor.GetDFs();
  sigs = bayesFactor.GetSigs();
}

void BSN2SampleIndOutputStatsImp::CopyPosteriors(const BSN2SampleIndPosterior& posterior) {
  postVarIndices = settings.GetCovariates();
  modes = posterior.GetModes();
  postMeans = posterior.GetMeans();
  variances = posterior.GetVariances();
  lowerLimits.clear();
  upperLimits.clear();
  for (const auto& [lower, upper] : posterior.GetIntervals()) {
    lowerLimits.push_back(lower);
    upperLimits.push_back(upper);
  }
  for (std::size_t k = 0; k < curves.size(); ++k) curves[k] = posterior.GetCurves(k);
}

BSN2SampleIndOutputStats::BSN2SampleIndOutputStats(const BSNSettings& settings, BSNAlgorithm& algorithm)
    : imp_(std::make_unique<BSN2SampleIndOutputStatsImp>()) {
  BSN2SampleIndOutputStatsImp& imp = *imp_;
  imp.settings = settings;
  const auto* analysis = dynamic_cast<const BSN2SampleIndependent*>(&algorithm);
  if (analysis == nullptr) return;
  imp.CopyGroups(*analysis);
  if (const BSN2SampleIndBayesFactor* bayesFactor = analysis->GetBayesFactor()) imp.CopyTTests(*bayesFactor);
  if (const BSN2SampleIndPosterior* posterior = analysis->GetPosterior()) imp.CopyPosteriors(*posterior);
}

BSN2SampleIndOutputStats::BSN2SampleIndOutputStats(const BSN2SampleIndOutputStats& other)
    : BSNOutputStats(other), imp_(std::make_unique<BSN2SampleIndOutputStatsImp>(*other.imp_)) {}

BSN2SampleIndOutputStats& BSN2SampleIndOutputStats::operator=(const BSN2SampleIndOutputStats& other) {
  if (this != &other) {
    BSNOutputStats::operator=(other);
    *imp_ = *other.imp_;
  }
  return *this;
}

BSN2SampleIndOutputStats::~BSN2SampleIndOutputStats() = default;

void BSN2SampleIndOutputStats::SetOutputValues(
    BSNSettings settings, IntList groupStatsVarIndices, IntList group1StatsNs, DoubleList group1MeanValues,
    DoubleList group1StdDevs, DoubleList group1EMs, IntList group2StatsNs, DoubleList group2MeanValues,
    DoubleList group2StdDevs, DoubleList group2EMs, IntList tTestVarIndices, DoubleList meanDiffValues,
    DoubleList pStdEDDevs, DoubleList bayesFactors, DoubleList tValues, DoubleList dfValues, DoubleList sigs,
    IntList postVarIndices, DoubleList modeValues, DoubleList postMeanValues, DoubleList varianceValues,
    DoubleList lowerLimits, DoubleList upperLimits, PairList, PairList) {
  BSN2SampleIndOutputStatsImp& imp = *imp_;
  imp.settings = std::move(settings);
  imp.groupStatsVarIndices = std::move(groupStatsVarIndices);
  imp.group1Ns = std::move(group1StatsNs);
  imp.group1Means = std::move(group1MeanValues);
  imp.group1StdDevs = std::move(group1StdDevs);
  imp.group1EMs = std::move(group1EMs);
  imp.group2Ns = std::move(group2StatsNs);
  imp.group2Means = std::move(group2MeanValues);
  imp.group2StdDevs = std::move(group2StdDevs);
  imp.group2EMs = std::move(group2EMs);
  imp.tTestVarIndices = std::move(tTestVarIndices);
  imp.meanDiffs = std::move(meanDiffValues);
  imp.pooledStdErrors = std::move(pStdEDDevs);
  imp.bayesFactors = std::move(bayesFactors);
  imp.tValues = std::move(tValues);
  imp.dfValues = std::move(dfValues);
  imp.sigs = std::move(sigs);
  imp.postVarIndices = std::move(postVarIndices);
  imp.modes = std::move(modeValues);
  imp.postMeans = std::move(postMeanValues);
  imp.variances = std::move(varianceValues);
  imp.lowerLimits = std::move(lowerLimits);
  imp.upperLimits = std::move(upperLimits);
}

const BSNSettings& BSN2SampleIndOutputStats::GetSettings() const noexcept { return imp_->settings; }

using IntList = BSN2SampleIndOutputStats::IntList;
using DoubleList = BSN2SampleIndOutputStats::DoubleList;
using DoubleLists = BSN2SampleIndOutputStats::DoubleLists;

const IntList& BSN2SampleIndOutputStats::GetGroupStatsVarIndices() const noexcept {
  return imp_->groupStatsVarIndices;
}
const IntList& BSN2SampleIndOutputStats::GetGroup1StatsNs() const noexcept { return imp_->group1Ns; }
const DoubleList& BSN2SampleIndOutputStats::GetGroup1MeanValues() const noexcept { return imp_->group1Means; }
const DoubleList& BSN2SampleIndOutputStats::GetGroup1StdDevs() const noexcept { return imp_->group1StdDevs; }
const DoubleList& BSN2SampleIndOutputStats::GetGroup1EMs() const noexcept { return imp_->group1EMs; }
const IntList& BSN2SampleIndOutputStats::GetGroup2StatsNs() const noexcept { return imp_->group2Ns; }
const DoubleList& BSN2SampleIndOutputStats::GetGroup2MeanValues() const noexcept { return imp_->group2Means; }
const DoubleList& BSN2SampleIndOutputStats::GetGroup2StdDevs() const noexcept { return imp_->group2StdDevs; }
const DoubleList& BSN2SampleIndOutputStats::GetGroup2EMs() const noexcept { return imp_->group2EMs; }
const IntList& BSN2SampleIndOutputStats::GetTTestVarIndices() const noexcept { return imp_->tTestVarIndices; }
const DoubleList& BSN2SampleIndOutputStats::GetMeanDiffValues() const noexcept { return imp_->meanDiffs; }
const DoubleList& BSN2SampleIndOutputStats::GetPStdEDDevs() const noexcept { return imp_->pooledStdErrors; }
const DoubleList& BSN2SampleIndOutputStats::GetBayesFactors() const noexcept { return imp_->bayesFactors; }
const DoubleList& BSN2SampleIndOutputStats::GetTValues() const noexcept { return imp_->tValues; }
const DoubleList& BSN2SampleIndOutputStats::GetDFValues() const noexcept { return imp_->dfValues; }
const DoubleList& BSN2SampleIndOutputStats::GetSigs() const noexcept { return imp_->sigs; }
const IntList& BSN2SampleIndOutputStats::GetPostVarIndices() const noexcept { return imp_->postVarIndices; }
const DoubleList& BSN2SampleIndOutputStats::GetModeValues() const noexcept { return imp_->modes; }
const DoubleList& BSN2SampleIndOutputStats::GetPostMeanValues() const noexcept { return imp_->postMeans; }
const DoubleList& BSN2SampleIndOutputStats::GetVarianceValues() const noexcept { return imp_->variances; }
const DoubleList& BSN2SampleIndOutputStats::GetLowerLimits() const noexcept { return imp_->lowerLimits; }
const DoubleList& BSN2SampleIndOutputStats::GetUpperLimits() const noexcept { return imp_->upperLimits; }
const DoubleLists& BSN2SampleIndOutputStats::GetPlotXArguments() const noexcept { return imp_->curves[0]; }
const DoubleLists& BSN2SampleIndOutputStats::GetPlotYArguments() const noexcept { return imp_->curves[1]; }
const DoubleLists& BSN2SampleIndOutputStats::GetPlotXLikelihoods() const noexcept { return imp_->curves[2]; }
const DoubleLists& BSN2SampleIndOutputStats::GetPlotYLikelihoods() const noexcept { return imp_->curves[3]; }
const DoubleLists& BSN2SampleIndOutputStats::GetPlotXPriorArguments() const noexcept {
  return imp_->curves[4];
}
const DoubleLists& BSN2SampleIndOutputStats::GetPlotYPriorArguments() const noexcept {
  return imp_->curves[5];
}
const DoubleLists& BSN2SampleIndOutputStats::GetPlotXPrior() const noexcept { return imp_->curves[6]; }
const DoubleLists& BSN2SampleIndOutputStats::GetPlotYPrior() const noexcept { return imp_->curves[7]; }
const DoubleLists& BSN2SampleIndOutputStats::GetPlotArguments() const noexcept { return imp_->curves[8]; }
const DoubleLists& BSN2SampleIndOutputStats::GetPlotPosterior() const noexcept { return imp_->curves[9]; }

void BSN2SampleIndOutputStats::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  const BSN2SampleIndOutputStatsImp& imp = *imp_;
  DisplayText(1, "BSN2SampleIndOutputStats display start");
  DisplayIV("Vector of indices of variables", imp.groupStatsVarIndices);
  for (const auto& [ns, means, stdDevs, ems] :
       {std::tie(imp.group1Ns, imp.group1Means, imp.group1StdDevs, imp.group1EMs),
        std::tie(imp.group2Ns, imp.group2Means, imp.group2StdDevs, imp.group2EMs)}) {
    DisplayIV("Vector of record number", ns);
    DisplayDV("Vector of mean values", means);
    DisplayDV("Vector of std deviations", stdDevs);
    DisplayDV("Vector of std error means", ems);
  }
  DisplayDV("Vector of mean difference values", imp.meanDiffs);
  DisplayDV("Vector of pooled std error difference", imp.pooledStdErrors);
  DisplayDV("Vector of bayes factors", imp.bayesFactors);
  DisplayDV("Vector of t values", imp.tValues);
  DisplayDV("Vector of df values", imp.dfValues);
  DisplayDV("Vector of signifance values", imp.sigs);
  DisplayDV("Vector of mode values", imp.modes);
  DisplayDV("Vector of mean values for posterior", imp.postMeans);
  DisplayDV("Vector of variance values", imp.variances);
  DisplayDV("Vector of lower bound values", imp.lowerLimits);
  DisplayDV("Vector of upper bound values", imp.upperLimits);
  // The grids of the prior curves and of the difference have no label of their own and are not shown.
  DisplayDVV("Values of arguments mu X for each variable", imp.curves[0]);
  DisplayDVV("Values of arguments mu Y for each variable", imp.curves[1]);
  DisplayDVV("Profile likelihood values for the above mu X", imp.curves[2]);
  DisplayDVV("Profile likelihood values for the above mu Y", imp.curves[3]);
  DisplayDVV("Prior values for the above mu X", imp.curves[6]);
  DisplayDVV("Prior values for the above mu Y", imp.curves[7]);
  DisplayDVV("Posterior values for the above mu", imp.curves[9]);
  DisplayText(1, "End of display BSN2SampleIndOutputStats");
}

}  // namespace KQBSN_850
