#include "onesample/detail/BSNNormalInference.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/BSNStatusCodes.h"
#include "frame/detail/PlotDensities.h"
#include "frame/detail/PlotGrid.h"
#include "tests/support/ExpectNearRel.h"

using namespace KQBSN_850;
using BSNConst::DistTypes;
using KQCommon_850::KQMV;
using KQCommon_850::KQWarnings;

namespace {

constexpr double kMissing = KQMV::Missing();

// Summary statistics of every case: n = 12, xbar = 3.2, s = 1.5; prior mean 2.5, tau^2 = 4, kappa0 = 2.
struct PriorCase {
  const char* name;
  DistTypes meanDist;
  DistTypes varianceDist;
  double param1, param2;  ///< PriorDistParam1, PriorDistParam2
  double knownVariance;   ///< missing: the variance is estimated
  double ciLevel;
  double mean, variance, lower, upper;
};

// tests/reference/normal_onesample.R, section "posterior of mu": each case's posterior worked by hand
// in R, limits with qnorm for a normal posterior and m +/- sqrt(w) qt(p, nu) for a t posterior.
const std::vector<PriorCase> kCases = {
    {"known, normal prior", DistTypes::Normal, DistTypes::Diffuse, kMissing, kMissing, 2.0, 95.0,
     3.1720000000000006, 0.16, 2.388014406183979, 3.9559855938160222},
    {"known, flat prior", DistTypes::Diffuse, DistTypes::Diffuse, kMissing, kMissing, 2.0, 95.0,
     3.2000000000000002, 1.0 / 6.0, 2.399848053940782, 4.0001519460592183},
    {"inverse chi-square", DistTypes::Normal, DistTypes::InverseChiSquare, 4.0, 1.2, kMissing, 95.0,
     3.1000000000000005, 0.15505102040816326, 2.3191676438149238, 3.8808323561850768},
    {"inverse chi-square 90%", DistTypes::Normal, DistTypes::InverseChiSquare, 4.0, 1.2, kMissing, 90.0,
     3.1000000000000005, 0.15505102040816326, 2.4569323756713883, 3.7430676243286123},
    {"gamma", DistTypes::Normal, DistTypes::Gamma, 3.0, 2.0, kMissing, 95.0, 3.1000000000000005,
     0.13209821428571428, 2.3800834636304558, 3.8199165363695453},
    {"chi-square", DistTypes::Normal, DistTypes::ChiSquare, 5.0, kMissing, kMissing, 95.0, 3.1000000000000005,
     0.1266190476190476, 2.3947953216540325, 3.8052046783459685},
    {"inverse gamma", DistTypes::Normal, DistTypes::InverseGamma, 3.0, 2.0, kMissing, 95.0,
     3.1000000000000005, 0.13209821428571428, 2.3800834636304558, 3.8199165363695453},
    {"jeffreys 4", DistTypes::Diffuse, DistTypes::Jeffreys4, kMissing, kMissing, kMissing, 95.0,
     3.2000000000000002, 0.1875, 2.3394954516996407, 4.0605045483003597},
    // Jeffreys 2 is the classical interval: xbar + qt(c(0.025, 0.975), 11) * s / sqrt(12).
    {"jeffreys 2", DistTypes::Diffuse, DistTypes::Jeffreys2, kMissing, kMissing, kMissing, 95.0,
     3.2000000000000002, 0.22916666666666666, 2.2469454690040402, 4.1530545309959592},
    {"diffuse", DistTypes::Diffuse, DistTypes::Diffuse, kMissing, kMissing, kMissing, 95.0,
     3.2000000000000002, 0.29464285714285715, 2.1170747051659156, 4.2829252948340848},
};

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
  EXPECT_NEAR_REL(inference.GetModeValues()[i], c.mean, 1e-14);
  EXPECT_NEAR_REL(inference.GetPostMeanValues()[i], c.mean, 1e-14);
  EXPECT_NEAR_REL(inference.GetVarianceValues()[i], c.variance, 1e-14);
  EXPECT_NEAR_REL(inference.GetLowerLimits()[i], c.lower, 1e-13);
  EXPECT_NEAR_REL(inference.GetUpperLimits()[i], c.upper, 1e-13);
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
  BSNSettings settings = SettingsFor(Case("inverse chi-square"));
  settings.SetNPlotPoints(5);
  KQWarnings warnings;
  BSNNormalInference inference(settings, warnings, {3.2}, {1.5}, {12.0});
  inference.Compute();
  const std::vector<std::pair<const std::vector<double>*, std::vector<double>>> curves = {
      // seq(m + sqrt(w) qt(0.0025, 16), m + sqrt(w) qt(0.9975, 16), length.out = 5); dt((x - m)/sqrt(w),
      // 16)/sqrt(w)
      {&inference.GetPlotArguments4Posterior()[0],
       {1.9021817487157291, 2.5010908743578657, 3.1000000000000023, 3.6989091256421389, 4.2978182512842755}},
      {&inference.GetPlotPosterior()[0],
       {0.014283042540400101, 0.29063751296684459, 1.0663193029900684, 0.29063751296684054,
        0.014283042540399804}},
      // the prior N(2.5, (4 * 1.2 / 6) / 2) by qnorm and dnorm
      {&inference.GetPlotArguments4Prior()[0],
       {0.72467596460562511, 1.6123379823028137, 2.5000000000000022, 3.387662017697191, 4.2753240353943793}},
      {&inference.GetPlotPrior()[0],
       {0.012271049923547441, 0.23557569625328839, 0.63078313050504009, 0.23557569625328589,
        0.012271049923547194}},
      // the profile -n/2 log((x - xbar)^2 + s^2 (n - 1)/n) on qnorm(c(0.0025, 0.9975), xbar, s)
      {&inference.GetPlotArguments4Likelihoods()[0],
       {-1.0105506525157066, 1.0947246737421494, 3.2000000000000055, 5.3052753262578616, 7.4105506525157177}},
      {&inference.GetPlotLikelihoods()[0],
       {-17.911435522443156, -11.225904160940832, -4.3435130353601936, -11.225904160940871,
        -17.911435522443181}},
  };
  for (const auto& [actual, expected] : curves) {
    ASSERT_EQ(actual->size(), expected.size());
    // The quantiles are good to 1e-13; grid points and densities built on them carry a little more.
    for (std::size_t k = 0; k < expected.size(); ++k) EXPECT_NEAR_REL((*actual)[k], expected[k], 1e-12) << k;
  }
}

TEST(BSNNormalInference, KnownVarianceCurvesAndIntervalEdges) {
  BSNSettings settings = SettingsFor(Case("known, flat prior"));
  settings.SetNPlotPoints(5);
  KQWarnings warnings;
  BSNNormalInference inference(settings, warnings, {3.2}, {1.5}, {12.0});
  inference.Compute();
  // -(ss + n (x - xbar)^2) / (2 sigma^2) on qnorm(c(0.0025, 0.9975), xbar, sqrt(2)), worked in R
  const std::vector<double> loglik = {-53.464131459734517, -18.006657864933601, -6.1875, -18.006657864933729,
                                      -53.464131459734759};
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
  const PriorCase& flat = Case("known, flat prior");
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
  settings = SettingsFor(Case("gamma"));
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
  BSNSettings vague = SettingsFor(Case("known, normal prior"));
  vague.SetMeanDistParam2(1e12);
  BSNSettings noLevel = SettingsFor(Case("known, flat prior"));
  noLevel.SetCILevel(kMissing);
  for (const BSNSettings& settings : {vague, noLevel}) {
    KQWarnings warnings;
    BSNNormalInference inference(settings, warnings, {3.2}, {1.5}, {12.0});
    inference.Compute();
    const PriorCase& flat = Case("known, flat prior");
    EXPECT_NEAR_REL(inference.GetPostMeanValues()[0], flat.mean, 1e-11);
    EXPECT_NEAR_REL(inference.GetVarianceValues()[0], flat.variance, 1e-11);
    EXPECT_NEAR_REL(inference.GetLowerLimits()[0], flat.lower, 1e-11);
    EXPECT_NEAR_REL(inference.GetUpperLimits()[0], flat.upper, 1e-11);
  }
}
