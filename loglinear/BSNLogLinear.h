#pragma once
// BSNLogLinear: the log-linear analysis of the independence of two factors (the settings' two
// Factors, with their sizes R and K). One pass over the records builds the contingency table
// (BSNContingency); then the Pearson and likelihood-ratio chi-square tests, for a 2 x 2 table also
// Yates' corrected chi-square and Fisher's exact test; as AnalysType asks, the Bayes factor BF01 of
// independence against the saturated model, and the Monte Carlo posterior of the log odds ratios of
// every pair of categories against the last ones. The result record is a BSNLogLinearOutputStats.
// The Bayes factor: LogLinModel Poisson: conjugate; Nonparametric: nonparametric on a 2 x K table with
// fixed rows or an R x 2 table with fixed columns, else BSN_NONPARAMETRIC_NOT_2XK and the Dirichlet
// factor; otherwise by LogLinPriorType: conjugate, Dirichlet, or intrinsic on a 2 x 2 table (else
// BSN_INTRINSIC_NOT_2X2 and the Dirichlet factor).
// Errors (no record): not exactly two factors (BSN_LOGLINEAR_NOT_TWO_FACTORS), a nonparametric model
// with a fixed total when a Bayes factor is asked for (BSN_NONPARAMETRIC_FIXED_TOTAL), no case
// (BSN_NO_VALID_CASES), bad prior lengths (BSN_BAD_LOGLINEAR_SHAPES, BSN_LOGLINEAR_LAMBDA_COUNT), a
// cancellation (code 1; polled before each record, in the enumerations and quadratures, and in the
// sampling). Only one non-empty row or column: a warning and a record with the table only.
// Accuracy: tests/loglinear/ compares with R's chisq.test, fisher.test and BayesFactor.

#include <memory>
#include <ostream>
#include <vector>

#include "companion/KQRegrTables.h"
#include "frame/BSNAlgorithm.h"
#include "frame/BayesEstimation.h"
#include "loglinear/BSNContingency.h"

namespace KQBSN_850 {

class BSNLogLinear final : public BSNAlgorithm {
 public:
  BSNLogLinear(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSNLogLinear() override;

  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) override;
  void Display(std::ostream& os) const override;

  const BSNSettings& GetSettings() const noexcept { return settings_; }
  const BSNContingency& GetContingency() const noexcept { return table_; }
  double GetBayesFactor() const noexcept { return bayesFactor_; }
  bool IsLogBayesFactor() const noexcept { return isLogFactor_; }
  const KQMath_850::KQTestStats& GetChiSquareResult() const noexcept { return chiSquare_; }
  const KQMath_850::KQTestStats& GetLikeRatioResult() const noexcept { return likeRatio_; }
  const KQMath_850::KQTestStats& GetContCorrectResult() const noexcept { return contCorrect_; }
  double GetFisher2SidedSig() const noexcept { return fisher2Sided_; }
  double GetFisher1SidedSig() const noexcept { return fisher1Sided_; }
  const std::vector<BayesEstimation>& GetPosteriorEstimations() const noexcept { return estimations_; }
  int GetT() const noexcept { return t_; }
  int GetT1() const noexcept { return t1_; }
  int GetT2() const noexcept { return t2_; }

 private:
  /// The checks made before any record is read.
  KQCommon_850::KQStatus CheckSettings(KQCommon_850::MultiPassRecordIter& iter) const;
  void ComputeTests();
  /// Chooses, builds and runs the Bayes-factor object.
  KQCommon_850::KQStatus ComputeBayesFactor();

  BSNContingency table_;
  int nRowsUsed_ = 0, nColsUsed_ = 0;
  double bayesFactor_;
  bool isLogFactor_ = false;
  KQMath_850::KQTestStats chiSquare_, likeRatio_, contCorrect_;
  double fisher2Sided_, fisher1Sided_;
  std::vector<BayesEstimation> estimations_;
  int t_ = -1, t1_ = -1, t2_ = -1;
};

}  // namespace KQBSN_850
