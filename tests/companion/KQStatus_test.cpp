#include "companion/KQStatus.h"

#include <gtest/gtest.h>

#include "companion/KQCancel.h"
#include "companion/KQMV.h"
#include "companion/KQWarnings.h"
#include "tests/support/Fakes.h"

using namespace KQCommon_850;

TEST(KQStatus, KindsFollowCodeAndFlag) {
  EXPECT_TRUE(KQStatus().IsOK());
  EXPECT_FALSE(KQStatus().IsError());
  const KQStatus error(410003, false);
  EXPECT_TRUE(error.IsError());
  EXPECT_FALSE(error.IsOK());
  EXPECT_FALSE(error.IsWarning());
  const KQStatus warning(410025, true);
  EXPECT_TRUE(warning.IsWarning());
  EXPECT_FALSE(warning.IsError());
  EXPECT_FALSE(warning.IsOK());
  // Code 0 is OK whatever the flag says.
  EXPECT_FALSE(KQStatus(0, true).IsWarning());
}

TEST(KQStatus, DataItemsBySlot) {
  KQStatus status(410019, false);
  EXPECT_FALSE(status.HasDiscreteDatum(0));
  EXPECT_EQ(status.GetDiscreteDatum(0), 0);
  EXPECT_TRUE(KQMV::IsMissing(status.GetScaleDatum(0)));
  status.SetDiscreteDatum(2, 7);
  status.SetScaleDatum(0, 1.5);
  EXPECT_FALSE(status.HasDiscreteDatum(1));
  EXPECT_EQ(status.GetDiscreteDatum(2), 7);
  EXPECT_EQ(status.GetNDiscreteData(), 3u);
  EXPECT_EQ(status.GetScaleDatum(0), 1.5);
  EXPECT_NE(status, KQStatus(410019, false));
  EXPECT_EQ(StatusWithDatum(410018, false, 4).GetDiscreteDatum(0), 4);
}

TEST(KQWarnings, KeepsOrderAndDestinations) {
  KQWarnings warnings;
  warnings.AddWarning(KQStatus(410010, true), 0);
  warnings.AddWarning(KQStatus(410025, true), 3);
  KQWarnings more;
  more.AddWarning(KQStatus(410041, true), 0);
  warnings.AddWarnings(more);
  ASSERT_EQ(warnings.Size(), 3u);
  const auto all = warnings.GetWarnings(true);
  EXPECT_EQ(all[0].GetErrorCode(), 410010);
  EXPECT_EQ(all[2].GetErrorCode(), 410041);
  EXPECT_EQ(warnings.GetWarnings(false).size(), 2u);
  EXPECT_EQ(warnings.GetDestination(1), 3);
}

TEST(KQMV, MissingIsNotNaN) {
  EXPECT_TRUE(KQMV::IsMissing(KQMV::Missing()));
  EXPECT_FALSE(KQMV::IsMissing(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(KQMV::IsMissingOrNaN(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(KQMV::IsMissing(KQMV::FromNaN(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(KQMV::FromNaN(2.5), 2.5);
}

TEST(KQCancelInfo, AsksHostAndKeepsYes) {
  kqtest::CancelAfter query(2);
  KQCancelInfo cancel;
  EXPECT_FALSE(cancel.IsCancel());  // no query: never cancelled
  cancel.SetCancelPtr(&query);
  EXPECT_FALSE(cancel.IsCancel());
  EXPECT_FALSE(cancel.IsCancel());
  EXPECT_FALSE(cancel.WillCancel());
  EXPECT_TRUE(cancel.IsCancel());
  EXPECT_TRUE(cancel.WillCancel());
  EXPECT_TRUE(cancel.IsCancel());
  EXPECT_EQ(query.nAsked, 3);  // a yes is remembered, not asked again
}
