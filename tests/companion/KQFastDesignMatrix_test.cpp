#include "companion/KQFastDesignMatrix.h"

#include <gtest/gtest.h>

#include <vector>

#include "companion/KQMV.h"

using KQMath_850::KQFastDesignMatrix;
using KQMath_850::KQRegrParameter;

TEST(KQFastDesignMatrix, CodesInterceptFactorIndicatorsThenCovariates) {
  // Factors at variables 3 (3 categories) and 0 (2), covariates 1 and 4; the dependent is variable 2.
  KQFastDesignMatrix design({3, 0}, {3, 2}, {1, 4}, true);
  design.SetDepVar(2);
  ASSERT_EQ(design.GetNParameters(), 1 + 3 + 2 + 2);
  EXPECT_EQ(design.GetNEffects(), 4);
  const std::vector<double> values{1.0, 2.5, 9.0, 2.0, -4.0};
  std::vector<double> row;
  design.ExpandRowX(values, row);
  EXPECT_EQ(row, (std::vector<double>{1, 0, 0, 1, 0, 1, 2.5, -4.0}));
  design.ExpandRowXY(values, row);
  EXPECT_EQ(row.back(), 9.0);
  // The sparse form lists the same non-zero entries with their positions, the dependent last.
  std::vector<int> indices;
  std::vector<double> entries;
  const int n = design.ExpandRowXY(values, indices, entries);
  ASSERT_EQ(n, 6);
  EXPECT_EQ(std::vector<int>(indices.begin(), indices.begin() + n), (std::vector<int>{0, 3, 5, 6, 7, 8}));
  EXPECT_EQ(std::vector<double>(entries.begin(), entries.begin() + n),
            (std::vector<double>{1, 1, 1, 2.5, -4, 9}));
  // x b without the row: 1 + 4 + 6 + 2.5 * 7 - 4 * 8 (b_k = k + 1).
  EXPECT_EQ(design.LinearPredictor(values, {1, 2, 3, 4, 5, 6, 7, 8}), 1 + 4 + 6 + 2.5 * 7 - 4.0 * 8);
  int first = 0, count = 0;
  design.GetParamsForEffect(1, first, count);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(design.FindEffect(4, false), 3);
  EXPECT_EQ(design.FindEffect(4, true), -1);
  const std::vector<KQRegrParameter> parameters = design.GetParameters();
  EXPECT_TRUE(parameters[0].IsIntercept());
  EXPECT_EQ(parameters[3], (KQRegrParameter{0, 3, 2}));
  EXPECT_EQ(parameters[7], (KQRegrParameter{3, 4, -1}));
}

TEST(KQFastDesignMatrix, ValuesThatAreNoCategorySetNoIndicatorAndAddedEffectsFollow) {
  KQFastDesignMatrix design({0}, {3}, {}, true);
  std::vector<double> row;
  for (double value : {-1.0, 3.0, 1.5, KQCommon_850::KQMV::Missing()}) {
    design.ExpandRowX({value}, row);
    EXPECT_EQ(row, (std::vector<double>{1, 0, 0, 0})) << value;
  }
  // A covariate is added with the count 1, a factor with its categories.
  design.AddModelEffects({1, 2}, {1, 2});
  ASSERT_EQ(design.GetNParameters(), 7);
  design.ExpandRowX({2.0, 0.5, 1.0}, row);
  EXPECT_EQ(row, (std::vector<double>{1, 0, 0, 1, 0.5, 0, 1}));
}
