#include "twosample/BSN2SampleIndPosterior.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <typeinfo>
#include <vector>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/Fakes.h"
#include "twosample/DiffuseInverseChiPriorsEqualVariances.h"
#include "twosample/DiffuseJeffreysPriorsEqualVariances.h"
#include "twosample/DiffusePriorsKnownVariances.h"
#include "twosample/DiffusePriorsUnequalVariances.h"
#include "twosample/NormalPriorsKnownVariances.h"

using namespace KQBSN_850;
using BSNConst::DistTypes;
using KQCommon_850::KQCancelInfo;
using KQCommon_850::KQMV;
using KQCommon_850::KQVarList;
using KQCommon_850::KQWarnings;

namespace {

using Row = std::optional<std::vector<double>>;
constexpr double kMissing = KQMV::Missing();

// Curve positions of GetCurves.
constexpr std::size_t kGrid1 = 0, kGrid2 = 1, kProfile1 = 2, kProfile2 = 3, kPriorGrid1 = 4, kPriorGrid2 = 5,
                      kPriorValues1 = 6, kPriorValues2 = 7, kDeltaGrid = 8, kDeltaDensity = 9;

// The data of tests/reference/independent_posterior.R: x1 in group 1 (grouping value 0), x2 in group 2.
const std::vector<double> kX1 = {4.2, 5.1, 3.8, 6.0, 5.5, 4.9, 5.3};
const std::vector<double> kX2 = {6.1, 7.3, 5.8, 6.9, 8.2, 7.7, 6.4, 7.0};

// Rows {group, x, y}, y = x unless given, followed by rows that no group takes: a grouping value of 2,
// a missing grouping value and a null record.
std::vector<Row> GroupRows(const std::vector<double>& x1, const std::vector<double>& x2,
                           const std::vector<double>& y1 = {}, const std::vector<double>& y2 = {}) {
  std::vector<Row> rows;
  for (std::size_t k = 0; k < x1.size(); ++k)
    rows.push_back(std::vector<double>{0.0, x1[k], y1.empty() ? x1[k] : y1[k]});
  for (std::size_t k = 0; k < x2.size(); ++k)
    rows.push_back(std::vector<double>{1.0, x2[k], y2.empty() ? x2[k] : y2[k]});
  rows.push_back(std::vector<double>{2.0, 9.9, 9.9});
  rows.push_back(std::vector<double>{kMissing, 1.0, 1.0});
  rows.push_back(std::nullopt);
  return rows;
}

BSNSettings BaseSettings(std::vector<int> covariates = {1}) {
  BSNSettings settings;
  settings.SetGroupVar(0);
  settings.SetCovariates(covariates);
  settings.SetNPlotPoints(5);
  return settings;
}

BSNSettings KnownVarianceSettings() {
  BSNSettings settings = BaseSettings();
  settings.SetDataVarVals({0.8, 1.1});
  return settings;
}

// The group statistics as the analysis builds them in its first pass, the records for the second
// pass, and the objects a posterior refers to.
struct Analysis {
  Analysis(BSNSettings s, std::vector<Row> rows)
      : settings(std::move(s)),
        iter(rows),
        group1(settings.GetCovariates()),
        group2(settings.GetCovariates()) {
    const FrequencyAndRegressionWeight weigh(settings.GetFrequencyWeightVar(), settings.GetRegrWeightVar());
    for (const Row& row : rows) {
      if (!row) continue;
      if ((*row)[0] == 0.0) group1.Update(*row, weigh(*row));
      if ((*row)[0] == 1.0) group2.Update(*row, weigh(*row));
    }
  }
  Analysis(const Analysis&) = delete;
  Analysis& operator=(const Analysis&) = delete;

  template <class Variant>
  KQStatus Run(Variant& posterior) {
    return posterior.ComputePosterior(iter, group1, group2, warnings);
  }

  BSNSettings settings;
  KQVarList vars;
  KQCancelInfo cancel;
  KQWarnings warnings;
  kqtest::VectorRecordIter iter;
  BSN2SampleIndBasicStats group1, group2;
};

void ExpectSummary(const BSN2SampleIndPosterior& posterior, std::size_t i, double mean, double variance,
                   double lower, double upper, double relTol = 1e-13) {
  EXPECT_NEAR_REL(posterior.GetModes()[i], mean, relTol);
  EXPECT_NEAR_REL(posterior.GetMeans()[i], mean, relTol);
  EXPECT_NEAR_REL(posterior.GetVariances()[i], variance, relTol);
  EXPECT_NEAR_REL(posterior.GetIntervals()[i].first, lower, relTol);
  EXPECT_NEAR_REL(posterior.GetIntervals()[i].second, upper, relTol);
}

void ExpectSkipped(const BSN2SampleIndPosterior& posterior, std::size_t i) {
  EXPECT_EQ(posterior.GetModes()[i], kMissing);
  EXPECT_EQ(posterior.GetMeans()[i], kMissing);
  EXPECT_EQ(posterior.GetVariances()[i], kMissing);
  EXPECT_EQ(posterior.GetIntervals()[i].first, kMissing);
  EXPECT_EQ(posterior.GetIntervals()[i].second, kMissing);
  for (std::size_t c = 0; c < BSN2SampleIndPosterior::kNCurves; ++c)
    EXPECT_TRUE(posterior.GetCurves(c)[i].empty()) << c;
}

void ExpectBounds(const std::vector<double>& grid, double lower, double upper, std::size_t nPoints) {
  ASSERT_EQ(grid.size(), nPoints);
  EXPECT_NEAR_REL(grid.front(), lower, 1e-13);
  EXPECT_NEAR_REL(grid.back(), upper, 1e-13);
}

void ExpectOneWarning(const KQWarnings& warnings, int code, long position) {
  ASSERT_EQ(warnings.Size(), 1u);
  EXPECT_EQ(warnings[0].GetErrorCode(), code);
  EXPECT_TRUE(warnings[0].IsWarning());
  EXPECT_EQ(warnings[0].GetDiscreteDatum(0), position);
  EXPECT_EQ(warnings.GetDestination(0), 0);
}

}  // namespace

TEST(BSN2SampleIndPosterior, PriorRuleChoosesTheVariant) {
  using BSNConst::PriorTypes;
  struct Case {
    PriorTypes priorType;
    std::vector<double> knownVariances;
    DistTypes meanDist;
    bool equalVariances;
    DistTypes varianceDist;
    const std::type_info* variant;  // null: no object
    int code;
    bool isWarning;
  };
  // Known variances need exactly two positive entries; otherwise the variances are unknown.
  const std::vector<double> known = {0.8, 1.1}, unknown = {}, oneZero = {0.8, 0.0}, three = {0.8, 1.1, 1.2};
  constexpr DistTypes kNormal = DistTypes::Normal, kDiffuse = DistTypes::Diffuse;
  constexpr DistTypes kInvChi = DistTypes::InverseChiSquare, kJeffreys2 = DistTypes::Jeffreys2;
  constexpr PriorTypes kConjugate = PriorTypes::Conjugate;
  const std::vector<Case> cases = {
      {PriorTypes::Reference, known, kDiffuse, false, kDiffuse, nullptr, BSN_PRIOR_NOT_SUPPORTED, false},
      {kConjugate, known, kNormal, false, kDiffuse, &typeid(NormalPriorsKnownVariances), 0, false},
      {kConjugate, known, kDiffuse, false, kDiffuse, &typeid(DiffusePriorsKnownVariances), 0, false},
      {kConjugate, known, kDiffuse, true, kInvChi, &typeid(DiffusePriorsKnownVariances), 0, false},
      {kConjugate, oneZero, kNormal, false, kDiffuse, nullptr, BSN_MISSING_KNOWN_VARIANCES, false},
      {kConjugate, three, kNormal, false, kDiffuse, nullptr, BSN_MISSING_KNOWN_VARIANCES, false},
      {kConjugate, unknown, kDiffuse, false, kDiffuse, &typeid(DiffusePriorsUnequalVariances), 0, false},
      {kConjugate, unknown, kDiffuse, false, kInvChi, &typeid(DiffusePriorsUnequalVariances),
       BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY, true},
      {kConjugate, unknown, kDiffuse, true, kInvChi, &typeid(DiffuseInverseChiPriorsEqualVariances), 0,
       false},
      {kConjugate, unknown, kDiffuse, true, kJeffreys2, &typeid(DiffuseJeffreysPriorsEqualVariances), 0,
       false},
  };
  for (std::size_t k = 0; k < cases.size(); ++k) {
    const Case& c = cases[k];
    SCOPED_TRACE(k);
    BSNSettings settings = BaseSettings();
    settings.SetPriorType(c.priorType);
    settings.SetDataVarVals(c.knownVariances);
    settings.SetMeanDistType(c.meanDist);
    settings.SetEqualDataVar(c.equalVariances);
    settings.SetPriorDistType(c.varianceDist);
    KQVarList vars;
    KQCancelInfo cancel;
    KQStatus status(BSN_INTERNAL_ERROR, false);
    const std::unique_ptr<BSN2SampleIndPosterior> posterior =
        CreateIndependentPosterior(settings, vars, cancel, status);
    EXPECT_EQ(status.GetErrorCode(), c.code);
    EXPECT_EQ(status.IsWarning(), c.isWarning);
    if (c.variant == nullptr) {
      EXPECT_EQ(posterior, nullptr);
    } else {
      ASSERT_NE(posterior, nullptr);
      const BSN2SampleIndPosterior& made = *posterior;
      EXPECT_EQ(typeid(made), *c.variant);
    }
  }
}

// Expected values: tests/reference/independent_posterior.R (output in independent_posterior.out).
TEST(BSN2SampleIndPosterior, FlatPriorsKnownVariancesGiveTheNormalPosterior) {
  // d = mean(x2) - mean(x1), v = 0.8/7 + 1.1/8; limits qnorm(c(0.025, 0.975), d, sqrt(v)).
  Analysis run(KnownVarianceSettings(), GroupRows(kX1, kX2));
  DiffusePriorsKnownVariances posterior(run.settings, run.vars, run.cancel);
  ASSERT_TRUE(run.Run(posterior).IsOK());
  ExpectSummary(posterior, 0, 1.9535714285714283, 0.25178571428571428, 0.97009572827801083,
                2.9370471288648456);
  // Group grids span qnorm(c(0.0025, 0.9975), mean, sqrt(known variance)); the flat priors are 1 on them.
  ExpectBounds(posterior.GetCurves(kGrid1)[0], 2.4607412429669142, 7.4821158998902355, 5);
  ExpectBounds(posterior.GetCurves(kGrid2)[0], 3.9809581466486144, 9.8690418533513924, 5);
  EXPECT_EQ(posterior.GetCurves(kPriorGrid1)[0], posterior.GetCurves(kGrid1)[0]);
  EXPECT_EQ(posterior.GetCurves(kPriorGrid2)[0], posterior.GetCurves(kGrid2)[0]);
  EXPECT_EQ(posterior.GetCurves(kPriorValues1)[0], std::vector<double>(5, 1.0));
  EXPECT_EQ(posterior.GetCurves(kPriorValues2)[0], std::vector<double>(5, 1.0));
  // delta grid on qnorm(c(0.0025, 0.9975), d, sqrt(v)); dnorm at its lower end and at its middle point d.
  ExpectBounds(posterior.GetCurves(kDeltaGrid)[0], 0.54505090327359373, 3.3620919538692666, 5);
  const std::vector<double>& density = posterior.GetCurves(kDeltaDensity)[0];
  ASSERT_EQ(density.size(), 5u);
  EXPECT_NEAR_REL(density[0], 0.015466647079347017, 1e-13);
  EXPECT_NEAR_REL(density[2], 0.7950501484315331, 1e-13);
  EXPECT_TRUE(run.warnings.IsEmpty());
}

TEST(BSN2SampleIndPosterior, NormalPriorsKnownVariancesCombinePrecisions) {
  // mu1 ~ N(5, 2), mu2 ~ N(6, 3): w_k = 1/(n_k/sigma_k^2 + 1/tau_k^2), p_k = (m_k n_k/sigma_k^2 +
  // mu_k/tau_k^2) w_k; delta ~ N(p2 - p1, w1 + w2), limits by qnorm.
  BSNSettings settings = KnownVarianceSettings();
  settings.SetMeanDistType(DistTypes::Normal);
  settings.SetMeanDistParam1(5.0);
  settings.SetMeanDistParam2(6.0);
  settings.SetMeanDistParam3(2.0);
  settings.SetMeanDistParam4(3.0);
  Analysis run(settings, GroupRows(kX1, kX2));
  NormalPriorsKnownVariances posterior(run.settings, run.vars, run.cancel);
  ASSERT_TRUE(run.Run(posterior).IsOK());
  ExpectSummary(posterior, 0, 1.9114891784214505, 0.23958221169376551, 0.95214294249178244,
                2.8708354143511183);
  // Each prior curve spans its own prior: qnorm(c(0.0025, 0.9975), 5, sqrt(2)), dnorm at the lower end.
  ExpectBounds(posterior.GetCurves(kPriorGrid1)[0], 1.030254774768935, 8.9697452252310743, 5);
  ExpectBounds(posterior.GetCurves(kPriorGrid2)[0], 1.138074894667005, 10.861925105333007, 5);
  EXPECT_NEAR_REL(posterior.GetCurves(kPriorValues1)[0].at(0), 0.0054877803568691343, 1e-13);
  ExpectBounds(posterior.GetCurves(kGrid1)[0], 2.4607412429669142, 7.4821158998902355, 5);

  // A missing prior parameter leaves the variable uncomputed, without a warning.
  settings.SetMeanDistParam4(kMissing);
  Analysis incomplete(settings, GroupRows(kX1, kX2));
  NormalPriorsKnownVariances skipped(incomplete.settings, incomplete.vars, incomplete.cancel);
  ASSERT_TRUE(incomplete.Run(skipped).IsOK());
  ExpectSkipped(skipped, 0);
  EXPECT_TRUE(incomplete.warnings.IsEmpty());
}

TEST(BSN2SampleIndPosterior, JeffreysPriorGivesThePooledTInterval) {
  // nu = 13, s^2 = (1/7 + 1/8)(6 var(x1) + 7 var(x2))/13, variance s^2 nu/(nu - 2); the 95 % limits are
  // t.test(x2, x1, var.equal = TRUE)$conf.int.
  BSNSettings settings = BaseSettings();
  settings.SetEqualDataVar(true);
  Analysis run(settings, GroupRows(kX1, kX2));
  DiffuseJeffreysPriorsEqualVariances posterior(run.settings, run.vars, run.cancel);
  ASSERT_TRUE(run.Run(posterior).IsOK());
  ExpectSummary(posterior, 0, 1.9535714285714283, 0.1955183209647495, 1.074860022722266, 2.8322828344205906);
  // delta grid d -/+ qt(0.9975, 13) s; density dt(-qt(0.9975, 13), 13)/s at its lower end and dt(0, 13)/s at
  // d.
  ExpectBounds(posterior.GetCurves(kDeltaGrid)[0], 0.58184904370815982, 3.3252938134346968, 5);
  const std::vector<double>& density = posterior.GetCurves(kDeltaDensity)[0];
  ASSERT_EQ(density.size(), 5u);
  EXPECT_NEAR_REL(density[0], 0.011814659866820796, 1e-13);
  EXPECT_NEAR_REL(density[2], 0.96216162614345013, 1e-13);
  EXPECT_EQ(posterior.GetCurves(kPriorValues1)[0], std::vector<double>(5, 1.0));

  // A credible level of 90 leaves 5 % in each tail: t.test(..., conf.level = 0.9).
  settings.SetCILevel(90.0);
  Analysis run90(settings, GroupRows(kX1, kX2));
  DiffuseJeffreysPriorsEqualVariances posterior90(run90.settings, run90.vars, run90.cancel);
  ASSERT_TRUE(run90.Run(posterior90).IsOK());
  EXPECT_NEAR_REL(posterior90.GetIntervals()[0].first, 1.2332594719071666, 1e-13);
  EXPECT_NEAR_REL(posterior90.GetIntervals()[0].second, 2.6738833852356905, 1e-13);
}

TEST(BSN2SampleIndPosterior, InverseChiSquarePriorAddsItsDegreesOfFreedom) {
  // nu0 = 3, s0^2 = 0.5: nu = 16, s^2 = (1/7 + 1/8)(6 var(x1) + 7 var(x2) + 1.5)/16; d -/+ qt(0.975, 16) s.
  BSNSettings settings = BaseSettings();
  settings.SetEqualDataVar(true);
  settings.SetPriorDistType(DistTypes::InverseChiSquare);
  settings.SetPriorDistParam1(3.0);
  settings.SetPriorDistParam2(0.5);
  Analysis run(settings, GroupRows(kX1, kX2));
  DiffuseInverseChiPriorsEqualVariances posterior(run.settings, run.vars, run.cancel);
  ASSERT_TRUE(run.Run(posterior).IsOK());
  ExpectSummary(posterior, 0, 1.9535714285714283, 0.18232051749271136, 1.1068544675672576, 2.800288389575599);
}

TEST(BSN2SampleIndPosterior, TwoCasesPerGroupHaveNoFiniteVariance) {
  // nu = 2: s^2 = (1/2 + 1/2)(var(1, 2) + var(2.5, 4.5))/2 = 1.25 by hand; the t law with 2 degrees of
  // freedom has an infinite variance; limits 2 -/+ qt(0.975, 2) sqrt(1.25).
  BSNSettings settings = BaseSettings();
  settings.SetEqualDataVar(true);
  Analysis run(settings, GroupRows({1.0, 2.0}, {2.5, 4.5}));
  DiffuseJeffreysPriorsEqualVariances posterior(run.settings, run.vars, run.cancel);
  ASSERT_TRUE(run.Run(posterior).IsOK());
  EXPECT_EQ(posterior.GetVariances()[0], std::numeric_limits<double>::infinity());
  EXPECT_NEAR_REL(posterior.GetIntervals()[0].first, -2.8105119936474141, 1e-13);
  EXPECT_NEAR_REL(posterior.GetIntervals()[0].second, 6.8105119936474141, 1e-13);
}

TEST(BSN2SampleIndPosterior, PatilApproximationPairsSinWithGroupOne) {
  // R: theta = atan(sqrt(v1/n1)/sqrt(v2/n2)), f1 and f2 from sin(theta)^2 with nu1 and cos(theta)^2 with nu2.
  // Pairing sin with group 2 instead would give a = 1.0113582365589238, b = 19.963649012495818.
  const detail::PatilScaledT unbalanced = detail::PatilApproximation(6.0, 2.5, 20.0, 0.3);
  EXPECT_NEAR_REL(unbalanced.a, 0.99745998839327255, 1e-14);
  EXPECT_NEAR_REL(unbalanced.b, 5.0488243992701891, 1e-14);
  // Swapping the groups changes the sign of delta only.
  const detail::PatilScaledT swapped = detail::PatilApproximation(20.0, 0.3, 6.0, 2.5);
  EXPECT_NEAR_REL(swapped.a, unbalanced.a, 1e-15);
  EXPECT_NEAR_REL(swapped.b, unbalanced.b, 1e-15);
}

TEST(BSN2SampleIndPosterior, UnequalVariancesUsePatilsScaledT) {
  // a and b from the angle in R; variance b/(b - 2) a^2 (v1/7 + v2/8); limits d -/+ qt(0.975, b) a se.
  Analysis run(BaseSettings(), GroupRows(kX1, kX2));
  DiffusePriorsUnequalVariances posterior(run.settings, run.vars, run.cancel);
  ASSERT_TRUE(run.Run(posterior).IsOK());
  ExpectSummary(posterior, 0, 1.9535714285714283, 0.2375280612244898, 0.98097965508915663,
                2.9261632020536998);
  // The scaled t keeps the exact Behrens-Fisher variance, worked by hand without the angle:
  // nu1/(nu1 - 2) v1/n1 + nu2/(nu2 - 2) v2/n2 = 0.23752806122448977.
  EXPECT_NEAR_REL(posterior.GetVariances()[0], 0.23752806122448977, 1e-13);
  EXPECT_EQ(posterior.GetCurves(kDeltaDensity)[0].size(), 5u);
  EXPECT_TRUE(run.warnings.IsEmpty());
}

TEST(BSN2SampleIndPosterior, ConstantGroupsWarnPerVariable) {
  // The second test variable (position 1) is constant in both groups, then in group 1 only.
  const std::vector<double> both1(kX1.size(), 3.0), both2(kX2.size(), 3.0);
  BSNSettings equal = BaseSettings({1, 2});
  equal.SetEqualDataVar(true);
  {
    Analysis run(equal, GroupRows(kX1, kX2, both1, both2));
    DiffuseJeffreysPriorsEqualVariances posterior(run.settings, run.vars, run.cancel);
    ASSERT_TRUE(run.Run(posterior).IsOK());
    ExpectOneWarning(run.warnings, BSN_BOTH_GROUPS_CONSTANT, 1);
    ExpectSkipped(posterior, 1);
    EXPECT_NE(posterior.GetMeans()[0], kMissing);
  }
  {
    equal.SetPriorDistParam1(3.0);
    equal.SetPriorDistParam2(0.5);
    Analysis run(equal, GroupRows(kX1, kX2, both1, both2));
    DiffuseInverseChiPriorsEqualVariances posterior(run.settings, run.vars, run.cancel);
    ASSERT_TRUE(run.Run(posterior).IsOK());
    ExpectOneWarning(run.warnings, BSN_BOTH_GROUPS_CONSTANT, 1);
    ExpectSkipped(posterior, 1);
  }
  {
    // One constant group: the pooled variance still exists (no warning), Patil's angle does not.
    Analysis pooled(equal, GroupRows(kX1, kX2, both1));
    DiffuseJeffreysPriorsEqualVariances jeffreys(pooled.settings, pooled.vars, pooled.cancel);
    ASSERT_TRUE(pooled.Run(jeffreys).IsOK());
    EXPECT_TRUE(pooled.warnings.IsEmpty());
    EXPECT_NE(jeffreys.GetMeans()[1], kMissing);

    Analysis run(BaseSettings({1, 2}), GroupRows(kX1, kX2, both1));
    DiffusePriorsUnequalVariances posterior(run.settings, run.vars, run.cancel);
    ASSERT_TRUE(run.Run(posterior).IsOK());
    ExpectOneWarning(run.warnings, BSN_ONE_GROUP_CONSTANT, 1);
    ExpectSkipped(posterior, 1);
  }
}

TEST(BSN2SampleIndPosterior, UnequalVariancesNeedMoreThanFiveCasesPerGroup) {
  // Group 1 of the second variable keeps 6 cases (one missing value), then 5 (two missing values).
  std::vector<double> six = kX1, five = kX1;
  six[0] = kMissing;
  five[0] = five[3] = kMissing;
  {
    Analysis run(BaseSettings({1, 2}), GroupRows(kX1, kX2, six));
    DiffusePriorsUnequalVariances posterior(run.settings, run.vars, run.cancel);
    ASSERT_TRUE(run.Run(posterior).IsOK());
    EXPECT_TRUE(run.warnings.IsEmpty());
    EXPECT_NE(posterior.GetMeans()[1], kMissing);
  }
  {
    Analysis run(BaseSettings({1, 2}), GroupRows(kX1, kX2, five));
    DiffusePriorsUnequalVariances posterior(run.settings, run.vars, run.cancel);
    ASSERT_TRUE(run.Run(posterior).IsOK());
    ExpectOneWarning(run.warnings, BSN_INDEPENDENT_DIFFUSE_FEW_CASES, 1);
    ExpectSkipped(posterior, 1);
    EXPECT_NE(posterior.GetMeans()[0], kMissing);
  }
}

namespace {

// Rows {group, x, frequency weight, regression weight}: frequency weights round half up (2.4 counts 2,
// 2.5 counts 3); a weight of 0.4, a regression weight of 0 or -1 and a missing weight drop the case, as do
// a missing x (for that variable), a grouping value other than 0 or 1 and a null record.
std::vector<Row> WeightedRows() {
  return {std::vector<double>{0, 4.2, 1, 1},
          std::vector<double>{0, 5.1, 2.4, 0.5},
          std::vector<double>{0, 3.8, 1, 2},
          std::vector<double>{0, 6.0, 0.4, 1},
          std::vector<double>{0, 5.5, 2.5, 1},
          std::vector<double>{0, kMissing, 1, 1},
          std::vector<double>{1, 6.1, 1, 1},
          std::vector<double>{1, 7.3, 1, 0},
          std::vector<double>{1, 6.5, 1, -1},
          std::vector<double>{1, 5.8, 1, 1.5},
          std::vector<double>{1, 6.9, 3, 1},
          std::vector<double>{1, 8.2, kMissing, 1},
          std::vector<double>{2, 9.9, 1, 1},
          std::vector<double>{kMissing, 1.0, 1, 1},
          std::nullopt,
          std::vector<double>{1, 7.7, 1, 1}};
}

BSNSettings WeightedSettings() {
  BSNSettings settings = BaseSettings();
  settings.SetFrequencyWeightVar(2);
  settings.SetRegrWeightVar(3);
  settings.SetNPlotPoints(3);
  return settings;
}

}  // namespace

TEST(BSN2SampleIndPosterior, ProfileLikelihoodSumsWeightedSquares) {
  // R: w = f r over the cases kept, n = sum(f), grid points mu from qnorm(c(0.0025, 0.9975), mean, sd);
  // S(mu) = sum(w * (x - mu)^2); estimated variances: -(n/2) log(S/n).
  {
    BSNSettings settings = WeightedSettings();
    settings.SetEqualDataVar(true);
    Analysis run(settings, WeightedRows());
    DiffuseJeffreysPriorsEqualVariances posterior(run.settings, run.vars, run.cancel);
    ASSERT_TRUE(run.Run(posterior).IsOK());
    const std::vector<double>& grid1 = posterior.GetCurves(kGrid1)[0];
    const std::vector<double>& profile1 = posterior.GetCurves(kProfile1)[0];
    ASSERT_EQ(grid1.size(), 3u);
    ASSERT_EQ(profile1.size(), 3u);
    EXPECT_NEAR_REL(grid1[0], 2.504184508067913, 1e-13);
    EXPECT_NEAR_REL(grid1[1], 4.771428571428574, 1e-13);
    EXPECT_NEAR_REL(profile1[0], -6.0913732878646343, 1e-13);
    EXPECT_NEAR_REL(profile1[1], 2.0344704965081069, 1e-13);
    const std::vector<double>& profile2 = posterior.GetCurves(kProfile2)[0];
    ASSERT_EQ(profile2.size(), 3u);
    EXPECT_NEAR_REL(posterior.GetCurves(kGrid2)[0][0], 4.592542887264063, 1e-13);
    EXPECT_NEAR_REL(profile2[0], -4.8371727096081276, 1e-13);
    EXPECT_NEAR_REL(profile2[1], 2.4221365125772212, 1e-13);
    EXPECT_EQ(run.iter.GetNStartPass(), 1);
  }
  {
    // Known variances 0.8 and 1.1: grids from them, values -S/(2 sigma_k^2).
    BSNSettings settings = WeightedSettings();
    settings.SetDataVarVals({0.8, 1.1});
    Analysis run(settings, WeightedRows());
    DiffusePriorsKnownVariances posterior(run.settings, run.vars, run.cancel);
    ASSERT_TRUE(run.Run(posterior).IsOK());
    const std::vector<double>& profile1 = posterior.GetCurves(kProfile1)[0];
    const std::vector<double>& profile2 = posterior.GetCurves(kProfile2)[0];
    ASSERT_EQ(profile1.size(), 3u);
    ASSERT_EQ(profile2.size(), 3u);
    EXPECT_NEAR_REL(posterior.GetCurves(kGrid1)[0][0], 2.260741242966914, 1e-13);
    EXPECT_NEAR_REL(profile1[0], -30.024463589607031, 1e-13);
    EXPECT_NEAR_REL(profile1[1], -2.4464285714285716, 1e-13);
    EXPECT_NEAR_REL(posterior.GetCurves(kGrid2)[0][0], 3.7021119928024611, 1e-13);
    EXPECT_NEAR_REL(profile2[0], -26.824608940456422, 1e-13);
    EXPECT_NEAR_REL(profile2[1], -1.2164335664335673, 1e-13);
  }
}

namespace {

// Opens the base's grid rule to the test.
class GridProbe final : public BSN2SampleIndPosterior {
 public:
  using BSN2SampleIndPosterior::BSN2SampleIndPosterior;
  using BSN2SampleIndPosterior::Grid;
  KQStatus ComputePosterior(KQCommon_850::MultiPassRecordIter&, const BSN2SampleIndBasicStats&,
                            const BSN2SampleIndBasicStats&, KQWarnings&) override {
    return KQStatus();
  }

 private:
  std::optional<DeltaPosterior> ComputeVariable(std::size_t, const GroupMoments&, const GroupMoments&,
                                                KQWarnings&) const override {
    return std::nullopt;
  }
};

}  // namespace

TEST(BSN2SampleIndPosterior, GridAddsTheStepRepeatedly) {
  BSNSettings settings = BaseSettings();
  settings.SetNPlotPoints(7);
  KQVarList vars;
  KQCancelInfo cancel;
  const GridProbe probe(settings, vars, cancel);
  // R: Reduce(`+`, rep((1.3 - 0.1)/6, 6), 0.1, accumulate = TRUE); the last point is not 1.3 but the
  // running sum's 1.2999999999999998 (0.1 + 6 * step would give 1.3).
  const std::vector<double> expected = {0.10000000000000001, 0.29999999999999999, 0.5,
                                        0.69999999999999996, 0.89999999999999991, 1.0999999999999999,
                                        1.2999999999999998};
  EXPECT_EQ(probe.Grid(0.1, 1.3), expected);
  EXPECT_TRUE(probe.Grid(kMissing, 1.3).empty());
  EXPECT_TRUE(probe.Grid(0.1, std::numeric_limits<double>::infinity()).empty());
}

TEST(BSN2SampleIndPosterior, TwoPlotPointsGiveTheBounds) {
  BSNSettings settings = KnownVarianceSettings();
  settings.SetNPlotPoints(2);
  Analysis run(settings, GroupRows(kX1, kX2));
  DiffusePriorsKnownVariances known(run.settings, run.vars, run.cancel);
  ASSERT_TRUE(run.Run(known).IsOK());
  ExpectBounds(known.GetCurves(kGrid1)[0], 2.4607412429669142, 7.4821158998902355, 2);
  ExpectBounds(known.GetCurves(kGrid2)[0], 3.9809581466486144, 9.8690418533513924, 2);
  ExpectBounds(known.GetCurves(kPriorGrid1)[0], 2.4607412429669142, 7.4821158998902355, 2);
  ExpectBounds(known.GetCurves(kDeltaGrid)[0], 0.54505090327359373, 3.3620919538692666, 2);
  EXPECT_EQ(known.GetCurves(kProfile1)[0].size(), 2u);
  EXPECT_EQ(known.GetCurves(kDeltaDensity)[0].size(), 2u);

  settings = BaseSettings();
  settings.SetNPlotPoints(2);
  settings.SetEqualDataVar(true);
  Analysis equal(settings, GroupRows(kX1, kX2));
  DiffuseJeffreysPriorsEqualVariances jeffreys(equal.settings, equal.vars, equal.cancel);
  ASSERT_TRUE(equal.Run(jeffreys).IsOK());
  ExpectBounds(jeffreys.GetCurves(kDeltaGrid)[0], 0.58184904370815982, 3.3252938134346968, 2);
}
