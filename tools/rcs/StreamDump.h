// Prints a component stream as readable text: the header lines, then every
// object with its class, name, body size and properties. Values are shown by
// what they hold: text, nested property lists (indented), Tag lines, bitmaps
// as size and bit depth. Malformed streams throw the engine's RStreamException.
#pragma once

#include <istream>
#include <ostream>

namespace rcs {

void DumpStream(std::istream& in, std::ostream& out);

}  // namespace rcs
