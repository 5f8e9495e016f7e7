#include "twosample/detail/BSN2SampleIndBayesFactor.h"

#include <algorithm>
#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQDistFun.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQMath_850::KQDistFun;

namespace {

/// (N - 1) V, the group's sum of squared deviations; a group of one case has no variance and adds 0.
double SumOfSquares(double n, double variance) { return n > 1.0 ? (n - 1.0) * variance : 0.0; }

/// Whether a group's variance is held as it is: missing (one case), a normal number, or 0 for a
/// constant group (not one that underflowed while its standard deviation did not).
bool IsHeldVariance(double v, double sd) {
  return KQMV::IsMissing(v) || std::isnormal(v) || (v == 0.0 && sd == 0.0);
}

}  // namespace

BSN2SampleIndBayesFactor::BSN2SampleIndBayesFactor(const BSNSettings& settings,
                                                   const KQCommon_850::KQVarList& varList)
    : settings_(settings), varList_(varList) {
  const std::size_t nVars = settings.GetCovariates().size();
  for (DoubleList* list :
       {&effectiveSizes_, &dfs_, &meanDiffs_, &pooledVariances_, &pooledStdDevs_, &pooledStdErrors_,
        &unpooledStdErrors_, &tValues_, &unpooledTValues_, &sigs_, &unpooledSigs_, &bayesFactors_}) {
    *list = MissingList(nVars);
  }
}

KQStatus BSN2SampleIndBayesFactor::ComputeStatistics(const BSN2SampleIndBasicStats& group1,
                                                     const BSN2SampleIndBasicStats& group2,
                                                     KQCommon_850::KQWarnings& warnings) {
  const DoubleList n1 = group1.GetNWeightedCases(), n2 = group2.GetNWeightedCases();
  const DoubleList mean1 = group1.GetMeans(), mean2 = group2.GetMeans();
  const DoubleList variance1 = group1.GetVariances(), variance2 = group2.GetVariances();
  const DoubleList sd1 = group1.GetStdDevs(), sd2 = group2.GetStdDevs();
  for (std::size_t i = 0; i < tValues_.size() && i < n1.size() && i < n2.size(); ++i) {
    ComputeVariable(i, {n1[i], mean1[i], variance1[i], sd1[i]}, {n2[i], mean2[i], variance2[i], sd2[i]},
                    warnings);
  }
  return ComputeBayesFactors(warnings);
}

void BSN2SampleIndBayesFactor::ComputeVariable(std::size_t i, const Moments& group1, const Moments& group2,
                                               KQCommon_850::KQWarnings& warnings) {
  const double n1 = group1.n, n2 = group2.n;
  if (!(n1 > 0.0) || !(n2 > 0.0) || n1 + n2 <= 2.0) return;
  const double df = n1 + n2 - 2.0;
  const double meanDiff = group2.mean - group1.mean;
  // The spreads are taken in a unit of a power of two: 1 for ordinary data, and the size of the larger
  // standard deviation when a group's variance overflows or underflows a double (data near 1e200 or
  // 1e-300), whose deviations are still held.
  double unit = 1.0, v1 = group1.variance, v2 = group2.variance;
  if (!IsHeldVariance(v1, group1.stdDev) || !IsHeldVariance(v2, group2.stdDev)) {
    const double largest = std::max(KQMV::IsMissing(group1.stdDev) ? 0.0 : group1.stdDev,
                                    KQMV::IsMissing(group2.stdDev) ? 0.0 : group2.stdDev);
    unit = std::ldexp(1.0, std::ilogb(largest));
    const auto scaled = [unit](double sd) { return KQMV::IsMissing(sd) ? sd : (sd / unit) * (sd / unit); };
    v1 = scaled(group1.stdDev);
    v2 = scaled(group2.stdDev);
  }
  effectiveSizes_[i] = n1 * n2 / (n1 + n2);
  dfs_[i] = df;
  meanDiffs_[i] = meanDiff;
  const double pooledVariance = (SumOfSquares(n2, v2) + SumOfSquares(n1, v1)) / df;
  pooledVariances_[i] = pooledVariance * unit * unit;
  pooledStdDevs_[i] = std::sqrt(pooledVariance) * unit;
  pooledStdErrors_[i] = std::sqrt(1.0 / n2 + 1.0 / n1) * pooledStdDevs_[i];
  // Both groups constant (or one constant and the other a single case): no t can be formed.
  if (pooledVariance == 0.0) {
    warnings.AddWarning(VariableWarning(BSN_ZERO_POOLED_SD, i), 0);
    return;
  }
  tValues_[i] = meanDiff / pooledStdErrors_[i];
  sigs_[i] = KQDistFun::TwoSidedSigT(tValues_[i], df);

  // The unpooled statistics need both variances, so a group of one case leaves them missing.
  if (KQMV::IsMissing(v1) || KQMV::IsMissing(v2)) return;
  const double share1 = v1 / n1, share2 = v2 / n2;
  const double unpooledVariance = share2 + share1;
  unpooledStdErrors_[i] = std::sqrt(unpooledVariance) * unit;
  unpooledTValues_[i] = meanDiff / unpooledStdErrors_[i];
  // Welch-Satterthwaite: 1/nu_u = sum over groups of (share / total)^2 / (N - 1).
  const double c1 = std::pow(share1 / unpooledVariance, 2) / (n1 - 1.0);
  const double c2 = std::pow(share2 / unpooledVariance, 2) / (n2 - 1.0);
  unpooledSigs_[i] = KQDistFun::TwoSidedSigT(unpooledTValues_[i], 1.0 / (c2 + c1));
}

bool BSN2SampleIndBayesFactor::HasPooledT(std::size_t i) const noexcept {
  return !KQMV::IsMissing(tValues_[i]);
}

void BSN2SampleIndBayesFactor::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BSN2SampleIndBayesFactor display start");
  DisplayDV("Degree of freedom", dfs_);
  DisplayDV("Group mean difference", meanDiffs_);
  DisplayDV("Pooled variance of the mean difference", pooledVariances_);
  DisplayDV("Pooled standard deviation of the mean difference", pooledStdDevs_);
  DisplayDV("Pooled standard error of the difference", pooledStdErrors_);
  DisplayDV("Unpooled standard error of the difference", unpooledStdErrors_);
  DisplayDV("Observed t-statistic with pooled variance", tValues_);
  DisplayDV("Observed t-statistic with unpooled variance", unpooledTValues_);
  DisplayDV("Significance (2-tailed)", sigs_);
  DisplayDV("Unpooled significance (2-tailed)", unpooledSigs_);
  DisplayDV("Bayes factors.", bayesFactors_);
  DisplayText(1, "End of display BSN2SampleIndBayesFactor");
}

}  // namespace KQBSN_850
