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
// A design with one indicator per cell and no intercept (the one-way ANOVA) has a diagonal X'WX: its
// caller forms the cell sums itself and hands over the solution (DiagonalSolution); no sweep is run. It
// also hands over the residual sum of squares formed from deviations within the cells, which the
// difference y'Wy - b'X'Wy would lose when the data sit far from zero.
// Accuracy: tests/regression/BSNMultipleRegr_test.cpp compares fits with R's lm.

#include <memory>
#include <optional>
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

/// The solved fit of a design whose X'WX is diagonal: per parameter its diagonal entry (0 for a
/// redundant one), coefficient and entry of X'Wy; y'Wy, the residual sum of squares and the totals.
struct DiagonalSolution {
  std::vector<double> diagonal;
  std::vector<double> coefficients;
  std::vector<double> xwy;
  KQMath_850::KQBitSet nonRedundant;
  double ywy = 0.0;
  double residualSum = 0.0;
  double n = 0.0, w = 0.0, sumWY = 0.0;
};

class RegrFit {
 public:
  /// A fit of the design; sparse accumulation when the design has more than two parameters per effect.
  explicit RegrFit(KQMath_850::KQFastDesignMatrix design);
  /// A fit already solved by the caller: X'WX is the diagonal, its inverse the reciprocal over the
  /// non-redundant parameters (0 elsewhere). Accumulate and Solve are not used on it.
  RegrFit(KQMath_850::KQFastDesignMatrix design, DiagonalSolution solution);
  RegrFit(const RegrFit&) = delete;
  RegrFit& operator=(const RegrFit&) = delete;

  /// Adds one case with frequency weight f and combined weight w.
  void Accumulate(const std::vector<double>& values, double f, double w);
  /// Sweeps the parameters; keeps X'WX (for the posterior) when keepCrossProducts. Returns false when
  /// cancellation was asked between two blocks of pivots.
  bool Solve(KQCommon_850::KQCancelInfo& cancel, bool keepCrossProducts);
  /// x b for the case's values.
  double FittedValue(const std::vector<double>& values) const;
  /// Prints the coefficients, X'WX and its inverse, the residual mean square s2 given and the weight
  /// totals to the display stream.
  void Display(double s2) const;

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
  /// The residual sum of squares: the one handed over with a diagonal solution, else y'Wy - b'X'Wy.
  double ResidualSum() const noexcept;
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
  std::optional<double> residualSum_;
  std::vector<double> b_;
  KQMath_850::KQBitSet nonRedundant_;
  std::vector<double> row_;
  std::vector<int> indices_;
};

}  // namespace KQBSN_850::detail
