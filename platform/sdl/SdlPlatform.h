// The SDL2 backend: a real window on X11, Wayland or whatever SDL drives.
//
// Implemented: 64-bit millisecond clock (SDL_GetTicks64); waiting with
// SDL_WaitEventTimeout, so an idle program sleeps in the kernel; input mapped to
// Windows virtual-key codes and client pixels; one own window (framed,
// borderless or desktop full screen, topmost on request); drawing into X
// windows other programs made (SdlForeign.cpp: the window surface, their size
// followed, their disappearance reported instead of ending the process);
// presenting through SdlPresenter and reading back what the X server shows;
// SDL_ShowMessageBox; the program path from /proc/self/exe; embedded content
// handed in by the program; drawing contexts (platform/text); WAV sound on its
// own audio subsystem, started by the first sound (SdlSound); and, on POSIX
// systems, settings files under $XDG_CONFIG_HOME, atomic file replacement with
// fsync, a flock lock file in $XDG_RUNTIME_DIR, posix_spawn and xdg-open
// (PosixServices.cpp). A lost X server ends the process at once with a line on
// standard error and status 1 (XDisplayLoss.h).
// Not supported: child windows of a foreign window (made borderless instead).
//
//   SdlPlatform sdl({.content = LoadContentBytes()});
//   platform::SetCurrentPlatform(&sdl);
#pragma once

#include <map>
#include <memory>
#include <vector>

#include <sys/types.h>

#include "platform/Platform.h"

struct SDL_Window;

namespace quellmoor::platform {

class SdlPresenter;
class SdlSound;

struct SdlOptions {
    std::vector<std::uint8_t> content;  // the embedded main component stream
};

class SdlPlatform final : public Platform {
public:
    // Initialises SDL's video and events (sound on its own when first played,
    // silently absent when no device opens); throws std::runtime_error when SDL
    // cannot start.
    explicit SdlPlatform(SdlOptions options = {});
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    bool Supports(Feature feature) const override;
    std::int64_t NowMs() override;
    void WaitUntil(std::int64_t deadlineMs) override;
    bool PollEvent(InputEvent& event) override;
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
    NativeWindow RootWindow() override;
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
    std::vector<std::uint8_t> GetEmbeddedContent() override { return options_.content; }
    bool AcquireInstanceLock(std::string_view name) override;
    void ReleaseInstanceLock() override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) override;
    bool OpenWebPage(const std::string& url) override;
    void PlaySoundFile(const std::string& path) override;
    void StopSound() override;
    std::string SettingsFilePath(std::string_view fileName) override;
    void ReplaceFileAtomically(const std::string& path, std::string_view contents) override;
    std::unique_ptr<DrawingContext> CreateDrawingContext(const IndexedCanvas& canvas) override;

    // Pixels converted to 32-bit and uploaded to the own window so far (for measurements and tests).
    std::uint64_t UploadedPixels() const;
    // Whether a sound is still being played (queued audio left).
    bool IsSoundPlaying() const;
    // Where AcquireInstanceLock puts the lock file `name`.
    static std::string LockFilePath(std::string_view name);
    // The running program's file, links resolved; empty where the system does
    // not say. Needs no SDL, so a windowless host of the same program can report it.
    static std::string RunningProgramPath();

private:
    struct Window {
        SDL_Window* window = nullptr;
        std::unique_ptr<SdlPresenter> presenter;
        NativeWindow native;  // set for attached windows
        std::uint32_t sdlId = 0;
    };
    Window* Find(WindowId id);
    SdlPresenter* PresenterFor(WindowId target);
    void DestroyWindowEntry(std::uint32_t id);

    SdlOptions options_;
    std::map<std::uint32_t, Window> windows_;
    WindowId own_;
    std::uint32_t nextId_ = 1;
    std::unique_ptr<SdlSound> sound_;
    int lockFd_ = -1;
    std::vector<pid_t> children_;  // started programs, reaped when they end
};

}  // namespace quellmoor::platform
