#include "frame/BSNSettings.h"

#include <gtest/gtest.h>

#include <limits>

using namespace KQBSN_850;
using BSNConst::ModelTypes;

TEST(BSNSettings, SettersRefuseBadValuesAndKeepTheOldOnes) {
  BSNSettings s;
  EXPECT_TRUE(s.SetDependVar(3));
  EXPECT_FALSE(s.SetDependVar(-2));
  EXPECT_EQ(s.GetDependentVar(), 3);
  EXPECT_TRUE(s.SetFactors({4, 5}));
  EXPECT_FALSE(s.SetFactorNCategs({2, 0}));  // a factor needs at least one category
  EXPECT_TRUE(s.SetSecondGonenPar(2.5));
  EXPECT_FALSE(s.SetSecondGonenPar(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(s.GetSecondGonenPar(), 2.5);
}

TEST(BSNSettings, DefaultsFollowTheModelAndTheComputation) {
  // The regression computation fills only a missing parameter: 3 for the hyper-g prior.
  BSNSettings s, t;
  s.SetRegrCompType(BSNConst::RegrCompute::Hyper);
  s.SetRegrCompType(BSNConst::RegrCompute::Rouder);
  EXPECT_EQ(s.GetRegrComPar(), 3.0);
  // Setting the model with defaults resets the tolerance unless it was set.
  s.SetModelType(ModelTypes::Correlation, true);
  EXPECT_EQ(s.GetTolValue(), 0.0001);
  t.SetTolValue(0.00001);
  t.SetModelType(ModelTypes::Correlation, true);
  EXPECT_EQ(t.GetTolValue(), 0.00001);
  // A number outside the enumeration is stored and resets nothing.
  s.SetModelType(ModelTypes::Related, true);
  s.SetModelType(static_cast<ModelTypes>(9), true);
  EXPECT_EQ(BSNConst::ToInt(s.GetModelType()), 9);
  EXPECT_EQ(s.GetMissScope(), BSNConst::MissScope::MissingAnalysis);
  EXPECT_EQ(s.GetPriorType(), BSNConst::PriorTypes::Conjugate);
}
