// SavePngFile: an RDib as a compressed palette PNG, through libpng.
//
// Every pixel keeps its index and all 256 palette entries are written, so the
// file decodes to exactly the bitmap. Compressed by zlib, a frame of the show
// takes a small part of what imaging/PngWriter.h (stored blocks) needs.
//
//   SavePngFile(stageDib, "frame.png");
//
// A file that cannot be created or written throws RException naming the file
// and the reason.
#pragma once

#include <string>

#include "imaging/Dib.h"

namespace quellmoor::media {

void SavePngFile(const RDib& dib, const std::string& path);

}  // namespace quellmoor::media
