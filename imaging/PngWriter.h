// Writes an RDib as an indexed-colour PNG file, so pictures made by tests and
// tools can be looked at with any viewer.
//
//   SavePng(stageDib, "actual.png");
//
// Plain standard C++: the image data goes into stored (uncompressed) deflate
// blocks, so files are about as large as the pixels. Rows are written top
// down, every palette entry is kept. A file that cannot be written throws
// RException.
#pragma once

#include <string>

#include "imaging/Dib.h"

namespace quellmoor {

void SavePng(const RDib& dib, const std::string& path);

}  // namespace quellmoor
