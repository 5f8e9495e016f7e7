#include "twosample/detail/DiffusePriorsUnequalVariances.h"

#include <cmath>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

namespace {

// Patil's f2 needs nu_k - 4 > 0, that is more than 5 cases in each group.
constexpr double kMaxTooFewCases = 5.0;

}  // namespace

detail::PatilScaledT detail::PatilApproximation(double n1, double variance1, double n2, double variance2) {
  const double nu1 = n1 - 1.0;
  const double nu2 = n2 - 1.0;
  // sin^2 and cos^2 of theta straight from the squared standard errors: with tan theta = se1/se2,
  // sin^2 = se1^2/(se1^2 + se2^2) and cos^2 = se2^2/(se1^2 + se2^2), without an arctangent.
  const double squaredError1 = variance1 / n1;
  const double squaredError2 = variance2 / n2;
  const double sin2 = squaredError1 / (squaredError1 + squaredError2);
  const double cos2 = squaredError2 / (squaredError1 + squaredError2);
  const double f1 = nu2 / (nu2 - 2.0) * cos2 + nu1 / (nu1 - 2.0) * sin2;
  const double f2 = nu2 * nu2 / ((nu2 - 2.0) * (nu2 - 2.0) * (nu2 - 4.0)) * cos2 * cos2 +
                    nu1 * nu1 / ((nu1 - 2.0) * (nu1 - 2.0) * (nu1 - 4.0)) * sin2 * sin2;
  const double b = 4.0 + f1 * f1 / f2;
  return {std::sqrt(f1 * (b - 2.0) / b), b};
}

std::optional<BSN2SampleIndPosterior::DeltaPosterior> DiffusePriorsUnequalVariances::ComputeVariable(
    std::size_t i, const GroupMoments& group1, const GroupMoments& group2,
    KQCommon_850::KQWarnings& warnings) const {
  if (group1.n <= kMaxTooFewCases || group2.n <= kMaxTooFewCases) {
    warnings.AddWarning(VariableWarning(BSN_INDEPENDENT_DIFFUSE_FEW_CASES, i), 0);
    return std::nullopt;
  }
  if (KQMV::IsMissingOrNaN(group1.mean) || KQMV::IsMissingOrNaN(group2.mean) ||
      KQMV::IsMissingOrNaN(group1.variance) || KQMV::IsMissingOrNaN(group2.variance)) {
    return std::nullopt;
  }
  if (group1.variance == 0.0 || group2.variance == 0.0) {
    warnings.AddWarning(VariableWarning(BSN_ONE_GROUP_CONSTANT, i), 0);
    return std::nullopt;
  }
  const detail::PatilScaledT patil =
      detail::PatilApproximation(group1.n, group1.variance, group2.n, group2.variance);
  const double squaredError = group1.variance / group1.n + group2.variance / group2.n;
  return DeltaPosterior{.center = group2.mean - group1.mean,
                        .scale2 = patil.a * patil.a * squaredError,
                        .df = patil.b,
                        .gridVariance1 = group1.variance,
                        .gridVariance2 = group2.variance,
                        .prior1 = {},
                        .prior2 = {}};
}

}  // namespace KQBSN_850
