// The posterior of the difference of two means, through the independent-samples analysis. Expected
// values: tests/reference/independent_posterior.R (output in independent_posterior.out).

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

#include "frame/BSNStatusCodes.h"
#include "tests/twosample/IndependentAnalysisRun.h"
#include "twosample/BSN2SampleIndOutputStats.h"
#include "twosample/detail/BSN2SampleIndPosterior.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::DistTypes;
using Stats = BSN2SampleIndOutputStats;
using Built = kqtest::BuiltAnalysis<Stats>;
using Curve = const std::vector<std::vector<double>>& (Stats::*)() const noexcept;

namespace {

using kqtest::ExpectAllNear;
using kqtest::kMissing;

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
  // Normal priors mu1 ~ N(5, 2) and mu2 ~ N(6, 3), in force when the mean prior is Normal.
  settings.SetMeanDistParam1(5.0);
  settings.SetMeanDistParam2(6.0);
  settings.SetMeanDistParam3(2.0);
  settings.SetMeanDistParam4(3.0);
  return settings;
}

/// The numbers of a row of independent_posterior.out.
std::vector<double> Reference(const std::string& label) {
  return kqtest::ReferenceRows("independent_posterior.out", label).at(0);
}

/// Points (curve, index) of variable 0's curves.
std::vector<double> Pick(const Built& run, std::initializer_list<std::pair<Curve, std::size_t>> points) {
  std::vector<double> values;
  for (auto [curve, k] : points) values.push_back((run.Record()->*curve)()[0].at(k));
  return values;
}

void ExpectSkipped(const Stats& r, std::size_t i) {
  EXPECT_EQ((std::vector{r.GetModeValues()[i], r.GetVarianceValues()[i], r.GetUpperLimits()[i]}),
            std::vector<double>(3, kMissing));
  EXPECT_TRUE(r.GetPlotXLikelihoods()[i].empty() && r.GetPlotPosterior()[i].empty());
}

}  // namespace

TEST(BSN2SampleIndPosterior, EachPriorMatchesR) {
  // Flat priors, known variances: N(d, 0.8/7 + 1.1/8), limits by qnorm. Normal priors mu1 ~ N(5, 2),
  // mu2 ~ N(6, 3): precisions combine. Jeffreys, equal variances: the pooled t interval
  // t.test(x2, x1, var.equal = TRUE)$conf.int (conf.level 0.9 too); inverse chi-square nu0 = 3,
  // s0^2 = 0.5: nu = 16. Unequal variances: Patil's scaled t (pairing sin with group 2 would give other
  // a and b), whose variance is the exact Behrens-Fisher one; with a variance prior other than the
  // diffuse one it warns and goes on. Rows of the table: [mean,] ..., [variance,] lower, upper.
  // label, known variances (0.8 and 1.1), equal variances, mean prior, variance prior, level, warning
  using enum DistTypes;
  for (auto [label, known, equal, meanDist, varianceDist, level, warning] :
       {std::tuple{"diffuse known", true, false, Diffuse, Diffuse, 95, 0},
        std::tuple{"diffuse known", true, true, Diffuse, InverseChiSquare, 95, 0},
        std::tuple{"normal known", true, false, Normal, Diffuse, 95, 0},
        std::tuple{"jeffreys", false, true, Diffuse, Jeffreys2, 95, 0},
        std::tuple{"90%", false, true, Diffuse, Jeffreys2, 90, 0},
        std::tuple{"inverse chi", false, true, Diffuse, InverseChiSquare, 95, 0},
        std::tuple{"variance, 95% limits", false, false, Diffuse, Diffuse, 95, 0},
        std::tuple{"variance, 95% limits", false, false, Diffuse, InverseChiSquare, 95,
                   int{BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY}}}) {
    SCOPED_TRACE(label);
    BSNSettings settings = Settings();
    if (known) settings.SetDataVarVals({0.8, 1.1});
    settings.SetEqualDataVar(equal);
    settings.SetMeanDistType(meanDist);
    settings.SetPriorDistType(varianceDist);
    settings.SetPriorDistParam1(3.0);
    settings.SetPriorDistParam2(0.5);
    settings.SetCILevel(level);
    const Built run(settings, GroupRows(kX1, kX2));
    const Stats& r = *run.Record();
    const std::vector<double> row = Reference(label);
    const std::size_t n = row.size();
    const double mean = n == 4 ? row[0] : kD;
    ExpectAllNear(
        {r.GetModeValues()[0], r.GetPostMeanValues()[0], r.GetLowerLimits()[0], r.GetUpperLimits()[0]},
        {mean, mean, row[n - 2], row[n - 1]}, 1e-13);
    if (n > 2) {
      EXPECT_NEAR_REL(r.GetVarianceValues()[0], row[n - 3], 1e-13);
    }
    EXPECT_EQ(run.ListedWarnings(), (warning == 0 ? kqtest::Warnings{} : kqtest::Warnings{{warning, 0}}));
  }
}

TEST(BSN2SampleIndPosterior, PlotCurvesMatchR) {
  // Group grids span qnorm(c(0.0025, 0.9975), mean, sqrt(known variance)); the delta grid spans
  // qnorm(c(0.0025, 0.9975), d, sqrt(v)), the density is dnorm at its ends and its middle point d. Normal
  // priors span their own range: qnorm(c(0.0025, 0.9975), 5, sqrt(2)), dnorm at the lower end. Jeffreys:
  // the delta grid is d -/+ qt(0.9975, 13) s, its density dt(-qt(0.9975, 13), 13)/s and dt(0, 13)/s.
  BSNSettings flat = Settings(), normal = Settings(), jeffreys = Settings();
  flat.SetDataVarVals({0.8, 1.1});
  normal.SetDataVarVals({0.8, 1.1});
  normal.SetMeanDistType(DistTypes::Normal);
  jeffreys.SetEqualDataVar(true);
  const Built flatRun(flat, GroupRows(kX1, kX2)), normalRun(normal, GroupRows(kX1, kX2)),
      jeffreysRun(jeffreys, GroupRows(kX1, kX2));
  const std::initializer_list<std::pair<Curve, std::size_t>> delta = {{&Stats::GetPlotArguments, 0},
                                                                      {&Stats::GetPlotArguments, 4},
                                                                      {&Stats::GetPlotPosterior, 0},
                                                                      {&Stats::GetPlotPosterior, 2}};
  ExpectAllNear(Pick(flatRun, delta), Reference("delta domain, dnorm at lower and at d"), 1e-13);
  ExpectAllNear(Pick(jeffreysRun, delta), Reference("delta domain, density dt at lower and at d"), 1e-13);
  ExpectAllNear(Pick(flatRun, {{&Stats::GetPlotXArguments, 0},
                               {&Stats::GetPlotXArguments, 4},
                               {&Stats::GetPlotYArguments, 0},
                               {&Stats::GetPlotYArguments, 4}}),
                Reference("group 1 domain, group 2 domain"), 1e-13);
  ExpectAllNear(Pick(normalRun, {{&Stats::GetPlotXPriorArguments, 0},
                                 {&Stats::GetPlotXPriorArguments, 4},
                                 {&Stats::GetPlotXPrior, 0},
                                 {&Stats::GetPlotYPriorArguments, 0},
                                 {&Stats::GetPlotYPriorArguments, 4}}),
                {Reference("prior 1 domain, dnorm at its lower end")[0],
                 Reference("prior 1 domain, dnorm at its lower end")[1],
                 Reference("prior 1 domain, dnorm at its lower end")[2], Reference("prior 2 domain")[0],
                 Reference("prior 2 domain")[1]},
                1e-13);
  // Flat priors are 1 on the group grids they share.
  EXPECT_EQ(flatRun.Record()->GetPlotXPriorArguments(), flatRun.Record()->GetPlotXArguments());
  EXPECT_EQ(jeffreysRun.Record()->GetPlotYPrior()[0], std::vector<double>(5, 1.0));
}

TEST(BSN2SampleIndPosterior, IncompletePriorsAndTwoCasesPerGroup) {
  // A missing prior parameter leaves the variable uncomputed, without a warning.
  BSNSettings normal = Settings();
  normal.SetDataVarVals({0.8, 1.1});
  normal.SetMeanDistType(DistTypes::Normal);
  normal.SetMeanDistParam4(kMissing);
  const Built incomplete(normal, GroupRows(kX1, kX2));
  ExpectSkipped(*incomplete.Record(), 0);
  EXPECT_TRUE(incomplete.ListedWarnings().empty());
  // nu = 2: s^2 = (1/2 + 1/2)(var(1, 2) + var(2.5, 4.5))/2 = 1.25 by hand; the t law with 2 degrees of
  // freedom has an infinite variance; limits 2 -/+ qt(0.975, 2) sqrt(1.25).
  BSNSettings equal = Settings();
  equal.SetEqualDataVar(true);
  const Built two(equal, GroupRows({1.0, 2.0}, {2.5, 4.5}));
  const std::vector<double> limits = Reference("two per group");
  ExpectAllNear({two.Record()->GetVarianceValues()[0], two.Record()->GetLowerLimits()[0],
                 two.Record()->GetUpperLimits()[0]},
                {std::numeric_limits<double>::infinity(), limits[1], limits[2]}, 1e-13);
}

TEST(BSN2SampleIndPosterior, ConstantOrSmallGroupsWarnPerVariable) {
  // The second test variable (position 1) is constant in both groups, or in group 1 only, or has 5 cases
  // in group 1 (two missing values) where the unequal-variance posterior needs more than five.
  const std::vector<double> both1(kX1.size(), 3.0), both2(kX2.size(), 3.0);
  std::vector<double> six = kX1, five = kX1;
  six[0] = kMissing;
  five[0] = five[3] = kMissing;
  BSNSettings equal = Settings({1, 2});
  equal.SetEqualDataVar(true);
  struct Case {
    const char* name;
    BSNSettings settings;
    kqtest::Rows rows;
    int warning;  ///< about variable 1, which is then skipped; 0: none
  };
  const Case cases[] = {
      {"both constant, jeffreys", equal, GroupRows(kX1, kX2, both1, both2), BSN_BOTH_GROUPS_CONSTANT},
      // One constant group: the pooled variance still exists, Patil's angle does not.
      {"one constant, jeffreys", equal, GroupRows(kX1, kX2, both1), 0},
      {"one constant, patil", Settings({1, 2}), GroupRows(kX1, kX2, both1), BSN_ONE_GROUP_CONSTANT},
      {"six cases, patil", Settings({1, 2}), GroupRows(kX1, kX2, six), 0},
      {"five cases, patil", Settings({1, 2}), GroupRows(kX1, kX2, five), BSN_INDEPENDENT_DIFFUSE_FEW_CASES},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Built run(c.settings, c.rows);
    EXPECT_NE(run.Record()->GetPostMeanValues()[0], kMissing);
    EXPECT_EQ(run.ListedWarnings(), (c.warning == 0 ? kqtest::Warnings{} : kqtest::Warnings{{c.warning, 1}}));
    if (c.warning == 0) {
      EXPECT_NE(run.Record()->GetPostMeanValues()[1], kMissing);
    } else {
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
  // grids from them, values -S/(2 sigma_k^2). Each row ends with grid points 0 and 1 and the profile there.
  for (bool known : {false, true}) {
    BSNSettings settings = Settings();
    settings.SetFrequencyWeightVar(2);
    settings.SetRegrWeightVar(3);
    settings.SetNPlotPoints(3);
    settings.SetEqualDataVar(!known);
    if (known) settings.SetDataVarVals({0.8, 1.1});
    const Built run(settings, rows);
    for (auto [group, args, likelihoods] :
         {std::tuple{known ? "group 1 known 0.8: n mean var mu0 mu1 l0 l1"
                           : "group 1 estimated: n mean var mu0 mu1 l0 l1",
                     &Stats::GetPlotXArguments, &Stats::GetPlotXLikelihoods},
          std::tuple{known ? "group 2 known 1.1: n mean var mu0 mu1 l0 l1"
                           : "group 2 estimated: n mean var mu0 mu1 l0 l1",
                     &Stats::GetPlotYArguments, &Stats::GetPlotYLikelihoods}}) {
      const std::vector<double> row = Reference(group);
      ExpectAllNear(Pick(run, {{args, 0}, {args, 1}, {likelihoods, 0}, {likelihoods, 1}}),
                    std::vector<double>(row.end() - 4, row.end()), 1e-13);
    }
  }
}
