#include "frame/BSNSettings.h"

#include <gtest/gtest.h>

#include <limits>

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::ModelTypes;

TEST(BSNSettings, SettersRefuseBadValuesAndKeepTheOldOnes) {
  BSNSettings s;
  EXPECT_TRUE(s.SetDependVar(3));
  EXPECT_FALSE(s.SetDependVar(-2));
  EXPECT_EQ(s.GetDependentVar(), 3);
  EXPECT_FALSE(s.SetGroupVar(-1));
  EXPECT_FALSE(s.SetRegrWeightVar(-1));
  EXPECT_TRUE(s.SetFactors({4, 5}));
  EXPECT_FALSE(s.SetFactorNCategs({2}));  // one size for two factors
  EXPECT_TRUE(s.SetFactorNCategs({2, 3}));
  EXPECT_FALSE(s.SetFactorNCategs({2, 0}));  // a factor needs at least one category
  EXPECT_EQ(s.GetFactorSizes(), (std::vector<int>{2, 3}));
  EXPECT_TRUE(s.SetFullModFactors({1}));
  EXPECT_FALSE(s.SetFullModFactorNCategs({2, 2}));
  EXPECT_TRUE(s.SetCovariates({0, 1, 2}));
  EXPECT_FALSE(s.Set2ndRelatedList({3, 4}));
  EXPECT_TRUE(s.Get2ndRelatedList().empty());
  EXPECT_FALSE(s.SetProgressFrequency(0));
  EXPECT_EQ(s.GetProgressFrequency(), 50);
  EXPECT_TRUE(s.SetSecondGonenPar(2.5));
  EXPECT_FALSE(s.SetSecondGonenPar(0.0));
  EXPECT_FALSE(s.SetSecondGonenPar(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(s.GetSecondGonenPar(), 2.5);
}

TEST(BSNSettings, DefaultsFollowTheModelAndTheComputation) {
  // The regression computation fills only a missing parameter: 3 for the hyper-g prior, 1 for Rouder's.
  BSNSettings s, t;
  s.SetRegrCompType(BSNConst::RegrCompute::Hyper);
  s.SetRegrCompType(BSNConst::RegrCompute::Rouder);
  EXPECT_EQ(s.GetRegrComPar(), 3.0);
  t.SetRegrCompType(BSNConst::RegrCompute::Rouder);
  t.SetRegrCompType(BSNConst::RegrCompute::Zellner);
  EXPECT_EQ(t.GetRegrComPar(), 1.0);
  // Setting the model with defaults resets the tolerance (unless set), missing-value scope and prior.
  s.SetModelType(ModelTypes::Correlation, false);
  EXPECT_EQ(s.GetTolValue(), 0.000001);
  s.SetModelType(ModelTypes::Correlation, true);
  EXPECT_EQ(s.GetTolValue(), 0.0001);
  t.SetTolValue(0.00001);
  t.SetModelType(ModelTypes::Correlation, true);
  EXPECT_EQ(t.GetTolValue(), 0.00001);
  using Scope = BSNConst::MissScope;
  using Prior = BSNConst::PriorTypes;
  for (const auto& [model, scope, prior] :
       {std::tuple{ModelTypes::Regression, Scope::MissingListwise, Prior::Reference},
        std::tuple{ModelTypes::Related, Scope::MissingAnalysis, Prior::Conjugate}}) {
    s.SetModelType(model, true);
    EXPECT_EQ(s.GetMissScope(), scope);
    EXPECT_EQ(s.GetPriorType(), prior);
  }
  s.SetModelType(ModelTypes::Independent, true);
  EXPECT_EQ(s.GetMissScope(), Scope::MissingListwise);
  EXPECT_EQ(s.GetRegrCompType(), BSNConst::RegrCompute::Rouder);
  s.SetModelType(ModelTypes::LogLinear, true);
  EXPECT_EQ(s.GetPriorType(), Prior::Conjugate);
  // A number outside the enumeration is stored and resets nothing.
  s.SetModelType(ModelTypes::Regression, true);
  s.SetModelType(static_cast<ModelTypes>(9), true);
  EXPECT_EQ(BSNConst::ToInt(s.GetModelType()), 9);
  EXPECT_EQ(s.GetPriorType(), Prior::Reference);
}
