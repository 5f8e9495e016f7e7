#include "companion/KQSymMatrix.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQBitSet.h"
#include "companion/KQRectMatrix.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

namespace {

using KQMath_850::KQBitSet;
using KQMath_850::KQRectMatrix;
using KQMath_850::KQSymMatrix;
using Vector = std::vector<double>;

constexpr double kSweepTol = 1e-12;

// A small regression data set; tests/reference/symmatrix_regression.R fits it with lm() (R 4.2.2).
const double kX1[] = {1.2, 2.3, 3.1, 4.8, 5.0, 6.7, 7.1, 8.9};
const double kX2[] = {0.5, -1.0, 2.2, 0.3, -0.7, 1.9, 0.0, -2.1};
const double kY[] = {3.1, 2.0, 7.9, 8.2, 6.1, 12.3, 9.0, 8.8};
const double kW[] = {1, 2, 1, 3, 1, 1, 2, 1};

Vector Fit(const std::string& label) {
  static const std::vector<kqtest::ReferenceRow> rows =
      kqtest::ReadReferenceTable("symmatrix_regression.out");
  return kqtest::ReferenceValues(rows, label);
}

// Sweeps every pivot but the last (the dependent) against the diagonal before sweeping.
KQBitSet SweepPredictors(KQSymMatrix& matrix) {
  Vector reference;
  matrix.GetDiagonal(reference);
  KQBitSet swept(matrix.Size() - 1);
  for (int k = 0; k < matrix.Size() - 1; ++k) matrix.Sweep(k, kSweepTol, reference, swept, true);
  return swept;
}

TEST(KQSymMatrix, SparseUpdateEqualsDenseUpdate) {
  const int n = 12;
  KQSymMatrix dense(n, true), sparse(n, true);
  for (int row = 0; row < 300; ++row) {
    // Three non-zero entries at distinct positions, listed unsorted; entries past nEntries are not read.
    const std::vector<int> indices{row % n, (row + 7) % n, (row + 3) % n, -1};
    const Vector values{1.0 + row % 5, 2.5 - row % 3, 0.5 + row % 7, 1e300};
    Vector x(n, 0.0);
    for (std::size_t e = 0; e < 3; ++e) x[static_cast<std::size_t>(indices[e])] = values[e];
    dense.UpdateXX(x, 1.0 + row % 3);
    sparse.UpdateXXSparse(3, indices, values, 1.0 + row % 3);
  }
  for (std::size_t e = 0; e < dense.AsVector().size(); ++e)
    EXPECT_NEAR_REL(sparse.AsVector()[e], dense.AsVector()[e], 1e-14) << e;
}

TEST(KQSymMatrix, SweepGivesLeastSquaresFitsAndDetectsRedundantColumns) {
  // The swept block is minus the inverse of X'WX; the last diagonal is the residual sum of squares.
  for (const std::string fit : {"unweighted", "weighted"}) {
    KQSymMatrix matrix(4, true), xx(3, true);
    for (int i = 0; i < 8; ++i)
      matrix.UpdateXX(Vector{1.0, kX1[i], kX2[i], kY[i]}, fit == "weighted" ? kW[i] : 1);
    const Vector original = matrix.AsVector(), inverse = Fit(fit + " inverse");
    ASSERT_EQ(inverse.size(), 9u);
    matrix.ExtractFirstNRows(xx);  // X'WX, inverted whole by Invert()
    EXPECT_EQ(xx.Invert(kSweepTol), 3);
    Vector reference;
    matrix.GetDiagonal(reference);
    KQBitSet swept = SweepPredictors(matrix);
    const Vector coeffs = matrix.GetRegCoeffs(swept);
    for (std::size_t k = 0; k < 3; ++k)
      EXPECT_NEAR_REL(coeffs.at(k), Fit(fit + " coefficients").at(k), 1e-13) << fit;
    EXPECT_NEAR_REL(matrix(3, 3), Fit(fit + " rss").at(0), 1e-13) << fit;
    for (int e = 0; e < 9; ++e) {
      EXPECT_NEAR_REL(-matrix(e / 3, e % 3), inverse[static_cast<std::size_t>(e)], 1e-13) << fit;
      EXPECT_NEAR_REL(xx(e / 3, e % 3), inverse[static_cast<std::size_t>(e)], 1e-13) << fit;
    }
    // Sweeping out in another order undoes the sweeps.
    for (int k : {1, 0, 2}) EXPECT_FALSE(matrix.Sweep(k, kSweepTol, reference, swept, false));
    EXPECT_EQ(swept.InSet(), 0);
    for (std::size_t e = 0; e < original.size(); ++e)
      EXPECT_NEAR_REL(matrix.AsVector()[e], original[e], 1e-12) << fit << e;
  }
  // Columns: 0 intercept, 1 all zero, 2 x1, 3 x1 again, 4 x2, 5 x1 - 2 x2, 6 3 - x1, 7 y. Columns 1, 3, 5
  // and 6 are zero or combinations of columns swept before them; the rest give the weighted fit.
  KQSymMatrix matrix(8, true);
  for (int i = 0; i < 8; ++i)
    matrix.UpdateXX(Vector{1.0, 0.0, kX1[i], kX1[i], kX2[i], kX1[i] - 2.0 * kX2[i], 3.0 - kX1[i], kY[i]},
                    kW[i]);
  const KQBitSet swept = SweepPredictors(matrix);
  KQBitSet expected(7);
  for (int k : {0, 2, 4}) expected.Set(k);
  EXPECT_EQ(swept, expected);
  const Vector coeffs = matrix.GetRegCoeffs(swept), weighted = Fit("weighted coefficients");
  for (std::size_t k = 0; k < 7; ++k)
    EXPECT_NEAR_REL(coeffs.at(k), k % 2 == 0 && k < 5 ? weighted.at(k / 2) : 0.0, 1e-12) << k;
  EXPECT_NEAR_REL(matrix(7, 7), Fit("weighted rss").at(0), 1e-12);
  // The inverse over the non-redundant parameters, zeros elsewhere.
  KQSymMatrix inverse(7, true);
  matrix.ExtractFirstNRows(inverse);
  inverse.Negate();
  inverse.ZeroOutRedundant(swept);
  EXPECT_NEAR_REL(inverse(4, 2), Fit("weighted inverse").at(7), 1e-12);
  for (int k : {1, 3, 5, 6})
    for (int j = 0; j < 7; ++j) EXPECT_EQ(inverse(k, j), 0.0) << k << ", " << j;
}

TEST(KQSymMatrix, RedundancyToleranceBoundary) {
  // Pivots of [[1, 1], [1, 1 + r]] and a dependent: after sweeping pivot 0 the second diagonal is r,
  // against a reference of 1 + r. With the tolerance 1e-12, r = 2e-12 is swept in and r = 0.5e-12 is not.
  for (const auto& [r, nSwept] : {std::pair{2e-12, 2}, std::pair{0.5e-12, 1}}) {
    KQSymMatrix matrix(3, true);
    ASSERT_TRUE(matrix.SetFromVector(Vector{1.0, 1.0, 1.0 + r, 0.0, 0.0, 1.0}));
    EXPECT_EQ(SweepPredictors(matrix).InSet(), nSwept) << r;
  }
}

TEST(KQSymMatrix, ProductsAndInverseOfASingularMatrix) {
  // S = [[2, 1, 0], [1, 3, 1], [0, 1, 4]]. By hand: S (1, -1, 2) = (1, 0, 7) and (1, -1, 2)'S(1, -1, 2) = 15;
  // for x = (1, 0, 2), given sparsely, x'Sx = 2 + 4 * 4 = 18.
  KQSymMatrix s(3, true);
  ASSERT_TRUE(s.SetFromVector(Vector{2, 1, 3, 0, 1, 4}));
  Vector product;
  s.MultiplyVector(Vector{1, -1, 2}, product);
  EXPECT_EQ(product, (Vector{1, 0, 7}));
  EXPECT_EQ(s.QuadraticForm(Vector{1, -1, 2}), 15.0);
  EXPECT_EQ(s.QuadraticFormSparse(2, std::vector<int>{2, 0}, Vector{2, 1}), 18.0);
  // R = [[1, 0, 1], [0, 2, 0]]: R S = [[2, 2, 4], [2, 6, 2]], and R S R' = [[6, 4], [4, 12]].
  KQRectMatrix r;
  r.AppendRow(Vector{1, 0, 1});
  r.AppendRow(Vector{0, 2, 0});
  KQSymMatrix result;
  ASSERT_TRUE(s.ComputeRSRTrans(r, result));
  EXPECT_EQ(result.AsVector(), (Vector{6, 4, 12}));
  // Row 1 of T is twice row 0, so pivot 1 is rejected; by hand the inverse over pivots {0, 2} of
  // T = [[2, 4, 1], [4, 8, 2], [1, 2, 5]] is inverse([[2, 1], [1, 5]]) = [[5, -1], [-1, 2]] / 9.
  KQSymMatrix t(3, true);
  ASSERT_TRUE(t.SetFromVector(Vector{2, 4, 8, 1, 2, 5}));
  KQBitSet accepted, expected(3, true);
  EXPECT_EQ(t.Invert(kSweepTol, accepted), 2);
  expected.Reset(1);
  EXPECT_EQ(accepted, expected);
  const Vector byHand{5.0 / 9.0, 0, 0, -1.0 / 9.0, 0, 2.0 / 9.0};
  for (std::size_t e = 0; e < byHand.size(); ++e) EXPECT_NEAR_REL(t.AsVector()[e], byHand[e], 1e-15) << e;
}

}  // namespace
