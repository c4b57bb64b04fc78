#include "platform/sdl/SdlPresenter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include <SDL.h>

#include "platform/sdl/ChangedSpans.h"

namespace quellmoor::platform {

namespace {

bool Usable(const IndexedImage& image) {
    return image.bits && image.palette && image.width > 0 && image.height > 0 &&
           image.strideBytes >= image.width;
}

bool SameRect(const PixelRect& a, const PixelRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

}  // namespace

// True when the renderer draws in software (no renderer flag says so for a
// software OpenGL driver, so its name is asked).
bool IsSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return true;
    if (!(info.flags & SDL_RENDERER_ACCELERATED)) return true;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned kGlRenderer = 0x1F01;
    const char* name = getString ? reinterpret_cast<const char*>(getString(kGlRenderer)) : nullptr;
    if (!name) return false;
    const std::string text(name);
    return text.find("llvmpipe") != std::string::npos || text.find("softpipe") != std::string::npos ||
           text.find("Software") != std::string::npos;
}

SdlPresenter::SdlPresenter(SDL_Window* window, bool surfaceOnly) : window_(window) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // The window surface must be the X server's own image, not another GL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const char* forced = SDL_getenv("QM_SDL_PRESENT");
    if (surfaceOnly || (forced && std::strcmp(forced, "surface") == 0)) {
        useSurface_ = true;
        return;
    }
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (renderer_ && !(forced && std::strcmp(forced, "texture") == 0) && IsSoftware(renderer_)) {
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
        useSurface_ = true;
        return;
    }
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) throw std::runtime_error(std::string("SDL could not make a renderer: ") + SDL_GetError());
}

SdlPresenter::~SdlPresenter() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (rgbTexture_) SDL_DestroyTexture(rgbTexture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
}

bool SdlPresenter::Prepare(const IndexedImage& image) {
    bool everything = false;
    if (!texture_ || image.width != width_ || image.height != height_) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                     image.width, image.height);
        if (!texture_) return false;
        width_ = image.width;
        height_ = image.height;
        kept_.assign(static_cast<std::size_t>(width_) * height_, 0);
        everything = true;
    }
    if (std::memcmp(palette_.data(), image.palette, sizeof(palette_)) != 0) {
        std::copy_n(image.palette, 256, palette_.begin());
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& e = palette_[i];
            lookup_[i] = 0xFF000000u | (std::uint32_t{e.red} << 16) | (std::uint32_t{e.green} << 8) | e.blue;
        }
        everything = true;
    }
    return everything;
}

void SdlPresenter::Upload(const IndexedImage& image, int left, int top, int right, int bottom) {
    if (left >= right || top >= bottom) return;
    const SDL_Rect rect{left, top, right - left, bottom - top};
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, &rect, &pixels, &pitch) != 0) return;
    const int width = right - left;
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* source = TopDownRow(image, y) + left;
        auto* target = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(pixels) +
                                                        static_cast<std::ptrdiff_t>(y - top) * pitch);
        for (int x = 0; x < width; ++x) target[x] = lookup_[source[x]];
        std::memcpy(kept_.data() + static_cast<std::size_t>(y) * width_ + left, source,
                    static_cast<std::size_t>(width));
    }
    SDL_UnlockTexture(texture_);
    uploadedPixels_ += static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bottom - top);
}

bool SdlPresenter::UploadChanges(const IndexedImage& image) {
    bool changed = false;
    for (int top = 0; top < height_; top += kBandRows) {
        ForEachChangedSpan(image, kept_, top, std::min(top + kBandRows, height_), tiles_,
                           [&](int left, int spanTop, int right, int bottom) {
                               Upload(image, left, spanTop, right, bottom);
                               changed = true;
                           });
    }
    return changed;
}

void SdlPresenter::Show(PixelRect destination) {
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    // Clearing costs a full-window fill; only needed when the frame leaves a border.
    const bool covers = destination.x <= 0 && destination.y <= 0 &&
                        destination.x + destination.width >= outputWidth &&
                        destination.y + destination.height >= outputHeight;
    if (!covers) {
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
    }
    const SDL_Rect target{destination.x, destination.y, destination.width, destination.height};
    SDL_RenderCopy(renderer_, showingRgb_ ? rgbTexture_ : texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
}

void SdlPresenter::PresentStretched(const IndexedImage& image, PixelRect destination) {
    if (!Usable(image) || destination.width <= 0 || destination.height <= 0) return;
    if (useSurface_) return SurfaceStretched(image, destination);
    const bool everything = Prepare(image);
    if (!texture_) return;
    bool changed = true;
    if (everything)
        Upload(image, 0, 0, width_, height_);
    else
        changed = UploadChanges(image);
    if (!changed && !showingRgb_ && SameRect(destination, lastDestination_)) return;
    showingRgb_ = false;
    lastDestination_ = destination;
    Show(destination);
}

void SdlPresenter::PresentRects(const IndexedImage& image, std::span<const PixelRect> rects) {
    if (!Usable(image)) return;
    if (useSurface_) return SurfaceRects(image, rects);
    const bool everything = Prepare(image);
    if (!texture_) return;
    if (everything) {
        Upload(image, 0, 0, width_, height_);
    } else {
        for (const PixelRect& rect : rects)
            Upload(image, std::max(rect.x, 0), std::max(rect.y, 0), std::min(rect.x + rect.width, width_),
                   std::min(rect.y + rect.height, height_));
    }
    showingRgb_ = false;
    lastDestination_ = {0, 0, width_, height_};
    Show(lastDestination_);
}

void SdlPresenter::PresentRgb(const RgbImage& image, int x, int y) {
    if (!image.bytes || image.width <= 0 || image.height <= 0) return;
    if (useSurface_) return SurfaceRgb(image, x, y);
    if (!rgbTexture_ || image.width != rgbWidth_ || image.height != rgbHeight_) {
        if (rgbTexture_) SDL_DestroyTexture(rgbTexture_);
        rgbTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING,
                                        image.width, image.height);
        if (!rgbTexture_) return;
        rgbWidth_ = image.width;
        rgbHeight_ = image.height;
    }
    SDL_UpdateTexture(rgbTexture_, nullptr, image.bytes, image.width * 3);
    showingRgb_ = true;
    rgbDestination_ = {x, y, image.width, image.height};
    Show(rgbDestination_);
}

void SdlPresenter::Refresh() {
    if (useSurface_) {
        if (surfaceSeen_) SDL_UpdateWindowSurface(window_);
        return;
    }
    if (showingRgb_ ? rgbTexture_ != nullptr : texture_ != nullptr)
        Show(showingRgb_ ? rgbDestination_ : lastDestination_);
}

}  // namespace quellmoor::platform
