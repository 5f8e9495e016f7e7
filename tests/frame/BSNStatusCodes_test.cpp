#include "frame/BSNStatusCodes.h"

#include <gtest/gtest.h>

#include <set>

using namespace KQBSN_850;
using namespace KQCommon_850;

TEST(HostStatus, ACodeWithoutTextBecomesOneWithTextKeepingItsData) {
  // A common-library warning code (202) carrying a variable position.
  KQStatus quadrature = StatusWithDatum(202, true, 3);
  quadrature.SetScaleDatum(0, 2.5);
  const KQStatus warning = HostStatus(quadrature);
  EXPECT_TRUE(warning.IsWarning());
  EXPECT_EQ(warning.GetErrorCode(), BSN_NUMERICAL_PROBLEM);
  EXPECT_EQ(warning.GetDiscreteDatum(0), 3);
  EXPECT_EQ(warning.GetDiscreteDatum(1), 202);
  EXPECT_EQ(warning.GetScaleDatum(0), 2.5);
  const KQStatus error = HostStatus(KQStatus(202, false));
  EXPECT_EQ(error.GetErrorCode(), BSN_INTERNAL_ERROR);
  EXPECT_EQ(error.GetDiscreteDatum(0), 202);
  // OK, the cancellation and coded statuses pass unchanged.
  for (const KQStatus& kept :
       {KQStatus(), KQStatus(BSN_STATUS_CANCELLED, false), StatusWithDatum(BSN_CONSTANT_FIELDS, true, 1)})
    EXPECT_EQ(HostStatus(kept), kept);
}

TEST(StatusTable, EveryCodeFrom410001To410060ButTwo) {
  const auto Text = [](int code) {
    std::string text = "stale";
    StatusMessageText(code, text);
    return text;
  };
  std::set<int> codes;
  for (const BSNStatusInfo& info : StatusTable()) {
    codes.insert(info.code);
    EXPECT_EQ(FindStatusInfo(info.code), &info);
  }
  for (int code = 410001; code <= 410060; ++code) {
    const bool unused = code == 410005 || code == 410007;
    EXPECT_EQ(codes.count(code), unused ? 0u : 1u) << code;
    EXPECT_EQ(Text(code).empty(), unused) << code;
  }
  for (int code : {0, 410000, 410062, 202}) EXPECT_EQ(Text(code), "") << code;
  EXPECT_EQ(FindStatusInfo(BSN_STATUS_CANCELLED)->name, "BSN_STATUS_CANCELLED");
}
