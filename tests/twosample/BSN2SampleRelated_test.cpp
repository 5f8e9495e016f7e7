#include <gtest/gtest.h>

#include "frame/BSNStatusCodes.h"
#include "tests/twosample/IndependentAnalysisRun.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using namespace kqtest;
using Analysis = BSNConst::AnalysTypes;
using RelatedRun = BuiltAnalysis<BSN2SampleRelatedOutputStats>;

// Expected values: rows of tests/reference/related_sleep.out (script related_sleep.R), on Student's sleep
// data with x = extra sleep under drug 1 and y = under drug 2, and differences x - y.
namespace {

std::vector<double> Reference(const std::string& label) {
  return ReferenceRows("related_sleep.out", label).at(0);
}

/// Columns x, y, z (x without patient 3).
Rows SleepData() {
  const std::vector<double> x = {0.7, -1.6, -0.2, -1.2, -0.1, 3.4, 3.7, 0.8, 0.0, 2.0};
  std::vector<double> z = x;
  z[2] = kMissing;
  return FromColumns({x, {1.9, 0.8, 1.1, 0.1, -0.1, 4.4, 5.5, 1.6, 4.6, 3.4}, z});
}

BSNSettings RelatedSettings(Analysis type, const std::vector<int>& first, const std::vector<int>& second) {
  BSNSettings settings;
  settings.SetModelType(BSNConst::ModelTypes::Related, true);
  settings.SetAnalysType(type);
  settings.SetCovariates(first);
  settings.Set2ndRelatedList(second);
  return settings;
}

}  // namespace

TEST(BSN2SampleRelated, PairedTTestAndJzsFactorMatchR) {
  // Pair 1 is pair 0 tested against a mean difference of -1. The t, the mean difference and the factor of
  // pair 0 are also compared with R by the command's example table.
  BSNSettings settings = RelatedSettings(Analysis::BayesFactor, {0, 0}, {1, 1});
  settings.SetNullValues({0.0, -1.0});
  const RelatedRun run(settings, SleepData());
  EXPECT_TRUE(run.ListedWarnings().empty());
  const BSN2SampleRelatedOutputStats& r = *run.Record();
  // t.test(x, y, paired = TRUE): t, df, p; sd(d), sd(d)/sqrt(10); t.test(x, y, paired = TRUE, mu = -1)
  const std::vector<double> t = Reference("t df p"), moments = Reference("mean sd se"),
                            shifted = Reference("mu = -1: t p");
  ExpectAllNear({r.GetTValues()[0], r.GetDFValues()[0], r.GetSigs()[0], r.GetStdDevs()[0], r.GetEMs()[0],
                 r.GetTValues()[1], r.GetSigs()[1]},
                {t[0], t[1], t[2], moments[1], moments[2], shifted[0], shifted[1]}, 1e-12);
  // 1/extractBF(ttestBF(x, y, paired = TRUE, rscale = 1))$bf, within its proportional error 6.1e-10.
  EXPECT_NEAR_REL(r.GetBayesFactors()[0], Reference("ttestBF BF01, error")[0], 6.1e-10);
  EXPECT_TRUE(r.GetModeValues().empty());  // no posterior was asked for
}

TEST(BSN2SampleRelated, PosteriorAndFactorsChosenPerPair) {
  // Diffuse prior, nu = n - 3 = 7, w = SS/(n nu): mean(d), w nu/(nu - 2), mean(d) + sqrt(w) qt(c(.025,
  // .975), 7). Pair 0 has no known variance and takes the fixed-g factor with g = 0.5; pair 1 the
  // known-variance factor with sigma^2 = 1.5 and g = 2 (closed forms in related_sleep.R).
  BSNSettings settings = RelatedSettings(Analysis::Both, {0, 0}, {1, 1});
  settings.SetEstBFType(BSNConst::EstBFTypes::Simple);
  settings.SetAlterGValues({0.5, 2.0});
  settings.SetDataVarVals({kMissing, 1.5});
  const RelatedRun run(settings, SleepData());
  const BSN2SampleRelatedOutputStats& r = *run.Record();
  ExpectAllNear(
      {r.GetPostMeanValues()[0], r.GetVarianceValues()[0], r.GetLowerLimits()[0], r.GetUpperLimits()[0]},
      Reference("diffuse"), 1e-13);
  ExpectAllNear(r.GetBayesFactors(), {Reference("fixed g 0.5")[0], Reference("known variance 1.5, g 2")[0]},
                1e-12);
}

TEST(BSN2SampleRelated, SwappedPairsFlipTheDifferenceOnly) {
  const RelatedRun run(RelatedSettings(Analysis::Both, {0, 1}, {1, 0}), SleepData());
  const BSN2SampleRelatedOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetMeanDiffValues()[1], -r.GetMeanDiffValues()[0]);
  EXPECT_EQ(r.GetTValues()[1], -r.GetTValues()[0]);
  EXPECT_NEAR_REL(r.GetBayesFactors()[1], r.GetBayesFactors()[0], 1e-15);  // the Cauchy prior is symmetric
  EXPECT_NEAR_REL(r.GetLowerLimits()[1], -r.GetUpperLimits()[0], 1e-14);
}

TEST(BSN2SampleRelated, PairwiseDeletion) {
  // Pair 0 is (x, y), pair 1 (z, y) with patient 3 missing from z only: t.test(x[-3], y[-3], paired = TRUE)
  const RelatedRun run(RelatedSettings(Analysis::Both, {0, 2}, {1, 1}), SleepData());
  EXPECT_EQ(run.Record()->GetNs(), (std::vector<double>{10.0, 9.0}));
  const std::vector<double> t = ReferenceRows("related_sleep.out", "t df p").at(1);
  ExpectAllNear({run.Record()->GetTValues()[1], run.Record()->GetSigs()[1]}, {t[0], t[2]}, 1e-12);
}

TEST(BSN2SampleRelated, DegeneratePairsWarnAndStayMissing) {
  // Columns a, b = a + 2.5 (exact in binary, so the differences are exactly constant), c with one value, m
  // all missing. Pairs (a, b), (a, c), (a, m).
  const RelatedRun run(
      RelatedSettings(Analysis::Both, {0, 0, 0}, {1, 2, 3}),
      FromColumns({{1, 2, 3, 5, 8}, {3.5, 4.5, 5.5, 7.5, 10.5}, {kMissing, kMissing, 4}, {kMissing}}));
  ASSERT_TRUE(run.status.IsOK());
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_CONSTANT_PAIR_NORMAL, 0},
                                            {BSN_FEW_VALID_CASES_PAIR, 1},
                                            {BSN_FEW_VALID_CASES_PAIR, 2}}));
  const BSN2SampleRelatedOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetMeanDiffValues(), (std::vector<double>{-2.5, -1.0, kMissing}));
  EXPECT_EQ(r.GetStdDevs(), (std::vector<double>{0.0, kMissing, kMissing}));
  EXPECT_EQ(r.GetDFValues(), (std::vector<double>{4.0, 0.0, kMissing}));
  for (const auto* list : {&r.GetEMs(), &r.GetTValues(), &r.GetBayesFactors(), &r.GetPostMeanValues()})
    EXPECT_EQ(*list, std::vector<double>(3, kMissing));
}

TEST(BSN2SampleRelated, DecimalConstantDifferencesCountAsConstant) {
  // b = a + 0.1 written in decimal: the differences differ from 0.1 only by rounding, and these values
  // leave Sxx + Syy - 2 Sxy at +4.5e-13 rather than 0. A difference that really varies (c - a, by 1e-4
  // on values near 50) is kept.
  const RelatedRun run(RelatedSettings(Analysis::BayesFactor, {0, 0}, {1, 2}),
                       FromColumns({{41.9, 31.3, 68.5, 52.4, 20.4},
                                    {42.0, 31.4, 68.6, 52.5, 20.5},
                                    {41.9001, 31.3, 68.5, 52.4002, 20.4}}));
  EXPECT_EQ(run.ListedWarnings(), (Warnings{{BSN_CONSTANT_PAIR_NORMAL, 0}}));
  EXPECT_EQ(run.Record()->GetStdDevs()[0], 0.0);
  EXPECT_GT(run.Record()->GetStdDevs()[1], 0.0);
}

TEST(BSN2SampleRelated, BuildErrorsLeaveNoRecord) {
  BSNSettings mismatched = RelatedSettings(Analysis::BayesFactor, {0}, {1, 1});  // lists of two lengths
  BSNSettings simpleWithoutG = RelatedSettings(Analysis::BayesFactor, {0}, {1});
  simpleWithoutG.SetEstBFType(BSNConst::EstBFTypes::Simple);
  for (const BSNSettings& settings :
       {mismatched, simpleWithoutG, RelatedSettings(Analysis::BayesFactor, {}, {})})
    EXPECT_EQ(RelatedRun(settings, SleepData()).status, KQStatus(BSN_BAD_PARAMETER, false));
}

TEST(BSN2SampleRelated, TimestampPairsKeepTheSpreadOfTheirDifferences) {
  // Epoch seconds a week apart, each paired with a reading 0.1 k seconds earlier: the differences are
  // 0, 0.1, ..., 0.6, whose mean is 0.3 and standard deviation 0.1 sd(0:6) (R: 0.1 * sd(0:6) =
  // 0.21602468994692867). x and y are held to about 1e-7 s, which bounds the accuracy.
  std::vector<double> x, y;
  for (int k = 0; k < 7; ++k) {
    x.push_back(1.7e9 + 604800.0 * k);
    y.push_back(x.back() - 0.1 * k);
  }
  const RelatedRun run(RelatedSettings(Analysis::BayesFactor, {0}, {1}), FromColumns({x, y}));
  EXPECT_TRUE(run.ListedWarnings().empty());
  EXPECT_NEAR_REL(run.Record()->GetMeanDiffValues()[0], 0.3, 1e-6);
  EXPECT_NEAR_REL(run.Record()->GetStdDevs()[0], 0.21602468994692867, 1e-5);
}
