// Puts 8-bit frames on an SDL window through one streaming texture.
//
// Converting a whole 1920 x 1080 frame to 32 bits costs about ten times a copy
// of the 8-bit frame, so the presenter keeps the last frame it uploaded and,
// band by band, compares the new one against it: only bands' changed spans are
// converted (through a 256-entry table built from the palette) and uploaded.
// A palette change, a new size or a lost window converts everything. A frame
// that changed nothing and goes to the same place is not presented at all.
// Stretching is nearest neighbour (SDL's "nearest" scale quality).
//
// Two ways to the screen: a streaming texture drawn by a hardware renderer, or,
// when the only renderers are software ones (a virtual X server, a machine
// without a GPU), the window's own surface, written directly and updated only
// in the changed rectangles. Software OpenGL would copy the whole window twice
// per frame: about 12 % of a core at 1920 x 1080 against under 1 % this way.
// QM_SDL_PRESENT=texture or =surface in the environment overrides the choice.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Platform.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Rect;

namespace quellmoor::platform {

class SdlPresenter {
public:
    // Throws std::runtime_error when SDL gives no renderer for the window.
    // `surfaceOnly`: always the window surface (a window another program made).
    SdlPresenter(SDL_Window* window, bool surfaceOnly);
    ~SdlPresenter();
    SdlPresenter(const SdlPresenter&) = delete;
    SdlPresenter& operator=(const SdlPresenter&) = delete;

    void PresentStretched(const IndexedImage& image, PixelRect destination);
    void PresentRects(const IndexedImage& image, std::span<const PixelRect> rects);
    void PresentRgb(const RgbImage& image, int x, int y);
    // The window was exposed or resized: show the last frame again.
    void Refresh();
    // The window surface's pixels (the surface way only); empty otherwise.
    ScreenPixels ReadSurface() const;

    std::uint64_t UploadedPixels() const { return uploadedPixels_; }

private:
    // Makes the texture and the kept frame match the image; true when everything must be converted.
    bool Prepare(const IndexedImage& image);
    // Converts and uploads rows [top, bottom) x columns [left, right) and keeps them.
    void Upload(const IndexedImage& image, int left, int top, int right, int bottom);
    // Uploads what differs from the kept frame; true when anything did.
    bool UploadChanges(const IndexedImage& image);
    void Show(PixelRect destination);

    // --- The window-surface way
    bool PrepareSurface(const IndexedImage& image);
    // Converts rows [top, bottom) x columns [left, right) to the window at `at` and keeps them.
    void Write(const IndexedImage& image, int left, int top, int right, int bottom, int atX, int atY);
    void SurfaceStretched(const IndexedImage& image, PixelRect destination);
    void SurfaceRects(const IndexedImage& image, std::span<const PixelRect> rects);
    void SurfaceRgb(const RgbImage& image, int x, int y);

    SDL_Window* window_;
    bool useSurface_ = false;
    void* surfaceSeen_ = nullptr;  // the window surface the kept frame was written to
    int surfaceWidth_ = 0, surfaceHeight_ = 0;
    std::vector<SDL_Rect> updated_;  // rectangles handed to the window, reused between frames
    std::vector<SDL_Rect> bandScratch_;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Texture* rgbTexture_ = nullptr;
    int width_ = 0, height_ = 0;
    int rgbWidth_ = 0, rgbHeight_ = 0;
    std::array<PaletteEntry, 256> palette_{};
    std::array<std::uint32_t, 256> lookup_{};
    std::vector<std::uint8_t> kept_;   // last uploaded frame, top row first, width_ per row
    std::vector<std::uint8_t> tiles_;  // scratch for finding changed spans
    PixelRect lastDestination_{};
    bool showingRgb_ = false;
    PixelRect rgbDestination_{};
    std::uint64_t uploadedPixels_ = 0;
};

}  // namespace quellmoor::platform
