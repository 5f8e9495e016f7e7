#pragma once
// BSNMultipleRegr: the weighted multiple linear regression of a continuous dependent variable on
// factors and covariates (design coding: companion/KQFastDesignMatrix.h).
//
// A first pass accumulates [X y]'W[X y] (and the same for a full model when the comparison is with one);
// sweeping it gives the least-squares coefficients and the non-redundant parameters. A second pass forms
// the total and residual sums, hence R squared 1 - SSE/SST (1 when SST <= 0; 0 when negative), adjusted
// R squared 1 - (1 - R2)(N - 1)/(N - r) and the ANOVA table with F = (N - r) SSreg / ((r - 1) SSE) on
// (r - 1, N - r) degrees of freedom, N the sum of the frequency weights and r the non-redundant
// parameters. Then, as AnalysType asks, the Bayes factor of the fit over the null or the full model
// (BSNMultipleRegrFactor) and the posterior of the coefficients, the error variance and a prediction
// (BSNRegrPosterior). The result record is a BSNMultiRegOutputStats.
// Records: both passes read the frequency and the regression weight; a record with a missing value
// in a model variable (dependent, factors, covariates, full-model variables, weights) or a weight that
// is not positive is left out.
// Errors, before any record is read: BSN_INTERNAL_ERROR (dependent not continuous),
// BSN_CONSTANT_DEPENDENT, BSN_NO_NONREDUNDANT_PREDICTORS (no factor of 2 or more categories and no
// covariate that varies; also after the sweep when only the intercept is left), BSN_TOO_MANY_PARAMETERS
// (5000 parameters or more), BSN_NO_VALID_CASES. Warnings: BSN_FULL_MODEL_TOO_MANY_PARAMETERS and
// BSN_PERFECT_FIT (no factor), BSN_LOG_FACTOR, and those of the posterior. Cancellation, asked before
// each record, between blocks of pivots and between the steps, ends the build with code 1.
// Accuracy: tests/regression/BSNMultipleRegr_test.cpp compares with R's lm and anova.

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

class BSNMultipleRegr final : public BSNAlgorithm {
 public:
  BSNMultipleRegr(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSNMultipleRegr() override;

  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) override;
  void Display(std::ostream& os) const override;

  /// The fit of the model; null before a build reaches the first pass.
  const detail::RegrFit* GetFit() const noexcept { return fit_.get(); }
  /// The posterior; null unless one was computed.
  const BSNRegrPosterior* GetPosterior() const noexcept { return posterior_.get(); }
  const KQMath_850::KQRegANOVA& GetAnova() const noexcept { return anova_; }
  double GetRSquared() const noexcept { return rSquared_; }
  double GetRSquaredFull() const noexcept { return rSquaredFull_; }
  double GetAdjRSquared() const noexcept { return adjRSquared_; }
  /// The residual mean square (missing when r >= N).
  double GetSigmaSquared() const noexcept { return s2_; }
  double GetDFResidual() const noexcept { return dfResidual_; }
  /// The factor of the fit over its comparison model, its logarithm (IsLogBayesFactor) or missing.
  double GetBayesFactor() const noexcept { return bayesFactor_; }
  bool IsLogBayesFactor() const noexcept { return isLogFactor_; }
  /// The overall F and its significance from the posterior (missing without one).
  double GetFStat() const noexcept { return fStat_; }
  double GetSig() const noexcept { return sig_; }

 private:
  KQCommon_850::KQStatus CheckVariables() const;
  KQCommon_850::KQStatus Fit(KQCommon_850::MultiPassRecordIter& iter, bool& fullModelFactor);
  void ResidualStatistics(double sst, double sse, double sseFull);
  KQCommon_850::KQStatus ComputeBayesFactor();
  KQCommon_850::KQStatus ComputePosterior();
  /// The variables a record must have: dependent, factors, covariates, full-model variables, weights.
  std::vector<int> ScreenedVariables() const;

  static constexpr PassOptions kPassOptions{.nullRecordEndsPass = false,
                                            .weights = WeightRule::FrequencyAndRegression,
                                            .missScope = BSNConst::MissScope::MissingListwise};

  std::unique_ptr<detail::RegrFit> fit_;
  std::unique_ptr<detail::RegrFit> fullFit_;
  double rSquared_;
  double rSquaredFull_;
  double adjRSquared_;
  KQMath_850::KQRegANOVA anova_;
  double s2_;
  double dfResidual_;
  double bayesFactor_;
  bool isLogFactor_ = false;
  double fStat_;
  double sig_;
  std::unique_ptr<BSNRegrPosterior> posterior_;
};

}  // namespace KQBSN_850
