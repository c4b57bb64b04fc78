// Writes canvases as 8-bit bitmap files with the shared palette, and as PNG
// contact sheets for looking at the art.
#pragma once

#include <string>
#include <vector>

#include "content/tools/contentgen/Art.h"

namespace contentgen {

void SaveBitmap(const Canvas& canvas, const std::string& path);
void SavePreview(const Canvas& canvas, const std::string& path, int zoom = 1);
// Frames side by side on a dark background, in the order given.
Canvas ContactSheet(const std::vector<const Canvas*>& frames, int columns, std::uint8_t background);

}  // namespace contentgen
