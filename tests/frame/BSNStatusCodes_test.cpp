#include "frame/BSNStatusCodes.h"

#include <gtest/gtest.h>

#include <set>

using namespace KQBSN_850;

namespace {

std::string Text(int code) {
  std::string text = "stale";
  StatusMessageText(code, text);
  return text;
}

}  // namespace

TEST(StatusMessageText, CodesWithoutTextAnswerEmpty) {
  for (int code : {0, 1, 410005, 410007, 410000, 410061, -410001}) EXPECT_EQ(Text(code), "") << code;
}

TEST(StatusTable, EveryCodeFrom410001To410060ButTwo) {
  std::set<int> codes;
  std::set<std::string_view> names;
  for (const BSNStatusInfo& info : StatusTable()) {
    codes.insert(info.code);
    names.insert(info.name);
    EXPECT_EQ(info.name.substr(0, 4), "BSN_");
    EXPECT_EQ(FindStatusInfo(info.code), &info);
  }
  EXPECT_EQ(names.size(), StatusTable().size());
  for (int code = 410001; code <= 410060; ++code) {
    const bool unused = code == 410005 || code == 410007;
    EXPECT_EQ(codes.count(code), unused ? 0u : 1u) << code;
    EXPECT_EQ(Text(code).empty(), unused) << code;
  }
  EXPECT_EQ(codes.count(BSN_STATUS_CANCELLED), 1u);
  EXPECT_EQ(FindStatusInfo(BSN_STATUS_CANCELLED)->name, "BSN_STATUS_CANCELLED");
}
