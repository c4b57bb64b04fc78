// Finds what changed between a new 8-bit frame and the kept copy of the last
// one, band by band, as runs of 64-pixel tiles: two sprites at opposite ends
// of a band give two short spans, not one span across the whole width. Also
// merges many small update rectangles before they go to the display.
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

// Every rectangle costs the display server a request; many small ones (sixty
// sprites make over a hundred) become one bounding box per band of rows. The
// window's pixels outside the written rectangles already hold the last frame,
// so handing over a larger area shows the same picture.
inline constexpr int kUpdateBandRows = 64;
inline constexpr std::size_t kFewRects = 8;

// `Rect` has x, y, w, h (SDL_Rect); `scratch` is reused between calls.
template <class Rect>
void CoalesceIntoBands(std::vector<Rect>& rects, std::vector<Rect>& scratch) {
    if (rects.size() <= kFewRects) return;
    scratch.clear();
    for (const Rect& r : rects) {
        for (int top = r.y / kUpdateBandRows * kUpdateBandRows; top < r.y + r.h; top += kUpdateBandRows) {
            const int y0 = std::max(r.y, top), y1 = std::min(r.y + r.h, top + kUpdateBandRows);
            auto band = std::find_if(scratch.begin(), scratch.end(),
                                     [top](const Rect& b) { return b.y / kUpdateBandRows * kUpdateBandRows == top; });
            if (band == scratch.end()) {
                scratch.push_back({r.x, y0, r.w, y1 - y0});
                continue;
            }
            const int left = std::min(band->x, r.x), right = std::max(band->x + band->w, r.x + r.w);
            const int upper = std::min(band->y, y0), lower = std::max(band->y + band->h, y1);
            *band = {left, upper, right - left, lower - upper};
        }
    }
    rects.swap(scratch);
}

}  // namespace quellmoor::platform
