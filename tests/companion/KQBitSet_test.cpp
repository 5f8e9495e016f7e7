#include "companion/KQBitSet.h"

#include <gtest/gtest.h>

namespace {

using KQMath_850::KQBitSet;

TEST(KQBitSet, MembershipAcrossWordBoundaries) {
  KQBitSet set(130);
  EXPECT_EQ(set.Size(), 130);
  EXPECT_EQ(set.InSet(), 0);
  for (int k : {0, 63, 64, 127, 128, 129}) set.Set(k);
  EXPECT_EQ(set.InSet(), 6);
  EXPECT_TRUE(set.IsIn(63));
  EXPECT_TRUE(set.IsIn(64));
  EXPECT_FALSE(set.IsIn(65));
  EXPECT_FALSE(set.IsIn(62));
  set.Set(64, false);
  set.Reset(129);
  set.Reset(1);  // already out
  EXPECT_FALSE(set.IsIn(64));
  EXPECT_FALSE(set.IsIn(129));
  EXPECT_EQ(set.InSet(), 4);
}

TEST(KQBitSet, ResizeGivesEveryPositionTheValue) {
  // Counting must not see bits past the last position when the whole set is filled.
  KQBitSet set(3);
  set.Set(1);
  set.Resize(70, true);
  EXPECT_EQ(set.Size(), 70);
  EXPECT_EQ(set.InSet(), 70);
  EXPECT_TRUE(set.IsIn(69));
  set.Resize(64, true);
  EXPECT_EQ(set.InSet(), 64);
  set.Resize(5, false);
  EXPECT_EQ(set.InSet(), 0);
  EXPECT_EQ(KQBitSet(0, true).InSet(), 0);
}

TEST(KQBitSet, EqualityComparesSizeAndMembers) {
  KQBitSet a(10), b(10);
  a.Set(3);
  EXPECT_NE(a, b);
  b.Set(3);
  EXPECT_EQ(a, b);
  EXPECT_NE(KQBitSet(10), KQBitSet(11));
  // A filled set equals a set whose members were added one by one.
  KQBitSet filled(67, true), built(67);
  for (int k = 0; k < 67; ++k) built.Set(k);
  EXPECT_EQ(filled, built);
}

}  // namespace
