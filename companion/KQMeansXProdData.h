#pragma once
// KQMeansXProdData: running weighted means and cross-products of k variables read case by case.
//
// Each case is k values with a weight w. With W = sum w, the means are m_i = sum w x_i / W and the
// centred cross-products S_ij = sum w (x_i - m_i)(x_j - m_j). They are updated with the multivariate
// form of Welford's recurrence (d = x - m_old; m += d w / W; S += (W_old w / W) d d'), which never
// forms sum w x_i x_j and so keeps its accuracy when the means are large against the spread. It runs on
// x - c, c being the first accepted case, so that rounding errors scale with the spread, not the means.
// The constructor's flag chooses what GetXProds reports: centred (true) gives S; false gives the raw
// sums of products about zero, sum w x_i x_j = S_ij + W m_i m_j, derived from the same stable state.
//
// Inputs: cases with k values; a case holding a missing or NaN value, or whose weight is missing, NaN or
// not positive, is skipped as a whole (listwise). Returns: the means (missing when no case was added),
// the k x k cross-products (zeros when none), and W as the weighted number of cases.
// Accuracy: the tests compare with a two-pass long double computation on data of mean 1e9 and spread
// about 1, with R, and check that a case of weight 2 equals the case added twice.

#include <initializer_list>
#include <span>
#include <vector>

#include "companion/KQSymMatrix.h"

namespace KQMath_850 {

class KQMeansXProdData {
 public:
  /// Accumulates k variables; centred chooses centred (true) or raw (false) cross-products.
  KQMeansXProdData(int nVariables, bool centred);

  /// Adds one case of k values with its weight; false when the case is skipped.
  bool AddCase(std::span<const double> values, double weight);
  /// Same, for a braced list of values.
  bool AddCase(std::initializer_list<double> values, double weight) {
    return AddCase(std::span<const double>(values.begin(), values.size()), weight);
  }
  /// Adds every case accepted by another accumulator over the same variables.
  void Merge(const KQMeansXProdData& other);
  /// Forgets every case.
  void Reset();

  /// The weighted means, one per variable; missing values when no case was added.
  std::vector<double> GetMeans() const;
  /// The cross-products, centred or raw as chosen at construction.
  KQSymMatrix GetXProds() const;
  /// The sum of the weights of the added cases.
  double GetNCases() const noexcept { return sumWeights_; }
  /// The number of variables k.
  int GetNVariables() const noexcept { return nVariables_; }
  /// True when GetXProds reports centred cross-products.
  bool IsCentred() const noexcept { return centred_; }

 private:
  int nVariables_;
  bool centred_;
  double sumWeights_ = 0.0;
  std::vector<double> shift_;  // c, the first accepted case
  std::vector<double> means_;  // the weighted means of x - c
  KQSymMatrix centredXProds_;
  std::vector<double> deviations_;  // one case's deviations from the old means, kept to avoid allocation
};

}  // namespace KQMath_850
