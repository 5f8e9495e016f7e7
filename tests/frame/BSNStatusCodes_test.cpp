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

TEST(StatusMessageText, TextsAsWritten) {
  EXPECT_EQ(Text(BSN_NO_VALID_CASES), "Error: No valid cases were found");
  EXPECT_EQ(Text(BSN_FEW_VALID_CASES_CORR), Text(BSN_FEW_VALID_CASES_NORMAL));
  EXPECT_EQ(Text(BSN_FULL_MODEL_NOT_SUPERSET),
            "Warning: the full model is not a superset of the original model");
  EXPECT_EQ(Text(BSN_DF_NOT_ABOVE_3_JEFFREYS2),
            "Warning: the degrees of freedom is not greater than 3 for Jeffrey2");
  const std::string diffuse = Text(BSN_INDEPENDENT_DIFFUSE_FEW_CASES);
  EXPECT_NE(diffuse.find("Independent  analysis"), std::string::npos);
  EXPECT_NE(diffuse.find("for each group for Diffuse prior distribution"), std::string::npos);
  EXPECT_EQ(Text(BSN_BAD_LOGLINEAR_SHAPES),
            "Error: The number of shape parameters in Loglinear model is wrong.");
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
