// Prints a component stream as readable text: the header lines, then every
// object with its class, name, body size and properties. Values are shown by
// what they hold: text, nested property lists (indented), Tag lines, bitmaps
// as size and bit depth. Malformed streams throw the engine's RStreamException.
// It reads the bytes only; whether the engine would load them is
// rcs::EngineRefusal's answer (tools/rcs/EngineCheck.h).
#pragma once

#include <istream>
#include <ostream>

namespace rcs {

// Returns the number of objects printed.
int DumpStream(std::istream& in, std::ostream& out);

}  // namespace rcs
