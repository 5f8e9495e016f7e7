#pragma once
// KQRegSettings: the description of a linear model that the regression export reads: the dependent
// variable, the factors with their category counts, the covariates, the intercept choice and the
// effects of the model. Plain data: nothing is checked here.

#include <utility>
#include <vector>

#include "companion/KQModelEffect.h"

namespace KQMath_850 {

class KQRegSettings {
 public:
  void SetInterceptUse(bool use) noexcept { intercept_ = use; }
  bool IsInterceptUsed() const noexcept { return intercept_; }
  void SetDepVar(int var) noexcept { depVar_ = var; }
  int GetDepVar() const noexcept { return depVar_; }
  /// Adds a factor with its number of categories.
  void AddFactor(int var, int nCategories) { factors_.emplace_back(var, nCategories); }
  void AddCovariate(int var) { covariates_.push_back(var); }
  /// Adds a copy of an effect.
  void AddEffect(const KQModelEffect& effect) { effects_.push_back(effect); }
  const std::vector<std::pair<int, int>>& GetFactors() const noexcept { return factors_; }
  const std::vector<int>& GetCovariates() const noexcept { return covariates_; }
  const std::vector<KQModelEffect>& GetEffects() const noexcept { return effects_; }

 private:
  bool intercept_ = true;
  int depVar_ = -1;
  std::vector<std::pair<int, int>> factors_;
  std::vector<int> covariates_;
  std::vector<KQModelEffect> effects_;
};

}  // namespace KQMath_850
