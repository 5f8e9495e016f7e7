#pragma once
// BSNAnova: the one-way analysis of variance of a continuous dependent variable over the categories of
// one factor: the weighted regression on the factor coded by cell means (one indicator per category, no
// intercept), whose X'WX is diagonal, so that one pass over the records gives the fit.
//
// The pass reads the frequency and the regression weight; a record with a missing dependent, factor or
// weight, a weight that is not positive, or a factor value whose code (the value plus 0.1, truncated) is
// not one of 0 .. P - 1 is left out. Each category keeps its total weight W_c and the weighted moments of
// y about a data value (KQContStats), so that the within-category sum of squares SSE keeps its digits for
// data far from zero (timestamps, offsets of 1e9). A category of weight at most TolValue is redundant
// (mean 0, not counted in r); the others have b_c = their weighted mean and (X'WX)^-1_cc = 1 / W_c.
// SST = SSE + sum W_c (mean_c - ybar)^2; R squared 1 - SSE/SST (1 when SST <= 0; not clamped at 0);
// adjusted R squared 1 - (N - 1)(1 - R2)/(N - r); the ANOVA table with F = SSreg (N - r) / ((r - 1) SSE)
// on (r - 1, N - r) degrees of freedom when SSE > TolValue, N the sum of the frequency weights.
// Then, as AnalysType asks, the Bayes factor of the fit over the one-mean model (BSNMultipleRegrNullFactor
// with N, r - 1, R2) and the posterior of the category means and the error variance (BSNRegrPosterior).
// The result record is a BSNMultiRegOutputStats.
// Errors: BSN_INTERNAL_ERROR (dependent not continuous), BSN_CONSTANT_DEPENDENT,
// BSN_NO_NONREDUNDANT_PREDICTORS (a factor of one category, or fewer than two categories with cases),
// BSN_TOO_MANY_PARAMETERS (5000 categories or more), BSN_NO_VALID_CASES. Warnings: BSN_PERFECT_FIT
// (every case at its category mean, unless the factor is Zellner's), BSN_LOG_FACTOR and those of the
// posterior. Cancellation, asked before each record and between the steps, ends the build with code 1.
// Accuracy: tests/regression/BSNAnova_test.cpp compares with R's lm and anova, and BayesFactor.

#include <memory>
#include <ostream>
#include <vector>

#include "companion/KQRegrTables.h"
#include "frame/BSNAlgorithm.h"

namespace KQBSN_850 {

namespace detail {
class RegrFit;
}
class BSNRegrPosterior;

class BSNAnova final : public BSNAlgorithm {
 public:
  BSNAnova(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSNAnova() override;

  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) override;
  void Display(std::ostream& os) const override;

  /// The cell-means fit; null before a build gets through its pass.
  const detail::RegrFit* GetFit() const noexcept { return fit_.get(); }
  /// The posterior; null unless one was computed.
  const BSNRegrPosterior* GetPosterior() const noexcept { return posterior_.get(); }
  const KQMath_850::KQRegANOVA& GetAnova() const noexcept { return anova_; }
  double GetRSquared() const noexcept { return rSquared_; }
  double GetAdjRSquared() const noexcept { return adjRSquared_; }
  /// The residual mean square (missing when r >= N).
  double GetSigmaSquared() const noexcept { return s2_; }
  /// N - r.
  double GetDFResidual() const noexcept { return dfResidual_; }
  /// The factor of the fit over the one-mean model, its logarithm (IsLogBayesFactor) or missing.
  double GetBayesFactor() const noexcept { return bayesFactor_; }
  bool IsLogBayesFactor() const noexcept { return isLogFactor_; }

 private:
  KQCommon_850::KQStatus CheckVariables() const;
  KQCommon_850::KQStatus Fit(KQCommon_850::MultiPassRecordIter& iter);
  KQCommon_850::KQStatus ComputeBayesFactor();
  KQCommon_850::KQStatus ComputePosterior();

  static constexpr PassOptions kPassOptions{.nullRecordEndsPass = false,
                                            .weights = WeightRule::FrequencyAndRegression,
                                            .missScope = BSNConst::MissScope::MissingListwise};

  int dependent_;
  int factor_;
  int nCategories_;
  std::unique_ptr<detail::RegrFit> fit_;
  double rSquared_;
  double adjRSquared_;
  KQMath_850::KQRegANOVA anova_;
  double s2_;
  double dfResidual_;
  double bayesFactor_;
  bool isLogFactor_ = false;
  std::unique_ptr<BSNRegrPosterior> posterior_;
};

}  // namespace KQBSN_850
