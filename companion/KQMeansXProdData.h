#pragma once
// KQMeansXProdData: running weighted means and cross-products of k variables read case by case.
//
// Each case is k values with a weight w. With W = sum w, the means are m_i = sum w x_i / W and the
// centred cross-products S_ij = sum w (x_i - m_i)(x_j - m_j). They are updated with the multivariate
// form of Welford's recurrence (d = x - m_old; m += d w / W; S += (W_old w / W) d d'), which never
// forms sum w x_i x_j and so keeps its accuracy when the means are large against the spread. It runs on
// x - c, c being the first accepted case, so that rounding errors scale with the spread, not the means.
// Each variable's deviations are also divided by a power of two, its scale 2^e_i: at first the one
// nearest the variable's first value (or, after a first value of 0, its first nonzero deviation), a
// larger one whenever a deviation exceeds kMaxScaledDeviation scales. The stored cross-products are
// S_ij / 2^(e_i + e_j), so no square overflows or underflows for data near 1e200 or 1e-300; being
// powers of two, the scales change no bit of the results on ordinary data.
// The constructor's flag chooses what GetXProds reports: centred (true) gives S; false gives the raw
// sums of products about zero, sum w x_i x_j = S_ij + W m_i m_j, derived from the same stable state.
//
// Inputs: cases with k values; a case holding a missing or NaN value, or whose weight is missing, NaN or
// not positive, is skipped as a whole (listwise). Returns: the means (missing when no case was added),
// the k x k cross-products (zeros when none), and W as the weighted number of cases.
// Accuracy: the tests compare with a two-pass long double computation on data of mean 1e9 and spread
// about 1, with R, and check that a case of weight 2 equals the case added twice.

#include <cstddef>
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
  /// The accumulator of the listed variables alone (positions 0 .. k-1, in the order given), holding the
  /// same cases: its moments are exactly those of the listed variables here, so that it can be merged
  /// with an accumulator over those variables only.
  KQMeansXProdData Select(std::span<const int> variables) const;

  /// The weighted means, one per variable; missing values when no case was added.
  std::vector<double> GetMeans() const;
  /// The cross-products, centred or raw as chosen at construction (infinite or 0 where they are beyond
  /// the double range, as for data near 1e200 or 1e-300).
  KQSymMatrix GetXProds() const;
  /// The centred cross-products on the variables' scales, S_ij / 2^(e_i + e_j): finite and accurate for
  /// data of any magnitude. For example sqrt(S_ii / 2^(2 e_i) / (W - 1)) 2^e_i is a standard deviation.
  const KQSymMatrix& GetScaledXProds() const noexcept { return centredXProds_; }
  /// The exponents e_i of the variables' scales.
  const std::vector<int>& GetScaleExponents() const noexcept { return scaleExponents_; }
  /// The sum of the weights of the added cases.
  double GetNCases() const noexcept { return sumWeights_; }
  /// The number of variables k.
  int GetNVariables() const noexcept { return nVariables_; }
  /// True when GetXProds reports centred cross-products.
  bool IsCentred() const noexcept { return centred_; }

  /// A deviation above this many scales enlarges its variable's scale (squares stay below 2^128).
  static constexpr double kMaxScaledDeviation = 0x1.0p64;
  /// The scales' exponents stay within these bounds, so that scale and 1 / scale are normal doubles.
  static constexpr int kMinScaleExponent = -1000;
  static constexpr int kMaxScaleExponent = 1000;

 private:
  /// Takes the scale 2^exponent for variable i, rescaling its mean and cross-products exactly.
  void SetScaleExponent(std::size_t i, int exponent);
  int nVariables_;
  bool centred_;
  double sumWeights_ = 0.0;
  std::vector<double> shift_;          // c, the first accepted case
  std::vector<double> means_;          // the weighted means of x - c
  std::vector<int> scaleExponents_;    // e_i
  std::vector<double> inverseScales_;  // 2^-e_i
  std::vector<double> rescaleAbove_;   // kMaxScaledDeviation, or 0 until the scale is known
  KQSymMatrix centredXProds_;          // S_ij / 2^(e_i + e_j)
  std::vector<double> deviations_;     // one case's deviations from the old means, kept to avoid allocation
};

}  // namespace KQMath_850
