#include "twosample/detail/BSN2SampleIndPosterior.h"

#include <cmath>
#include <limits>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/RecordPass.h"
#include "frame/RecordValues.h"
#include "frame/detail/PlotDensities.h"
#include "frame/detail/PlotGrid.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using detail::ValueAt;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQWarnings;
using KQCommon_850::MultiPassRecordIter;

namespace {

// Positions of the curve lists (see GetCurves).
enum CurveList : std::size_t {
  kGroupGrid = 0,    // + group
  kProfile = 2,      // + group
  kPriorGrid = 4,    // + group
  kPriorValues = 6,  // + group
  kDeltaGrid = 8,
  kDeltaDensity = 9,
};

// The group a grouping value selects: 0 and 1 exactly; anything else (missing included) none.
constexpr std::size_t kNoGroup = 2;
std::size_t GroupOf(double groupValue) noexcept {
  if (groupValue == 0.0) return 0;
  if (groupValue == 1.0) return 1;
  return kNoGroup;
}

}  // namespace

BSN2SampleIndPosterior::BSN2SampleIndPosterior(const BSNSettings& settings,
                                               const KQCommon_850::KQVarList& varList,
                                               KQCommon_850::KQCancelInfo& cancel)
    : settings_(settings),
      varList_(varList),
      cancel_(cancel),
      // A missing credible level leaves 2.5 % in each tail, as in the other analyses.
      alpha_(KQMV::IsMissingOrNaN(settings.GetCILevel()) ? 0.025
                                                         : (1.0 - settings.GetCILevel() * 0.01) * 0.5) {
  const std::size_t nVars = settings.GetCovariates().size();
  modes_ = MissingList(nVars);
  means_ = MissingList(nVars);
  variances_ = MissingList(nVars);
  intervals_.assign(nVars, {KQMV::Missing(), KQMV::Missing()});
  curves_.assign(kNCurves, Curves(nVars));
}

double BSN2SampleIndPosterior::KnownVariance(std::size_t group) const {
  const std::vector<double>& variances = settings_.GetDataVarVals();
  return group < variances.size() ? variances[group] : KQMV::Missing();
}

Range BSN2SampleIndPosterior::NormalDomain(double m, double v) const {
  return NormalRange(settings_.GetPlotDomainLevel() * 0.5, m, v);
}

std::vector<double> BSN2SampleIndPosterior::NormalGrid(double m, double v) const {
  // The plot abscissae of this analysis are defined as a running sum of the step.
  return PlotGrid(NormalDomain(m, v), settings_.GetNPlotPoints(), GridSpacing::Accumulated);
}

KQStatus BSN2SampleIndPosterior::ComputePosterior(RecordPass& pass, MultiPassRecordIter& iter,
                                                  const BSN2SampleIndBasicStats& group1,
                                                  const BSN2SampleIndBasicStats& group2,
                                                  KQWarnings& warnings) {
  status_ = KQStatus();
  const std::vector<double> n1 = group1.GetNWeightedCases(), n2 = group2.GetNWeightedCases();
  const std::vector<double> m1 = group1.GetMeans(), m2 = group2.GetMeans();
  const std::vector<double> v1 = group1.GetVariances(), v2 = group2.GetVariances();
  for (std::size_t i = 0; i < modes_.size(); ++i) {
    if (cancel_.IsCancel()) {
      status_ = KQStatus(BSN_STATUS_CANCELLED, false);
      return status_;
    }
    const GroupMoments moments1{n1.at(i), m1.at(i), v1.at(i)};
    const GroupMoments moments2{n2.at(i), m2.at(i), v2.at(i)};
    if (const std::optional<DeltaPosterior> posterior = ComputeVariable(i, moments1, moments2, warnings)) {
      StoreVariable(i, moments1, moments2, *posterior);
    }
  }
  status_ =
      cancel_.IsCancel() ? KQStatus(BSN_STATUS_CANCELLED, false) : ProfilePass(pass, iter, group1, group2);
  return status_;
}

void BSN2SampleIndPosterior::StoreVariable(std::size_t i, const GroupMoments& group1,
                                           const GroupMoments& group2, const DeltaPosterior& posterior) {
  const double center = posterior.center;
  const double scale2 = posterior.scale2;
  const double df = posterior.df;
  const bool isNormal = KQMV::IsMissing(df);
  const double plotTail = settings_.GetPlotDomainLevel() * 0.5;
  modes_[i] = center;
  means_[i] = center;
  Range interval{};
  Range deltaDomain{};
  if (isNormal) {
    variances_[i] = scale2;
    interval = NormalRange(alpha_, center, scale2);
    deltaDomain = NormalDomain(center, scale2);
  } else {
    // With df <= 2 the t law has no finite variance; the formula scale2 df / (df - 2) would give an
    // infinity at df = 2 and a negative number below it.
    variances_[i] = df > 2.0 ? scale2 * df / (df - 2.0) : std::numeric_limits<double>::infinity();
    interval = TRange(alpha_, center, scale2, df);
    deltaDomain = TRange(plotTail, center, scale2, df);
  }
  intervals_[i] = {interval.lower, interval.upper};

  curves_[kGroupGrid][i] = NormalGrid(group1.mean, posterior.gridVariance1);
  curves_[kGroupGrid + 1][i] = NormalGrid(group2.mean, posterior.gridVariance2);
  StorePrior(i, 0, posterior.prior1);
  StorePrior(i, 1, posterior.prior2);
  std::vector<double>& deltaGrid = curves_[kDeltaGrid][i];
  deltaGrid = PlotGrid(deltaDomain, settings_.GetNPlotPoints(), GridSpacing::Accumulated);
  curves_[kDeltaDensity][i] =
      isNormal ? NormalDensities(deltaGrid, center, scale2) : ScaledTDensities(deltaGrid, center, scale2, df);
}

void BSN2SampleIndPosterior::StorePrior(std::size_t i, std::size_t group, const MeanPrior& prior) {
  std::vector<double>& grid = curves_[kPriorGrid + group][i];
  if (prior.isFlat) {
    grid = curves_[kGroupGrid + group][i];
    curves_[kPriorValues + group][i].assign(grid.size(), 1.0);
    return;
  }
  grid = NormalGrid(prior.mean, prior.variance);
  curves_[kPriorValues + group][i] = NormalDensities(grid, prior.mean, prior.variance);
}

KQStatus BSN2SampleIndPosterior::ProfilePass(RecordPass& pass, MultiPassRecordIter& iter,
                                             const BSN2SampleIndBasicStats& group1,
                                             const BSN2SampleIndBasicStats& group2) {
  const std::vector<int>& covariates = settings_.GetCovariates();
  const std::size_t nVars = covariates.size();
  // sums[group][i][k]: the weighted sum of squares about point k of the group's grid for variable i.
  std::vector<Curves> sums(2, Curves(nVars));
  for (std::size_t group = 0; group < 2; ++group)
    for (std::size_t i = 0; i < nVars; ++i) sums[group][i].assign(curves_[kGroupGrid + group][i].size(), 0.0);

  const int groupVar = settings_.GetGroupVar();
  const KQStatus status = pass.Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
    const std::size_t group = GroupOf(ValueAt(values, groupVar));
    if (group == kNoGroup) return;
    const double w = weight.Product();
    for (std::size_t i = 0; i < nVars; ++i) {
      const double x = ValueAt(values, covariates[i]);
      if (KQMV::IsMissingOrNaN(x)) continue;
      const std::vector<double>& grid = curves_[kGroupGrid + group][i];
      std::vector<double>& sum = sums[group][i];
      for (std::size_t k = 0; k < grid.size(); ++k) {
        const double deviation = x - grid[k];
        sum[k] += w * deviation * deviation;
      }
    }
  });
  if (status.IsError()) return status;

  const bool knownVariances = UsesKnownVariances();
  for (std::size_t group = 0; group < 2; ++group) {
    const std::vector<double> counts = (group == 0 ? group1 : group2).GetNWeightedCases();
    const double variance = knownVariances ? KnownVariance(group) : KQMV::Missing();
    for (std::size_t i = 0; i < nVars; ++i) {
      std::vector<double>& profile = curves_[kProfile + group][i];
      profile.clear();
      const double n = counts.at(i);
      for (double sumSquares : sums[group][i])
        profile.push_back(knownVariances ? -sumSquares / (2.0 * variance)
                                         : -0.5 * n * std::log(sumSquares / n));
    }
  }
  return status;
}

void BSN2SampleIndPosterior::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BSN2SampleIndPosterior display start");
  DisplayDV("Modes", modes_);
  DisplayDV("Means", means_);
  DisplayDV("Variances", variances_);
  DisplayVPD("Creditable intervals.", intervals_);
  DisplayText(1, "End of display BSN2SampleIndPosterior");
}

}  // namespace KQBSN_850
