// The headless backend: no window, no display, deterministic time.
//
// Implemented: clock (virtual by default, or the real monotonic clock),
// waiting, scripted input, windows in memory (the own one and attached
// "foreign" ones the test makes), presenting into memory with read-back,
// message boxes with scripted answers, program path, embedded content,
// settings files (in memory unless given a folder, with a simulated failing
// write), sound, lock, programs and web pages recorded instead of done. Text
// is given: pass a DrawingContextFactory (platform/text has the FreeType one),
// so this backend builds without any font library.
//
// With the virtual clock NowMs only moves when WaitUntil or AdvanceMs moves it,
// and WaitUntil never sleeps: it jumps to the deadline or to the next queued
// input event, whichever is first. Every present updates LastFrame() (the
// 8-bit image and its palette as presented) and the target's screen (what the
// window would show, 0xRRGGBB per pixel), and calls the frame callback if set.
// Records are bounded (recent entries plus counts), so a simulated day stays flat.
//
//   HeadlessPlatform host({.drawingContexts = CreateFontDrawingContext});
//   host.QueueInput(500, {.type = InputEvent::Type::KeyDown, .virtualKey = 0x71});
//   SetCurrentPlatform(&host);
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellmoor::platform {

struct HeadlessOptions {
    bool realClock = false;           // true: steady clock and real blocking waits
    std::int64_t startMs = 0;         // virtual clock's first reading
    PixelRect desktop{0, 0, 1024, 768};
    int refreshRateHz = 60;
    bool keepScreen = true;           // maintain the screens; off saves the colour conversion
    std::string programPath = "/usr/lib/quellmoor/quellmoor";
    DrawingContextFactory drawingContexts{};  // none: CreateDrawingContext throws (no text)
    std::string settingsFolder{};     // empty: settings files live in memory
    std::vector<PixelRect> monitors{};  // empty: the desktop is one monitor
    std::uint32_t randomSeed = 1;     // what RandomSeed answers (runs repeat)
    // Local time at the virtual clock's start, as milliseconds since 1970 (read as local time).
    std::int64_t localEpochMsAtStart = 946'728'000'000;  // 2000-01-01 12:00
};

// Keeps the last `Capacity` entries and counts all of them.
template <class T, std::size_t Capacity>
class RecentLog {
public:
    void Add(T entry) {
        if (entries_.size() == Capacity) entries_.pop_front();
        entries_.push_back(std::move(entry));
        ++total_;
    }
    const std::deque<T>& Recent() const { return entries_; }
    std::uint64_t Total() const { return total_; }

private:
    std::deque<T> entries_;
    std::uint64_t total_ = 0;
};

// One presented frame as the backend received it.
struct HeadlessFrame {
    enum class Kind { Stretched, Rects, Rgb };
    Kind kind = Kind::Stretched;
    WindowId target;
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

struct HeadlessSoundRequest {
    std::string path;     // empty for a stop
    std::int64_t timeMs = 0;
    bool played = false;  // the file was there and sound was on
};

struct HeadlessProgramStart {
    std::string program;
    std::vector<std::string> arguments;
};

class HeadlessPlatform final : public Platform {
public:
    explicit HeadlessPlatform(HeadlessOptions options = {});
    ~HeadlessPlatform() override;
    HeadlessPlatform(const HeadlessPlatform&) = delete;
    HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

    // --- Platform
    bool Supports(Feature feature) const override;
    std::int64_t NowMs() override;
    void WaitUntil(std::int64_t deadlineMs) override;
    bool PollEvent(InputEvent& event) override;
    LocalDateTime LocalTimeNow() override;
    std::uint32_t RandomSeed() override { return options_.randomSeed; }
    WindowId OpenWindow(const WindowSpec& spec) override;
    void DestroyWindow() override;
    void ShowWindow(bool visible) override { windowVisible_ = visible; }
    void ResizeWindow(int width, int height) override;
    void SetWindowTitle(std::string_view title) override { windowTitle_ = title; }
    void SetTopmost(WindowId window, bool topmost) override;
    PixelRect GetWindowRect(WindowId window) override;
    bool WindowExists(WindowId window) override;
    WindowId AttachWindow(NativeWindow native) override;
    void DetachWindow(WindowId window) override;
    PixelRect GetDesktopRect() override { return options_.desktop; }
    std::vector<PixelRect> GetMonitorRects() override;
    int GetRefreshRateHz() override { return options_.refreshRateHz; }
    std::optional<Point> CursorScreenPosition() override { return cursor_; }
    void ShowCursor(bool visible) override { cursorVisible_ = visible; }
    void PresentStretched(WindowId target, const IndexedImage& image, PixelRect destination) override;
    void PresentRects(WindowId target, const IndexedImage& image, std::span<const PixelRect> rects) override;
    void PresentRgb(WindowId target, const RgbImage& image, int x, int y) override;
    ScreenPixels ReadPresentedPixels(WindowId window) override;
    MessageBoxButton ShowMessageBox(std::string_view title, std::string_view text) override;
    std::string GetProgramPath() override { return options_.programPath; }
    std::vector<std::uint8_t> GetEmbeddedContent() override { return content_; }
    bool AcquireInstanceLock(std::string_view name) override;
    void ReleaseInstanceLock() override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) override;
    bool OpenWebPage(const std::string& url) override;
    void PlaySoundFile(const std::string& path) override;
    void StopSound() override;
    std::string SettingsFilePath(std::string_view fileName) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    void ReplaceFileAtomically(const std::string& path, std::string_view contents) override;
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
    // A window another program made (a preview's parent, a saver host); it can resize and vanish.
    NativeWindow AddForeignWindow(PixelRect rect = {0, 0, 320, 240});
    // Resizes a foreign window; whoever drew into it gets a Resized event.
    void ResizeForeignWindow(NativeWindow native, int width, int height);
    // Which foreign window RootWindow names (none at first).
    void SetRootWindow(NativeWindow native) { root_ = native; }
    NativeWindow RootWindow() override { return root_; }
    void RemoveForeignWindow(NativeWindow native);
    void SetCursorScreenPosition(std::optional<Point> position) { cursor_ = position; }
    void SetSoundAvailable(bool available) { soundAvailable_ = available; }
    // Every later ReplaceFileAtomically throws, as on a full disk, until cleared; the old file stays whole.
    void SetWritesFail(bool fail) { writesFail_ = fail; }
    // Puts a file into the in-memory store (without a settings folder).
    void SetFile(const std::string& path, std::string contents) { files_[path] = std::move(contents); }
    void SetStartProgramResult(bool result) { startResult_ = result; }

    // --- Observation
    const HeadlessFrame* LastFrame() const { return frameCount_ ? &lastFrame_ : nullptr; }
    int FrameCount() const { return frameCount_; }
    // What the own window shows, 0xRRGGBB, window-sized; empty without a window.
    const std::vector<std::uint32_t>& Screen() const;
    std::uint32_t ScreenPixel(int x, int y) const;
    const std::vector<HeadlessMessageBox>& MessageBoxes() const { return boxes_; }
    // The most recent wait deadlines (at most 1024) and how many waits there were.
    std::vector<std::int64_t> WaitDeadlines() const;
    std::uint64_t WaitCount() const { return waits_.Total(); }
    WindowId Window() const { return own_; }
    const WindowSpec& LastWindowSpec() const { return spec_; }
    const std::string& WindowTitle() const { return windowTitle_; }
    bool IsWindowVisible() const { return windowVisible_; }
    bool IsCursorVisible() const { return cursorVisible_; }
    bool IsTopmost(WindowId window) const;
    int WindowsCreated() const { return windowsCreated_; }
    std::size_t PendingInput() const { return input_.size(); }
    const RecentLog<HeadlessSoundRequest, 256>& SoundRequests() const { return sounds_; }
    // The sound playing now (the last one played and not stopped); empty when none.
    const std::string& CurrentSound() const { return currentSound_; }
    const RecentLog<HeadlessProgramStart, 64>& ProgramsStarted() const { return programs_; }
    const RecentLog<std::string, 64>& WebPagesOpened() const { return pages_; }
    const RecentLog<std::string, 64>& FilesReplaced() const { return writes_; }
    const std::map<std::string, std::string>& Files() const { return files_; }
    bool HoldsInstanceLock() const { return !lockName_.empty(); }

private:
    struct Queued {
        std::int64_t atMs;
        InputEvent event;
    };
    struct HeadlessWindow {
        NativeWindow native;  // set for attached windows
        PixelRect rect;       // own window only; attached ones follow their foreign window
        std::vector<std::uint32_t> screen;
        int screenWidth = 0, screenHeight = 0;
        bool topmost = false;
    };
    bool InputWaiting();
    // The window to draw into, its screen sized to the window now; null when it does not exist.
    HeadlessWindow* PrepareTarget(WindowId target);
    void BeginFrame(HeadlessFrame::Kind kind, WindowId target, int width, int height);
    void CopyIndices(const IndexedImage& image);
    void FinishFrame();

    HeadlessOptions options_;
    std::int64_t virtualNowMs_;
    std::int64_t realOriginMs_ = 0;
    std::deque<Queued> input_;
    std::deque<MessageBoxButton> answers_;
    std::vector<HeadlessMessageBox> boxes_;
    RecentLog<std::int64_t, 1024> waits_;
    std::vector<std::uint8_t> content_;
    std::function<void(const HeadlessFrame&)> onFrame_;
    std::function<void(std::int64_t)> onWait_;

    std::map<std::uint32_t, HeadlessWindow> windows_;
    WindowId own_;
    std::uint32_t nextId_ = 1;
    std::map<std::uintptr_t, PixelRect> foreign_;
    std::uintptr_t nextNative_ = 0x400001;  // looks like an X window id, never a WindowId
    NativeWindow root_;
    WindowSpec spec_;
    std::string windowTitle_;
    bool windowVisible_ = false;
    bool cursorVisible_ = true;
    int windowsCreated_ = 0;
    std::optional<Point> cursor_;

    HeadlessFrame lastFrame_;
    int frameCount_ = 0;

    bool soundAvailable_ = true;
    std::string currentSound_;
    RecentLog<HeadlessSoundRequest, 256> sounds_;
    RecentLog<HeadlessProgramStart, 64> programs_;
    RecentLog<std::string, 64> pages_;
    bool startResult_ = true;
    std::string lockName_;

    std::map<std::string, std::string> files_;
    RecentLog<std::string, 64> writes_;
    bool writesFail_ = false;
};

}  // namespace quellmoor::platform
