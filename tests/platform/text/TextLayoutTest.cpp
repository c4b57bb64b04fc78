#include "platform/text/TextLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quellmoor {
namespace {

// A fixed-pitch font: every byte is 10 pixels wide, a space 4.
int FixedWidth(std::string_view run) {
    int width = 0;
    for (char c : run) width += c == ' ' ? 4 : 10;
    return width;
}

struct WrapCase {
    const char* name;
    const char* text;
    int maxWidth;
    std::vector<std::string> lines;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const WrapCase& c, std::ostream* out) { *out << c.name; }

class Wrapping : public ::testing::TestWithParam<WrapCase> {};

TEST_P(Wrapping, BreaksAsWindowsWordBreakDoes) {
    const auto lines = text::WrapText(GetParam().text, GetParam().maxWidth, FixedWidth);
    std::vector<std::string> texts;
    for (const auto& line : lines) {
        texts.emplace_back(line.text);
        EXPECT_EQ(line.width, FixedWidth(line.text)) << "line \"" << line.text << "\"";
    }
    EXPECT_EQ(texts, GetParam().lines);
}

const WrapCase kWrapCases[] = {
    {"Empty", "", 100, {}},
    {"FitsOnOneLine", "ab cd", 100, {"ab cd"}},
    {"ExactFitStays", "ab cd", 44, {"ab cd"}},
    {"OnePixelShortBreaks", "ab cd", 43, {"ab", "cd"}},
    {"BreaksBeforeTheWordThatDoesNotFit", "ab cd ef gh", 60, {"ab cd", "ef gh"}},
    {"SpacesAtABreakAreDropped", "ab    cd", 30, {"ab", "cd"}},
    {"LeadingSpacesOfAParagraphStay", "  ab", 100, {"  ab"}},
    {"TrailingSpacesDrawNothing", "ab   ", 100, {"ab"}},
    {"LineFeedsEndLines", "ab\ncd", 1000, {"ab", "cd"}},
    {"FinalLineFeedAddsNoLine", "ab\n", 1000, {"ab"}},
    {"EmptyParagraphIsAnEmptyLine", "ab\n\ncd\n", 1000, {"ab", "", "cd"}},
    {"CarriageReturnsAreDropped", "ab\r\ncd\r\n", 1000, {"ab", "cd"}},
    {"LongWordGetsItsOwnLine", "a verylongword b", 50, {"a", "verylongword", "b"}},
    {"ZeroWidthPutsEachWordAlone", "ab cd", 0, {"ab", "cd"}},
    {"OnlySpaces", "   ", 100, {""}},
};

INSTANTIATE_TEST_SUITE_P(Text, Wrapping, ::testing::ValuesIn(kWrapCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(TextLayout, LongWordMakesTheLineWiderThanTheLimit) {
    const auto lines = text::WrapText("a verylongword b", 50, FixedWidth);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].width, 120);
}

TEST(TextLayout, AnsiBytesMapToTheirCharacters) {
    EXPECT_EQ(text::AnsiToUnicode('A'), U'A');
    EXPECT_EQ(text::AnsiToUnicode(0x80), U'\u20AC');  // euro sign
    EXPECT_EQ(text::AnsiToUnicode(0x93), U'\u201C');  // left double quotation mark
    EXPECT_EQ(text::AnsiToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(text::AnsiToUnicode(0x81), U'\u0081');  // undefined: itself
    EXPECT_EQ(text::AnsiToUnicode(0xE9), U'\u00E9');  // Latin-1 above 0x9F
}

}  // namespace
}  // namespace quellmoor
