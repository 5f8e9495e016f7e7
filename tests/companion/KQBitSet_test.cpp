#include "companion/KQBitSet.h"

#include <gtest/gtest.h>

namespace {

using KQMath_850::KQBitSet;

TEST(KQBitSet, MembershipCountAndEqualityAcrossWordBoundaries) {
  KQBitSet set(130);
  for (int k : {0, 63, 64, 127, 128, 129}) set.Set(k);
  EXPECT_TRUE(set.IsIn(63) && set.IsIn(64) && !set.IsIn(62) && !set.IsIn(65));
  set.Set(64, false);
  set.Reset(129);
  EXPECT_EQ(set.InSet(), 4);
  // Counting must not see bits past the last position when the whole set is filled.
  set.Resize(70, true);
  EXPECT_EQ(set.InSet(), 70);
  // A filled set equals a set whose members were added one by one, and not one of another size.
  KQBitSet filled(67, true), built(67);
  for (int k = 0; k < 67; ++k) built.Set(k);
  EXPECT_EQ(filled, built);
  EXPECT_NE(KQBitSet(10), KQBitSet(11));
}

}  // namespace
