#include "platform/text/TextLayout.h"

#include <array>

namespace quellmoor::text {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr std::array<char32_t, 32> kAnsi80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string_view Slice(std::string_view text, std::size_t begin, std::size_t end) {
    return text.substr(begin, end - begin);
}

// Breaks one paragraph (no line feeds) into lines.
void WrapParagraph(std::string_view paragraph, int maxWidth, const RunWidth& widthOf,
                   std::vector<TextLine>& lines) {
    std::size_t lineStart = 0, lineEnd = 0;
    int lineWidth = 0;
    bool lineHasWord = false;
    std::size_t i = 0;
    while (i < paragraph.size()) {
        const std::size_t spaces = i;
        while (i < paragraph.size() && paragraph[i] == ' ') ++i;
        const std::size_t word = i;
        while (i < paragraph.size() && paragraph[i] != ' ') ++i;
        if (word == i) break;  // trailing spaces draw nothing
        if (!lineHasWord) {
            lineWidth = widthOf(Slice(paragraph, lineStart, i));
            lineEnd = i;
            lineHasWord = true;
            continue;
        }
        const int grown = lineWidth + widthOf(Slice(paragraph, spaces, i));
        if (grown <= maxWidth) {
            lineWidth = grown;
            lineEnd = i;
            continue;
        }
        lines.push_back({Slice(paragraph, lineStart, lineEnd), lineWidth});
        lineStart = word;
        lineEnd = i;
        lineWidth = widthOf(Slice(paragraph, word, i));
    }
    if (lineHasWord)
        lines.push_back({Slice(paragraph, lineStart, lineEnd), lineWidth});
    else
        lines.push_back({paragraph.substr(0, 0), 0});
}

}  // namespace

std::vector<TextLine> WrapText(std::string_view text, int maxWidth, const RunWidth& widthOf) {
    std::vector<TextLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view paragraph = Slice(text, start, end);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        WrapParagraph(paragraph, maxWidth, widthOf, lines);
        start = end + 1;
    }
    return lines;
}

char32_t AnsiToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kAnsi80[byte - 0x80u];
    return byte;
}

}  // namespace quellmoor::text
