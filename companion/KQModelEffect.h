#pragma once
// KQModelEffect: one effect of a linear model as the regression export reads it, a product of variables:
// factors (each with a flag saying whether the factor is nested) and covariates. Plain data: nothing is
// checked here.

#include <utility>
#include <vector>

namespace KQMath_850 {

class KQModelEffect {
 public:
  KQModelEffect() = default;
  /// Adds a factor to the effect.
  void AddNewFactor(int var, bool nested) { factors_.emplace_back(var, nested); }
  /// Adds a covariate to the effect.
  void AddCovariate(int var) { covariates_.push_back(var); }
  /// Removes every variable (the object can describe the next effect).
  void Reset() {
    factors_.clear();
    covariates_.clear();
  }
  const std::vector<std::pair<int, bool>>& GetFactors() const noexcept { return factors_; }
  const std::vector<int>& GetCovariates() const noexcept { return covariates_; }
  bool IsEmpty() const noexcept { return factors_.empty() && covariates_.empty(); }

 private:
  std::vector<std::pair<int, bool>> factors_;
  std::vector<int> covariates_;
};

}  // namespace KQMath_850
