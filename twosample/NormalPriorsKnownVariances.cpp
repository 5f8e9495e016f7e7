#include "twosample/detail/NormalPriorsKnownVariances.h"

#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

namespace {

struct MeanPosterior {
  double mean;
  double variance;
};

// The normal posterior of one group mean: precisions add, and the mean is the precision-weighted
// average of the sample mean and the prior mean.
MeanPosterior GroupMeanPosterior(double n, double sampleMean, double dataVariance, double priorMean,
                                 double priorVariance) {
  const double variance = 1.0 / (n / dataVariance + 1.0 / priorVariance);
  return {(sampleMean * n / dataVariance + priorMean / priorVariance) * variance, variance};
}

bool IsPresent(double x) noexcept { return !KQMV::IsMissingOrNaN(x); }

}  // namespace

std::optional<BSN2SampleIndPosterior::DeltaPosterior> NormalPriorsKnownVariances::ComputeVariable(
    std::size_t, const GroupMoments& group1, const GroupMoments& group2, KQCommon_850::KQWarnings&) const {
  const MeanPrior prior1{
      .isFlat = false, .mean = settings_.GetMeanDistParam1(), .variance = settings_.GetMeanDistParam3()};
  const MeanPrior prior2{
      .isFlat = false, .mean = settings_.GetMeanDistParam2(), .variance = settings_.GetMeanDistParam4()};
  if (!IsPresent(group1.mean) || !IsPresent(group2.mean)) return std::nullopt;
  if (!IsPresent(prior1.mean) || !IsPresent(prior2.mean)) return std::nullopt;
  if (!(IsPresent(prior1.variance) && prior1.variance > 0.0 && IsPresent(prior2.variance) &&
        prior2.variance > 0.0))
    return std::nullopt;
  const double sigma1Squared = KnownVariance(0);
  const double sigma2Squared = KnownVariance(1);
  const MeanPosterior posterior1 =
      GroupMeanPosterior(group1.n, group1.mean, sigma1Squared, prior1.mean, prior1.variance);
  const MeanPosterior posterior2 =
      GroupMeanPosterior(group2.n, group2.mean, sigma2Squared, prior2.mean, prior2.variance);
  return DeltaPosterior{.center = posterior2.mean - posterior1.mean,
                        .scale2 = posterior1.variance + posterior2.variance,
                        .df = KQMV::Missing(),
                        .gridVariance1 = sigma1Squared,
                        .gridVariance2 = sigma2Squared,
                        .prior1 = prior1,
                        .prior2 = prior2};
}

}  // namespace KQBSN_850
