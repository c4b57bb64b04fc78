// The Win32 backend: the engine on Windows itself (and under Wine).
//
// Implemented: 64-bit millisecond clock from QueryPerformanceCounter, with a
// 1 ms system timer period while the backend lives; waits with
// MsgWaitForMultipleObjectsEx, so an idle program sleeps and wakes on input;
// the window class "QuellmoorWindowClass" and its procedure turning messages
// into InputEvents (Win32Window.cpp); framed, borderless, full-screen and child
// windows (the preview inside another program's window); drawing into windows
// other programs made (AttachWindow of an HWND); presenting 8-bit images with
// their palette through StretchDIBits and reading back what a window shows
// (Win32Present.cpp); message boxes, the program path, the embedded content
// resource "QUELLMOOR", a named-mutex instance lock, ShellExecuteA, per-user
// settings under %APPDATA%\Vexmon with atomic replacement (Win32Services.cpp);
// sndPlaySoundA (Win32Sound.cpp); text and polygons through GDI on a DIB
// section (Win32DrawingContext.cpp).
//
//   Win32Platform windows({.content = {}});  // empty: the resource is read
//   platform::SetCurrentPlatform(&windows);
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellmoor::platform {

struct Win32Options {
    // The main component stream; empty: the program's resource "QUELLMOOR" is read.
    std::vector<std::uint8_t> content{};
    // Where per-user settings folders live; empty: %APPDATA%.
    std::string settingsRoot{};
    // Where settings files lay before they were per user; empty: the Windows directory.
    std::string legacySettingsFolder{};
};

class Win32Platform final : public Platform {
public:
    // Registers nothing yet; throws std::runtime_error when the system has no high-resolution counter.
    explicit Win32Platform(Win32Options options = {});
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    bool Supports(Feature feature) const override;
    std::int64_t NowMs() override;
    void WaitUntil(std::int64_t deadlineMs) override;
    bool PollEvent(InputEvent& event) override;
    LocalDateTime LocalTimeNow() override;
    WindowId OpenWindow(const WindowSpec& spec) override;
    void DestroyWindow() override;
    void ShowWindow(bool visible) override;
    void ResizeWindow(int width, int height) override;
    void SetWindowTitle(std::string_view title) override;
    void SetTopmost(WindowId window, bool topmost) override;
    PixelRect GetWindowRect(WindowId window) override;
    bool WindowExists(WindowId window) override;
    WindowId AttachWindow(NativeWindow native) override;
    void DetachWindow(WindowId window) override;
    PixelRect GetDesktopRect() override;
    std::vector<PixelRect> GetMonitorRects() override;
    int GetRefreshRateHz() override;
    std::optional<Point> CursorScreenPosition() override;
    void ShowCursor(bool visible) override;
    void PresentStretched(WindowId target, const IndexedImage& image, PixelRect destination) override;
    void PresentRects(WindowId target, const IndexedImage& image, std::span<const PixelRect> rects) override;
    void PresentRgb(WindowId target, const RgbImage& image, int x, int y) override;
    ScreenPixels ReadPresentedPixels(WindowId window) override;
    MessageBoxButton ShowMessageBox(std::string_view title, std::string_view text) override;
    std::string GetProgramPath() override;
    std::vector<std::uint8_t> GetEmbeddedContent() override;
    bool AcquireInstanceLock(std::string_view name) override;
    void ReleaseInstanceLock() override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) override;
    bool OpenWebPage(const std::string& url) override;
    void PlaySoundFile(const std::string& path) override;
    void StopSound() override;
    std::string SettingsFilePath(std::string_view fileName) override;
    void ReplaceFileAtomically(const std::string& path, std::string_view contents) override;
    std::unique_ptr<DrawingContext> CreateDrawingContext(const IndexedCanvas& canvas) override;

    // --- Windows only
    // The system's handle of a window of ours (own or attached); 0 when there is none.
    NativeWindow NativeHandle(WindowId window) const;
    // While set, the own window refuses the system's start-screensaver command (a running saver).
    void SetRefuseScreenSaverCommand(bool refuse) { refuseScreenSaver_ = refuse; }
    // The own window's title as the system holds it; empty without a window.
    std::string WindowTitle() const;

    // The window procedure's work, for Win32Window.cpp: a message of window `hwnd`.
    // Returns true and sets `result` when the message was handled.
    bool HandleMessage(void* hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                       std::intptr_t& result);

private:
    struct Backing;  // a window's copy of what it shows (Win32Present.cpp)
    struct Window {
        void* hwnd = nullptr;  // HWND
        bool attached = false;
        std::unique_ptr<Backing> backing;
        Window();
        Window(Window&&) noexcept;
        Window& operator=(Window&&) noexcept;
        ~Window();
    };
    Window* Find(WindowId id);
    const Window* Find(WindowId id) const;
    // The window's entry when its system window still exists.
    Window* Live(WindowId id);
    void RegisterWindowClass(const std::string& className);
    void Pump();
    void Enqueue(const InputEvent& event) { input_.push_back(event); }
    // Repaints a window of ours from its backing after the system lost what it showed.
    void Repaint(Window& window);
    // Makes the backing fit the window's client size now; false when the window has none.
    bool PrepareBacking(Window& window);
    void ShowBacking(Window& window, const PixelRect& area);

    Win32Options options_;
    std::int64_t frequency_ = 1;  // counter ticks per second
    std::map<std::uint32_t, Window> windows_;
    WindowId own_;
    std::uint32_t nextId_ = 1;
    std::deque<InputEvent> input_;
    std::vector<std::string> registeredClasses_;
    bool refuseScreenSaver_ = false;
    bool cursorShown_ = true;
    void* lock_ = nullptr;  // HANDLE of the instance mutex
};

}  // namespace quellmoor::platform
