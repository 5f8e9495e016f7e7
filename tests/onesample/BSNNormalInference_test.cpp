#include "onesample/detail/BSNNormalInference.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/BSNStatusCodes.h"
#include "frame/detail/PlotDensities.h"
#include "frame/detail/PosteriorRange.h"
#include "tests/onesample/OneSampleRun.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::DistTypes;
using namespace kqtest;

namespace {

// Summary statistics of every case: n = 12, xbar = 3.2, s = 1.5; prior mean 2.5, tau^2 = 4, kappa0 = 2.
struct PriorCase {
  const char* name;  ///< the row of normal_onesample.out
  DistTypes meanDist;
  DistTypes varianceDist;
  double param1, param2;  ///< PriorDistParam1, PriorDistParam2
  double knownVariance;   ///< missing: the variance is estimated
  double ciLevel;
};

// tests/reference/normal_onesample.R, section "posterior of mu": each case's posterior worked by hand
// in R, limits with qnorm for a normal posterior and m +/- sqrt(w) qt(p, nu) for a t posterior; the rows
// of normal_onesample.out give mean (= mode), variance, lower and upper limit. Jeffreys 2 is the
// classical interval.
const std::vector<PriorCase> kCases = {
    {"known normal", DistTypes::Normal, DistTypes::Diffuse, kMissing, kMissing, 2.0, 95.0},
    {"known flat", DistTypes::Diffuse, DistTypes::Diffuse, kMissing, kMissing, 2.0, 95.0},
    {"inverse chi-square(4, 1.2)", DistTypes::Normal, DistTypes::InverseChiSquare, 4.0, 1.2, kMissing, 95.0},
    {"inverse chi-square(4, 1.2) 90%", DistTypes::Normal, DistTypes::InverseChiSquare, 4.0, 1.2, kMissing,
     90.0},
    {"gamma(3, 2)", DistTypes::Normal, DistTypes::Gamma, 3.0, 2.0, kMissing, 95.0},
    {"chi-square(5)", DistTypes::Normal, DistTypes::ChiSquare, 5.0, kMissing, kMissing, 95.0},
    {"inverse gamma(3, 2)", DistTypes::Normal, DistTypes::InverseGamma, 3.0, 2.0, kMissing, 95.0},
    {"jeffreys 4", DistTypes::Diffuse, DistTypes::Jeffreys4, kMissing, kMissing, kMissing, 95.0},
    {"jeffreys 2", DistTypes::Diffuse, DistTypes::Jeffreys2, kMissing, kMissing, kMissing, 95.0},
    {"diffuse", DistTypes::Diffuse, DistTypes::Diffuse, kMissing, kMissing, kMissing, 95.0},
};

const PriorCase& Case(const std::string& name) {
  for (const PriorCase& c : kCases)
    if (c.name == name) return c;
  return kCases.front();
}

BSNSettings SettingsFor(const PriorCase& c, std::size_t nVars = 1) {
  BSNSettings settings;
  settings.SetCovariates(std::vector<int>(nVars, 0));
  settings.SetMeanDistType(c.meanDist);
  settings.SetMeanDistParam1(2.5);
  settings.SetMeanDistParam2(4.0);
  settings.SetKappaValue(2.0);
  settings.SetPriorDistType(c.varianceDist);
  settings.SetPriorDistParam1(c.param1);
  settings.SetPriorDistParam2(c.param2);
  settings.SetCILevel(c.ciLevel);
  if (!KQMV::IsMissing(c.knownVariance)) settings.SetDataVarVals(std::vector<double>(nVars, c.knownVariance));
  return settings;
}

/// The inference computed over per-variable summaries (by default one variable, n = 12, 3.2, 1.5).
struct Inferred {
  Inferred(BSNSettings s, std::vector<double> means = {3.2}, std::vector<double> sds = {1.5},
           std::vector<double> ns = {12.0})
      : settings(std::move(s)), inference(settings, warnings, means, sds, ns), status(inference.Compute()) {}
  /// Mode, mean, variance and limits of variable i against a row (mean, variance, lower, upper).
  void ExpectSummary(const std::vector<double>& row, double relTol, std::size_t i = 0) const {
    ASSERT_EQ(row.size(), 4u);
    ExpectAllNear(
        {inference.GetModeValues()[i], inference.GetPostMeanValues()[i], inference.GetVarianceValues()[i],
         inference.GetLowerLimits()[i], inference.GetUpperLimits()[i]},
        {row[0], row[0], row[1], row[2], row[3]}, relTol);
  }
  void ExpectUncomputed(std::size_t i) const {
    EXPECT_TRUE(inference.GetPostMeanValues()[i] == kMissing && inference.GetLowerLimits()[i] == kMissing);
    EXPECT_TRUE(inference.GetPlotPosterior()[i].empty() &&
                inference.GetPlotArguments4Likelihoods()[i].empty());
  }
  /// (code, discrete datum 0 or -1 without one) of each warning.
  Warnings Listed() const {
    Warnings listed;
    for (std::size_t k = 0; k < warnings.Size(); ++k)
      listed.emplace_back(warnings[k].GetErrorCode(),
                          warnings[k].HasDiscreteDatum(0) ? warnings[k].GetDiscreteDatum(0) : -1);
    return listed;
  }
  BSNSettings settings;
  KQWarnings warnings;
  BSNNormalInference inference;
  KQStatus status;
};

}  // namespace

TEST(BSNNormalInference, EachPriorMatchesR) {
  for (const PriorCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const Inferred run(SettingsFor(c));
    EXPECT_TRUE(run.status.IsOK() && run.warnings.IsEmpty());
    run.ExpectSummary(NormalReference(c.name), 1e-13);
    EXPECT_EQ(run.inference.GetPlotPosterior()[0].size(), 100u);
  }
}

TEST(BSNNormalInference, PlotCurvesMatchR) {
  // tests/reference/normal_onesample.R, "plot curves": K = 5 points, plot level 0.005. Rows of
  // normal_onesample.out: the posterior grid seq(m + sqrt(w) qt(0.0025, 16), m + sqrt(w) qt(0.9975, 16),
  // length.out = 5) and dt((x - m)/sqrt(w), 16)/sqrt(w); the prior N(2.5, (4 * 1.2 / 6) / 2) by qnorm and
  // dnorm; the profile -n/2 log((x - xbar)^2 + s^2 (n - 1)/n) on qnorm(c(0.0025, 0.9975), xbar, s). Known
  // variance: -(ss + n (x - xbar)^2) / (2 sigma^2) on qnorm(c(0.0025, 0.9975), xbar, sqrt(2)).
  BSNSettings settings = SettingsFor(Case("inverse chi-square(4, 1.2)"));
  settings.SetNPlotPoints(5);
  const Inferred run(settings);
  const BSNNormalInference& i = run.inference;
  // The quantiles are good to 1e-13; grid points and densities built on them carry a little more.
  for (auto [curve, label] :
       {std::pair{&i.GetPlotArguments4Posterior(), "posterior args"},
        std::pair{&i.GetPlotPosterior(), "posterior density"},
        std::pair{&i.GetPlotArguments4Prior(), "prior args"}, std::pair{&i.GetPlotPrior(), "prior density"},
        std::pair{&i.GetPlotArguments4Likelihoods(), "likelihood args"},
        std::pair{&i.GetPlotLikelihoods(), "profile loglik"}})
    ExpectAllNear((*curve)[0], NormalReference(label), 1e-12);

  settings = SettingsFor(Case("known flat"));
  settings.SetNPlotPoints(5);
  const Inferred known(settings);
  ExpectAllNear(known.inference.GetPlotLikelihoods()[0], NormalReference("loglik"), 1e-12);
  // The flat prior is drawn over the likelihood's arguments with two values.
  EXPECT_EQ(known.inference.GetPlotArguments4Prior()[0], known.inference.GetPlotArguments4Likelihoods()[0]);
  EXPECT_EQ(known.inference.GetPlotPrior()[0], (std::vector<double>{1.0, 1.0}));
}

TEST(BSNNormalInference, RangeAndDensityEdges) {
  // Degenerate laws give missing ranges.
  EXPECT_EQ(NormalRange(0.025, 1.0, 0.0).lower, kMissing);
  EXPECT_EQ(TRange(0.025, 1.0, 1.0, 0.0).lower, kMissing);
  // dt((-40 - 1.5) / 0.5, 7.5) / 0.5 in R: far in the tail the density keeps its relative accuracy.
  EXPECT_NEAR_REL(ScaledTDensities({-40.0}, 1.5, 0.25, 7.5)[0], 1.9603960742124447e-13, 1e-13);
}

TEST(BSNNormalInference, TooFewCasesForJeffreys2AndDiffuse) {
  // Variable 0 has too few cases, variable 1 just enough: its variance is w nu / (nu - 2) with nu = 3 and
  // w = (n - 1) s^2 / (n nu), s = 1.5. Jeffreys 4 with n = 2 still has nu = 3: variance 3 w, w = 2.25 / 6.
  for (auto [prior, n0, n1, code, variance1] :
       {std::tuple{"diffuse", 5.0, 6.0, int{BSN_DF_NOT_ABOVE_5_DIFFUSE}, 5 * 2.25 / 6},
        std::tuple{"jeffreys 2", 3.0, 4.0, int{BSN_DF_NOT_ABOVE_3_JEFFREYS2}, 3 * 2.25 / 4},
        std::tuple{"jeffreys 4", 1.0, 2.0, 0, 3 * 2.25 / 6}}) {
    SCOPED_TRACE(prior);
    const Inferred run(SettingsFor(Case(prior), 2), {3.2, 3.2}, {1.5, 1.5}, {n0, n1});
    EXPECT_EQ(run.Listed(), (code == 0 ? Warnings{} : Warnings{{code, 0}}));
    run.ExpectUncomputed(0);
    EXPECT_NEAR_REL(run.inference.GetVarianceValues()[1], variance1, 1e-14);
  }
}

TEST(BSNNormalInference, UnsupportedPriorsFallBackWithAWarning) {
  // Each pair of laws the inference does not support is replaced by the case it falls back to.
  for (auto [fallback, mean, variance] : {std::tuple{"known flat", DistTypes::Gamma, DistTypes::Diffuse},
                                          std::tuple{"diffuse", DistTypes::Normal, DistTypes::Jeffreys2},
                                          std::tuple{"diffuse", DistTypes::Diffuse, DistTypes::Gamma},
                                          std::tuple{"diffuse", DistTypes::Poisson, DistTypes::Diffuse}}) {
    PriorCase given = Case(fallback);
    given.meanDist = mean;
    given.varianceDist = variance;
    const Inferred run(SettingsFor(given));
    run.ExpectSummary(NormalReference(fallback), 1e-13);
    EXPECT_EQ(run.Listed(), (Warnings{{BSN_PRIOR_NOT_SUPPORTED, -1}}));
  }
}

TEST(BSNNormalInference, UncomputableVariablesStayMissingSilently) {
  // n = 1, s = 0, a missing mean; then a normal prior without its mean.
  const Inferred run(SettingsFor(Case("jeffreys 4"), 3), {3.2, 3.2, kMissing}, {1.5, 0.0, 1.5},
                     {1.0, 10.0, 10.0});
  EXPECT_TRUE(run.status.IsOK());
  for (std::size_t i = 0; i < 3; ++i) run.ExpectUncomputed(i);
  BSNSettings settings = SettingsFor(Case("gamma(3, 2)"));
  settings.SetMeanDistParam1(kMissing);
  const Inferred noPriorMean(settings);
  noPriorMean.ExpectUncomputed(0);
  EXPECT_TRUE(run.warnings.IsEmpty() && noPriorMean.warnings.IsEmpty());
}

TEST(BSNNormalInference, MissingLevelMeans95) {
  BSNSettings noLevel = SettingsFor(Case("known flat"));
  noLevel.SetCILevel(kMissing);
  Inferred(noLevel).ExpectSummary(NormalReference("known flat"), 1e-13);
}
