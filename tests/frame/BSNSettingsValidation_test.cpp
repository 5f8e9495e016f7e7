// Each expectation below follows from the validation rules worked through by hand for the
// settings the test builds.

#include <gtest/gtest.h>

#include "frame/BSNSettings.h"
#include "frame/BSNStatusCodes.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::AnalysTypes;
using BSNConst::DistTypes;
using BSNConst::ModelTypes;
using KQCommon_850::KQStatus;

namespace {

BSNSettings OneSample(DistTypes dist, AnalysTypes analysis) {
  BSNSettings s;
  s.SetModelType(ModelTypes::OneSample, true);
  s.SetTestDistType(dist);
  s.SetAnalysType(analysis);
  return s;
}

BSNSettings Binomial(AnalysTypes analysis) {
  BSNSettings s = OneSample(DistTypes::Binomial, analysis);
  s.SetFactors({3, 5});
  s.SetFactorNCategs({2, 2});
  return s;
}

void ExpectError(const KQStatus& status, int code) {
  EXPECT_TRUE(status.IsError()) << status.GetErrorCode();
  EXPECT_EQ(status.GetErrorCode(), code);
}

void ExpectError(const KQStatus& status, int code, long datum) {
  ExpectError(status, code);
  EXPECT_TRUE(status.HasDiscreteDatum(0));
  EXPECT_EQ(status.GetDiscreteDatum(0), datum);
}

}  // namespace

TEST(IsValidSettings, NewSettingsNeedCovariates) {
  BSNSettings s;
  ExpectError(s.IsValidSettings(), BSN_NO_COVARIATES);
  s.SetCovariates({0});
  EXPECT_TRUE(s.IsValidSettings().IsOK());
  // A test distribution without an analysis of its own is not judged.
  BSNSettings gamma = OneSample(DistTypes::Gamma, AnalysTypes::Both);
  EXPECT_TRUE(gamma.IsValidSettings().IsOK());
}

TEST(IsValidSettings, BinomialFactorsAndSizes) {
  BSNSettings s = OneSample(DistTypes::Binomial, AnalysTypes::Posterior);
  ExpectError(s.IsValidSettings(), BSN_BAD_BINOMIAL_FACTORS);
  s.SetFactors({3});
  ExpectError(s.IsValidSettings(), BSN_BAD_BINOMIAL_FACTORS);  // sizes missing
}

TEST(IsValidSettings, BinomialPosteriorFillsNullPriors) {
  BSNSettings s = Binomial(AnalysTypes::Posterior);
  s.SetNullPrior1s({5.0});
  EXPECT_TRUE(s.IsValidSettings().IsOK());
  EXPECT_EQ(s.GetNullPrior1s(), (std::vector<double>{5.0, 2.0}));
  EXPECT_EQ(s.GetNullPrior2s(), (std::vector<double>{2.0, 2.0}));
}

TEST(IsValidSettings, BinomialAlternativePriorsNamedByVariable) {
  BSNSettings s = Binomial(AnalysTypes::BayesFactor);
  s.SetAlterPrior1s({1.0});
  ExpectError(s.IsValidSettings(), BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 5);  // the second factor's index
  s.SetAlterPrior1s({1.0, 1.0});
  s.SetAlterPrior2s({});
  ExpectError(s.IsValidSettings(), BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 3);
  // Without a Bayes factor a short second list is accepted.
  BSNSettings posterior = Binomial(AnalysTypes::Posterior);
  posterior.SetAlterPrior1s({1.0});
  EXPECT_TRUE(posterior.IsValidSettings().IsOK());
}

TEST(IsValidSettings, BinomialPriorPairs) {
  BSNSettings s = Binomial(AnalysTypes::Both);
  s.SetAlterPrior1s({0.0, 1.0});
  s.SetAlterPrior2s({0.0, 1.0});
  EXPECT_TRUE(s.IsValidSettings().IsOK());  // (0, 0) is an accepted pair
  s.SetAlterPrior1s({1.0, 0.0});
  s.SetAlterPrior2s({1.0, 3.0});
  ExpectError(s.IsValidSettings(), BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 1);  // (0, 3) at position 1
  s.SetAlterPrior1s({1.0, 1.0});
  s.SetAlterPrior2s({-1.0, 1.0});
  ExpectError(s.IsValidSettings(), BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 0);
  s.SetAlterPrior2s({1.0, 1.0});
  s.SetNullPrior1s({2.0, 2.0});
  s.SetNullPrior2s({2.0, 0.0});
  // Null parameter 1 passes (2 beside a 0 partner is fine); null parameter 2 = 0 beside 2 is not.
  ExpectError(s.IsValidSettings(), BSN_BAD_PARAMETER, 1);
}

TEST(IsValidSettings, PoissonPriorsMustBePositive) {
  BSNSettings s = OneSample(DistTypes::Poisson, AnalysTypes::BayesFactor);
  ExpectError(s.IsValidSettings(), BSN_NO_COVARIATES);
  s.SetCovariates({2, 4});
  ExpectError(s.IsValidSettings(), BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 2);
  EXPECT_EQ(s.GetNullPrior1s().size(), 2u);  // extended before the alternative lists are judged
  s.SetAlterPrior1s({1.0, 1.0});
  s.SetAlterPrior2s({1.0});
  ExpectError(s.IsValidSettings(), BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 4);
  s.SetAlterPrior2s({1.0, 0.0});
  ExpectError(s.IsValidSettings(), BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 1);
  s.SetAlterPrior2s({1.0, 1.0});
  s.SetNullPrior2s({2.0, -1.0});
  ExpectError(s.IsValidSettings(), BSN_BAD_PARAMETER, 1);
  s.SetNullPrior2s({2.0, 2.0});
  EXPECT_TRUE(s.IsValidSettings().IsOK());
  s.SetAnalysType(AnalysTypes::Posterior);
  s.SetAlterPrior1s({});
  s.SetNullPrior2s({2.0, -1.0});
  EXPECT_TRUE(s.IsValidSettings().IsOK());  // a posterior alone does not judge the prior values
}

TEST(IsValidSettings, RelatedNeedsPairs) {
  BSNSettings s;
  s.SetModelType(ModelTypes::Related, true);
  ExpectError(s.IsValidSettings(), BSN_NO_COVARIATES);
  s.SetCovariates({0, 1});
  ExpectError(s.IsValidSettings(), BSN_NO_COVARIATES);
  ASSERT_TRUE(s.Set2ndRelatedList({2, 3}));
  EXPECT_TRUE(s.IsValidSettings().IsOK());
}

TEST(IsValidSettings, IndependentRulesInOrder) {
  BSNSettings s;
  s.SetModelType(ModelTypes::Independent, true);
  ExpectError(s.IsValidSettings(), BSN_NO_COVARIATES);
  s.SetCovariates({1});
  ExpectError(s.IsValidSettings(), BSN_NO_GROUP_VARIABLE);
  s.SetMeanDistType(DistTypes::Normal);
  s.SetMeanDistParam1(0.0);
  s.SetMeanDistParam2(0.0);
  s.SetMeanDistParam3(1.0);
  ExpectError(s.IsValidSettings(), BSN_BAD_PARAMETER);  // parameter 4 missing, before the group variable
  s.SetMeanDistParam4(2.0);
  ExpectError(s.IsValidSettings(), BSN_MISSING_KNOWN_VARIANCES);
  s.SetDataVarVals({1.0, 0.0});
  ExpectError(s.IsValidSettings(), BSN_MISSING_KNOWN_VARIANCES);
  s.SetDataVarVals({1.0, 2.0});
  ExpectError(s.IsValidSettings(), BSN_NO_GROUP_VARIABLE);
  s.SetAnalysType(AnalysTypes::BayesFactor);  // no posterior: the mean prior is not judged
  s.SetDataVarVals({});
  s.SetPriorDistType(DistTypes::InverseChiSquare);
  s.SetPriorDistParam1(1.0);
  ExpectError(s.IsValidSettings(), BSN_BAD_PARAMETER);
  s.SetPriorDistParam2(3.0);
  s.SetGroupVar(0);
  EXPECT_TRUE(s.IsValidSettings().IsOK());
}

TEST(IsValidSettings, CorrelationBounds) {
  BSNSettings s;
  s.SetModelType(ModelTypes::Correlation, true);
  s.SetCovariates({0});
  ExpectError(s.IsValidSettings(), BSN_TOO_FEW_CORR_VARIABLES);
  s.SetCovariates({0, 1});
  s.SetMaxNPlots(51);
  ExpectError(s.IsValidSettings(), BSN_BAD_PARAMETER, 51);
  s.SetMaxNPlots(50);
  s.SetNullValue(1.0);
  const KQStatus st = s.IsValidSettings();
  ExpectError(st, BSN_BAD_PARAMETER);
  EXPECT_EQ(st.GetScaleDatum(0), 1.0);
  s.SetNullValue(-0.999);
  EXPECT_TRUE(s.IsValidSettings().IsOK());
  s.SetNullValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(s.IsValidSettings().IsOK());
}

TEST(IsValidSettings, RegressionRulesInOrder) {
  BSNSettings s;
  s.SetModelType(ModelTypes::Regression, true);
  ExpectError(s.IsValidSettings(), BSN_NO_DEPENDENT);
  s.SetDependVar(0);
  ExpectError(s.IsValidSettings(), BSN_NO_PREDICTORS);
  s.SetCovariates({1});
  s.SetFactors({2});
  s.SetFactorNCategs({3});
  s.SetAnalysType(AnalysTypes::Both);
  s.SetCompareType(BSNConst::CompareTypes::Full);
  s.SetFullModCovariates({1, 4});
  ExpectError(s.IsValidSettings(), BSN_FULL_MODEL_NOT_SUPERSET);
  s.SetFullModFactors({2});
  s.SetPriorType(BSNConst::PriorTypes::Conjugate);
  ExpectError(s.IsValidSettings(), BSN_BAD_PARAMETER);
  s.SetPriorShape(1.0);
  s.SetPriorScale(1.0);
  s.SetPriorMeans({0, 0, 0, 0});
  ExpectError(s.IsValidSettings(), BSN_BAD_PRIOR_MEANS_LENGTH);  // 1 covariate + intercept + 3 categories = 5
  s.SetPriorMeans({0, 0, 0, 0, 0});
  s.SetPlotFactors({1});
  ExpectError(s.IsValidSettings(), BSN_PLOT_FACTOR_NOT_FOUND);
  s.SetPlotFactors({2});
  s.SetPlotCovars({2});
  ExpectError(s.IsValidSettings(), BSN_PLOT_COVARIATE_NOT_FOUND);
  s.SetPlotCovars({1});
  EXPECT_TRUE(s.IsValidSettings().IsOK());
}

TEST(IsValidSettings, RegressorMismatchIsAWarningThatEmptiesTheList) {
  BSNSettings s;
  s.SetModelType(ModelTypes::Regression, true);
  s.SetDependVar(0);
  s.SetCovariates({1});
  s.SetFactors({2});
  s.SetFactorNCategs({2});
  s.SetRegressors({1.0, 2.0, 3.0});
  const KQStatus st = s.IsValidSettings();
  EXPECT_TRUE(st.IsWarning());
  EXPECT_FALSE(st.IsError());
  EXPECT_EQ(st.GetErrorCode(), BSN_REGRESSOR_MISMATCH);
  EXPECT_TRUE(s.GetRegressors().empty());
  ASSERT_EQ(s.GetWarningMessages().Size(), 1u);
  EXPECT_EQ(s.GetWarningMessages()[0].GetErrorCode(), BSN_REGRESSOR_MISMATCH);
  EXPECT_TRUE(s.IsValidSettings().IsOK());
}

TEST(IsValidSettings, AnovaOneFactor) {
  BSNSettings s;
  s.SetModelType(ModelTypes::Anova, true);
  ExpectError(s.IsValidSettings(), BSN_NO_DEPENDENT);
  s.SetDependVar(0);
  s.SetFactors({1, 2});
  ExpectError(s.IsValidSettings(), BSN_NO_PREDICTORS);
  s.SetFactors({1});
  ExpectError(s.IsValidSettings(), BSN_NO_PREDICTORS);  // no size for the factor
  s.SetFactorNCategs({3});
  s.SetPlotFactorCats({0, 3});
  ExpectError(s.IsValidSettings(), BSN_PLOT_FACTOR_NOT_FOUND, 3);
  s.SetPlotFactorCats({0, 2});
  EXPECT_TRUE(s.IsValidSettings().IsOK());
  s.SetAnalysType(AnalysTypes::Posterior);
  s.SetPriorType(BSNConst::PriorTypes::Conjugate);
  s.SetPriorShape(2.0);
  s.SetPriorScale(1.0);
  s.SetPriorMeans({0.0, 0.0});
  ExpectError(s.IsValidSettings(), BSN_BAD_PRIOR_MEANS_LENGTH);
}

TEST(IsValidSettings, LogLinearTwoDistinctFactors) {
  BSNSettings s;
  s.SetModelType(ModelTypes::LogLinear, true);
  s.SetFactors({1, 1});
  ExpectError(s.IsValidSettings(), BSN_LOGLINEAR_NOT_TWO_FACTORS, 2);
  s.SetFactors({1});
  ExpectError(s.IsValidSettings(), BSN_LOGLINEAR_NOT_TWO_FACTORS, 1);
  s.SetFactors({0, 1});
  EXPECT_TRUE(s.IsValidSettings().IsOK());
  s.SetModelType(static_cast<ModelTypes>(12), false);
  EXPECT_TRUE(s.IsValidSettings().IsOK());
}
