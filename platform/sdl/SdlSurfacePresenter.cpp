// The window-surface way of SdlPresenter: frames are converted straight into
// the window's own pixels and only the changed rectangles go to the display.
#include <algorithm>
#include <cstring>

#include <SDL.h>

#include "platform/sdl/ChangedSpans.h"
#include "platform/sdl/SdlPresenter.h"

namespace quellmoor::platform {

namespace {

std::uint32_t* SurfaceRow(SDL_Surface* surface, int y) {
    return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(surface->pixels) +
                                            static_cast<std::ptrdiff_t>(y) * surface->pitch);
}

SDL_Surface* WindowSurface(SDL_Window* window) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    // Every desktop SDL runs on today has 32-bit window pixels; anything else shows nothing.
    return surface && surface->format->BytesPerPixel == 4 ? surface : nullptr;
}

}  // namespace

bool SdlPresenter::PrepareSurface(const IndexedImage& image) {
    SDL_Surface* surface = WindowSurface(window_);
    if (!surface) return false;
    bool everything = false;
    if (surface != surfaceSeen_ || surface->w != surfaceWidth_ || surface->h != surfaceHeight_) {
        surfaceSeen_ = surface;
        surfaceWidth_ = surface->w;
        surfaceHeight_ = surface->h;
        everything = true;  // also rebuilds the colour table for this surface's format
    }
    if (image.width != width_ || image.height != height_) {
        width_ = image.width;
        height_ = image.height;
        kept_.assign(static_cast<std::size_t>(width_) * height_, 0);
        everything = true;
    }
    if (everything || std::memcmp(palette_.data(), image.palette, sizeof(palette_)) != 0) {
        std::copy_n(image.palette, 256, palette_.begin());
        for (int i = 0; i < 256; ++i)
            lookup_[i] = SDL_MapRGB(surface->format, palette_[i].red, palette_[i].green, palette_[i].blue);
        everything = true;
    }
    if (showingRgb_) everything = true;
    return everything;
}

void SdlPresenter::Write(const IndexedImage& image, int left, int top, int right, int bottom, int atX, int atY) {
    SDL_Surface* surface = static_cast<SDL_Surface*>(surfaceSeen_);
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* source = TopDownRow(image, y);
        std::memcpy(kept_.data() + static_cast<std::size_t>(y) * width_ + left, source + left,
                    static_cast<std::size_t>(right - left));
        const int row = atY + y;
        if (row < 0 || row >= surface->h) continue;
        const int from = std::max(left, -atX), to = std::min(right, surface->w - atX);
        std::uint32_t* target = SurfaceRow(surface, row) + atX;
        for (int x = from; x < to; ++x) target[x] = lookup_[source[x]];
    }
    const int x0 = std::max(atX + left, 0), y0 = std::max(atY + top, 0);
    const int x1 = std::min(atX + right, surface->w), y1 = std::min(atY + bottom, surface->h);
    if (x0 < x1 && y0 < y1) updated_.push_back({x0, y0, x1 - x0, y1 - y0});
    uploadedPixels_ += static_cast<std::uint64_t>(right - left) * static_cast<std::uint64_t>(bottom - top);
}

void SdlPresenter::SurfaceStretched(const IndexedImage& image, PixelRect destination) {
    bool everything = PrepareSurface(image);
    if (!surfaceSeen_ || !WindowSurface(window_)) return;
    SDL_Surface* surface = static_cast<SDL_Surface*>(surfaceSeen_);
    if (destination.x != lastDestination_.x || destination.y != lastDestination_.y ||
        destination.width != lastDestination_.width || destination.height != lastDestination_.height) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        everything = true;
    }
    lastDestination_ = destination;
    showingRgb_ = false;
    updated_.clear();

    if (destination.width == width_ && destination.height == height_) {
        if (everything) {
            Write(image, 0, 0, width_, height_, destination.x, destination.y);
        } else {
            for (int top = 0; top < height_; top += kBandRows) {
                ForEachChangedSpan(image, kept_, top, std::min(top + kBandRows, height_), tiles_,
                                   [&](int left, int spanTop, int right, int bottom) {
                                       Write(image, left, spanTop, right, bottom, destination.x, destination.y);
                                   });
            }
        }
        CoalesceIntoBands(updated_, bandScratch_);
        if (everything) {
            SDL_UpdateWindowSurface(window_);
        } else if (!updated_.empty()) {
            SDL_UpdateWindowSurfaceRects(window_, updated_.data(), static_cast<int>(updated_.size()));
        }
        return;
    }

    // Stretched: any change redraws the whole destination, nearest neighbour.
    bool changed = everything;
    for (int y = 0; y < height_ && !changed; ++y)
        changed = std::memcmp(TopDownRow(image, y), kept_.data() + static_cast<std::size_t>(y) * width_,
                              static_cast<std::size_t>(width_)) != 0;
    if (!changed) return;
    for (int y = 0; y < height_; ++y)
        std::memcpy(kept_.data() + static_cast<std::size_t>(y) * width_, TopDownRow(image, y),
                    static_cast<std::size_t>(width_));
    const int top = std::max(destination.y, 0), bottom = std::min(destination.y + destination.height, surface->h);
    const int left = std::max(destination.x, 0), right = std::min(destination.x + destination.width, surface->w);
    for (int row = top; row < bottom; ++row) {
        const int sy = static_cast<int>(static_cast<std::int64_t>(row - destination.y) * height_ / destination.height);
        const std::uint8_t* source = kept_.data() + static_cast<std::size_t>(sy) * width_;
        std::uint32_t* target = SurfaceRow(surface, row);
        for (int x = left; x < right; ++x)
            target[x] = lookup_[source[static_cast<std::int64_t>(x - destination.x) * width_ / destination.width]];
    }
    uploadedPixels_ += static_cast<std::uint64_t>(std::max(right - left, 0)) * std::max(bottom - top, 0);
    SDL_UpdateWindowSurface(window_);
}

void SdlPresenter::SurfaceRects(const IndexedImage& image, std::span<const PixelRect> rects) {
    const bool everything = PrepareSurface(image);
    if (!surfaceSeen_ || !WindowSurface(window_)) return;
    lastDestination_ = {0, 0, width_, height_};
    showingRgb_ = false;
    updated_.clear();
    if (everything) {
        Write(image, 0, 0, width_, height_, 0, 0);
        SDL_UpdateWindowSurface(window_);
        return;
    }
    for (const PixelRect& rect : rects) {
        const int left = std::max(rect.x, 0), top = std::max(rect.y, 0);
        const int right = std::min(rect.x + rect.width, width_), bottom = std::min(rect.y + rect.height, height_);
        if (left < right && top < bottom) Write(image, left, top, right, bottom, 0, 0);
    }
    CoalesceIntoBands(updated_, bandScratch_);
    if (!updated_.empty())
        SDL_UpdateWindowSurfaceRects(window_, updated_.data(), static_cast<int>(updated_.size()));
}

void SdlPresenter::SurfaceRgb(const RgbImage& image, int x, int y) {
    SDL_Surface* surface = WindowSurface(window_);
    if (!surface) return;
    for (int row = 0; row < image.height; ++row) {
        const int sy = y + row;
        if (sy < 0 || sy >= surface->h) continue;
        std::uint32_t* target = SurfaceRow(surface, sy);
        for (int col = 0; col < image.width; ++col) {
            const int sx = x + col;
            if (sx < 0 || sx >= surface->w) continue;
            const std::uint8_t* p = image.bytes + (static_cast<std::size_t>(row) * image.width + col) * 3;
            target[sx] = SDL_MapRGB(surface->format, p[0], p[1], p[2]);
        }
    }
    showingRgb_ = true;
    SDL_UpdateWindowSurface(window_);
}

ScreenPixels SdlPresenter::ReadSurface() const {
    SDL_Surface* surface = useSurface_ ? WindowSurface(window_) : nullptr;
    if (!surface) return {};
    ScreenPixels result{surface->w, surface->h, {}};
    result.pixels.reserve(static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(surface->h));
    for (int y = 0; y < surface->h; ++y) {
        const std::uint32_t* row = SurfaceRow(surface, y);
        for (int x = 0; x < surface->w; ++x) {
            Uint8 r = 0, g = 0, b = 0;
            SDL_GetRGB(row[x], surface->format, &r, &g, &b);
            result.pixels.push_back((std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b);
        }
    }
    return result;
}

}  // namespace quellmoor::platform
