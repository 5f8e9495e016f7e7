#include "twosample/detail/DiffusePriorsKnownVariances.h"

#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

std::optional<BSN2SampleIndPosterior::DeltaPosterior> DiffusePriorsKnownVariances::ComputeVariable(
    std::size_t, const GroupMoments& group1, const GroupMoments& group2, KQCommon_850::KQWarnings&) const {
  if (KQMV::IsMissing(group1.mean) || KQMV::IsMissing(group2.mean)) return std::nullopt;
  const double sigma1Squared = KnownVariance(0);
  const double sigma2Squared = KnownVariance(1);
  const double variance = sigma1Squared / group1.n + sigma2Squared / group2.n;
  return DeltaPosterior{.center = group2.mean - group1.mean,
                        .scale2 = variance,
                        .df = KQMV::Missing(),
                        .gridVariance1 = sigma1Squared,
                        .gridVariance2 = sigma2Squared,
                        .prior1 = {},
                        .prior2 = {}};
}

}  // namespace KQBSN_850
