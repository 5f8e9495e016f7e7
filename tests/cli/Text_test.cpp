#include "cli/Text.h"

#include <gtest/gtest.h>

#include <string>

using kqcli::OneLine;
using kqcli::ValidUtf8;

namespace {
const std::string kMark = "\xEF\xBF\xBD";  // U+FFFD
}

TEST(ValidUtf8, KeepsValidSequencesAndReplacesEachBadByte) {
  // Valid: ASCII, 2-byte e-acute, 3-byte euro sign, 4-byte U+1F600.
  const std::string valid = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
  EXPECT_EQ(ValidUtf8(valid), valid);
  // Invalid (RFC 3629): a lone continuation byte, Latin-1 0xFF, an overlong '/' (C0 AF), a UTF-16
  // surrogate (ED A0 80), a code point above U+10FFFF (F4 90 80 80), and a sequence cut short at the end.
  EXPECT_EQ(ValidUtf8("\x80"), kMark);
  EXPECT_EQ(ValidUtf8("a\xFF"
                      "b"),
            "a" + kMark + "b");
  EXPECT_EQ(ValidUtf8("\xC0\xAF"), kMark + kMark);
  EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), kMark + kMark + kMark);
  EXPECT_EQ(ValidUtf8("\xF4\x90\x80\x80"), kMark + kMark + kMark + kMark);
  EXPECT_EQ(ValidUtf8("x\xE2\x82"), "x" + kMark + kMark);
}

TEST(OneLine, EscapesControlCharactersAndCutsLongText) {
  EXPECT_EQ(OneLine(std::string("a\nb\r\tc\0d\x1b", 9)), "a\\nb\\r\\tc\\x00d\\x1b");
  EXPECT_EQ(OneLine("caf\xC3\xA9 \xFF"), "caf\xC3\xA9 " + kMark);
  const std::string line = OneLine(std::string(1000, '7'));
  EXPECT_EQ(line, std::string(kqcli::kMaxMessageBytes, '7') + "...");
  // The cut never splits a character: 399 ASCII bytes then a 2-byte character leaves the character out.
  EXPECT_EQ(OneLine(std::string(kqcli::kMaxMessageBytes - 1, 'a') + "\xC3\xA9"),
            std::string(kqcli::kMaxMessageBytes - 1, 'a') + "...");
}
