// What every backend's drawing context does the same way before it draws:
// checks the canvas it was handed, and leaves control characters out of text.
//
// A canvas with a negative size, a row stride smaller than its width, or a
// size but no pixels is refused with RParamException; a canvas without pixels
// and without a size is an empty one, on which every draw does nothing.
// Control characters (below 0x20, and 0x7F) have no glyph: they are neither
// drawn nor measured (a system font would draw a box for them).
//
//   explicit MyContext(const IndexedCanvas& canvas) : canvas_(CheckDrawingCanvas(canvas)) {}
//   const std::string printable = WithoutControlCharacters(line);
//
// Standard library only, so every backend (and every cross build) compiles it.
#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace quellmoor::platform {

// The canvas to draw on: `canvas`, or an empty one of the same stride when it
// has no pixels. Throws RParamException for a canvas that cannot be drawn on.
IndexedCanvas CheckDrawingCanvas(const IndexedCanvas& canvas);

// Whether the byte is one of the control characters text leaves out.
constexpr bool IsControlCharacter(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// `text` without its control characters.
std::string WithoutControlCharacters(std::string_view text);

}  // namespace quellmoor::platform
