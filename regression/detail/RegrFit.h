#pragma once
// RegrFit: the weighted least-squares fit of one design, shared by the regression and the one-way ANOVA.
//
// Accumulate adds one case: the design row x with the dependent y appended goes into the cross-product
// matrix [X y]'W[X y] (dense rows a block of cases at a time, or only the non-zero entries when the design
// has many indicator parameters per effect); N sums the frequency weights, W the combined weights. Solve
// sweeps the parameters in order (a parameter whose remaining diagonal falls to 1e-12 of its original value
// is redundant and left out), giving the coefficients b (0 for redundant parameters), the set of swept
// parameters, X'WX and (X'WX)^-1 over the swept parameters (zeros elsewhere), X'Wy and y'Wy.
// Residual sums come from a second pass: FittedValue gives x b for a case.
// Accuracy: tests/regression/BSNMultipleRegr_test.cpp compares fits with R's lm.

#include <memory>
#include <vector>

#include "companion/KQBitSet.h"
#include "companion/KQCancel.h"
#include "companion/KQCrossProducts.h"
#include "companion/KQFastDesignMatrix.h"
#include "companion/KQSymMatrix.h"

namespace KQBSN_850::detail {

/// Sweep tolerance: a pivot whose remaining diagonal is at most this share of its original diagonal is
/// a (numerical) combination of the pivots before it.
inline constexpr double kRegrSweepTolerance = 1e-12;

class RegrFit {
 public:
  /// A fit of the design; sparse accumulation when the design has more than two parameters per effect.
  explicit RegrFit(KQMath_850::KQFastDesignMatrix design);
  RegrFit(const RegrFit&) = delete;
  RegrFit& operator=(const RegrFit&) = delete;

  /// Adds one case with frequency weight f and combined weight w.
  void Accumulate(const std::vector<double>& values, double f, double w);
  /// Sweeps the parameters; keeps X'WX (for the posterior) when keepCrossProducts. Returns false when
  /// cancellation was asked between two blocks of pivots.
  bool Solve(KQCommon_850::KQCancelInfo& cancel, bool keepCrossProducts);
  /// x b for the case's values.
  double FittedValue(const std::vector<double>& values) const;

  const KQMath_850::KQFastDesignMatrix& Design() const noexcept { return design_; }
  bool IsSparse() const noexcept { return sparse_; }
  int NParameters() const noexcept { return design_.GetNParameters(); }
  /// Swept (non-redundant) parameters.
  int Rank() const noexcept { return nonRedundant_.InSet(); }
  const KQMath_850::KQBitSet& NonRedundant() const noexcept { return nonRedundant_; }
  const std::vector<double>& Coefficients() const noexcept { return b_; }
  const KQMath_850::KQSymMatrix& CrossProducts() const noexcept { return xwx_; }
  const KQMath_850::KQSymMatrix& Inverse() const noexcept { return xwxInverse_; }
  const std::vector<double>& XWy() const noexcept { return xwy_; }
  double YWy() const noexcept { return ywy_; }
  /// Sum of the frequency weights, sum of the combined weights, sum of w y.
  double N() const noexcept { return n_; }
  double W() const noexcept { return w_; }
  double SumWY() const noexcept { return sumWY_; }

 private:
  KQMath_850::KQFastDesignMatrix design_;
  bool sparse_ = false;
  KQMath_850::KQSymMatrix working_;                      // [X y]'W[X y], swept by Solve
  std::unique_ptr<KQMath_850::KQCrossProducts> blocks_;  // dense rows gathered into working_
  KQMath_850::KQSymMatrix xwx_;
  KQMath_850::KQSymMatrix xwxInverse_;
  std::vector<double> xwy_;
  double ywy_ = 0.0;
  double n_ = 0.0, w_ = 0.0, sumWY_ = 0.0;
  std::vector<double> b_;
  KQMath_850::KQBitSet nonRedundant_;
  std::vector<double> row_;
  std::vector<int> indices_;
};

}  // namespace KQBSN_850::detail
