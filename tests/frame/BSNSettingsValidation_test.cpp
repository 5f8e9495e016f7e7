// Each expectation below follows from the validation rules worked through by hand for the
// settings the test builds; one case per rule, in the order the rules are judged.

#include <gtest/gtest.h>

#include "frame/BSNSettings.h"
#include "frame/BSNStatusCodes.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::AnalysTypes;
using BSNConst::DistTypes;
using BSNConst::ModelTypes;

namespace {

BSNSettings Model(ModelTypes model, DistTypes dist = DistTypes::Normal,
                  AnalysTypes analysis = AnalysTypes::Both) {
  BSNSettings s;
  s.SetModelType(model, true);
  s.SetTestDistType(dist);
  s.SetAnalysType(analysis);
  return s;
}

// Validates: code 0 expects OK; a datum of -1 is not checked.
void Expect(BSNSettings& s, int code, long datum = -1) {
  const KQStatus status = s.IsValidSettings();
  EXPECT_EQ(status.IsOK() ? 0 : status.GetErrorCode(), code);
  EXPECT_EQ(status.IsError(), code != 0);
  EXPECT_EQ(datum == -1 ? -1 : status.GetDiscreteDatum(0), datum);
}

}  // namespace

TEST(IsValidSettings, OneSampleCountsAndTheirPriors) {
  BSNSettings s = Model(ModelTypes::OneSample, DistTypes::Binomial, AnalysTypes::Posterior);
  Expect(s, BSN_BAD_BINOMIAL_FACTORS);
  s.SetFactors({3, 5});
  s.SetFactorNCategs({2, 2});
  s.SetNullPrior1s({5.0});
  s.SetAlterPrior1s({1.0});  // without a Bayes factor a short alternative list is accepted
  Expect(s, 0);
  EXPECT_EQ(s.GetNullPrior2s(), (std::vector<double>{2.0, 2.0}));  // filled up with 2
  s.SetAnalysType(AnalysTypes::Both);
  Expect(s, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 5);  // named by the variable whose pair is short
  s.SetAlterPrior1s({1.0, 0.0});
  s.SetAlterPrior2s({1.0, 3.0});
  Expect(s, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 1);  // (0, 3) at position 1
  s.SetAlterPrior1s({0.0, 1.0});
  s.SetAlterPrior2s({0.0, 1.0});
  s.SetNullPrior2s({2.0, 0.0});
  Expect(s, BSN_BAD_PARAMETER, 1);  // (0, 0) is accepted for the alternative, not 0 beside 2 for the null
  BSNSettings p = Model(ModelTypes::OneSample, DistTypes::Poisson, AnalysTypes::BayesFactor);
  p.SetCovariates({2, 4});
  Expect(p, BSN_NO_ALTERNATIVE_PRIOR_PARAMS, 2);
  p.SetAlterPrior1s({1.0, 1.0});
  p.SetAlterPrior2s({1.0, 1.0});
  p.SetNullPrior2s({2.0, -1.0});
  Expect(p, BSN_BAD_PARAMETER, 1);
}

TEST(IsValidSettings, RelatedAndCorrelation) {
  BSNSettings s = Model(ModelTypes::Related);
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
}

TEST(IsValidSettings, IndependentRulesInOrder) {
  BSNSettings s = Model(ModelTypes::Independent);
  s.SetCovariates({1});
  s.SetMeanDistType(DistTypes::Normal);
  s.SetMeanDistParam1(0.0);
  s.SetMeanDistParam2(0.0);
  s.SetMeanDistParam3(1.0);
  Expect(s, BSN_BAD_PARAMETER);  // parameter 4 missing, before the group variable
  s.SetMeanDistParam4(2.0);
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
  s.SetPriorShape(1.0);
  s.SetPriorScale(1.0);
  s.SetPriorMeans({0, 0, 0, 0});
  Expect(s, BSN_BAD_PRIOR_MEANS_LENGTH);  // 1 covariate + intercept + 3 categories = 5
  s.SetPriorMeans({0, 0, 0, 0, 0});
  s.SetPlotFactors({1});
  Expect(s, BSN_PLOT_FACTOR_NOT_FOUND);
  s.SetPlotFactors({2});
  // Regressors of the wrong length: a warning that empties the list, and valid settings afterwards.
  s.SetRegressors({1, 2, 3, 4, 5, 6, 7});
  const KQStatus st = s.IsValidSettings();
  EXPECT_TRUE(st.IsWarning());
  EXPECT_EQ(st.GetErrorCode(), BSN_REGRESSOR_MISMATCH);
  EXPECT_TRUE(s.GetRegressors().empty());
  EXPECT_EQ(s.GetWarningMessages().Size(), 1u);
  Expect(s, 0);
}

TEST(IsValidSettings, AnovaAndLogLinearFactors) {
  BSNSettings s = Model(ModelTypes::Anova);
  s.SetDependVar(0);
  s.SetFactors({1});
  Expect(s, BSN_NO_PREDICTORS);  // no size for the factor
  s.SetFactorNCategs({3});
  s.SetPlotFactorCats({0, 3});
  Expect(s, BSN_PLOT_FACTOR_NOT_FOUND, 3);
  BSNSettings l = Model(ModelTypes::LogLinear);
  l.SetFactors({1, 1});
  Expect(l, BSN_LOGLINEAR_NOT_TWO_FACTORS, 2);
}
