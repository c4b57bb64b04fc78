// Turns the structured form of a stream into bytes and back.
//
// EncodeStream writes the exact byte grammar the engine reads: tokens as
// "length#content", bare integers as "n#" where the readers expect them
// (frame and sequence counts, step deltas, keyframe table sizes).
// DecodeStream recognises the structured kinds by property name and keeps a
// value as plain bytes whenever re-encoding it would not give the same bytes,
// so EncodeStream(DecodeStream(b)) == b for every well-formed stream.
// A stream that is not "RCS", a header and whole object triples throws
// quellmoor::RStreamException.
#pragma once

#include <string>
#include <string_view>

#include "tools/rcs/SourceModel.h"

namespace rcs {

std::string EncodeStream(const Stream& stream);
std::string EncodeValue(const Value& value);
Stream DecodeStream(std::string_view bytes);

// The structured reading of one property's value token, as DecodeStream makes it.
Value DecodeNamedValue(std::string_view name, std::string_view content);

// True when the bytes look like an 8-bit-or-other BMP file ("BM" and a header).
bool LooksLikeBitmap(std::string_view bytes);

}  // namespace rcs
