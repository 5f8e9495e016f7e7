#include "companion/KQSymMatrix.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "companion/KQBitSet.h"
#include "companion/KQRectMatrix.h"
#include "tests/support/ExpectNearRel.h"

namespace {

using KQMath_850::KQBitSet;
using KQMath_850::KQRectMatrix;
using KQMath_850::KQSymMatrix;
using Vector = std::vector<double>;

constexpr double kSweepTol = 1e-12;

// A small regression data set; R's answers on it are pasted where they are used.
// R: x1 <- c(1.2, 2.3, 3.1, 4.8, 5.0, 6.7, 7.1, 8.9); x2 <- c(0.5, -1.0, 2.2, 0.3, -0.7, 1.9, 0.0, -2.1)
//    y <- c(3.1, 2.0, 7.9, 8.2, 6.1, 12.3, 9.0, 8.8); w <- c(1, 2, 1, 3, 1, 1, 2, 1)
const double kX1[] = {1.2, 2.3, 3.1, 4.8, 5.0, 6.7, 7.1, 8.9};
const double kX2[] = {0.5, -1.0, 2.2, 0.3, -0.7, 1.9, 0.0, -2.1};
const double kY[] = {3.1, 2.0, 7.9, 8.2, 6.1, 12.3, 9.0, 8.8};
const double kW[] = {1, 2, 1, 3, 1, 1, 2, 1};

// The cross-product matrix of the rows (1, x1, x2, y), weighted or not.
KQSymMatrix CrossProducts(bool weighted) {
  KQSymMatrix matrix(4, true);
  for (int i = 0; i < 8; ++i) matrix.UpdateXX(Vector{1.0, kX1[i], kX2[i], kY[i]}, weighted ? kW[i] : 1.0);
  return matrix;
}

// Sweeps every pivot but the last (the dependent) against the diagonal before sweeping.
KQBitSet SweepPredictors(KQSymMatrix& matrix) {
  Vector reference;
  matrix.GetDiagonal(reference);
  KQBitSet swept(matrix.Size() - 1);
  for (int k = 0; k < matrix.Size() - 1; ++k) matrix.Sweep(k, kSweepTol, reference, swept, true);
  return swept;
}

// Deterministic values in [-1, 1).
struct Uniform {
  std::uint64_t state;
  double operator()() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return 2.0 * static_cast<double>(state >> 11) * 0x1.0p-53 - 1.0;
  }
};

TEST(KQSymMatrix, PackedLowerTriangleAndOuterProducts) {
  KQSymMatrix matrix(3, true);
  matrix(2, 0) = 5.0;
  matrix(1, 2) = 7.0;  // writes (2, 1)
  EXPECT_EQ(matrix(0, 2), 5.0);
  // (0,0) (1,0) (1,1) (2,0) (2,1) (2,2)
  EXPECT_EQ(matrix.AsVector(), (Vector{0, 0, 0, 5, 7, 0}));
  EXPECT_EQ(KQSymMatrix(3, false).AsVector(), (Vector{1, 0, 1, 0, 0, 1}));
  EXPECT_FALSE(matrix.SetFromVector(Vector{1, 2, 3}));
  EXPECT_EQ(matrix(2, 0), 5.0);
  // By hand: 2 (1, 2, 3)'(1, 2, 3) has lower triangle 2, 4 8, 6 12 18; a zero weight adds nothing.
  KQSymMatrix outer(3, true);
  outer.UpdateXX(Vector{1, 2, 3}, 2.0);
  outer.UpdateXX(Vector{9, 9, 9}, 0.0);
  outer.UpdateXX(Vector{0, -1, 1}, 1.0);
  EXPECT_EQ(outer.AsVector(), (Vector{2, 4, 9, 6, 11, 19}));
}

TEST(KQSymMatrix, SparseUpdateEqualsDenseUpdate) {
  const int n = 12;
  KQSymMatrix dense(n, true), sparse(n, true);
  Uniform uniform{42};
  for (int row = 0; row < 300; ++row) {
    Vector x(n, 0.0), values;
    std::vector<int> indices;
    // Three non-zero entries at distinct positions, listed in the order they were drawn (not sorted).
    while (indices.size() < 3) {
      const int k = static_cast<int>((uniform() + 1.0) * n / 2.0);
      if (x[static_cast<std::size_t>(k)] != 0.0) continue;
      x[static_cast<std::size_t>(k)] = uniform() + 2.0;
      indices.push_back(k);
      values.push_back(x[static_cast<std::size_t>(k)]);
    }
    indices.push_back(-1);  // entries past nEntries are not read
    values.push_back(1e300);
    dense.UpdateXX(x, 1.0 + row % 3);
    sparse.UpdateXXSparse(3, indices, values, 1.0 + row % 3);
  }
  for (int i = 0; i < n; ++i)
    for (int j = 0; j <= i; ++j) EXPECT_NEAR_REL(sparse(i, j), dense(i, j), 1e-14) << i << ", " << j;
}

TEST(KQSymMatrix, SweepGivesLeastSquaresFits) {
  // R: f <- lm(y ~ x1 + x2); fw <- lm(y ~ x1 + x2, weights = w); X <- cbind(1, x1, x2)
  //    print(coef(f), digits = 17); print(sum(resid(f)^2), digits = 17); print(solve(t(X) %*% X), digits =
  //    17) and for fw: sum(w * resid(fw)^2) and solve(t(X) %*% diag(w) %*% X).
  // The swept block is minus the inverse of X'X; the last diagonal is the residual sum of squares.
  const struct {
    bool weighted;
    double coeffs[3], rss, inverse[3][3];
  } fits[] = {{false,
               {0.87524455930027822, 1.24555733653950385, 1.54250151536652580},
               1.4245907243002904,
               {{0.698731982007603669, -0.115275433458693899, -0.075078552568997689},
                {-0.115275433458693913, 0.023213998094739660, 0.013214674695664281},
                {-0.075078552568997703, 0.013214674695664281, 0.076304218137734761}}},
              {true,
               {1.0242334764175236, 1.2289785553021486, 1.5793488856212174},
               3.4356271905237228,
               {{0.496144731514906012, -0.084849141903617600, 0},
                {-0.084849141903617600, 0, 0},
                {0, 0, 0.0654443781025864785}}}};
  for (const auto& fit : fits) {
    SCOPED_TRACE(fit.weighted ? "weighted" : "unweighted");
    KQSymMatrix matrix = CrossProducts(fit.weighted);
    const KQBitSet swept = SweepPredictors(matrix);
    EXPECT_EQ(swept.InSet(), 3);
    const Vector coeffs = matrix.GetRegCoeffs(swept);
    ASSERT_EQ(coeffs.size(), 3u);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR_REL(coeffs[static_cast<std::size_t>(k)], fit.coeffs[k], 1e-13);
    EXPECT_NEAR_REL(matrix(3, 3), fit.rss, 1e-13);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        if (fit.inverse[i][j] != 0.0) {  // 0: not among the weighted fit's pasted values
          EXPECT_NEAR_REL(-matrix(i, j), fit.inverse[i][j], 1e-13) << i << ", " << j;
        }
  }
}

TEST(KQSymMatrix, SweepDetectsRedundantColumns) {
  // Columns: 0 intercept, 1 all zero, 2 x1, 3 x1 again, 4 x2, 5 x1 - 2 x2, 6 3 - x1, 7 y.
  // Columns 1, 3, 5 and 6 are zero or combinations of columns swept before them; the rest give the
  // weighted fit of y on (1, x1, x2), whose R values are those of SweepGivesLeastSquaresFits.
  KQSymMatrix matrix(8, true);
  for (int i = 0; i < 8; ++i)
    matrix.UpdateXX(Vector{1.0, 0.0, kX1[i], kX1[i], kX2[i], kX1[i] - 2.0 * kX2[i], 3.0 - kX1[i], kY[i]},
                    kW[i]);
  const KQBitSet swept = SweepPredictors(matrix);
  KQBitSet expected(7);
  for (int k : {0, 2, 4}) expected.Set(k);
  EXPECT_EQ(swept, expected);
  const Vector coeffs = matrix.GetRegCoeffs(swept);
  const double expectedCoeffs[] = {1.0242334764175236, 0, 1.2289785553021486, 0, 1.5793488856212174, 0, 0};
  for (int k = 0; k < 7; ++k)
    EXPECT_NEAR_REL(coeffs[static_cast<std::size_t>(k)], expectedCoeffs[k], 1e-12) << k;
  EXPECT_NEAR_REL(matrix(7, 7), 3.4356271905237228, 1e-12);
  // The inverse over the non-redundant parameters, zeros elsewhere.
  KQSymMatrix inverse(7, true);
  matrix.ExtractFirstNRows(inverse);
  inverse.Negate();
  inverse.ZeroOutRedundant(swept);
  EXPECT_NEAR_REL(inverse(2, 0), -0.084849141903617600, 1e-12);
  EXPECT_NEAR_REL(inverse(4, 4), 0.0654443781025864785, 1e-12);
  for (int k : {1, 3, 5, 6})
    for (int j = 0; j < 7; ++j) EXPECT_EQ(inverse(k, j), 0.0) << k << ", " << j;
}

TEST(KQSymMatrix, RedundancyToleranceBoundary) {
  // [[1, 1], [1, 1 + r]]: after sweeping pivot 0 the second diagonal is r, against a reference of 1 + r.
  // With the tolerance 1e-12, r = 2e-12 is swept in and r = 0.5e-12 is not.
  for (const auto& [r, expectSwept] : {std::pair{2e-12, true}, std::pair{0.5e-12, false}}) {
    KQSymMatrix matrix(2, true);
    ASSERT_TRUE(matrix.SetFromVector(Vector{1.0, 1.0, 1.0 + r}));
    Vector reference;
    matrix.GetDiagonal(reference);
    KQBitSet swept(2);
    EXPECT_TRUE(matrix.Sweep(0, kSweepTol, reference, swept, true));
    EXPECT_EQ(matrix.Sweep(1, kSweepTol, reference, swept, true), expectSwept) << r;
    EXPECT_EQ(swept.IsIn(1), expectSwept) << r;
  }
}

TEST(KQSymMatrix, SweepOutRestoresMatrix) {
  const KQSymMatrix original = CrossProducts(true);
  KQSymMatrix matrix = original;
  Vector reference;
  matrix.GetDiagonal(reference);
  KQBitSet swept(4);
  EXPECT_EQ(matrix.SweepRange(0, 3, kSweepTol, reference, swept), 3);
  // Sweeping a swept pivot in again changes nothing.
  const KQSymMatrix sweptMatrix = matrix;
  EXPECT_TRUE(matrix.Sweep(1, kSweepTol, reference, swept, true));
  EXPECT_EQ(matrix.AsVector(), sweptMatrix.AsVector());
  // Sweeping out in any order undoes the sweeps.
  for (int k : {1, 0, 2}) EXPECT_FALSE(matrix.Sweep(k, kSweepTol, reference, swept, false));
  EXPECT_EQ(swept.InSet(), 0);
  for (std::size_t e = 0; e < original.AsVector().size(); ++e)
    EXPECT_NEAR_REL(matrix.AsVector()[e], original.AsVector()[e], 1e-12) << e;
}

TEST(KQSymMatrix, InverseRoundTrip) {
  // A = B'B + n I for B with entries in [-1, 1): symmetric positive definite with a condition number
  // of a few units, so A inverse(A) must be the identity to a few hundred units of rounding.
  for (int n : {1, 6, 40}) {
    Uniform uniform{static_cast<std::uint64_t>(n)};
    KQSymMatrix a(n, true);
    for (int row = 0; row < n; ++row) {
      Vector b(static_cast<std::size_t>(n));
      for (double& value : b) value = uniform();
      a.UpdateXX(b, 1.0);
    }
    a.Add(KQSymMatrix(n, false));
    for (int i = 0; i < n; ++i) a(i, i) += n - 1.0;
    KQSymMatrix inverse = a;
    KQBitSet accepted;
    EXPECT_EQ(inverse.Invert(kSweepTol, accepted), n);
    EXPECT_EQ(accepted.InSet(), n);
    double worst = 0.0;  // max |A inverse(A) - I|, the product formed here from full element access
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        double sum = 0.0;
        for (int k = 0; k < n; ++k) sum += a(i, k) * inverse(k, j);
        worst = std::max(worst, std::fabs(sum - (i == j ? 1.0 : 0.0)));
      }
    EXPECT_LT(worst, 1e-13) << n;
  }
}

TEST(KQSymMatrix, InverseOverAcceptedPivotsOfSingularMatrix) {
  // Row 1 is twice row 0, so pivot 1 is rejected; by hand the inverse over pivots {0, 2} of
  // [[2, 4, 1], [4, 8, 2], [1, 2, 5]] is inverse([[2, 1], [1, 5]]) = [[5, -1], [-1, 2]] / 9.
  KQSymMatrix matrix(3, true);
  ASSERT_TRUE(matrix.SetFromVector(Vector{2, 4, 8, 1, 2, 5}));
  KQBitSet accepted, expected(3, true);
  EXPECT_EQ(matrix.Invert(kSweepTol, accepted), 2);
  expected.Reset(1);
  EXPECT_EQ(accepted, expected);
  const Vector byHand{5.0 / 9.0, 0, 0, -1.0 / 9.0, 0, 2.0 / 9.0};
  for (std::size_t e = 0; e < byHand.size(); ++e)
    EXPECT_NEAR_REL(matrix.AsVector()[e], byHand[e], 1e-15) << e;
  KQSymMatrix zeros(2, true);
  EXPECT_EQ(zeros.Invert(kSweepTol), 0);
  EXPECT_EQ(zeros.AsVector(), (Vector{0, 0, 0}));
}

TEST(KQSymMatrix, ProductsWithVectorsAndRectangularFactors) {
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
  // A factor with the wrong number of columns is refused and leaves the result alone.
  EXPECT_FALSE(s.ComputeRSRTrans(KQRectMatrix(2, 2), result));
  EXPECT_EQ(result.Size(), 2);
}

}  // namespace
