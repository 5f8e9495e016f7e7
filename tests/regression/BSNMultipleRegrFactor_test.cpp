#include "regression/detail/BSNMultipleRegrFactor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <string>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using namespace kqtest;
using Method = BSNConst::RegrCompute;

namespace {

// The factors keep a pointer to their settings: each test holds its settings in a variable.
BSNSettings FactorSettings(Method method, double c, double tolerance = 1e-10) {
  BSNSettings settings;
  settings.SetModelType(BSNConst::ModelTypes::Regression, true);
  settings.SetRegrComPar(c);
  settings.SetRegrCompType(method);
  settings.SetTolValue(tolerance);
  return settings;
}

/// ln of the null factor, or of its value when it was kept as a factor.
double LogNullFactor(const BSNSettings& settings, double n, double p, double r2) {
  BSNMultipleRegrNullFactor factor(settings, n, p, r2);
  EXPECT_TRUE(factor.Compute().IsOK());
  return factor.IsLogBayesFactor() ? factor.GetBayesFactor() : std::log(factor.GetBayesFactor());
}

}  // namespace

TEST(BSNMultipleRegrFactor, ZellnerSiowAndRouderMatchBayesFactorLessTheTailBeyondOneMillion) {
  // Rows "zs N p R2 c": BayesFactor::linearReg.R2stat(N, p, R2, rscale = c)$bf less the integral beyond
  // g = 1e6 (tests/reference/regression_fit.R). c = 1 is the Zellner-Siow prior, others the Rouder one.
  // The rows run from R2 = 1e-7 to a factor of e^45758.
  WorstRow worst;
  const std::vector<ReferenceRow> rows = ReadReferenceTable("regression_fit.out");
  std::size_t checked = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].label.rfind("zs ", 0) != 0) continue;
    const std::vector<double>& v = rows[i].values;
    const BSNSettings settings =
        v[3] == 1.0 ? FactorSettings(Method::Siow, 7.0) : FactorSettings(Method::Rouder, v[3]);
    const double logBf = LogNullFactor(settings, v[0], v[1], v[2]);
    EXPECT_NEAR(logBf, v[4], 1e-9 * std::max(1.0, std::fabs(v[4]))) << rows[i].label;
    worst.Note(i, logBf, v[4]);
    ++checked;
  }
  EXPECT_EQ(checked, 9u);
  std::cout << "worst relative error " << worst.Error() << " at row " << worst.Row() << "\n";
}

TEST(BSNMultipleRegrFactor, HyperGMatchesItsHypergeometricForm) {
  // Rows "hyper N p R2 a": ln((a - 2)/(p + a - 2) 2F1((N - 1)/2, 1; (p + a)/2; R2)) less the tail beyond 1e6.
  std::size_t checked = 0;
  for (const ReferenceRow& row : ReadReferenceTable("regression_fit.out")) {
    if (row.label.rfind("hyper ", 0) != 0) continue;
    const std::vector<double>& v = row.values;
    EXPECT_NEAR(LogNullFactor(FactorSettings(Method::Hyper, v[3]), v[0], v[1], v[2]), v[4],
                1e-9 * std::max(1.0, std::fabs(v[4])))
        << row.label;
    ++checked;
  }
  EXPECT_EQ(checked, 4u);
  // c = 2: the prior's normalising constant (c - 2)/2 is 0, so is the factor.
  const BSNSettings zeroSettings = FactorSettings(Method::Hyper, 2.0);
  BSNMultipleRegrNullFactor zero(zeroSettings, 32, 4, 0.84);
  zero.Compute();
  EXPECT_EQ(zero.GetBayesFactor(), 0.0);
}

TEST(BSNMultipleRegrFactor, FixedGIsTheClosedFormAndKeepsItsLogBeyondTheDoubleRange) {
  // ln BF = ((N - p - 1)/2) ln(1 + g) + ((1 - N)/2) ln(1 + (1 - R2) g); N = 32, p = 4, R2 = 0.84, g = 32,
  // R: print(13.5 * log(33) - 15.5 * log(1 + 0.16 * 32), digits = 17) = 19.123639583671842
  const BSNSettings factorSettings = FactorSettings(Method::Zellner, 32.0);
  BSNMultipleRegrNullFactor factor(factorSettings, 32, 4, 0.84);
  EXPECT_TRUE(factor.Compute().IsOK());
  EXPECT_FALSE(factor.IsLogBayesFactor());
  EXPECT_NEAR_REL(factor.GetBayesFactor(), std::exp(19.123639583671842), 1e-13);
  // Full model, N = 32, p = 2, p1 = 4, R0 = 0.8, R1 = 0.84, g = 10:
  // R: print(-27/2 * log(11) + 14.5 * log(1 + 10 * 0.16 / 0.2), digits = 17) = -0.51182981140281925
  const BSNSettings fullSettings = FactorSettings(Method::Zellner, 10.0);
  BSNMultipleRegrFullFactor full(fullSettings, 32, 2, 4, 0.8, 0.84);
  full.Compute();
  EXPECT_NEAR_REL(std::log(full.GetBayesFactor()), -0.51182981140281925, 1e-13);
  // N = 1e6, p = 1, R2 = 0.9, g = 1e6, far beyond exp's range: the logarithm is kept, flagged, with one
  // BSN_LOG_FACTOR warning. R: print((1e6 - 2)/2 * log1p(1e6) + (1 - 1e6)/2 * log1p(0.1 * 1e6), digits = 17)
  const BSNSettings hugeSettings = FactorSettings(Method::Zellner, 1e6);
  BSNMultipleRegrNullFactor huge(hugeSettings, 1e6, 1, 0.9);
  huge.Compute();
  EXPECT_TRUE(huge.IsLogBayesFactor());
  EXPECT_NEAR_REL(huge.GetBayesFactor(), 1151279.9874779461, 1e-13);
  ASSERT_EQ(huge.GetWarnings().Size(), 1u);
  EXPECT_EQ(huge.GetWarnings()[0].GetErrorCode(), BSN_LOG_FACTOR);
  // A missing g: no factor, no warning.
  const BSNSettings noneSettings = FactorSettings(Method::Zellner, KQCommon_850::KQMV::Missing());
  BSNMultipleRegrNullFactor none(noneSettings, 32, 4, 0.84);
  none.Compute();
  EXPECT_TRUE(KQCommon_850::KQMV::IsMissing(none.GetBayesFactor()) && none.GetWarnings().IsEmpty());
}

TEST(BSNMultipleRegrFactor, IntegralsBeyondTheDoubleRangeAreKeptAsLogarithms) {
  // R2 near 1 with many cases: the Zellner-Siow factor is about exp(1.15e6); R2 near 0 with many cases:
  // far below the smallest double. Both are kept as logarithms; a tiny R2 gives a finite factor.
  const BSNSettings settings = FactorSettings(Method::Siow, 1.0, 1e-8);
  BSNMultipleRegrNullFactor high(settings, 1e6, 3, 0.9);
  high.Compute();
  EXPECT_TRUE(high.IsLogBayesFactor());
  EXPECT_GT(high.GetBayesFactor(), 1e6);
  ASSERT_EQ(high.GetWarnings().Size(), 1u);
  EXPECT_EQ(high.GetWarnings()[0].GetErrorCode(), BSN_LOG_FACTOR);
  // p = 2000 predictors explaining nothing in 1e6 cases: ln BF is about -p/2 ln(N) = -13800 or lower.
  BSNMultipleRegrNullFactor low(settings, 1e6, 2000, 1e-9);
  low.Compute();
  EXPECT_TRUE(low.IsLogBayesFactor());
  EXPECT_LT(low.GetBayesFactor(), -5000.0);
  for (double r2 : {4.9e-7, 1e-12, 0.0}) {
    BSNMultipleRegrNullFactor tiny(settings, 100, 2, r2);
    tiny.Compute();
    EXPECT_TRUE(std::isfinite(tiny.GetBayesFactor()) && tiny.GetBayesFactor() > 0.0 &&
                !tiny.IsLogBayesFactor());
  }
}

TEST(BSNMultipleRegrFactor, FullModelWithTheSameFitIsExactlyOneAndOtherMethodsGiveNothing) {
  for (Method method : {Method::Siow, Method::Zellner, Method::Hyper, Method::Rouder}) {
    const BSNSettings sameSettings = FactorSettings(method, 3.0, 1e-6);
    BSNMultipleRegrFullFactor same(sameSettings, 32, 2, 4, 0.8, 0.8000000001);
    same.Compute();
    EXPECT_EQ(same.GetBayesFactor(), 1.0);
  }
  const BSNSettings gonenSettings = FactorSettings(Method::Gonen, 1.0);
  BSNMultipleRegrNullFactor gonen(gonenSettings, 32, 4, 0.84);
  gonen.Compute();
  EXPECT_TRUE(KQCommon_850::KQMV::IsMissing(gonen.GetBayesFactor()));
}
