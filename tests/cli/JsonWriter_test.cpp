#include "cli/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "companion/KQMV.h"

using namespace kqcli;
using KQCommon_850::KQMV;

TEST(JsonWriter, RealNumbersHave17SignificantDigitsOthersAreNull) {
  // 0.1 is 0.1000000000000000055511151231257827... in binary; 17 digits show the 1 at the end.
  EXPECT_EQ(JsonText(Json(0.1)), "0.10000000000000001");
  EXPECT_EQ(JsonText(Json(-1e-300 / 3.0)), "-3.3333333333333334e-301");  // Python: "%.17g" % (-1e-300/3)
  EXPECT_EQ(JsonText(Json(4.0)), "4");
  for (double x : {KQMV::Missing(), std::numeric_limits<double>::quiet_NaN(), -HUGE_VAL}) {
    EXPECT_TRUE(JsonNumber(x).is_null());
    EXPECT_EQ(JsonText(Json::array({x})), "[null]");  // also when the double reached the tree as a number
  }
}

TEST(JsonWriter, ObjectsTakeALinePerKeyAndListsOfValuesOneLine) {
  const Json value = {{"name", "a \"quoted\" text"},
                      {"curves", Json::array({Json::array({1, 2}), Json::array()})},
                      {"flags", Json::array({true, nullptr})},
                      {"empty", Json::object()}};
  EXPECT_EQ(JsonText(value),
            "{\n"
            "  \"name\": \"a \\\"quoted\\\" text\",\n"
            "  \"curves\": [\n"
            "    [1, 2],\n"
            "    []\n"
            "  ],\n"
            "  \"flags\": [true, null],\n"
            "  \"empty\": {}\n"
            "}");
}
