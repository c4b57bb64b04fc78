// The headless backend: no window, no display, deterministic time.
//
// Implemented: clock (virtual by default, or the real monotonic clock),
// waiting, scripted input, window bookkeeping, presenting into memory, message
// boxes with scripted answers, program path, embedded content, drawing
// contexts (the shared FreeType text library in platform/text).
//
// With the virtual clock NowMs only moves when WaitUntil or AdvanceMs moves it,
// and WaitUntil never sleeps: it jumps to the deadline or to the next queued
// input event, whichever is first. Every present updates LastFrame() (the
// 8-bit image and its palette as presented) and Screen() (what the window would
// show, 0xRRGGBB per pixel), and calls the frame callback if one is set.
//
//   HeadlessPlatform host;
//   host.QueueInput(500, {.type = InputEvent::Type::KeyDown, .virtualKey = 0x71});
//   host.QueueMessageBoxAnswer(MessageBoxButton::Cancel);
//   SetCurrentPlatform(&host);
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellmoor::platform {

struct HeadlessOptions {
    bool realClock = false;           // true: steady clock and real blocking waits
    std::int64_t startMs = 0;         // virtual clock's first reading
    PixelRect desktop{0, 0, 1024, 768};
    int refreshRateHz = 60;
    bool keepScreen = true;           // maintain Screen(); off saves the colour conversion
    std::string programPath = "/usr/lib/quellmoor/quellmoor";
};

// One presented frame as the backend received it.
struct HeadlessFrame {
    enum class Kind { Stretched, Rects, Rgb };
    Kind kind = Kind::Stretched;
    std::int64_t timeMs = 0;
    int width = 0, height = 0;             // the image's size
    std::vector<std::uint8_t> indices;     // 8-bit kinds: width × height, top row first
    std::array<PaletteEntry, 256> palette{};
    std::vector<std::uint8_t> rgb;         // Rgb kind: width × height × 3, top row first
    PixelRect destination;                 // Stretched: where it went; Rgb: (x, y, w, h)
    std::vector<PixelRect> rects;          // Rects: the rectangles copied

    std::uint8_t IndexAt(int x, int y) const { return indices[static_cast<std::size_t>(y) * width + x]; }
};

struct HeadlessMessageBox {
    std::string title, text;
    MessageBoxButton answer = MessageBoxButton::Ok;
};

class HeadlessPlatform final : public Platform {
public:
    explicit HeadlessPlatform(HeadlessOptions options = {});

    // --- Platform
    std::int64_t NowMs() override;
    void WaitUntil(std::int64_t deadlineMs) override;
    bool PollEvent(InputEvent& event) override;
    NativeWindow OpenWindow(const WindowSpec& spec) override;
    void DestroyWindow() override;
    void ShowWindow(bool visible) override { windowVisible_ = visible; }
    void ResizeWindow(int width, int height) override;
    void SetWindowTitle(std::string_view title) override { windowTitle_ = title; }
    PixelRect GetWindowRect() override { return window_ ? windowRect_ : PixelRect{}; }
    bool WindowExists(NativeWindow window) override;
    PixelRect GetDesktopRect() override { return options_.desktop; }
    int GetRefreshRateHz() override { return options_.refreshRateHz; }
    void PresentStretched(const IndexedImage& image, PixelRect destination) override;
    void PresentRects(const IndexedImage& image, std::span<const PixelRect> rects) override;
    void PresentRgb(const RgbImage& image, int x, int y) override;
    void ShowCursor(bool visible) override { cursorVisible_ = visible; }
    MessageBoxButton ShowMessageBox(std::string_view title, std::string_view text) override;
    std::string GetProgramPath() override { return options_.programPath; }
    std::vector<std::uint8_t> GetEmbeddedContent() override { return content_; }
    std::unique_ptr<DrawingContext> CreateDrawingContext(const IndexedCanvas& canvas) override;

    // --- Scripting
    // Makes `event` available to PollEvent from `atMs` on (events keep their queue order).
    void QueueInput(std::int64_t atMs, InputEvent event);
    // Answers for the next message boxes, in order; OK once they run out.
    void QueueMessageBoxAnswer(MessageBoxButton answer) { answers_.push_back(answer); }
    void SetEmbeddedContent(std::vector<std::uint8_t> bytes) { content_ = std::move(bytes); }
    void SetFrameCallback(std::function<void(const HeadlessFrame&)> callback) { onFrame_ = std::move(callback); }
    // Called at every WaitUntil with the deadline, before the clock moves.
    void SetWaitCallback(std::function<void(std::int64_t deadlineMs)> callback) { onWait_ = std::move(callback); }
    // Moves the virtual clock on (a handler that "takes" time); ignored with the real clock.
    void AdvanceMs(std::int64_t ms);
    // A window the program did not make (a preview's parent); RemoveForeignWindow makes it vanish.
    NativeWindow AddForeignWindow();
    void RemoveForeignWindow(NativeWindow window);

    // --- Observation
    const HeadlessFrame* LastFrame() const { return frameCount_ ? &lastFrame_ : nullptr; }
    int FrameCount() const { return frameCount_; }
    // What the window shows, 0xRRGGBB, window-sized; empty without a window.
    const std::vector<std::uint32_t>& Screen() const { return screen_; }
    std::uint32_t ScreenPixel(int x, int y) const;
    const std::vector<HeadlessMessageBox>& MessageBoxes() const { return boxes_; }
    const std::vector<std::int64_t>& WaitDeadlines() const { return waits_; }
    NativeWindow Window() const { return window_; }
    const WindowSpec& LastWindowSpec() const { return spec_; }
    const std::string& WindowTitle() const { return windowTitle_; }
    bool IsWindowVisible() const { return windowVisible_; }
    bool IsCursorVisible() const { return cursorVisible_; }
    int WindowsCreated() const { return windowsCreated_; }
    std::size_t PendingInput() const { return input_.size(); }

private:
    struct Queued {
        std::int64_t atMs;
        InputEvent event;
    };
    bool InputWaiting();
    std::int64_t NextInputMs() const;
    void BeginFrame(HeadlessFrame::Kind kind, int width, int height);
    void CopyIndices(const IndexedImage& image);
    void FinishFrame();

    HeadlessOptions options_;
    std::int64_t virtualNowMs_;
    std::int64_t realOriginMs_ = 0;
    std::deque<Queued> input_;
    std::deque<MessageBoxButton> answers_;
    std::vector<HeadlessMessageBox> boxes_;
    std::vector<std::int64_t> waits_;
    std::vector<std::uint8_t> content_;
    std::function<void(const HeadlessFrame&)> onFrame_;
    std::function<void(std::int64_t)> onWait_;

    NativeWindow window_ = 0;
    NativeWindow nextHandle_ = 1;
    std::vector<NativeWindow> foreign_;
    WindowSpec spec_;
    PixelRect windowRect_;
    std::string windowTitle_;
    bool windowVisible_ = false;
    bool cursorVisible_ = true;
    int windowsCreated_ = 0;

    HeadlessFrame lastFrame_;
    int frameCount_ = 0;
    std::vector<std::uint32_t> screen_;
};

}  // namespace quellmoor::platform
