#include "onesample/detail/BSNNormalInference.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/BSNStatusCodes.h"
#include "frame/detail/PlotDensities.h"
#include "frame/detail/PlotGrid.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::DistTypes;
using KQCommon_850::KQMV;
using KQCommon_850::KQWarnings;

namespace {

constexpr double kMissing = KQMV::Missing();

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

const std::vector<kqtest::ReferenceRow>& Reference() {
  static const std::vector<kqtest::ReferenceRow> rows = kqtest::ReadReferenceTable("normal_onesample.out");
  return rows;
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

void ExpectSummary(const BSNNormalInference& inference, std::size_t i, const PriorCase& c) {
  const std::vector<double> expected = kqtest::ReferenceValues(Reference(), c.name);
  ASSERT_EQ(expected.size(), 4u) << c.name;
  EXPECT_NEAR_REL(inference.GetModeValues()[i], expected[0], 1e-14);
  EXPECT_NEAR_REL(inference.GetPostMeanValues()[i], expected[0], 1e-14);
  EXPECT_NEAR_REL(inference.GetVarianceValues()[i], expected[1], 1e-14);
  EXPECT_NEAR_REL(inference.GetLowerLimits()[i], expected[2], 1e-13);
  EXPECT_NEAR_REL(inference.GetUpperLimits()[i], expected[3], 1e-13);
}

void ExpectUncomputed(const BSNNormalInference& inference, std::size_t i) {
  EXPECT_EQ(inference.GetPostMeanValues()[i], kMissing);
  EXPECT_EQ(inference.GetLowerLimits()[i], kMissing);
  EXPECT_TRUE(inference.GetPlotPosterior()[i].empty());
  EXPECT_TRUE(inference.GetPlotArguments4Likelihoods()[i].empty());
}

const PriorCase& Case(const char* name) {
  for (const PriorCase& c : kCases)
    if (std::string(c.name) == name) return c;
  return kCases.front();
}

}  // namespace

TEST(BSNNormalInference, EachPriorMatchesR) {
  for (const PriorCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const BSNSettings settings = SettingsFor(c);
    KQWarnings warnings;
    BSNNormalInference inference(settings, warnings, {3.2}, {1.5}, {12.0});
    ASSERT_TRUE(inference.Compute().IsOK());
    EXPECT_TRUE(warnings.IsEmpty());
    ExpectSummary(inference, 0, c);
    EXPECT_EQ(inference.GetPlotPosterior()[0].size(), 100u);
  }
}

TEST(BSNNormalInference, PlotCurvesMatchR) {
  // tests/reference/normal_onesample.R, "plot curves": K = 5 points, plot level 0.005.
  BSNSettings settings = SettingsFor(Case("inverse chi-square(4, 1.2)"));
  settings.SetNPlotPoints(5);
  KQWarnings warnings;
  BSNNormalInference inference(settings, warnings, {3.2}, {1.5}, {12.0});
  inference.Compute();
  // Rows of normal_onesample.out: the posterior grid seq(m + sqrt(w) qt(0.0025, 16), m + sqrt(w)
  // qt(0.9975, 16), length.out = 5) and dt((x - m)/sqrt(w), 16)/sqrt(w); the prior N(2.5, (4 * 1.2 / 6) / 2)
  // by qnorm and dnorm; the profile -n/2 log((x - xbar)^2 + s^2 (n - 1)/n) on qnorm(c(0.0025, 0.9975), xbar,
  // s).
  const std::vector<std::pair<const std::vector<double>*, std::vector<double>>> curves = {
      {&inference.GetPlotArguments4Posterior()[0], kqtest::ReferenceValues(Reference(), "posterior args")},
      {&inference.GetPlotPosterior()[0], kqtest::ReferenceValues(Reference(), "posterior density")},
      {&inference.GetPlotArguments4Prior()[0], kqtest::ReferenceValues(Reference(), "prior args")},
      {&inference.GetPlotPrior()[0], kqtest::ReferenceValues(Reference(), "prior density")},
      {&inference.GetPlotArguments4Likelihoods()[0], kqtest::ReferenceValues(Reference(), "likelihood args")},
      {&inference.GetPlotLikelihoods()[0], kqtest::ReferenceValues(Reference(), "profile loglik")},
  };
  for (const auto& [actual, expected] : curves) {
    ASSERT_EQ(expected.size(), 5u);
    ASSERT_EQ(actual->size(), expected.size());
    // The quantiles are good to 1e-13; grid points and densities built on them carry a little more.
    for (std::size_t k = 0; k < expected.size(); ++k) EXPECT_NEAR_REL((*actual)[k], expected[k], 1e-12) << k;
  }
}

TEST(BSNNormalInference, KnownVarianceCurvesAndIntervalEdges) {
  BSNSettings settings = SettingsFor(Case("known flat"));
  settings.SetNPlotPoints(5);
  KQWarnings warnings;
  BSNNormalInference inference(settings, warnings, {3.2}, {1.5}, {12.0});
  inference.Compute();
  // -(ss + n (x - xbar)^2) / (2 sigma^2) on qnorm(c(0.0025, 0.9975), xbar, sqrt(2)), worked in R
  const std::vector<double> loglik = kqtest::ReferenceValues(Reference(), "loglik");
  ASSERT_EQ(loglik.size(), 5u);
  ASSERT_EQ(inference.GetPlotLikelihoods()[0].size(), 5u);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR_REL(inference.GetPlotLikelihoods()[0][k], loglik[k], 1e-12);
  // The flat prior is drawn over the likelihood's arguments with two values.
  EXPECT_EQ(inference.GetPlotArguments4Prior()[0], inference.GetPlotArguments4Likelihoods()[0]);
  EXPECT_EQ(inference.GetPlotPrior()[0], (std::vector<double>{1.0, 1.0}));

  // Degenerate laws give missing ranges; a tail of 0 gives infinite limits. Neither carries a grid.
  for (const Range& range : {NormalRange(0.025, 1.0, 0.0), TRange(0.025, 1.0, 1.0, 0.0)}) {
    EXPECT_EQ(range.lower, kMissing);
    EXPECT_TRUE(PlotGrid(range, 10).empty());
  }
  EXPECT_TRUE(PlotGrid(NormalRange(0.0, 1.0, 1.0), 10).empty());
  // dt((-40 - 1.5) / 0.5, 7.5) / 0.5 in R: far in the tail the density keeps its relative accuracy.
  EXPECT_NEAR_REL(ScaledTDensities({-40.0}, 1.5, 0.25, 7.5)[0], 1.9603960742124447e-13, 1e-13);
}

TEST(BSNNormalInference, TooFewCasesForJeffreys2AndDiffuse) {
  struct Counts {
    const char* prior;
    double n0, n1;  // variable 0 too few, variable 1 just enough
    int code;
    double variance1;  // w nu / (nu - 2) with nu = 3 and w = (n - 1) s^2 / (n nu), s = 1.5
  };
  for (const Counts& c : {Counts{"diffuse", 5, 6, BSN_DF_NOT_ABOVE_5_DIFFUSE, 5 * 2.25 / 6},
                          Counts{"jeffreys 2", 3, 4, BSN_DF_NOT_ABOVE_3_JEFFREYS2, 3 * 2.25 / 4}}) {
    SCOPED_TRACE(c.prior);
    const BSNSettings settings = SettingsFor(Case(c.prior), 2);
    KQWarnings warnings;
    BSNNormalInference inference(settings, warnings, {3.2, 3.2}, {1.5, 1.5}, {c.n0, c.n1});
    EXPECT_TRUE(inference.Compute().IsOK());
    ASSERT_EQ(warnings.Size(), 1u);
    EXPECT_EQ(warnings[0].GetErrorCode(), c.code);
    EXPECT_TRUE(warnings[0].IsWarning());
    EXPECT_EQ(warnings[0].GetDiscreteDatum(0), 0);
    ExpectUncomputed(inference, 0);
    EXPECT_NEAR_REL(inference.GetVarianceValues()[1], c.variance1, 1e-14);
  }
  // Jeffreys 4 with n = 2: nu = 3, w = 2.25 / 6, variance 3 w.
  KQWarnings warnings;
  const BSNSettings settings = SettingsFor(Case("jeffreys 4"));
  BSNNormalInference jeffreys4(settings, warnings, {3.2}, {1.5}, {2.0});
  jeffreys4.Compute();
  EXPECT_NEAR_REL(jeffreys4.GetVarianceValues()[0], 3 * 2.25 / 6, 1e-14);
}

TEST(BSNNormalInference, UnsupportedPriorsFallBackWithAWarning) {
  const PriorCase& diffuse = Case("diffuse");
  const PriorCase& flat = Case("known flat");
  struct Fallback {
    PriorCase settingsCase;
    const PriorCase* expected;
  };
  PriorCase knownGamma = flat, normalJeffreys = diffuse, diffuseGamma = diffuse, poissonMean = diffuse;
  knownGamma.meanDist = DistTypes::Gamma;
  normalJeffreys.meanDist = DistTypes::Normal;
  normalJeffreys.varianceDist = DistTypes::Jeffreys2;
  diffuseGamma.varianceDist = DistTypes::Gamma;
  poissonMean.meanDist = DistTypes::Poisson;
  for (const Fallback& f : {Fallback{knownGamma, &flat}, Fallback{normalJeffreys, &diffuse},
                            Fallback{diffuseGamma, &diffuse}, Fallback{poissonMean, &diffuse}}) {
    KQWarnings warnings;
    const BSNSettings settings = SettingsFor(f.settingsCase);
    BSNNormalInference inference(settings, warnings, {3.2}, {1.5}, {12.0});
    EXPECT_TRUE(inference.Compute().IsOK());
    ExpectSummary(inference, 0, *f.expected);
    ASSERT_EQ(warnings.Size(), 1u);
    EXPECT_EQ(warnings[0].GetErrorCode(), BSN_PRIOR_NOT_SUPPORTED);
    EXPECT_FALSE(warnings[0].HasDiscreteDatum(0));
  }
}

TEST(BSNNormalInference, UncomputableVariablesStayMissingSilently) {
  // n = 1, s = 0, a missing mean; then a normal prior without its mean.
  BSNSettings settings = SettingsFor(Case("jeffreys 4"), 3);
  KQWarnings warnings;
  BSNNormalInference inference(settings, warnings, {3.2, 3.2, kMissing}, {1.5, 0.0, 1.5}, {1.0, 10.0, 10.0});
  EXPECT_TRUE(inference.Compute().IsOK());
  for (std::size_t i = 0; i < 3; ++i) ExpectUncomputed(inference, i);
  settings = SettingsFor(Case("gamma(3, 2)"));
  settings.SetMeanDistParam1(kMissing);
  BSNNormalInference noPriorMean(settings, warnings, {3.2}, {1.5}, {12.0});
  noPriorMean.Compute();
  ExpectUncomputed(noPriorMean, 0);
  EXPECT_TRUE(warnings.IsEmpty());

  BSNSettings none;  // no test variable
  EXPECT_EQ(BSNNormalInference(none, warnings, {}, {}, {}).Compute().GetErrorCode(),
            BSN_TOO_FEW_CORR_VARIABLES);
}

TEST(BSNNormalInference, LimitsOfTheSettings) {
  // A very vague normal prior gives the flat-prior posterior; a missing CILevel means 95 %.
  BSNSettings vague = SettingsFor(Case("known normal"));
  vague.SetMeanDistParam2(1e12);
  BSNSettings noLevel = SettingsFor(Case("known flat"));
  noLevel.SetCILevel(kMissing);
  for (const BSNSettings& settings : {vague, noLevel}) {
    KQWarnings warnings;
    BSNNormalInference inference(settings, warnings, {3.2}, {1.5}, {12.0});
    inference.Compute();
    const std::vector<double> flat = kqtest::ReferenceValues(Reference(), "known flat");
    ASSERT_EQ(flat.size(), 4u);
    EXPECT_NEAR_REL(inference.GetPostMeanValues()[0], flat[0], 1e-11);
    EXPECT_NEAR_REL(inference.GetVarianceValues()[0], flat[1], 1e-11);
    EXPECT_NEAR_REL(inference.GetLowerLimits()[0], flat[2], 1e-11);
    EXPECT_NEAR_REL(inference.GetUpperLimits()[0], flat[3], 1e-11);
  }
}
