// Writes the structured form of a stream as rcs source text (decompiling).
//
// Values are written bare when the source reader would accept them and give
// back the same bytes, quoted otherwise; structured values become blocks.
// Bitmaps are written as files under `bitmapDir` (relative to the source's
// directory) with names made from the object, property and frame names, and
// referred to as "bitmap FILE".
//
//   WriteSource(DecodeStream(bytes), "out/scene.rcsrc", "scene_bitmaps");
#pragma once

#include <filesystem>
#include <string>

#include "tools/rcs/SourceModel.h"

namespace rcs {

// Returns the source text; bitmaps go to sourceDir/bitmapDir.
std::string WriteSource(const Stream& stream, const std::filesystem::path& sourceDir, const std::string& bitmapDir);

// Quotes bytes for the source: "..." with \n, \t, \\, \", \xHH escapes.
std::string QuoteText(const std::string& bytes);

}  // namespace rcs
