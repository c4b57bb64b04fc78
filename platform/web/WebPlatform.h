// The web backend: the engine in a browser page, built with Emscripten.
//
// Does: the clock (the page's monotonic clock, stopped while the tab is
// hidden, so the show pauses and resumes where it was); waiting (the engine's
// own blocking loop, yielding to the browser through Asyncify sleeps); one
// window, the page's <canvas>, sized to the page and following its resizes;
// presenting 8-bit frames through their palette (only the changed rectangles
// are put into the canvas) with read-back; keyboard and mouse; text through
// the browser's Canvas 2D fonts thresholded into ink and paper; polygons with
// the engine's own rasteriser; settings in the browser's local storage; sound
// through WebAudio (silent until S turns it on); the content (scene files,
// Sounds/, Skins/) fetched beside the page at start into /content.
// Does not: passwords, a single-instance lock (every tab runs its own show),
// starting programs or opening pages, attaching to other windows, message
// boxes (their text goes to the console and OK is the answer).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellmoor::platform {

struct WebOptions {
    std::vector<std::uint8_t> content;  // the embedded main stream
    // A clock that moves only when the engine waits, as the headless backend's
    // does, so a page can play the golden runs frame for frame.
    bool virtualClock = false;
    std::function<void()> presented;    // after every frame put into the canvas
};

class WebPlatform final : public Platform {
public:
    explicit WebPlatform(WebOptions options);
    ~WebPlatform() override;
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    bool Supports(Feature feature) const override;
    std::int64_t NowMs() override;
    void WaitUntil(std::int64_t deadlineMs) override;
    bool PollEvent(InputEvent& event) override;

    WindowId OpenWindow(const WindowSpec& spec) override;
    void DestroyWindow() override { window_ = {}; }
    void ShowWindow(bool) override {}
    void ResizeWindow(int width, int height) override;
    void SetWindowTitle(std::string_view title) override;
    PixelRect GetWindowRect(WindowId window) override;
    bool WindowExists(WindowId window) override { return window && window == window_; }
    PixelRect GetDesktopRect() override;
    int GetRefreshRateHz() override { return 60; }
    void ShowCursor(bool visible) override;

    void PresentStretched(WindowId target, const IndexedImage& image, PixelRect destination) override;
    void PresentRects(WindowId target, const IndexedImage& image, std::span<const PixelRect> rects) override;
    void PresentRgb(WindowId target, const RgbImage& image, int x, int y) override;
    ScreenPixels ReadPresentedPixels(WindowId window) override;

    MessageBoxButton ShowMessageBox(std::string_view title, std::string_view text) override;
    std::string GetProgramPath() override { return "/content/vexmon"; }
    std::vector<std::uint8_t> GetEmbeddedContent() override { return content_; }

    void PlaySoundFile(const std::string& path) override;
    void StopSound() override;
    // Sound starts muted (a browser allows it only after a gesture); S toggles it.
    bool SoundOn() const { return soundOn_; }
    void SetSoundOn(bool on);

    std::string SettingsFilePath(std::string_view fileName) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    void ReplaceFileAtomically(const std::string& path, std::string_view contents) override;
    std::unique_ptr<DrawingContext> CreateDrawingContext(const IndexedCanvas& canvas) override;

    // Called from the browser's callbacks.
    void Queue(const InputEvent& event) { input_.push_back(event); }
    void PageResized(int width, int height);
    void VisibilityChanged(bool hidden);

private:
    // Makes the canvas (and the pixels behind it) width x height; false without a window.
    bool PrepareCanvas(int width, int height);
    void PutRect(PixelRect rect);

    void FramePresented();

    std::vector<std::uint8_t> content_;
    bool virtualClock_;
    std::function<void()> presented_;
    std::int64_t virtualNowMs_ = 0;
    std::int64_t lastYieldMs_ = 0;
    std::deque<InputEvent> input_;
    WindowId window_;
    std::uint32_t nextId_ = 1;
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> rgba_;  // what the canvas shows, RGBA bytes in memory order
    double originMs_ = 0;
    double hiddenSinceMs_ = -1;        // page clock when the tab was hidden; -1 while visible
    double hiddenTotalMs_ = 0;
    bool soundOn_ = false;
    double sleptMs_ = 0;               // time handed back to the browser
    int frames_ = 0;
};

}  // namespace quellmoor::platform
