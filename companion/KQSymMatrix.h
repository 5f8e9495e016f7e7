#pragma once
// KQSymMatrix: a symmetric n x n matrix stored as its packed lower triangle, row by row: element
// (i, j) with j <= i sits at position i (i + 1) / 2 + j of AsVector(); (j, i) reads the same element.
//
// It accumulates weighted cross-products (UpdateXX: A += w x x') and solves least-squares problems
// with the sweep operator. Sweeping pivot k with current diagonal d = a_kk maps
//   a_kk -> -1 / d,   a_ik -> a_ik / d,   a_ij -> a_ij - a_ik a_jk / d   (i, j != k),
// so that after sweeping a set S of pivots the S block holds -inverse(A_SS), the off-block entries the
// regression coefficients inverse(A_SS) A_SR, and the remaining block the residual cross-products.
// A pivot is swept in only when d / (its diagonal before any sweep) exceeds the tolerance; otherwise it
// is redundant (a zero or a numerically linear combination of the pivots swept before it) and is left
// alone, and the set of swept pivots (KQBitSet) says which is which.
//
// Inputs: indices inside 0 .. n - 1 and vectors of matching length; a mismatch is a caller's error
// (assert). Nothing returns an error status: a singular or rank-deficient matrix is reported through
// the set of accepted pivots, and ComputeRSRTrans answers false for factors of the wrong shape.
// Accuracy: the tests compare coefficients, residual sums and inverses with R's lm and solve, check
// A inverse(A) = I, and check that exactly the duplicated, combined and zero columns are redundant.

#include <cstddef>
#include <span>
#include <vector>

#include "companion/KQBitSet.h"
#include "companion/KQRectMatrix.h"

namespace KQMath_850 {

class KQSymMatrix {
 public:
  /// The empty 0 x 0 matrix.
  KQSymMatrix() = default;
  /// An n x n matrix: all zeros when zeroFilled, the identity otherwise.
  KQSymMatrix(int n, bool zeroFilled);

  /// Makes the matrix n x n, every element zero.
  void Resize(int n);
  /// Replaces the packed lower triangle; false (matrix unchanged) when the length is not n (n + 1) / 2.
  bool SetFromVector(std::span<const double> packed);

  /// The number of rows (and of columns).
  int Size() const noexcept { return n_; }
  /// Element (i, j); either order of the indices reads the same element.
  double operator()(int i, int j) const { return packed_[Index(i, j)]; }
  /// Element (i, j), writable; writing it writes (j, i) too.
  double& operator()(int i, int j) { return packed_[Index(i, j)]; }
  /// The packed lower triangle, row by row.
  const std::vector<double>& AsVector() const noexcept { return packed_; }
  /// The packed lower triangle, writable (for accumulators that update it in place).
  double* MutableData() noexcept { return packed_.data(); }
  /// Fills diagonal with the n diagonal elements.
  void GetDiagonal(std::vector<double>& diagonal) const;

  /// Adds weight * row * row' (row has n entries): one case's contribution to a cross-product matrix.
  void UpdateXX(std::span<const double> row, double weight);
  /// The same for a row given by its first nEntries non-zero values and their positions (any order).
  void UpdateXXSparse(int nEntries, std::span<const int> indices, std::span<const double> values,
                      double weight);
  /// Adds other element by element (same size).
  void Add(const KQSymMatrix& other);
  /// Changes the sign of every element; after sweeping, turns the swept block into the plain inverse.
  void Negate();

  /// Sweeps pivot k in (sweepIn true) when it is not in swept and passes the redundancy test against
  /// referenceDiagonal[k] with the tolerance, or out (sweepIn false) when it is in swept; updates swept.
  /// Returns whether k is in swept afterwards.
  bool Sweep(int k, double tolerance, std::span<const double> referenceDiagonal, KQBitSet& swept,
             bool sweepIn);
  /// Sweeps pivots first .. first + count - 1 in, in order; returns how many were swept in.
  int SweepRange(int first, int count, double tolerance, std::span<const double> referenceDiagonal,
                 KQBitSet& swept);
  /// The same as SweepRange for pivots that are not yet swept, with the same results to rounding, in one
  /// pass over the matrix: the block's columns are swept on their own (the redundancy tests need only
  /// them), then the rest of the matrix takes the block's combined effect as one rank update. A matrix
  /// too large for the cache is then read and written once per block instead of once per pivot.
  int SweepBlock(int first, int count, double tolerance, std::span<const double> referenceDiagonal,
                 KQBitSet& swept);
  /// After sweeping, the coefficients of the last variable on the first n - 1: entry k is element
  /// (n - 1, k) for a pivot in swept, 0 for one outside it. coeffs gets n - 1 entries.
  void GetRegCoeffs(std::vector<double>& coeffs, const KQBitSet& swept) const;
  /// Same, returned.
  std::vector<double> GetRegCoeffs(const KQBitSet& swept) const;

  /// Copies the leading m x m block into target, m being target's current size (m <= n).
  void ExtractFirstNRows(KQSymMatrix& target) const;
  /// Zeroes every row and column whose position is not in the set (the set covers n positions).
  void ZeroOutRedundant(const KQBitSet& nonRedundant);
  /// Replaces the matrix by its inverse over the pivots that pass the redundancy test (reference: the
  /// diagonal before inversion); rows and columns of the other pivots become zero. accepted receives the
  /// accepted pivots. Returns their number.
  int Invert(double tolerance, KQBitSet& accepted);
  /// Same, without reporting the accepted pivots.
  int Invert(double tolerance);

  /// y = this * x (x has n entries).
  void MultiplyVector(std::span<const double> x, std::vector<double>& y) const;
  /// x' this x (x has n entries).
  double QuadraticForm(std::span<const double> x) const;
  /// x' this x for x given by its first nEntries non-zero values and their positions.
  double QuadraticFormSparse(int nEntries, std::span<const int> indices,
                             std::span<const double> values) const;
  /// result = r this r' for an m x n matrix r; false (result untouched) when r does not have n columns.
  bool ComputeRSRTrans(const KQRectMatrix& r, KQSymMatrix& result) const;

 private:
  static std::size_t RowStart(int i) {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(i + 1) / 2;
  }
  std::size_t Index(int i, int j) const;
  void SweepPivot(int k, double sign);

  int n_ = 0;
  std::vector<double> packed_;
  std::vector<double> work_;  // the pivot column during a sweep, kept to avoid one allocation per pivot
};

}  // namespace KQMath_850
