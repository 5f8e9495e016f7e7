#include "companion/KQFastDesignMatrix.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

#include "companion/KQMV.h"

namespace KQMath_850 {
namespace {

std::size_t ToSize(int n) { return static_cast<std::size_t>(n); }

double ValueOf(const std::vector<double>& values, int var) {
  if (var < 0 || ToSize(var) >= values.size()) return KQCommon_850::KQMV::Missing();
  return values[ToSize(var)];
}

/// The category of a factor value: its whole-number code inside 0 .. k - 1, else -1.
int CategoryOf(double value, int nCategories) {
  if (!(value >= 0.0) || !(value < nCategories) || std::trunc(value) != value) return -1;
  return static_cast<int>(value);
}

}  // namespace

KQFastDesignMatrix::KQFastDesignMatrix(const std::vector<int>& factors, const std::vector<int>& factorSizes,
                                       const std::vector<int>& covariates, bool intercept)
    : intercept_(intercept), nParameters_(intercept ? 1 : 0) {
  for (std::size_t i = 0; i < factors.size(); ++i)
    AddEffect(factors[i], i < factorSizes.size() ? std::max(factorSizes[i], 0) : 0, true);
  for (int covariate : covariates) AddEffect(covariate, 1, false);
}

void KQFastDesignMatrix::AddEffect(int var, int nCategories, bool isFactor) {
  effects_.push_back({var, nCategories, isFactor, nParameters_});
  nParameters_ += nCategories;
}

void KQFastDesignMatrix::AddModelEffects(const std::vector<int>& vars, const std::vector<int>& counts) {
  assert(vars.size() == counts.size());
  for (std::size_t i = 0; i < vars.size(); ++i) AddEffect(vars[i], std::max(counts[i], 0), counts[i] != 1);
}

void KQFastDesignMatrix::GetParamsForEffect(int effect, int& first, int& count) const {
  const Effect& e = effects_.at(ToSize(effect));
  first = e.firstParam;
  count = e.nCategories;
}

int KQFastDesignMatrix::GetEffectVar(int effect) const { return effects_.at(ToSize(effect)).var; }

bool KQFastDesignMatrix::IsFactorEffect(int effect) const { return effects_.at(ToSize(effect)).isFactor; }

int KQFastDesignMatrix::FindEffect(int var, bool isFactor) const noexcept {
  for (std::size_t e = 0; e < effects_.size(); ++e)
    if (effects_[e].var == var && effects_[e].isFactor == isFactor) return static_cast<int>(e);
  return -1;
}

std::vector<KQRegrParameter> KQFastDesignMatrix::GetParameters() const {
  std::vector<KQRegrParameter> parameters;
  parameters.reserve(ToSize(nParameters_));
  if (intercept_) parameters.push_back({-1, -1, -1});
  for (std::size_t e = 0; e < effects_.size(); ++e)
    for (int c = 0; c < effects_[e].nCategories; ++c)
      parameters.push_back({static_cast<int>(e), effects_[e].var, effects_[e].isFactor ? c : -1});
  return parameters;
}

int KQFastDesignMatrix::GetMaxVar() const noexcept {
  int maxVar = depVar_;
  for (const Effect& e : effects_) maxVar = std::max(maxVar, e.var);
  return maxVar;
}

void KQFastDesignMatrix::ExpandRowX(const std::vector<double>& values, std::vector<double>& row) const {
  row.assign(ToSize(nParameters_), 0.0);
  if (intercept_) row[0] = 1.0;
  for (const Effect& e : effects_) {
    const double value = ValueOf(values, e.var);
    if (!e.isFactor) {
      row[ToSize(e.firstParam)] = value;
    } else if (const int c = CategoryOf(value, e.nCategories); c >= 0) {
      row[ToSize(e.firstParam + c)] = 1.0;
    }
  }
}

double KQFastDesignMatrix::LinearPredictor(const std::vector<double>& values,
                                           const std::vector<double>& coefficients) const {
  assert(coefficients.size() == ToSize(nParameters_));
  double sum = intercept_ ? coefficients[0] : 0.0;
  for (const Effect& e : effects_) {
    const double value = ValueOf(values, e.var);
    if (!e.isFactor) {
      sum += value * coefficients[ToSize(e.firstParam)];
    } else if (const int c = CategoryOf(value, e.nCategories); c >= 0) {
      sum += coefficients[ToSize(e.firstParam + c)];
    }
  }
  return sum;
}

void KQFastDesignMatrix::ExpandRowXY(const std::vector<double>& values, std::vector<double>& row) const {
  ExpandRowX(values, row);
  row.push_back(ValueOf(values, depVar_));
}

int KQFastDesignMatrix::WriteSparse(const std::vector<double>& values, std::vector<int>& indices,
                                    std::vector<double>& row, int extra) const {
  const std::size_t capacity = effects_.size() + 1 + ToSize(extra);
  if (indices.size() < capacity) indices.resize(capacity);
  if (row.size() < capacity) row.resize(capacity);
  int n = 0;
  if (intercept_) {
    indices[0] = 0;
    row[0] = 1.0;
    n = 1;
  }
  for (const Effect& e : effects_) {
    const double value = ValueOf(values, e.var);
    if (!e.isFactor) {
      indices[ToSize(n)] = e.firstParam;
      row[ToSize(n++)] = value;
    } else if (const int c = CategoryOf(value, e.nCategories); c >= 0) {
      indices[ToSize(n)] = e.firstParam + c;
      row[ToSize(n++)] = 1.0;
    }
  }
  return n;
}

int KQFastDesignMatrix::ExpandRowX(const std::vector<double>& values, std::vector<int>& indices,
                                   std::vector<double>& row) const {
  return WriteSparse(values, indices, row, 0);
}

int KQFastDesignMatrix::ExpandRowXY(const std::vector<double>& values, std::vector<int>& indices,
                                    std::vector<double>& row) const {
  int n = WriteSparse(values, indices, row, 1);
  indices[ToSize(n)] = nParameters_;
  row[ToSize(n++)] = ValueOf(values, depVar_);
  return n;
}

}  // namespace KQMath_850
