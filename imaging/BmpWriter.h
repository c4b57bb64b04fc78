// Writes an RDib as an 8-bit Windows bitmap file (40-byte header, 256 colours).
//
//   SaveBmp(dib, "frame.bmp");
//
// The rows are written exactly as stored (bottom-up, padded to 4 bytes), so
// RDib::LoadFromStream reads back the same pixels and palette. Content tools
// and tests use this; RDib::SaveToStream itself stays unsupported. A file that
// cannot be written throws RException.
#pragma once

#include <ostream>
#include <string>

#include "imaging/Dib.h"

namespace quellmoor {

void SaveBmp(const RDib& dib, std::ostream& out);
void SaveBmp(const RDib& dib, const std::string& path);

}  // namespace quellmoor
