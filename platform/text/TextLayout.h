// Line breaking for drawn text, independent of any font library.
//
//   auto lines = WrapText("Hello there\nfriend", 40, widthOf);
//   // {"Hello", w}, {"there", w}, {"friend", w} when "Hello there" is wider than 40
//
// Text is 8-bit ANSI (Windows-1252); AnsiToUnicode gives a byte's character.
// Lines end at line feeds (a final line feed does not start an empty line;
// carriage returns are dropped) and, when a line would grow wider than
// `maxWidth`, at the spaces before the word that does not fit. A word wider
// than `maxWidth` gets a line of its own and makes that line wider, as Windows
// word breaking does. Spaces at a break are dropped; spaces leading a paragraph
// stay. `widthOf` measures a run of text; widths of runs must add up (no kerning).
#pragma once

#include <functional>
#include <string_view>
#include <vector>

namespace quellmoor::text {

struct TextLine {
    std::string_view text;  // a view into the wrapped text
    int width = 0;
};

using RunWidth = std::function<int(std::string_view)>;

std::vector<TextLine> WrapText(std::string_view text, int maxWidth, const RunWidth& widthOf);

// The character a Windows-1252 byte stands for (undefined bytes map to themselves).
char32_t AnsiToUnicode(unsigned char byte);

}  // namespace quellmoor::text
