// The SDL2 backend: a real window on X11, Wayland or whatever SDL drives.
//
// Implemented: 64-bit millisecond clock (SDL_GetTicks64); waiting with
// SDL_WaitEventTimeout, so an idle program sleeps in the kernel; input mapped to
// Windows virtual-key codes and client pixels; one window (framed, borderless
// or desktop full screen, optionally always on top); presenting through a
// streaming texture (SdlPresenter); SDL_ShowMessageBox; the program path from
// /proc/self/exe; embedded content handed in by the program; drawing contexts
// (the shared FreeType text library in platform/text).
// Not supported: child windows of a foreign window (made borderless instead),
// and WindowExists for windows this process did not create (always false).
//
//   SdlPlatform sdl({.content = LoadContentBytes()});
//   platform::SetCurrentPlatform(&sdl);
#pragma once

#include <memory>
#include <vector>

#include "platform/Platform.h"

struct SDL_Window;

namespace quellmoor::platform {

class SdlPresenter;

struct SdlOptions {
    std::vector<std::uint8_t> content;  // the embedded main component stream
};

class SdlPlatform final : public Platform {
public:
    // Initialises SDL's video and events; throws std::runtime_error when SDL cannot start.
    explicit SdlPlatform(SdlOptions options = {});
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    std::int64_t NowMs() override;
    void WaitUntil(std::int64_t deadlineMs) override;
    bool PollEvent(InputEvent& event) override;
    NativeWindow OpenWindow(const WindowSpec& spec) override;
    void DestroyWindow() override;
    void ShowWindow(bool visible) override;
    void ResizeWindow(int width, int height) override;
    void SetWindowTitle(std::string_view title) override;
    PixelRect GetWindowRect() override;
    bool WindowExists(NativeWindow window) override;
    PixelRect GetDesktopRect() override;
    int GetRefreshRateHz() override;
    void PresentStretched(const IndexedImage& image, PixelRect destination) override;
    void PresentRects(const IndexedImage& image, std::span<const PixelRect> rects) override;
    void PresentRgb(const RgbImage& image, int x, int y) override;
    void ShowCursor(bool visible) override;
    MessageBoxButton ShowMessageBox(std::string_view title, std::string_view text) override;
    std::string GetProgramPath() override;
    std::vector<std::uint8_t> GetEmbeddedContent() override { return options_.content; }
    std::unique_ptr<DrawingContext> CreateDrawingContext(const IndexedCanvas& canvas) override;

    // Bytes converted to 32-bit and uploaded so far (for measurements and tests).
    std::uint64_t UploadedPixels() const;

private:
    SdlOptions options_;
    SDL_Window* window_ = nullptr;
    std::unique_ptr<SdlPresenter> presenter_;
};

}  // namespace quellmoor::platform
