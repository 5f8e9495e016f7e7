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

BSNSettings Model(ModelTypes model, DistTypes dist = DistTypes::Normal,
                  AnalysTypes analysis = AnalysTypes::Both) {
  BSNSettings s;
  s.SetModelType(model, true);
  s.SetTestDistType(dist);
  s.SetAnalysType(analysis);
  return s;
}

BSNSettings Binomial(AnalysTypes analysis) {
  BSNSettings s = Model(ModelTypes::OneSample, DistTypes::Binomial, analysis);
  s.SetFactors({3, 5});
  s.SetFactorNCategs({2, 2});
  return s;
}

// Validates: code 0 expects OK; a datum of -1 is not checked.
void Expect(BSNSettings& s, int code, long datum = -1) {
  const KQStatus status = s.IsValidSettings();
  if (code == 0) {
    EXPECT_TRUE(status.IsOK()) << status.GetErrorCode();
    return;
  }
  EXPECT_TRUE(status.IsError()) << status.GetErrorCode();
  EXPECT_EQ(status.GetErrorCode(), code);
  if (datum != -1) {
    EXPECT_EQ(status.GetDiscreteDatum(0), datum);
  }
}

}  // namespace

TEST(IsValidSettings, NewSettingsNeedCovariates) {
  BSNSettings s;
  Expect(s, BSN_NO_COVARIATES);
  s.SetCovariates({0});
  Expect(s, 0);
  // A test distribution without an analysis of its own is not judged.
  BSNSettings gamma = Model(ModelTypes::OneSample, DistTypes::Gamma);
  Expect(gamma, 0);
}

TEST(IsValidSettings, BinomialFactorsAndPriors) {
  BSNSettings s = Model(ModelTypes::OneSample, DistTypes::Binomial, AnalysTypes::Posterior);
  Expect(s, BSN_BAD_BINOMIAL_FACTORS);
  s.SetFactors({3});
  Expect(s, BSN_BAD_BINOMIAL_FACTORS);  // sizes missing
  // A posterior fills the null priors up to the number of factors with 2.
  BSNSettings posterior = Binomial(AnalysTypes::Posterior);
  posterior.SetNullPrior1s({5.0});
  posterior.SetAlterPrior1s({1.0});  // without a Bayes factor a short alternative list is accepted
  Expect(posterior, 0);
  EXPECT_EQ(posterior.GetNullPrior1s(), (std::vector<double>{5.0, 2.0}));
  EXPECT_EQ(posterior.GetNullPrior2s(), (std::vector<double>{2.0, 2.0}));
  // Alternative priors are named by the variable whose pair is short.
  BSNSettings factor = Binomial(AnalysTypes::BayesFactor);
  factor.SetAlterPrior1s({1.0});
  Expect(factor, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 5);  // the second factor's index
  factor.SetAlterPrior1s({1.0, 1.0});
  factor.SetAlterPrior2s({});
  Expect(factor, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 3);
}

TEST(IsValidSettings, BinomialPriorPairs) {
  BSNSettings s = Binomial(AnalysTypes::Both);
  s.SetAlterPrior1s({0.0, 1.0});
  s.SetAlterPrior2s({0.0, 1.0});
  Expect(s, 0);  // (0, 0) is an accepted pair
  s.SetAlterPrior1s({1.0, 0.0});
  s.SetAlterPrior2s({1.0, 3.0});
  Expect(s, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 1);  // (0, 3) at position 1
  s.SetAlterPrior1s({1.0, 1.0});
  s.SetAlterPrior2s({-1.0, 1.0});
  Expect(s, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 0);
  s.SetAlterPrior2s({1.0, 1.0});
  s.SetNullPrior1s({2.0, 2.0});
  s.SetNullPrior2s({2.0, 0.0});
  // Null parameter 1 passes (2 beside a 0 partner is fine); null parameter 2 = 0 beside 2 is not.
  Expect(s, BSN_BAD_PARAMETER, 1);
}

TEST(IsValidSettings, PoissonPriorsMustBePositive) {
  BSNSettings s = Model(ModelTypes::OneSample, DistTypes::Poisson, AnalysTypes::BayesFactor);
  Expect(s, BSN_NO_COVARIATES);
  s.SetCovariates({2, 4});
  Expect(s, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 2);
  EXPECT_EQ(s.GetNullPrior1s().size(), 2u);  // extended before the alternative lists are judged
  s.SetAlterPrior1s({1.0, 1.0});
  s.SetAlterPrior2s({1.0});
  Expect(s, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 4);
  s.SetAlterPrior2s({1.0, 0.0});
  Expect(s, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 1);
  s.SetAlterPrior2s({1.0, 1.0});
  s.SetNullPrior2s({2.0, -1.0});
  Expect(s, BSN_BAD_PARAMETER, 1);
  s.SetNullPrior2s({2.0, 2.0});
  Expect(s, 0);
  s.SetNullPrior2s({2.0, -1.0});
  s.SetAnalysType(AnalysTypes::Posterior);
  s.SetAlterPrior1s({});
  Expect(s, 0);  // a posterior alone does not judge the prior values
}

TEST(IsValidSettings, RelatedAndCorrelation) {
  BSNSettings s = Model(ModelTypes::Related);
  Expect(s, BSN_NO_COVARIATES);
  s.SetCovariates({0, 1});
  Expect(s, BSN_NO_COVARIATES);
  ASSERT_TRUE(s.Set2ndRelatedList({2, 3}));
  Expect(s, 0);
  BSNSettings c = Model(ModelTypes::Correlation);
  c.SetCovariates({0});
  Expect(c, BSN_TOO_FEW_CORR_VARIABLES);
  c.SetCovariates({0, 1});
  c.SetMaxNPlots(51);
  Expect(c, BSN_BAD_PARAMETER, 51);
  c.SetMaxNPlots(50);
  c.SetNullValue(1.0);
  Expect(c, BSN_BAD_PARAMETER);
  EXPECT_EQ(c.IsValidSettings().GetScaleDatum(0), 1.0);
  c.SetNullValue(-0.999);
  Expect(c, 0);
  c.SetNullValue(std::numeric_limits<double>::quiet_NaN());
  Expect(c, 0);
}

TEST(IsValidSettings, IndependentRulesInOrder) {
  BSNSettings s = Model(ModelTypes::Independent);
  Expect(s, BSN_NO_COVARIATES);
  s.SetCovariates({1});
  Expect(s, BSN_NO_GROUP_VARIABLE);
  s.SetMeanDistType(DistTypes::Normal);
  s.SetMeanDistParam1(0.0);
  s.SetMeanDistParam2(0.0);
  s.SetMeanDistParam3(1.0);
  Expect(s, BSN_BAD_PARAMETER);  // parameter 4 missing, before the group variable
  s.SetMeanDistParam4(2.0);
  Expect(s, BSN_MISSING_KNOWN_VARIANCES);
  s.SetDataVarVals({1.0, 0.0});
  Expect(s, BSN_MISSING_KNOWN_VARIANCES);
  s.SetDataVarVals({1.0, 2.0});
  Expect(s, BSN_NO_GROUP_VARIABLE);
  s.SetAnalysType(AnalysTypes::BayesFactor);  // no posterior: the mean prior is not judged
  s.SetDataVarVals({});
  s.SetPriorDistType(DistTypes::InverseChiSquare);
  s.SetPriorDistParam1(1.0);
  Expect(s, BSN_BAD_PARAMETER);
  s.SetPriorDistParam2(3.0);
  s.SetGroupVar(0);
  Expect(s, 0);
}

TEST(IsValidSettings, RegressionRulesInOrder) {
  BSNSettings s = Model(ModelTypes::Regression);
  Expect(s, BSN_NO_DEPENDENT);
  s.SetDependVar(0);
  Expect(s, BSN_NO_PREDICTORS);
  s.SetCovariates({1});
  s.SetFactors({2});
  s.SetFactorNCategs({3});
  s.SetCompareType(BSNConst::CompareTypes::Full);
  s.SetFullModCovariates({1, 4});
  Expect(s, BSN_FULL_MODEL_NOT_SUPERSET);
  s.SetFullModFactors({2});
  s.SetPriorType(BSNConst::PriorTypes::Conjugate);
  Expect(s, BSN_BAD_PARAMETER);
  s.SetPriorShape(1.0);
  s.SetPriorScale(1.0);
  s.SetPriorMeans({0, 0, 0, 0});
  Expect(s, BSN_BAD_PRIOR_MEANS_LENGTH);  // 1 covariate + intercept + 3 categories = 5
  s.SetPriorMeans({0, 0, 0, 0, 0});
  s.SetPlotFactors({1});
  Expect(s, BSN_PLOT_FACTOR_NOT_FOUND);
  s.SetPlotFactors({2});
  s.SetPlotCovars({2});
  Expect(s, BSN_PLOT_COVARIATE_NOT_FOUND);
  s.SetPlotCovars({1});
  Expect(s, 0);
  // Regressors of the wrong length: a warning that empties the list, and valid settings afterwards.
  s.SetRegressors({1, 2, 3, 4, 5, 6, 7});
  const KQStatus st = s.IsValidSettings();
  EXPECT_TRUE(st.IsWarning());
  EXPECT_EQ(st.GetErrorCode(), BSN_REGRESSOR_MISMATCH);
  EXPECT_TRUE(s.GetRegressors().empty());
  ASSERT_EQ(s.GetWarningMessages().Size(), 1u);
  EXPECT_EQ(s.GetWarningMessages()[0].GetErrorCode(), BSN_REGRESSOR_MISMATCH);
  Expect(s, 0);
}

TEST(IsValidSettings, AnovaAndLogLinearFactors) {
  BSNSettings s = Model(ModelTypes::Anova);
  Expect(s, BSN_NO_DEPENDENT);
  s.SetDependVar(0);
  s.SetFactors({1, 2});
  Expect(s, BSN_NO_PREDICTORS);
  s.SetFactors({1});
  Expect(s, BSN_NO_PREDICTORS);  // no size for the factor
  s.SetFactorNCategs({3});
  s.SetPlotFactorCats({0, 3});
  Expect(s, BSN_PLOT_FACTOR_NOT_FOUND, 3);
  s.SetPlotFactorCats({0, 2});
  Expect(s, 0);
  s.SetAnalysType(AnalysTypes::Posterior);
  s.SetPriorType(BSNConst::PriorTypes::Conjugate);
  s.SetPriorShape(2.0);
  s.SetPriorScale(1.0);
  s.SetPriorMeans({0.0, 0.0});
  Expect(s, BSN_BAD_PRIOR_MEANS_LENGTH);
  BSNSettings l = Model(ModelTypes::LogLinear);
  l.SetFactors({1, 1});
  Expect(l, BSN_LOGLINEAR_NOT_TWO_FACTORS, 2);
  l.SetFactors({1});
  Expect(l, BSN_LOGLINEAR_NOT_TWO_FACTORS, 1);
  l.SetFactors({0, 1});
  Expect(l, 0);
  l.SetModelType(static_cast<ModelTypes>(12), false);
  Expect(l, 0);
}
