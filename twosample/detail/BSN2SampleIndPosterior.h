#pragma once
// BSN2SampleIndPosterior: the posterior distribution of the difference of two group means,
// delta = mu2 - mu1 (group 2 minus group 1), for each test variable of the independent-samples
// analysis: mode, mean, variance, equal-tailed credible interval, and the curves a host plots
// (profile log-likelihood of each group mean, each group's prior, the posterior density of delta).
//
// The base holds the results and the shared grid rules; five variants compute the posterior for
// the prior and variance assumptions chosen by CreateIndependentPosterior
// (twosample/detail/IndependentPosteriorFactory.h):
//   DiffusePriorsKnownVariances, NormalPriorsKnownVariances (normal posterior),
//   DiffuseJeffreysPriorsEqualVariances, DiffuseInverseChiPriorsEqualVariances (Student t),
//   DiffusePriorsUnequalVariances (Behrens-Fisher, Patil's scaled-t approximation).
// Variables the variant cannot handle keep missing summaries and empty curves (with a warning
// where the variant names one).
//
// The base runs the common steps: the loop over the variables, the summary and curves of the law a
// variant returns (normal: interval and plot range from normal quantiles; scaled t: center -/+
// sqrt(scale2) times t quantiles), and the profile-likelihood pass over the records. For every grid
// point mu it sums S(mu) = sum of w (x - mu)^2 over the group's cases, w the rounded frequency weight
// times the regression weight, and stores -S/(2 sigma^2) with known variances, -(n/2) ln(S/n)
// otherwise (n the group's case count): log profile likelihoods, not exponentiated.
// Accuracy: tests/twosample/BSN2SampleIndPosterior_test.cpp compares each variant with its formulas
// worked in R (qnorm, qt, dnorm, dt) and the profile pass with sum(w * (x - mu)^2).

#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQStatus.h"
#include "companion/KQVarList.h"
#include "companion/KQWarnings.h"
#include "companion/Record.h"
#include "frame/BSNSettings.h"
#include "frame/RecordPass.h"
#include "frame/detail/PosteriorRange.h"
#include "twosample/BSN2SampleIndBasicStats.h"

namespace KQBSN_850 {

class BSN2SampleIndPosterior {
 public:
  using Curves = std::vector<std::vector<double>>;

  BSN2SampleIndPosterior(const BSNSettings& settings, const KQCommon_850::KQVarList& varList,
                         KQCommon_850::KQCancelInfo& cancel);
  BSN2SampleIndPosterior(const BSN2SampleIndPosterior&) = delete;
  BSN2SampleIndPosterior& operator=(const BSN2SampleIndPosterior&) = delete;
  virtual ~BSN2SampleIndPosterior() = default;

  /// Computes every variable's posterior, then the profile likelihoods in a second pass over the
  /// records, made by `pass`; returns OK or the cancelled status (code 1). Per-variable warnings go to
  /// `warnings`.
  KQCommon_850::KQStatus ComputePosterior(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter,
                                          const BSN2SampleIndBasicStats& group1,
                                          const BSN2SampleIndBasicStats& group2,
                                          KQCommon_850::KQWarnings& warnings);
  void Display(std::ostream& os) const;

  const std::vector<double>& GetModes() const noexcept { return modes_; }
  const std::vector<double>& GetMeans() const noexcept { return means_; }
  const std::vector<double>& GetVariances() const noexcept { return variances_; }
  /// (lower, upper) per variable.
  const std::vector<std::pair<double, double>>& GetIntervals() const noexcept { return intervals_; }
  /// The ten curve lists, in this order: group-1 grid, group-2 grid, group-1 profile likelihood,
  /// group-2 profile likelihood, group-1 prior grid, group-2 prior grid, group-1 prior values,
  /// group-2 prior values, delta grid, posterior density of delta.
  const Curves& GetCurves(std::size_t which) const { return curves_.at(which); }
  static constexpr std::size_t kNCurves = 10;

 protected:
  /// One group's statistics for one test variable (missing where the group has none).
  struct GroupMoments {
    double n;
    double mean;
    double variance;
  };
  /// The prior of one group mean as its curve shows it: flat, or normal with this mean and variance.
  struct MeanPrior {
    bool isFlat = true;
    double mean = 0.0;
    double variance = 0.0;
  };
  /// What a variant finds for one variable: delta = center + sqrt(scale2) Z, Z standard normal when
  /// df is missing, else Student t with df degrees of freedom; the variances that lay each group's
  /// grid (around its mean) and each group's prior.
  struct DeltaPosterior {
    double center;
    double scale2;
    double df;
    double gridVariance1;
    double gridVariance2;
    MeanPrior prior1;
    MeanPrior prior2;
  };

  /// The variant's mathematics for variable i; nothing when the variable is skipped (the variant
  /// adds its warning, carrying i, to `warnings`).
  virtual std::optional<DeltaPosterior> ComputeVariable(std::size_t i, const GroupMoments& group1,
                                                        const GroupMoments& group2,
                                                        KQCommon_850::KQWarnings& warnings) const = 0;
  /// True when the profile likelihoods use the known variances: -S/(2 sigma^2).
  virtual bool UsesKnownVariances() const noexcept { return false; }
  /// The known variance of group 1 (group 0) or group 2 (group 1) from the settings.
  double KnownVariance(std::size_t group) const;

  /// The plotted range of N(m, v): its quantiles h and 1 - h, h = PlotDomainLevel / 2.
  Range NormalDomain(double m, double v) const;
  /// NPlotPoints points over NormalDomain(m, v), each the previous one plus the step; empty when a
  /// bound is missing or not finite.
  std::vector<double> NormalGrid(double m, double v) const;

  const BSNSettings& settings_;
  const KQCommon_850::KQVarList& varList_;
  KQCommon_850::KQCancelInfo& cancel_;
  KQCommon_850::KQStatus status_;
  double alpha_;  ///< tail probability on each side of the credible interval
  std::vector<double> modes_, means_, variances_;
  std::vector<std::pair<double, double>> intervals_;
  std::vector<Curves> curves_;

 private:
  void StoreVariable(std::size_t i, const GroupMoments& group1, const GroupMoments& group2,
                     const DeltaPosterior& posterior);
  void StorePrior(std::size_t i, std::size_t group, const MeanPrior& prior);
  KQCommon_850::KQStatus ProfilePass(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter,
                                     const BSN2SampleIndBasicStats& group1,
                                     const BSN2SampleIndBasicStats& group2);
};

}  // namespace KQBSN_850
