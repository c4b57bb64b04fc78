// Pieces shared by the bitmap's source files; not for use outside imaging/.
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/Dib.h"

namespace quellmoor::detail {

// A bitmap parsed from a file, kept apart until it has loaded completely.
struct LoadedDib {
    BitmapInfoHeader header;
    Palette palette{};
    std::unique_ptr<std::uint8_t[]> bits;
};

Palette GreyRamp();
BitmapInfoHeader MakeHeader(int width, int height);
// Zeroed pixels for width x height; throws RException(message) for sizes that
// are not positive, too large, or that the allocator refuses.
std::unique_ptr<std::uint8_t[]> AllocatePixels(std::int64_t width, std::int64_t height, const char* message);

}  // namespace quellmoor::detail
