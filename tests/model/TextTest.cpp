#include "model/Text.h"

#include <gtest/gtest.h>

namespace quellmoor {
namespace {

TEST(Text, CaseInsensitiveEquality) {
    EXPECT_TRUE(EqualsIgnoreCase("OnTimer", "ontimer"));
    EXPECT_FALSE(EqualsIgnoreCase("OnTimer", "OnTimers"));
    EXPECT_FALSE(EqualsIgnoreCase("a", "\xe1"));
}

TEST(Text, SplitOffTakesPrefixAndSeparator) {
    std::string text = "RGB24:00FF00:x";
    EXPECT_EQ(SplitOff(text, ":"), "RGB24");
    EXPECT_EQ(text, "00FF00:x");
    std::string none = "abc";
    EXPECT_EQ(SplitOff(none, ":"), "abc");
    EXPECT_EQ(none, "");
}

TEST(Text, Booleans) {
    for (const char* yes : {"True", "true", "TRUE"}) EXPECT_TRUE(TextToBool(yes)) << yes;
    for (const char* no : {"Yes", "1", "", "False", "True "}) EXPECT_FALSE(TextToBool(no)) << no;
}

TEST(Text, IntegersFollowAtoiAndSaturate) {
    struct Case { const char* text; int value; };
    for (const Case& c : {Case{"400", 400}, Case{"  -12abc", -12}, Case{"+7", 7}, Case{"abc", 0}, Case{"", 0},
                          Case{"99999999999", 2147483647}, Case{"-99999999999", -2147483647 - 1},
                          Case{"99999999999999999999999999", 2147483647}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextToInt(c.text), c.value);
    }
    EXPECT_EQ(TextToLong("FFFFFF", 16), 16777215);
    EXPECT_EQ(TextToLong("0x1f", 16), 31);
    EXPECT_EQ(TextToLong("FFFFFFFF", 16), 2147483647);
}

TEST(Text, Floats) {
    EXPECT_DOUBLE_EQ(TextToFloat("25.5"), 25.5);
    EXPECT_DOUBLE_EQ(TextToFloat("MS:100"), 0.0);
    EXPECT_DOUBLE_EQ(TextToFloat(" -3e2x"), -300.0);
}

}  // namespace
}  // namespace quellmoor
