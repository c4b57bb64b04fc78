// Checks that bitmaps share one palette.
//
// Pixels are copied between bitmaps as raw palette indices, so every picture,
// frame, background and skin of the show must carry the very same 256 colours.
// ReadPalette takes the colour table of a BMP file (a Windows header with up
// to 256 entries, missing entries read as black); CollectBitmaps walks a
// stream and names every bitmap it holds ("Vexmon/FrameList/s_l90").
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/rcs/SourceModel.h"

namespace rcs {

using Palette = std::array<std::uint32_t, 256>;  // 0xRRGGBB per entry

// The palette of a BMP file's bytes; none when it is not an 8-bit BMP.
std::optional<Palette> ReadPalette(std::string_view bmp);

struct NamedBitmap {
    std::string where;
    std::string bytes;
};
std::vector<NamedBitmap> CollectBitmaps(const Stream& stream);

// Empty when the bitmap is 8-bit with exactly `reference`; else the problem.
std::string ComparePalette(std::string_view bmp, const Palette& reference);

}  // namespace rcs
