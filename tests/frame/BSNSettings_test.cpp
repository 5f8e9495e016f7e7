#include "frame/BSNSettings.h"

#include <gtest/gtest.h>

#include <limits>

using namespace KQBSN_850;
using namespace KQCommon_850;
using BSNConst::ModelTypes;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

TEST(BSNSettings, IndexSettersRefuseNegatives) {
  BSNSettings s;
  EXPECT_TRUE(s.SetDependVar(3));
  EXPECT_FALSE(s.SetDependVar(-2));
  EXPECT_EQ(s.GetDependentVar(), 3);
  EXPECT_FALSE(s.SetGroupVar(-1));
  EXPECT_TRUE(s.SetFrequencyWeightVar(0));
  EXPECT_EQ(s.GetFrequencyWeightVar(), 0);
  EXPECT_FALSE(s.SetRegrWeightVar(-1));
  EXPECT_EQ(s.GetRegrWeightVar(), -1);
}

TEST(BSNSettings, ListSettersCheckAgainstTheirLists) {
  BSNSettings s;
  EXPECT_TRUE(s.SetFactors({4, 5}));
  EXPECT_FALSE(s.SetFactorNCategs({2}));  // one size for two factors
  EXPECT_TRUE(s.SetFactorNCategs({2, 3}));
  EXPECT_FALSE(s.SetFactorNCategs({2, 0}));  // a factor needs at least one category
  EXPECT_EQ(s.GetFactorSizes(), (std::vector<int>{2, 3}));
  EXPECT_TRUE(s.SetFullModFactors({1}));
  EXPECT_FALSE(s.SetFullModFactorNCategs({2, 2}));
  EXPECT_TRUE(s.SetFullModFactorNCategs({4}));
  EXPECT_TRUE(s.SetCovariates({0, 1, 2}));
  EXPECT_FALSE(s.Set2ndRelatedList({3, 4}));
  EXPECT_TRUE(s.Get2ndRelatedList().empty());
  EXPECT_TRUE(s.Set2ndRelatedList({3, 4, 5}));
}

TEST(BSNSettings, ScalarSetterRules) {
  BSNSettings s;
  EXPECT_FALSE(s.SetProgressFrequency(0));
  EXPECT_EQ(s.GetProgressFrequency(), 50);
  EXPECT_TRUE(s.SetProgressFrequency(7));
  EXPECT_EQ(s.GetProgressFrequency(), 7);
  EXPECT_TRUE(s.SetSecondGonenPar(2.5));
  EXPECT_FALSE(s.SetSecondGonenPar(0.0));
  EXPECT_FALSE(s.SetSecondGonenPar(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(s.GetSecondGonenPar(), 2.5);
  s.SetRegrCompType(BSNConst::RegrCompute::Hyper);
  EXPECT_EQ(s.GetRegrComPar(), 3.0);
  s.SetRegrCompType(BSNConst::RegrCompute::Rouder);
  EXPECT_EQ(s.GetRegrComPar(), 3.0);  // only a missing parameter is filled
  BSNSettings t;
  t.SetRegrCompType(BSNConst::RegrCompute::Rouder);
  EXPECT_EQ(t.GetRegrComPar(), 1.0);
  t.SetRegrCompType(BSNConst::RegrCompute::Zellner);
  EXPECT_EQ(t.GetRegrComPar(), 1.0);
}

TEST(BSNSettings, ModelTypeDefaults) {
  BSNSettings s;
  s.SetModelType(ModelTypes::Correlation, false);
  EXPECT_EQ(s.GetModelType(), ModelTypes::Correlation);
  EXPECT_EQ(s.GetTolValue(), 0.000001);
  s.SetModelType(ModelTypes::Correlation, true);
  EXPECT_EQ(s.GetTolValue(), 0.0001);
  BSNSettings other;
  other.SetTolValue(0.00001);
  other.SetModelType(ModelTypes::Correlation, true);
  EXPECT_EQ(other.GetTolValue(), 0.00001);

  s.SetModelType(ModelTypes::Regression, true);
  EXPECT_EQ(s.GetMissScope(), BSNConst::MissScope::MissingListwise);
  EXPECT_EQ(s.GetPriorType(), BSNConst::PriorTypes::Reference);
  s.SetModelType(ModelTypes::Related, true);
  EXPECT_EQ(s.GetMissScope(), BSNConst::MissScope::MissingAnalysis);
  EXPECT_EQ(s.GetPriorType(), BSNConst::PriorTypes::Conjugate);
  s.SetModelType(ModelTypes::Independent, true);
  EXPECT_EQ(s.GetMissScope(), BSNConst::MissScope::MissingListwise);
  EXPECT_EQ(s.GetRegrCompType(), BSNConst::RegrCompute::Rouder);
  s.SetModelType(ModelTypes::LogLinear, true);
  EXPECT_EQ(s.GetPriorType(), BSNConst::PriorTypes::Conjugate);
  // A number outside the enumeration is stored and resets nothing.
  s.SetModelType(ModelTypes::Regression, true);
  s.SetModelType(static_cast<ModelTypes>(9), true);
  EXPECT_EQ(BSNConst::ToInt(s.GetModelType()), 9);
  EXPECT_EQ(s.GetPriorType(), BSNConst::PriorTypes::Reference);
}
