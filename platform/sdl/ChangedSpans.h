// Finds what changed between a new 8-bit frame and the kept copy of the last
// one, band by band, as runs of 64-pixel tiles: two sprites at opposite ends
// of a band give two short spans, not one span across the whole width.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Platform.h"

namespace quellmoor::platform {

inline constexpr int kBandRows = 16;
inline constexpr int kTileColumns = 64;

inline const std::uint8_t* TopDownRow(const IndexedImage& image, int y) {
    return image.bits + static_cast<std::ptrdiff_t>(image.height - 1 - y) * image.strideBytes;
}

// Calls emit(left, top, right, bottom) for every changed run of tiles in rows
// [top, bottom). `tiles` is scratch space reused between calls.
template <class Emit>
void ForEachChangedSpan(const IndexedImage& image, const std::vector<std::uint8_t>& kept, int top, int bottom,
                        std::vector<std::uint8_t>& tiles, Emit emit) {
    const int width = image.width;
    const int tileCount = (width + kTileColumns - 1) / kTileColumns;
    tiles.assign(static_cast<std::size_t>(tileCount), 0);
    bool any = false;
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* fresh = TopDownRow(image, y);
        const std::uint8_t* old = kept.data() + static_cast<std::size_t>(y) * width;
        if (std::memcmp(fresh, old, static_cast<std::size_t>(width)) == 0) continue;
        for (int t = 0; t < tileCount; ++t) {
            if (tiles[static_cast<std::size_t>(t)]) continue;
            const int x = t * kTileColumns, span = std::min(kTileColumns, width - x);
            if (std::memcmp(fresh + x, old + x, static_cast<std::size_t>(span)) != 0) {
                tiles[static_cast<std::size_t>(t)] = 1;
                any = true;
            }
        }
    }
    if (!any) return;
    for (int t = 0; t < tileCount;) {
        if (!tiles[static_cast<std::size_t>(t)]) {
            ++t;
            continue;
        }
        const int first = t;
        while (t < tileCount && tiles[static_cast<std::size_t>(t)]) ++t;
        emit(first * kTileColumns, top, std::min(t * kTileColumns, width), bottom);
    }
}

}  // namespace quellmoor::platform
