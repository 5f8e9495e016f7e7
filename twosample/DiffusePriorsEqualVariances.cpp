#include "twosample/detail/DiffusePriorsEqualVariances.h"

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQMV;

namespace {

bool IsPresent(double x) noexcept { return !KQMV::IsMissingOrNaN(x); }

}  // namespace

std::optional<BSN2SampleIndPosterior::DeltaPosterior> DiffusePriorsEqualVariances::ComputeVariable(
    std::size_t i, const GroupMoments& group1, const GroupMoments& group2,
    KQCommon_850::KQWarnings& warnings) const {
  if (!(IsPresent(priorDf_) && priorDf_ >= 0.0 && IsPresent(priorScale2_) && priorScale2_ >= 0.0))
    return std::nullopt;
  if (!IsPresent(group1.variance) || !IsPresent(group2.variance)) {
    // A group with fewer than two cases has no variance to pool. When both groups together hold at most
    // two cases the analysis has said so already, once.
    if (group1.n + group2.n > 2.0)
      warnings.AddWarning(VariableWarning(BSN_FEW_VALID_CASES_INDEPENDENT, i), 0);
    return std::nullopt;
  }
  if (!IsPresent(group1.mean) || !IsPresent(group2.mean)) return std::nullopt;
  const double df = priorDf_ + group1.n + group2.n - 2.0;
  if (!(df > 0.0)) return std::nullopt;
  if (group1.variance == 0.0 && group2.variance == 0.0) {
    warnings.AddWarning(VariableWarning(BSN_BOTH_GROUPS_CONSTANT, i), 0);
    return std::nullopt;
  }
  const double sumSquares =
      (group2.n - 1.0) * group2.variance + (group1.n - 1.0) * group1.variance + priorDf_ * priorScale2_;
  const double scale2 = (1.0 / group1.n + 1.0 / group2.n) * sumSquares / df;
  return DeltaPosterior{.center = group2.mean - group1.mean,
                        .scale2 = scale2,
                        .df = df,
                        .gridVariance1 = group1.variance,
                        .gridVariance2 = group2.variance,
                        .prior1 = {},
                        .prior2 = {}};
}

}  // namespace KQBSN_850::detail
