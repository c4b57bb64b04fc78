// The slow, literal reading of CopyBits: one pixel at a time, every address
// worked out from the layout rule. The fast kernels are checked against it.
#pragma once

#include "imaging/Dib.h"

namespace quellmoor::test {

// Copies from `source` (a snapshot, so a copy of a bitmap onto itself reads the
// pixels as they were) into `dest`. Same checks, messages and palette rule.
void ReferenceCopyBits(const RDib& source, RDib& dest, RRect sourceRect, RRect destRect, int transparent,
                       int mode = 0, float alpha = 0.0f);

}  // namespace quellmoor::test
