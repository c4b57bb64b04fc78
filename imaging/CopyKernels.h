// The inner loops of RDib::CopyBits; internal to imaging/.
//
// One template generates a kernel for every combination of transparent,
// horizontal and vertical scaling and horizontal and vertical mirroring, so
// no loop tests a mode per pixel. A kernel gets a clipped job whose every
// address lies inside both bitmaps; source and destination pixels never
// overlap except in the opaque, unscaled, unmirrored case, which walks rows in
// the safe direction (negative strides) and moves each row as memmove would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quellmoor::detail {

// Largest side CopyBits draws; the step tables are this long.
constexpr int kMaxCopySide = 60000;

struct CopyJob {
    std::uint8_t* dest = nullptr;          // first destination row processed, first column
    std::ptrdiff_t destStride = 0;         // from that row to the next one processed
    const std::uint8_t* source = nullptr;  // source row at offset 0 (from the bottom), first column
    std::ptrdiff_t sourceStride = 0;
    int width = 0, height = 0;              // destination pixels
    int sourceWidth = 0, sourceHeight = 0;  // source pixels (equal to the above on unscaled axes)
    const std::int32_t* columns = nullptr;  // horizontal scaling: source offset of each destination column
    const std::int32_t* rows = nullptr;     // vertical scaling: source offset of each destination row
    std::uint8_t key = 0;                   // transparent index
};

using CopyKernel = void (*)(const CopyJob&);

CopyKernel SelectCopyKernel(bool transparent, bool scaleH, bool scaleV, bool mirrorH, bool mirrorV);

// Nearest-neighbour source offsets for `destLength` pixels taken from
// `sourceLength` (both 1..kMaxCopySide), by the Bresenham stepping of CopyBits.
void BuildSteps(std::int32_t* offsets, int sourceLength, int destLength);

// Row blends this processor can run (the source byte unless it is the key),
// plainest first; kernels use the last. Tests hold every one to the first.
using BlendFunction = void (*)(std::uint8_t* dest, const std::uint8_t* source, int count, std::uint8_t key);
struct RowBlend {
    const char* name;
    BlendFunction blend;
};
std::vector<RowBlend> AvailableRowBlends();

// Row copies this processor can run, plainest (memmove) first; opaque rows
// wider than 64 bytes use the last. Source and destination must not overlap.
using CopyFunction = void (*)(std::uint8_t* dest, const std::uint8_t* source, int count);
struct RowCopy {
    const char* name;
    CopyFunction copy;
};
std::vector<RowCopy> AvailableRowCopies();

// An opaque row as the kernels move it: memmove's meaning, never the
// library's slow paths for rows that do not overlap.
void CopyRow(std::uint8_t* dest, const std::uint8_t* source, int count);

// Per-thread tables, sized for the largest copy, so copies never allocate.
std::int32_t* ColumnTable();
std::int32_t* RowTable();

}  // namespace quellmoor::detail
