#include "companion/KQStatus.h"

#include <gtest/gtest.h>

#include "companion/KQCancel.h"
#include "companion/KQMV.h"
#include "companion/KQWarnings.h"
#include "tests/support/Fakes.h"

using namespace KQCommon_850;

TEST(KQStatus, KindsFollowCodeAndFlagAndDataSlotsStayEmpty) {
  EXPECT_TRUE(KQStatus().IsOK() && !KQStatus().IsError());
  EXPECT_TRUE(KQStatus(410003, false).IsError() && !KQStatus(410003, false).IsWarning());
  EXPECT_TRUE(KQStatus(410025, true).IsWarning() && !KQStatus(410025, true).IsError());
  EXPECT_FALSE(KQStatus(0, true).IsWarning());  // code 0 is OK whatever the flag says
  KQStatus status(410019, false);
  status.SetDiscreteDatum(2, 7);
  EXPECT_FALSE(status.HasDiscreteDatum(1));  // slots before the one set stay empty
}

TEST(KQWarnings, KeepsOrderAndDestinations) {
  KQWarnings warnings, more;
  warnings.AddWarning(KQStatus(410010, true), 0);
  warnings.AddWarning(KQStatus(410025, true), 3);
  more.AddWarning(KQStatus(410041, true), 0);
  warnings.AddWarnings(more);
  ASSERT_EQ(warnings.Size(), 3u);
  EXPECT_EQ(warnings.GetWarnings(true)[2].GetErrorCode(), 410041);
  EXPECT_TRUE(warnings.GetWarnings(false).size() == 2u && warnings.GetDestination(1) == 3);
}

TEST(KQMV, MissingIsNotNaN) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(KQMV::IsMissing(nan));
  EXPECT_TRUE(KQMV::IsMissingOrNaN(nan) && KQMV::IsMissing(KQMV::FromNaN(nan)));
}

TEST(KQCancelInfo, AsksHostAndKeepsYes) {
  kqtest::CancelAfter query(2);
  KQCancelInfo cancel;
  EXPECT_FALSE(cancel.IsCancel());  // no query: never cancelled
  cancel.SetCancelPtr(&query);
  EXPECT_FALSE(cancel.IsCancel() || cancel.IsCancel() || cancel.WillCancel());
  EXPECT_TRUE(cancel.IsCancel() && cancel.WillCancel() && cancel.IsCancel());
  EXPECT_EQ(query.nAsked, 3);  // a yes is remembered, not asked again
}
