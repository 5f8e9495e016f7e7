#include "companion/KQSymMatrix.h"

#include "companion/detail/RankUpdate.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace KQMath_850 {
namespace {

std::size_t ToSize(int n) { return static_cast<std::size_t>(n); }

}  // namespace

KQSymMatrix::KQSymMatrix(int n, bool zeroFilled) {
  Resize(n);
  if (!zeroFilled)
    for (int i = 0; i < n; ++i) packed_[RowStart(i) + ToSize(i)] = 1.0;
}

void KQSymMatrix::Resize(int n) {
  assert(n >= 0);
  n_ = n;
  packed_.assign(RowStart(n), 0.0);
}

bool KQSymMatrix::SetFromVector(std::span<const double> packed) {
  if (packed.size() != packed_.size()) return false;
  std::copy(packed.begin(), packed.end(), packed_.begin());
  return true;
}

std::size_t KQSymMatrix::Index(int i, int j) const {
  assert(i >= 0 && i < n_ && j >= 0 && j < n_);
  if (j > i) std::swap(i, j);
  return RowStart(i) + ToSize(j);
}

void KQSymMatrix::GetDiagonal(std::vector<double>& diagonal) const {
  diagonal.resize(ToSize(n_));
  for (int i = 0; i < n_; ++i) diagonal[ToSize(i)] = packed_[RowStart(i) + ToSize(i)];
}

void KQSymMatrix::UpdateXX(std::span<const double> row, double weight) {
  assert(row.size() == ToSize(n_));
  if (weight == 0.0) return;
  // This is the inner loop of every regression pass: the packed rows are walked in storage order and
  // the inner loop is a plain axpy over contiguous memory, which the compiler vectorises. The pointers
  // are declared non-aliasing so that it needs no run-time overlap check. A zero entry (a dummy code
  // that is off) contributes nothing, so its row is skipped.
  const double* __restrict x = row.data();
  double* __restrict target = packed_.data();
  for (int i = 0; i < n_; ++i) {
    const double wx = weight * x[i];
    if (wx != 0.0)
      for (int j = 0; j <= i; ++j) target[j] += wx * x[j];
    target += i + 1;
  }
}

void KQSymMatrix::UpdateXXSparse(int nEntries, std::span<const int> indices, std::span<const double> values,
                                 double weight) {
  assert(nEntries >= 0 && ToSize(nEntries) <= indices.size() && ToSize(nEntries) <= values.size());
  if (weight == 0.0) return;
  for (int a = 0; a < nEntries; ++a) {
    const int ia = indices[ToSize(a)];
    const double wx = weight * values[ToSize(a)];
    for (int b = 0; b <= a; ++b) packed_[Index(ia, indices[ToSize(b)])] += wx * values[ToSize(b)];
  }
}

void KQSymMatrix::Add(const KQSymMatrix& other) {
  assert(other.n_ == n_);
  for (std::size_t e = 0; e < packed_.size(); ++e) packed_[e] += other.packed_[e];
}

void KQSymMatrix::Negate() {
  for (double& value : packed_) value = -value;
}

void KQSymMatrix::SweepPivot(int k, double sign) {
  // sign +1 sweeps k in; sign -1 sweeps it out again. Both use the current pivot p:
  //   a_ij -> a_ij - a_ik a_jk / p,  a_ik -> sign a_ik / p,  a_kk -> -1 / p,
  // and sweeping out undoes sweeping in exactly in exact arithmetic.
  const double invPivot = 1.0 / packed_[RowStart(k) + ToSize(k)];
  work_.resize(ToSize(n_));
  for (int i = 0; i < n_; ++i) work_[ToSize(i)] = i == k ? 0.0 : packed_[Index(i, k)];
  // With the pivot entry of the column set to zero, the row update below leaves column k alone, so the
  // inner loop needs no test and stays a contiguous axpy.
  const double* __restrict column = work_.data();
  for (int i = 0; i < n_; ++i) {
    const double factor = column[i] * invPivot;
    if (i == k || factor == 0.0) continue;
    double* __restrict row = packed_.data() + RowStart(i);
    for (int j = 0; j <= i; ++j) row[j] -= factor * column[j];
  }
  for (int i = 0; i < n_; ++i)
    if (i != k) packed_[Index(i, k)] = sign * column[i] * invPivot;
  packed_[RowStart(k) + ToSize(k)] = -invPivot;
}

bool KQSymMatrix::Sweep(int k, double tolerance, std::span<const double> referenceDiagonal, KQBitSet& swept,
                        bool sweepIn) {
  assert(k >= 0 && k < n_ && ToSize(k) < referenceDiagonal.size() && k < swept.Size());
  if (!sweepIn) {
    if (swept.IsIn(k)) {
      SweepPivot(k, -1.0);
      swept.Set(k, false);
    }
    return false;
  }
  if (swept.IsIn(k)) return true;
  // Redundancy test: the current diagonal is what is left of the pivot's original diagonal after the
  // pivots swept so far have explained their share. A ratio at or below the tolerance means the column
  // is (numerically) a combination of those pivots; a zero reference marks an all-zero column. A NaN
  // ratio fails the comparison and is treated as redundant too.
  const double reference = referenceDiagonal[ToSize(k)];
  const double current = packed_[RowStart(k) + ToSize(k)];
  if (reference == 0.0 || !(current / reference > tolerance)) return false;
  SweepPivot(k, 1.0);
  swept.Set(k, true);
  return true;
}

int KQSymMatrix::SweepRange(int first, int count, double tolerance, std::span<const double> referenceDiagonal,
                            KQBitSet& swept) {
  int nSwept = 0;
  for (int k = first; k < first + count; ++k)
    if (Sweep(k, tolerance, referenceDiagonal, swept, true)) ++nSwept;
  return nSwept;
}

int KQSymMatrix::SweepBlock(int first, int count, double tolerance, std::span<const double> referenceDiagonal,
                            KQBitSet& swept) {
  assert(first >= 0 && count >= 0 && first + count <= n_ &&
         ToSize(first + count) <= referenceDiagonal.size());
  const std::size_t b = ToSize(count);
  const auto at = [b](int i, std::size_t c) { return ToSize(i) * b + c; };
  // The panel: every row's entries in the block's columns, before (original) and during the sweeps.
  std::vector<double> original(ToSize(n_) * b);
  for (int i = 0; i < n_; ++i)
    for (std::size_t c = 0; c < b; ++c) original[at(i, c)] = packed_[Index(i, first + static_cast<int>(c))];
  std::vector<double> panel = original;
  std::vector<std::size_t> accepted;
  for (std::size_t c = 0; c < b; ++c) {
    const int k = first + static_cast<int>(c);
    assert(!swept.IsIn(k));
    const double reference = referenceDiagonal[ToSize(k)];
    const double pivot = panel[at(k, c)];
    if (reference == 0.0 || !(pivot / reference > tolerance)) continue;
    const double invPivot = 1.0 / pivot;
    // a_ij -= a_ik a_kj / d for the panel's entries off row and column k; element (k, j) of a column j of
    // the block is row k's panel entry.
    for (int i = 0; i < n_; ++i) {
      const double factor = panel[at(i, c)] * invPivot;
      if (i == k || factor == 0.0) continue;
      for (std::size_t c2 = 0; c2 < b; ++c2)
        if (c2 != c) panel[at(i, c2)] -= factor * panel[at(k, c2)];
    }
    // Column k (and its mirror in row k, for the block's columns) scales by 1/d; the pivot becomes -1/d.
    for (int i = 0; i < n_; ++i)
      if (i != k) panel[at(i, c)] *= invPivot;
    for (std::size_t c2 = 0; c2 < b; ++c2)
      if (c2 != c) panel[at(k, c2)] *= invPivot;
    panel[at(k, c)] = -invPivot;
    swept.Set(k, true);
    accepted.push_back(c);
  }
  if (!accepted.empty()) {
    // Outside the block, sweeping the accepted set S gives a_ij - (a_iS inverse(a_SS)) a_Sj: the swept
    // panel's row i times the original panel's row j, over S. Rows and columns of the block are left to
    // the panel (their terms are zero here).
    const int stride = detail::RankUpdateStride(n_);
    std::vector<double> rows(accepted.size() * ToSize(stride), 0.0), weighted(rows.size(), 0.0);
    for (std::size_t t = 0; t < accepted.size(); ++t)
      for (int j = 0; j < n_; ++j) {
        if (j >= first && j < first + count) continue;
        rows[t * ToSize(stride) + ToSize(j)] = original[at(j, accepted[t])];
        weighted[t * ToSize(stride) + ToSize(j)] = -panel[at(j, accepted[t])];
      }
    detail::AddRankUpdate(packed_.data(), n_, stride, static_cast<int>(accepted.size()), rows.data(),
                          weighted.data());
  }
  for (int i = 0; i < n_; ++i)
    for (std::size_t c = 0; c < b; ++c) packed_[Index(i, first + static_cast<int>(c))] = panel[at(i, c)];
  return static_cast<int>(accepted.size());
}

void KQSymMatrix::GetRegCoeffs(std::vector<double>& coeffs, const KQBitSet& swept) const {
  assert(n_ >= 1 && swept.Size() >= n_ - 1);
  coeffs.assign(ToSize(n_ - 1), 0.0);
  const std::size_t lastRow = RowStart(n_ - 1);
  for (int k = 0; k < n_ - 1; ++k)
    if (swept.IsIn(k)) coeffs[ToSize(k)] = packed_[lastRow + ToSize(k)];
}

std::vector<double> KQSymMatrix::GetRegCoeffs(const KQBitSet& swept) const {
  std::vector<double> coeffs;
  GetRegCoeffs(coeffs, swept);
  return coeffs;
}

void KQSymMatrix::ExtractFirstNRows(KQSymMatrix& target) const {
  assert(target.n_ <= n_);
  // The leading block of a packed lower triangle is a prefix of the storage.
  std::copy_n(packed_.begin(), target.packed_.size(), target.packed_.begin());
}

void KQSymMatrix::ZeroOutRedundant(const KQBitSet& nonRedundant) {
  assert(nonRedundant.Size() == n_);
  for (int i = 0; i < n_; ++i) {
    const bool rowKept = nonRedundant.IsIn(i);
    for (int j = 0; j <= i; ++j)
      if (!rowKept || !nonRedundant.IsIn(j)) packed_[RowStart(i) + ToSize(j)] = 0.0;
  }
}

int KQSymMatrix::Invert(double tolerance, KQBitSet& accepted) {
  std::vector<double> reference;
  GetDiagonal(reference);
  accepted.Resize(n_, false);
  const int nAccepted = SweepRange(0, n_, tolerance, reference, accepted);
  // Sweeping every accepted pivot leaves minus the inverse of their block; the other rows hold
  // residual cross-products, which are no part of the inverse.
  Negate();
  if (nAccepted < n_) ZeroOutRedundant(accepted);
  return nAccepted;
}

int KQSymMatrix::Invert(double tolerance) {
  KQBitSet accepted;
  return Invert(tolerance, accepted);
}

void KQSymMatrix::MultiplyVector(std::span<const double> x, std::vector<double>& y) const {
  assert(x.size() == ToSize(n_));
  y.assign(ToSize(n_), 0.0);
  for (int i = 0; i < n_; ++i) {
    const double* row = packed_.data() + RowStart(i);
    double sum = row[i] * x[ToSize(i)];
    for (int j = 0; j < i; ++j) {
      sum += row[j] * x[ToSize(j)];
      y[ToSize(j)] += row[j] * x[ToSize(i)];
    }
    y[ToSize(i)] += sum;
  }
}

double KQSymMatrix::QuadraticForm(std::span<const double> x) const {
  assert(x.size() == ToSize(n_));
  double sum = 0.0;
  for (int i = 0; i < n_; ++i) {
    const double* row = packed_.data() + RowStart(i);
    double offDiagonal = 0.0;
    for (int j = 0; j < i; ++j) offDiagonal += row[j] * x[ToSize(j)];
    sum += x[ToSize(i)] * (2.0 * offDiagonal + row[i] * x[ToSize(i)]);
  }
  return sum;
}

double KQSymMatrix::QuadraticFormSparse(int nEntries, std::span<const int> indices,
                                        std::span<const double> values) const {
  assert(nEntries >= 0 && ToSize(nEntries) <= indices.size() && ToSize(nEntries) <= values.size());
  double sum = 0.0;
  for (int a = 0; a < nEntries; ++a) {
    const int ia = indices[ToSize(a)];
    double offDiagonal = 0.0;
    for (int b = 0; b < a; ++b) offDiagonal += packed_[Index(ia, indices[ToSize(b)])] * values[ToSize(b)];
    sum += values[ToSize(a)] * (2.0 * offDiagonal + packed_[Index(ia, ia)] * values[ToSize(a)]);
  }
  return sum;
}

bool KQSymMatrix::ComputeRSRTrans(const KQRectMatrix& r, KQSymMatrix& result) const {
  if (r.GetNCols() != n_) return false;
  const int m = r.GetNRows();
  // rs holds the rows of r * this; element (i, j) of the product is then row i of rs times row j of r.
  std::vector<std::vector<double>> rs(ToSize(m));
  for (int i = 0; i < m; ++i) MultiplyVector(r.Row(i), rs[ToSize(i)]);
  KQSymMatrix product(m, true);
  for (int i = 0; i < m; ++i)
    for (int j = 0; j <= i; ++j) {
      const std::span<const double> rowJ = r.Row(j);
      double sum = 0.0;
      for (int a = 0; a < n_; ++a) sum += rs[ToSize(i)][ToSize(a)] * rowJ[ToSize(a)];
      product(i, j) = sum;
    }
  result = std::move(product);
  return true;
}

}  // namespace KQMath_850
