#pragma once
// KQFastDesignMatrix: the design of a linear model over the values of one record.
//
// Coding. The parameters are laid out in this order:
//   1. the intercept (a constant 1), when the design has one;
//   2. for each factor, in the order of the factor list, one indicator per category: the factor's value
//      c (a whole number 0 .. k - 1 for a factor of k categories) sets the indicator of category c to 1
//      and the others to 0. With an intercept the k indicators of a factor are linearly dependent on it;
//      the sweep of the cross-product matrix finds the redundant one (the last category that has cases);
//   3. for each covariate, in the order of the covariate list, its value.
// Effects added later (AddModelEffects) follow, each laid out the same way. A factor value that is not
// one of its category codes (out of range, fractional, missing) sets none of the factor's indicators:
// callers screen such records out before they reach the design.
//
// ExpandRowX writes all parameters of a case (dense form) or only the entries that can be non-zero with
// their parameter positions (sparse form: the intercept, one indicator per factor and each covariate);
// ExpandRowXY appends the dependent value as position GetNParameters().
// Accuracy: tests/companion/KQFastDesignMatrix_test.cpp checks rows and parameter ranges by hand.

#include <vector>

#include "companion/KQRegrTables.h"

namespace KQMath_850 {

class KQFastDesignMatrix {
 public:
  /// A design with no parameters.
  KQFastDesignMatrix() = default;
  /// Factors (with their category counts, by position) then covariates, after an optional intercept.
  KQFastDesignMatrix(const std::vector<int>& factors, const std::vector<int>& factorSizes,
                     const std::vector<int>& covariates, bool intercept);

  /// Adds one effect per variable: a factor of that many categories, or a covariate for a count of 1.
  void AddModelEffects(const std::vector<int>& vars, const std::vector<int>& counts);
  /// The variable whose value ExpandRowXY appends.
  void SetDepVar(int var) noexcept { depVar_ = var; }
  int GetDepVar() const noexcept { return depVar_; }

  /// Effects (factors and covariates; the intercept is not one).
  int GetNEffects() const noexcept { return static_cast<int>(effects_.size()); }
  /// Parameters, the intercept included.
  int GetNParameters() const noexcept { return nParameters_; }
  bool HasIntercept() const noexcept { return intercept_; }
  /// The parameter range of an effect: first parameter and count.
  void GetParamsForEffect(int effect, int& first, int& count) const;
  /// The variable of an effect.
  int GetEffectVar(int effect) const;
  /// True for a factor effect, false for a covariate.
  bool IsFactorEffect(int effect) const;
  /// The effect of a variable among the factors (isFactor) or the covariates; -1 when it has none.
  int FindEffect(int var, bool isFactor) const noexcept;
  /// One description per parameter, in parameter order.
  std::vector<KQRegrParameter> GetParameters() const;
  /// Largest variable position the design reads (the dependent included); -1 for none.
  int GetMaxVar() const noexcept;

  /// x b for the case's design row x and coefficients b (GetNParameters() entries), summed over the
  /// effects without forming the row.
  double LinearPredictor(const std::vector<double>& values, const std::vector<double>& coefficients) const;
  /// The dense row of a case: GetNParameters() entries.
  void ExpandRowX(const std::vector<double>& values, std::vector<double>& row) const;
  /// The sparse row: returns the number of entries written to indices and row (resized as needed).
  int ExpandRowX(const std::vector<double>& values, std::vector<int>& indices,
                 std::vector<double>& row) const;
  /// Dense row with the dependent value appended (GetNParameters() + 1 entries).
  void ExpandRowXY(const std::vector<double>& values, std::vector<double>& row) const;
  /// Sparse row with the dependent value appended at position GetNParameters().
  int ExpandRowXY(const std::vector<double>& values, std::vector<int>& indices,
                  std::vector<double>& row) const;

 private:
  struct Effect {
    int var;
    int nCategories;  ///< 1 for a covariate
    bool isFactor;
    int firstParam;
  };
  void AddEffect(int var, int nCategories, bool isFactor);
  int WriteSparse(const std::vector<double>& values, std::vector<int>& indices, std::vector<double>& row,
                  int extra) const;

  bool intercept_ = false;
  int depVar_ = -1;
  int nParameters_ = 0;
  std::vector<Effect> effects_;
};

}  // namespace KQMath_850
