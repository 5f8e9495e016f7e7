// The posterior of the difference of two means, through the independent-samples analysis. Expected
// values: tests/reference/independent_posterior.R (output in independent_posterior.out).

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "tests/support/BuiltAnalysis.h"
#include "tests/support/ExpectNearRel.h"
#include "twosample/BSN2SampleIndOutputStats.h"
#include "twosample/detail/BSN2SampleIndPosterior.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::DistTypes;
using KQCommon_850::KQCancelInfo;
using KQCommon_850::KQMV;
using KQCommon_850::KQVarList;
using KQCommon_850::KQWarnings;
using Stats = BSN2SampleIndOutputStats;
using Built = kqtest::BuiltAnalysis<Stats>;
using Curve = const std::vector<std::vector<double>>& (Stats::*)() const noexcept;

namespace {

constexpr double kMissing = KQMV::Missing();

// The data of independent_posterior.R: x1 in group 1 (grouping value 0), x2 in group 2.
const std::vector<double> kX1 = {4.2, 5.1, 3.8, 6.0, 5.5, 4.9, 5.3};
const std::vector<double> kX2 = {6.1, 7.3, 5.8, 6.9, 8.2, 7.7, 6.4, 7.0};
constexpr double kD = 1.9535714285714283;  // mean(x2) - mean(x1)

// Rows {group, x, y}, y = x unless given, followed by rows that no group takes: a grouping value of 2,
// a missing grouping value and a null record.
kqtest::Rows GroupRows(const std::vector<double>& x1, const std::vector<double>& x2,
                       const std::vector<double>& y1 = {}, const std::vector<double>& y2 = {}) {
  kqtest::Rows rows;
  for (std::size_t k = 0; k < x1.size(); ++k)
    rows.push_back(std::vector<double>{0.0, x1[k], y1.empty() ? x1[k] : y1[k]});
  for (std::size_t k = 0; k < x2.size(); ++k)
    rows.push_back(std::vector<double>{1.0, x2[k], y2.empty() ? x2[k] : y2[k]});
  rows.push_back(std::vector<double>{2.0, 9.9, 9.9});
  rows.push_back(std::vector<double>{kMissing, 1.0, 1.0});
  rows.push_back(std::nullopt);
  return rows;
}

BSNSettings Settings(std::vector<int> covariates = {1}) {
  BSNSettings settings;
  settings.SetModelType(BSNConst::ModelTypes::Independent, true);
  settings.SetAnalysType(BSNConst::AnalysTypes::Posterior);
  settings.SetGroupVar(0);
  settings.SetCovariates(covariates);
  settings.SetNPlotPoints(5);
  return settings;
}

void ExpectSkipped(const Stats& r, std::size_t i) {
  for (const auto* list : {&r.GetModeValues(), &r.GetPostMeanValues(), &r.GetVarianceValues(),
                           &r.GetLowerLimits(), &r.GetUpperLimits()})
    EXPECT_EQ((*list)[i], kMissing);
  for (Curve curve : {&Stats::GetPlotXArguments, &Stats::GetPlotXLikelihoods, &Stats::GetPlotXPrior,
                      &Stats::GetPlotArguments, &Stats::GetPlotPosterior})
    EXPECT_TRUE((r.*curve)()[i].empty());
}

}  // namespace

TEST(BSN2SampleIndPosterior, EachPriorMatchesR) {
  struct Case {
    const char* name;
    bool known, equalVariances;  ///< known: variances 0.8 and 1.1
    DistTypes meanDist, varianceDist;
    double ciLevel;
    double mean, variance, lower, upper;
    int warning;  ///< the one warning listed, 0 for none
  };
  // Flat priors, known variances: N(d, 0.8/7 + 1.1/8), limits by qnorm. Normal priors mu1 ~ N(5, 2),
  // mu2 ~ N(6, 3): precisions combine. Jeffreys, equal variances: the pooled t interval
  // t.test(x2, x1, var.equal = TRUE)$conf.int (conf.level 0.9 too); inverse chi-square nu0 = 3,
  // s0^2 = 0.5: nu = 16. Unequal variances: Patil's scaled t (pairing sin with group 2 would give other
  // a and b), whose variance is the exact Behrens-Fisher one; with a variance prior other than the
  // diffuse one it warns and goes on.
  using enum DistTypes;
  const Case cases[] = {
      {"flat, known", true, false, Diffuse, Diffuse, 95, kD, 0.25178571428571428, 0.97009572827801083,
       2.9370471288648456, 0},
      {"flat, known, equal", true, true, Diffuse, InverseChiSquare, 95, kD, 0.25178571428571428,
       0.97009572827801083, 2.9370471288648456, 0},
      {"normal, known", true, false, Normal, Diffuse, 95, 1.9114891784214505, 0.23958221169376551,
       0.95214294249178244, 2.8708354143511183, 0},
      {"jeffreys", false, true, Diffuse, Jeffreys2, 95, kD, 0.1955183209647495, 1.074860022722266,
       2.8322828344205906, 0},
      {"jeffreys 90%", false, true, Diffuse, Jeffreys2, 90, kD, 0.1955183209647495, 1.2332594719071666,
       2.6738833852356905, 0},
      {"inverse chi", false, true, Diffuse, InverseChiSquare, 95, kD, 0.18232051749271136, 1.1068544675672576,
       2.800288389575599, 0},
      {"patil", false, false, Diffuse, Diffuse, 95, kD, 0.23752806122448977, 0.98097965508915663,
       2.9261632020536998, 0},
      {"patil, warned", false, false, Diffuse, InverseChiSquare, 95, kD, 0.23752806122448977,
       0.98097965508915663, 2.9261632020536998, BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BSNSettings settings = Settings();
    if (c.known) settings.SetDataVarVals({0.8, 1.1});
    settings.SetEqualDataVar(c.equalVariances);
    settings.SetMeanDistType(c.meanDist);
    settings.SetMeanDistParam1(5.0);
    settings.SetMeanDistParam2(6.0);
    settings.SetMeanDistParam3(2.0);
    settings.SetMeanDistParam4(3.0);
    settings.SetPriorDistType(c.varianceDist);
    settings.SetPriorDistParam1(3.0);
    settings.SetPriorDistParam2(0.5);
    settings.SetCILevel(c.ciLevel);
    const Built run(settings, GroupRows(kX1, kX2));
    ASSERT_NE(run.Record(), nullptr);
    const Stats& r = *run.Record();
    const double actual[] = {r.GetModeValues()[0], r.GetPostMeanValues()[0], r.GetVarianceValues()[0],
                             r.GetLowerLimits()[0], r.GetUpperLimits()[0]};
    const double expected[] = {c.mean, c.mean, c.variance, c.lower, c.upper};
    for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR_REL(actual[k], expected[k], 1e-13) << k;
    const kqtest::Warnings expectedWarnings =
        c.warning == 0 ? kqtest::Warnings{} : kqtest::Warnings{{c.warning, 0}};
    EXPECT_EQ(run.ListedWarnings(), expectedWarnings);
  }
}

TEST(BSN2SampleIndPosterior, PlotCurvesMatchR) {
  struct Point {
    const char* name;
    Curve curve;
    std::size_t k;
    double expected;
  };
  // Group grids span qnorm(c(0.0025, 0.9975), mean, sqrt(known variance)); the delta grid spans
  // qnorm(c(0.0025, 0.9975), d, sqrt(v)), the density is dnorm at its ends and its middle point d. Normal
  // priors span their own range: qnorm(c(0.0025, 0.9975), 5, sqrt(2)), dnorm at the lower end. Jeffreys:
  // the delta grid is d -/+ qt(0.9975, 13) s, its density dt(-qt(0.9975, 13), 13)/s and dt(0, 13)/s.
  const Point known[] = {
      {"flat", &Stats::GetPlotXArguments, 0, 2.4607412429669142},
      {"flat", &Stats::GetPlotXArguments, 4, 7.4821158998902355},
      {"flat", &Stats::GetPlotYArguments, 0, 3.9809581466486144},
      {"flat", &Stats::GetPlotYArguments, 4, 9.8690418533513924},
      {"flat", &Stats::GetPlotArguments, 0, 0.54505090327359373},
      {"flat", &Stats::GetPlotArguments, 4, 3.3620919538692666},
      {"flat", &Stats::GetPlotPosterior, 0, 0.015466647079347017},
      {"flat", &Stats::GetPlotPosterior, 2, 0.7950501484315331},
      {"normal", &Stats::GetPlotXPriorArguments, 0, 1.030254774768935},
      {"normal", &Stats::GetPlotXPriorArguments, 4, 8.9697452252310743},
      {"normal", &Stats::GetPlotYPriorArguments, 0, 1.138074894667005},
      {"normal", &Stats::GetPlotYPriorArguments, 4, 10.861925105333007},
      {"normal", &Stats::GetPlotXPrior, 0, 0.0054877803568691343},
      {"normal", &Stats::GetPlotXArguments, 0, 2.4607412429669142},
      {"jeffreys", &Stats::GetPlotArguments, 0, 0.58184904370815982},
      {"jeffreys", &Stats::GetPlotArguments, 4, 3.3252938134346968},
      {"jeffreys", &Stats::GetPlotPosterior, 0, 0.011814659866820796},
      {"jeffreys", &Stats::GetPlotPosterior, 2, 0.96216162614345013},
  };
  BSNSettings flat = Settings(), normal = Settings(), jeffreys = Settings();
  flat.SetDataVarVals({0.8, 1.1});
  normal.SetDataVarVals({0.8, 1.1});
  normal.SetMeanDistType(DistTypes::Normal);
  normal.SetMeanDistParam1(5.0);
  normal.SetMeanDistParam2(6.0);
  normal.SetMeanDistParam3(2.0);
  normal.SetMeanDistParam4(3.0);
  jeffreys.SetEqualDataVar(true);
  const Built flatRun(flat, GroupRows(kX1, kX2)), normalRun(normal, GroupRows(kX1, kX2)),
      jeffreysRun(jeffreys, GroupRows(kX1, kX2));
  for (const Point& p : known) {
    const Built& run = p.name[0] == 'f' ? flatRun : p.name[0] == 'n' ? normalRun : jeffreysRun;
    ASSERT_NE(run.Record(), nullptr);
    const std::vector<double>& curve = (run.Record()->*p.curve)()[0];
    ASSERT_EQ(curve.size(), 5u) << p.name;
    EXPECT_NEAR_REL(curve[p.k], p.expected, 1e-13) << p.name << " point " << p.k;
  }
  // Flat priors are 1 on the group grids they share.
  const Stats& r = *flatRun.Record();
  EXPECT_EQ(r.GetPlotXPriorArguments(), r.GetPlotXArguments());
  EXPECT_EQ(r.GetPlotYPriorArguments(), r.GetPlotYArguments());
  EXPECT_EQ(r.GetPlotXPrior()[0], std::vector<double>(5, 1.0));
  EXPECT_EQ(jeffreysRun.Record()->GetPlotYPrior()[0], std::vector<double>(5, 1.0));
}

TEST(BSN2SampleIndPosterior, IncompletePriorsAndTwoCasesPerGroup) {
  // A missing prior parameter leaves the variable uncomputed, without a warning.
  BSNSettings normal = Settings();
  normal.SetDataVarVals({0.8, 1.1});
  normal.SetMeanDistType(DistTypes::Normal);
  normal.SetMeanDistParam1(5.0);
  normal.SetMeanDistParam2(6.0);
  normal.SetMeanDistParam3(2.0);
  const Built incomplete(normal, GroupRows(kX1, kX2));
  ASSERT_NE(incomplete.Record(), nullptr);
  ExpectSkipped(*incomplete.Record(), 0);
  EXPECT_TRUE(incomplete.ListedWarnings().empty());
  // nu = 2: s^2 = (1/2 + 1/2)(var(1, 2) + var(2.5, 4.5))/2 = 1.25 by hand; the t law with 2 degrees of
  // freedom has an infinite variance; limits 2 -/+ qt(0.975, 2) sqrt(1.25).
  BSNSettings equal = Settings();
  equal.SetEqualDataVar(true);
  const Built two(equal, GroupRows({1.0, 2.0}, {2.5, 4.5}));
  ASSERT_NE(two.Record(), nullptr);
  EXPECT_EQ(two.Record()->GetVarianceValues()[0], std::numeric_limits<double>::infinity());
  EXPECT_NEAR_REL(two.Record()->GetLowerLimits()[0], -2.8105119936474141, 1e-13);
  EXPECT_NEAR_REL(two.Record()->GetUpperLimits()[0], 6.8105119936474141, 1e-13);
}

TEST(BSN2SampleIndPosterior, ConstantOrSmallGroupsWarnPerVariable) {
  // The second test variable (position 1) is constant in both groups, or in group 1 only, or has 5 cases
  // in group 1 (two missing values) where the unequal-variance posterior needs more than five.
  const std::vector<double> both1(kX1.size(), 3.0), both2(kX2.size(), 3.0);
  std::vector<double> six = kX1, five = kX1;
  six[0] = kMissing;
  five[0] = five[3] = kMissing;
  BSNSettings equal = Settings({1, 2}), inverseChi = Settings({1, 2});
  equal.SetEqualDataVar(true);
  inverseChi.SetEqualDataVar(true);
  inverseChi.SetPriorDistType(DistTypes::InverseChiSquare);
  inverseChi.SetPriorDistParam1(3.0);
  inverseChi.SetPriorDistParam2(0.5);
  struct Case {
    const char* name;
    BSNSettings settings;
    kqtest::Rows rows;
    int warning;  ///< about variable 1, which is then skipped; 0: none
  };
  const Case cases[] = {
      {"both constant, jeffreys", equal, GroupRows(kX1, kX2, both1, both2), BSN_BOTH_GROUPS_CONSTANT},
      {"both constant, inverse chi", inverseChi, GroupRows(kX1, kX2, both1, both2), BSN_BOTH_GROUPS_CONSTANT},
      // One constant group: the pooled variance still exists, Patil's angle does not.
      {"one constant, jeffreys", equal, GroupRows(kX1, kX2, both1), 0},
      {"one constant, patil", Settings({1, 2}), GroupRows(kX1, kX2, both1), BSN_ONE_GROUP_CONSTANT},
      {"six cases, patil", Settings({1, 2}), GroupRows(kX1, kX2, six), 0},
      {"five cases, patil", Settings({1, 2}), GroupRows(kX1, kX2, five), BSN_INDEPENDENT_DIFFUSE_FEW_CASES},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Built run(c.settings, c.rows);
    ASSERT_NE(run.Record(), nullptr);
    EXPECT_NE(run.Record()->GetPostMeanValues()[0], kMissing);
    if (c.warning == 0) {
      EXPECT_TRUE(run.ListedWarnings().empty());
      EXPECT_NE(run.Record()->GetPostMeanValues()[1], kMissing);
    } else {
      EXPECT_EQ(run.ListedWarnings(), (kqtest::Warnings{{c.warning, 1}}));
      ExpectSkipped(*run.Record(), 1);
    }
  }
}

TEST(BSN2SampleIndPosterior, ProfileLikelihoodSumsWeightedSquares) {
  // Rows {group, x, frequency weight, regression weight}: frequency weights round half up (2.4 counts 2,
  // 2.5 counts 3); a weight of 0.4, a regression weight of 0 or -1 and a missing weight drop the case, as
  // do a missing x, a grouping value other than 0 or 1 and a null record.
  const std::vector<std::vector<double>> table = {
      {0, 4.2, 1, 1},      {0, 5.1, 2.4, 0.5},    {0, 3.8, 1, 2}, {0, 6.0, 0.4, 1},      {0, 5.5, 2.5, 1},
      {0, kMissing, 1, 1}, {1, 6.1, 1, 1},        {1, 7.3, 1, 0}, {1, 6.5, 1, -1},       {1, 5.8, 1, 1.5},
      {1, 6.9, 3, 1},      {1, 8.2, kMissing, 1}, {2, 9.9, 1, 1}, {kMissing, 1.0, 1, 1}, {1, 7.7, 1, 1}};
  kqtest::Rows rows(table.begin(), table.end());
  rows.insert(rows.end() - 1, std::nullopt);
  // R: w = f r over the cases kept, n = sum(f), grid points mu from qnorm(c(0.0025, 0.9975), mean, sd);
  // S(mu) = sum(w * (x - mu)^2); estimated variances: -(n/2) log(S/n); known variances 0.8 and 1.1: the
  // grids from them, values -S/(2 sigma_k^2). Each row: grid 1 at 0 and 1, profile 1 at 0 and 1, grid 2
  // at 0, profile 2 at 0 and 1.
  const std::vector<double> expected[] = {
      {2.504184508067913, 4.771428571428574, -6.0913732878646343, 2.0344704965081069, 4.592542887264063,
       -4.8371727096081276, 2.4221365125772212},
      {2.260741242966914, 4.771428571428574, -30.024463589607031, -2.4464285714285716, 3.7021119928024611,
       -26.824608940456422, -1.2164335664335673}};
  for (bool known : {false, true}) {
    BSNSettings settings = Settings();
    settings.SetFrequencyWeightVar(2);
    settings.SetRegrWeightVar(3);
    settings.SetNPlotPoints(3);
    settings.SetEqualDataVar(!known);
    if (known) settings.SetDataVarVals({0.8, 1.1});
    const Built run(settings, rows);
    ASSERT_NE(run.Record(), nullptr);
    const Stats& r = *run.Record();
    const std::vector<double> actual = {r.GetPlotXArguments()[0].at(0),   r.GetPlotXArguments()[0].at(1),
                                        r.GetPlotXLikelihoods()[0].at(0), r.GetPlotXLikelihoods()[0].at(1),
                                        r.GetPlotYArguments()[0].at(0),   r.GetPlotYLikelihoods()[0].at(0),
                                        r.GetPlotYLikelihoods()[0].at(1)};
    for (std::size_t k = 0; k < actual.size(); ++k)
      EXPECT_NEAR_REL(actual[k], expected[known][k], 1e-13) << k;
  }
}

TEST(BSN2SampleIndPosterior, TwoPlotPointsGiveTheBounds) {
  BSNSettings settings = Settings();
  settings.SetNPlotPoints(2);
  settings.SetDataVarVals({0.8, 1.1});
  const Built known(settings, GroupRows(kX1, kX2));
  settings.SetDataVarVals({});
  settings.SetEqualDataVar(true);
  const Built jeffreys(settings, GroupRows(kX1, kX2));
  ASSERT_NE(known.Record(), nullptr);
  ASSERT_NE(jeffreys.Record(), nullptr);
  const Stats& r = *known.Record();
  ASSERT_EQ(r.GetPlotXArguments()[0].size(), 2u);
  EXPECT_NEAR_REL(r.GetPlotXArguments()[0][0], 2.4607412429669142, 1e-13);
  EXPECT_NEAR_REL(r.GetPlotXArguments()[0][1], 7.4821158998902355, 1e-13);
  EXPECT_NEAR_REL(r.GetPlotArguments()[0].at(1), 3.3620919538692666, 1e-13);
  EXPECT_NEAR_REL(jeffreys.Record()->GetPlotArguments()[0].at(0), 0.58184904370815982, 1e-13);
}
