#include <gtest/gtest.h>

#include <cmath>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "tests/support/BuiltAnalysis.h"
#include "tests/support/ExpectNearRel.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using Analysis = BSNConst::AnalysTypes;

// Expected values: tests/reference/related_sleep.R (output in related_sleep.out), on Student's sleep
// data with x = extra sleep under drug 1 and y = under drug 2, and differences x - y.
namespace {

constexpr double kMissing = KQCommon_850::KQMV::Missing();

/// Columns x, y, w (weights rounding to 1 2 0 1 1 2 1 1 1 1), z (x without patient 3).
kqtest::Rows SleepData() {
  const std::vector<double> x = {0.7, -1.6, -0.2, -1.2, -0.1, 3.4, 3.7, 0.8, 0.0, 2.0};
  const std::vector<double> y = {1.9, 0.8, 1.1, 0.1, -0.1, 4.4, 5.5, 1.6, 4.6, 3.4};
  const std::vector<double> w = {1.0, 2.0, 0.4, 1.0, 1.0, 1.5, 1.0, 1.0, 1.0, 1.0};
  std::vector<std::vector<double>> rows;
  for (std::size_t i = 0; i < x.size(); ++i) rows.push_back({x[i], y[i], w[i], i == 2 ? kMissing : x[i]});
  return kqtest::Rows(rows.begin(), rows.end());
}

BSNSettings RelatedSettings(Analysis type, const std::vector<int>& first, const std::vector<int>& second) {
  BSNSettings settings;
  settings.SetModelType(BSNConst::ModelTypes::Related, true);
  settings.SetAnalysType(type);
  settings.SetCovariates(first);
  settings.Set2ndRelatedList(second);
  return settings;
}

using RelatedRun = kqtest::BuiltAnalysis<BSN2SampleRelatedOutputStats>;

kqtest::Rows FromRows(const std::vector<std::vector<double>>& rows) { return {rows.begin(), rows.end()}; }

}  // namespace

TEST(BSN2SampleRelated, PairedTTestAndJzsFactorMatchR) {
  // Pair 1 is pair 0 tested against a mean difference of -1.
  BSNSettings settings = RelatedSettings(Analysis::BayesFactor, {0, 0}, {1, 1});
  settings.SetNullValues({0.0, -1.0});
  const RelatedRun run(settings, SleepData());
  ASSERT_NE(run.Record(), nullptr);
  EXPECT_TRUE(run.ListedWarnings().empty());
  const BSN2SampleRelatedOutputStats& r = *run.Record();
  // t.test(x, y, paired = TRUE); sd(d), sd(d)/sqrt(10)
  // and t.test(x, y, paired = TRUE, mu = -1)
  const double actual[] = {r.GetTValues()[0], r.GetSigs()[0],    r.GetStdDevs()[0],
                           r.GetEMs()[0],     r.GetTValues()[1], r.GetSigs()[1]};
  const double expected[] = {-4.0621276833820366, 0.0028328901973842702, 1.2299954832798732,
                             0.3889587238883952,  -1.4911607951655579,   0.17011177089742277};
  for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR_REL(actual[k], expected[k], 1e-12) << k;
  EXPECT_EQ(r.GetDFValues()[0], 9.0);
  EXPECT_EQ(r.GetNs()[0], 10.0);
  // 1/extractBF(ttestBF(x, y, paired = TRUE, rscale = 1))$bf, within its proportional error 6.1e-10; and
  // within the default quadrature tolerance 1e-6 of R's integrate() of the g-integral at rel.tol 1e-12.
  EXPECT_NEAR_REL(r.GetBayesFactors()[0], 0.054302938332765019, 6.1e-10);
  EXPECT_NEAR_REL(r.GetBayesFactors()[0], 0.054302938332752564, 1e-6);
  EXPECT_TRUE(r.GetModeValues().empty());  // no posterior was asked for
}

TEST(BSN2SampleRelated, PosteriorLimitsMatchQt) {
  const RelatedRun run(RelatedSettings(Analysis::Both, {0}, {1}), SleepData());
  ASSERT_NE(run.Record(), nullptr);
  // Diffuse prior, nu = n - 3 = 7, w = SS/(n nu): mean(d), w nu/(nu - 2), mean(d) + sqrt(w) qt(.025, 7)
  // and mean(d) + sqrt(w) qt(.975, 7)
  EXPECT_NEAR_REL(run.Record()->GetPostMeanValues()[0], -1.58, 1e-14);
  EXPECT_NEAR_REL(run.Record()->GetVarianceValues()[0], 0.27232, 1e-13);
  EXPECT_NEAR_REL(run.Record()->GetLowerLimits()[0], -2.6228885294646207, 1e-13);
  EXPECT_NEAR_REL(run.Record()->GetUpperLimits()[0], -0.53711147053537944, 1e-13);
}

TEST(BSN2SampleRelated, FactorChosenPerPair) {
  // Pair 0 has no known variance and takes the fixed-g factor with g = 0.5; pair 1 the known-variance
  // factor with sigma^2 = 1.5 and g = 2 (closed forms in related_sleep.R).
  BSNSettings settings = RelatedSettings(Analysis::BayesFactor, {0, 0}, {1, 1});
  settings.SetEstBFType(BSNConst::EstBFTypes::Simple);
  settings.SetAlterGValues({0.5, 2.0});
  settings.SetDataVarVals({kMissing, 1.5});
  const RelatedRun run(settings, SleepData());
  ASSERT_NE(run.Record(), nullptr);
  EXPECT_NEAR_REL(run.Record()->GetBayesFactors()[0], 0.050876374262582194, 1e-12);
  EXPECT_NEAR_REL(run.Record()->GetBayesFactors()[1], 0.0016568813536362627, 1e-12);
}

TEST(BSN2SampleRelated, SwappedPairsFlipTheDifferenceOnly) {
  const RelatedRun run(RelatedSettings(Analysis::Both, {0, 1}, {1, 0}), SleepData());
  ASSERT_NE(run.Record(), nullptr);
  const BSN2SampleRelatedOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetMeanDiffValues()[1], -r.GetMeanDiffValues()[0]);
  EXPECT_EQ(r.GetTValues()[1], -r.GetTValues()[0]);
  EXPECT_NEAR_REL(r.GetSigs()[1], r.GetSigs()[0], 1e-15);
  EXPECT_NEAR_REL(r.GetBayesFactors()[1], r.GetBayesFactors()[0], 1e-15);  // the Cauchy prior is symmetric
  EXPECT_NEAR_REL(r.GetLowerLimits()[1], -r.GetUpperLimits()[0], 1e-14);
}

TEST(BSN2SampleRelated, PairwiseDeletion) {
  // Pair 0 is (x, y), pair 1 (z, y) with patient 3 missing from z only.
  const BSNSettings unweighted = RelatedSettings(Analysis::Both, {0, 3}, {1, 1});
  const RelatedRun pairwise(unweighted, SleepData());
  ASSERT_NE(pairwise.Record(), nullptr);
  EXPECT_EQ(pairwise.Record()->GetNs(), (std::vector<double>{10.0, 9.0}));
  // t.test(x[-3], y[-3], paired = TRUE)
  EXPECT_NEAR_REL(pairwise.Record()->GetTValues()[1], -3.7167271149198666, 1e-13);
  EXPECT_NEAR_REL(pairwise.Record()->GetSigs()[1], 0.0058990589855390865, 1e-12);
}

TEST(BSN2SampleRelated, DegeneratePairsWarnAndStayMissing) {
  // Columns a, b = a + 2.5 (exact in binary, so the differences are exactly constant), c with one
  // value, m all missing. Pairs (a, b), (a, c), (a, m).
  std::vector<std::vector<double>> rows;
  for (double a : {1.0, 2.0, 3.0, 5.0, 8.0})
    rows.push_back({a, a + 2.5, a == 3.0 ? 4.0 : kMissing, kMissing});
  const RelatedRun run(RelatedSettings(Analysis::Both, {0, 0, 0}, {1, 2, 3}), FromRows(rows));
  ASSERT_TRUE(run.status.IsOK());
  ASSERT_NE(run.Record(), nullptr);
  EXPECT_EQ(run.ListedWarnings(), (kqtest::Warnings{{BSN_CONSTANT_PAIR_NORMAL, 0},
                                                    {BSN_FEW_VALID_CASES_PAIR, 1},
                                                    {BSN_FEW_VALID_CASES_PAIR, 2}}));
  const BSN2SampleRelatedOutputStats& r = *run.Record();
  EXPECT_EQ(r.GetMeanDiffValues(), (std::vector<double>{-2.5, -1.0, kMissing}));
  EXPECT_EQ(r.GetStdDevs(), (std::vector<double>{0.0, kMissing, kMissing}));
  EXPECT_EQ(r.GetDFValues(), (std::vector<double>{4.0, 0.0, kMissing}));
  EXPECT_EQ(r.GetNs(), (std::vector<double>{5.0, 1.0, 0.0}));
  for (const auto* list : {&r.GetEMs(), &r.GetTValues(), &r.GetBayesFactors(), &r.GetPostMeanValues()}) {
    EXPECT_EQ(*list, std::vector<double>(3, kMissing));
  }
}

TEST(BSN2SampleRelated, DecimalConstantDifferencesCountAsConstant) {
  // b = a + 0.1 written in decimal: the differences differ from 0.1 only by rounding, and these values
  // leave Sxx + Syy - 2 Sxy at +4.5e-13 rather than 0. A difference that really varies (c - a, by 1e-4
  // on values near 50) is kept.
  const kqtest::Rows decimal = FromRows({{41.9, 42.0, 41.9001},
                                         {31.3, 31.4, 31.3},
                                         {68.5, 68.6, 68.5},
                                         {52.4, 52.5, 52.4002},
                                         {20.4, 20.5, 20.4}});
  const RelatedRun run(RelatedSettings(Analysis::BayesFactor, {0, 0}, {1, 2}), decimal);
  ASSERT_TRUE(run.status.IsOK());
  EXPECT_EQ(run.ListedWarnings(), (kqtest::Warnings{{BSN_CONSTANT_PAIR_NORMAL, 0}}));
  EXPECT_EQ(run.Record()->GetStdDevs()[0], 0.0);
  EXPECT_TRUE(KQMV::IsMissing(run.Record()->GetTValues()[0]));
  EXPECT_GT(run.Record()->GetStdDevs()[1], 0.0);
}

TEST(BSN2SampleRelated, BuildErrorsLeaveNoRecord) {
  BSNSettings mismatched = RelatedSettings(Analysis::BayesFactor, {0, 3}, {1, 1});
  mismatched.SetCovariates({0});  // the second list keeps two entries
  BSNSettings simpleWithoutG = RelatedSettings(Analysis::BayesFactor, {0}, {1});
  simpleWithoutG.SetEstBFType(BSNConst::EstBFTypes::Simple);
  BSNSettings knownVarianceShortG = RelatedSettings(Analysis::BayesFactor, {0, 3}, {1, 1});
  knownVarianceShortG.SetDataVarVals({1.5, 1.5});
  knownVarianceShortG.SetAlterGValues({2.0});
  for (auto [settings, data, code] :
       {std::tuple{mismatched, SleepData(), BSN_BAD_PARAMETER},
        std::tuple{RelatedSettings(Analysis::BayesFactor, {}, {}), SleepData(), BSN_BAD_PARAMETER},
        std::tuple{RelatedSettings(Analysis::BayesFactor, {0, 1}, {1, -1}), SleepData(), BSN_BAD_PARAMETER},
        std::tuple{simpleWithoutG, SleepData(), BSN_BAD_PARAMETER},
        std::tuple{knownVarianceShortG, SleepData(), BSN_BAD_PARAMETER}}) {
    EXPECT_EQ(RelatedRun(settings, data).status.GetErrorCode(), code);
  }
}

TEST(BSN2SampleRelated, TimestampPairsKeepTheSpreadOfTheirDifferences) {
  // Epoch seconds a week apart, each paired with a reading 0.1 k seconds earlier: the differences are
  // 0, 0.1, ..., 0.6, whose mean is 0.3 and standard deviation 0.1 sd(0:6) (R: 0.1 * sd(0:6) =
  // 0.21602468994692867). x and y are held to about 1e-7 s, which bounds the accuracy.
  std::vector<std::vector<double>> rows;
  for (int k = 0; k < 7; ++k) {
    const double x = 1.7e9 + 604800.0 * k;
    rows.push_back({x, x - 0.1 * k});
  }
  const RelatedRun run(RelatedSettings(Analysis::BayesFactor, {0}, {1}), FromRows(rows));
  ASSERT_TRUE(run.status.IsOK());
  EXPECT_TRUE(run.ListedWarnings().empty());
  EXPECT_NEAR_REL(run.Record()->GetMeanDiffValues()[0], 0.3, 1e-6);
  EXPECT_NEAR_REL(run.Record()->GetStdDevs()[0], 0.21602468994692867, 1e-5);
}
