// The one seam between the engine and the operating system.
//
// If you want to port Quellmoor, start here. Everything above platform/ (model,
// imaging, stage, animation, scenes, saver) is portable C++ and reaches the
// system only through the operations below. A backend is one folder
// (platform/headless, platform/sdl, platform/win32) with one class deriving
// from Platform; the program makes one backend current at start-up.
//
// Contracts are per operation, in one line each. Times are milliseconds on a
// 64-bit monotonic clock. Images are 8-bit palettised, rows bottom-up (the
// engine's bitmap layout), stride a multiple of 4. Nothing here throws except
// where a line says so. Operations marked "Default" are optional: the base
// class carries that default, so a backend that cannot do one still compiles,
// and Supports tells the caller which it really does. Windows are named by
// WindowId (this backend's own ids); an operating system's handle
// (NativeWindow) only enters through WindowSpec::parent and AttachWindow.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quellmoor::platform {

// One colour table entry, laid out as a Windows RGBQUAD so palettes pass unchanged.
struct PaletteEntry {
    std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct Point {
    int x = 0, y = 0;
};

struct TextSize {
    int width = 0, height = 0;
};

// An 8-bit image: rows bottom-up, `strideBytes` per row, 256 palette entries.
struct IndexedImage {
    const std::uint8_t* bits = nullptr;
    int width = 0, height = 0, strideBytes = 0;
    const PaletteEntry* palette = nullptr;
};

// The same, writable: what a drawing context draws into.
struct IndexedCanvas {
    std::uint8_t* bits = nullptr;
    int width = 0, height = 0, strideBytes = 0;
    const PaletteEntry* palette = nullptr;
};

// A 24-bit image, top-down, red, green, blue bytes per pixel, rows packed.
struct RgbImage {
    const std::uint8_t* bytes = nullptr;
    int width = 0, height = 0;
};

// A window of this backend: one it opened or attached. 0 is none. Never an
// operating-system handle; comparable with 0 so "no window" reads naturally.
struct WindowId {
    constexpr WindowId(std::uint32_t id = 0) : value(id) {}  // NOLINT: 0 means none
    std::uint32_t value;
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr bool operator==(WindowId, WindowId) = default;
};

// The operating system's own handle of a window: an X window id, an HWND as an
// integer. Kept apart from WindowId: only AttachWindow turns one into the other.
struct NativeWindow {
    constexpr NativeWindow() = default;
    constexpr explicit NativeWindow(std::uintptr_t handle) : value(handle) {}
    std::uintptr_t value = 0;
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr bool operator==(NativeWindow, NativeWindow) = default;
};

enum class WindowStyle { Framed, Borderless, FullScreen, Child };

struct WindowSpec {
    PixelRect rect;                        // client area; ignored for FullScreen
    WindowStyle style = WindowStyle::Framed;
    NativeWindow parent;                   // for Child windows (the preview)
    std::string title = "Quellmoor Window";
    std::string className = "QuellmoorWindowClass";  // where the system has window classes
    bool topmost = false;
};

// Input, already translated: Windows virtual-key codes and client pixels.
struct InputEvent {
    enum class Type { MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, Activate, Close, Resized };
    Type type = Type::MouseMove;
    float x = 0, y = 0;        // mouse events: client pixels
    int button = 0;            // mouse buttons: 0 left, 1 right, 2 middle
    std::uint32_t virtualKey = 0;  // key events: VK_* code (0x41 'A', 0x71 F2, ...)
    bool active = false;       // Activate: the application gained (true) or lost focus
    WindowId window = {};      // Resized: which window (own or attached)
    int width = 0, height = 0; // Resized: its new client size
};

enum class MessageBoxButton { Ok, Cancel };

// What a window shows, read back: 0xRRGGBB per pixel, top row first, width × height.
struct ScreenPixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The local date and time, as a wall clock shows it.
struct LocalDateTime {
    int year = 1970, month = 1, day = 1;           // month 1..12, day 1..31
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    int weekday = 4;                               // 0 Sunday .. 6 Saturday
};

// The optional abilities a backend may lack; Supports says which it has.
enum class Feature {
    Settings,        // SettingsFilePath and ReplaceFileAtomically
    Sound,           // PlaySoundFile can be heard
    ForeignWindows,  // AttachWindow
    InstanceLock,    // AcquireInstanceLock sees other processes
    StartPrograms,   // StartProgram and OpenWebPage
    Topmost,         // SetTopmost
    CursorPosition,  // CursorScreenPosition
    ReadBack,        // ReadPresentedPixels
    DrawingContexts, // CreateDrawingContext
};

// Text and polygons drawn as palette indices into one 8-bit canvas, without
// antialiasing, clipped to the canvas. Made by Platform::CreateDrawingContext.
class DrawingContext {
public:
    virtual ~DrawingContext() = default;
    // Selects a face by family name ("Comic Sans MS") and pixel height; falls back to a default face.
    // Throws RException when the system has no usable font at all.
    virtual void SetFont(std::string_view face, int pixelHeight) = 0;
    // Size of one line of text, no wrapping.
    virtual TextSize MeasureLine(std::string_view text) = 0;
    // Size of text wrapped at spaces and line feeds into `maxWidth`; a longer word widens the result.
    virtual TextSize MeasureWrapped(std::string_view text, int maxWidth) = 0;
    // Draws wrapped text, each line centred horizontally in `box`, starting at its top.
    virtual void DrawWrappedCentred(std::string_view text, PixelRect box, std::uint8_t ink) = 0;
    // Draws one line with its top-left at (x, y).
    virtual void DrawLine(std::string_view text, int x, int y, std::uint8_t ink) = 0;
    // Fills a closed polygon (even-odd rule) with `index`.
    virtual void FillPolygon(std::span<const Point> points, std::uint8_t index) = 0;
    // Draws the polygon's closed outline, one pixel wide.
    virtual void OutlinePolygon(std::span<const Point> points, std::uint8_t index) = 0;
};

// Makes drawing contexts over canvases; how a backend is given text (see platform/text).
using DrawingContextFactory = std::function<std::unique_ptr<DrawingContext>(const IndexedCanvas&)>;

class Platform {
public:
    virtual ~Platform() = default;

    // Whether this backend really does `feature`; without it the operation keeps its default.
    virtual bool Supports(Feature feature) const;

    // --- Clock and waiting
    // Milliseconds on a monotonic clock that never wraps.
    virtual std::int64_t NowMs() = 0;
    // Blocks until `deadlineMs` or until input is waiting, whichever is first; never spins.
    virtual void WaitUntil(std::int64_t deadlineMs) = 0;
    // Takes one waiting input event; false when none is waiting.
    virtual bool PollEvent(InputEvent& event) = 0;
    // The local date and time now. Default: the C library's local time.
    virtual LocalDateTime LocalTimeNow();
    // A seed for the program's random generator, new on every run. Default: random_device and the clock.
    virtual std::uint32_t RandomSeed();

    // --- The program's own window
    // Creates the one window (replacing an earlier one), hidden. Throws std::runtime_error when the system refuses.
    virtual WindowId OpenWindow(const WindowSpec& spec) = 0;
    // Destroys the window OpenWindow made; nothing without one.
    virtual void DestroyWindow() = 0;
    // Shows or hides the window OpenWindow made.
    virtual void ShowWindow(bool visible) = 0;
    // Sets the client size of the window OpenWindow made.
    virtual void ResizeWindow(int width, int height) = 0;
    // Sets the title of the window OpenWindow made.
    virtual void SetWindowTitle(std::string_view title) = 0;
    // Keeps `window` above all others (true) or not, after it exists. Default: nothing.
    virtual void SetTopmost(WindowId window, bool topmost);

    // --- Windows in general (own or attached)
    // The window's client rectangle in screen pixels, at its current size; all zero when it does not exist.
    virtual PixelRect GetWindowRect(WindowId window) = 0;
    // True while the window exists (an attached window may vanish at any time).
    virtual bool WindowExists(WindowId window) = 0;
    // Starts drawing into a window another program made; its id, or 0 when there is no such window. Default: 0.
    virtual WindowId AttachWindow(NativeWindow native);
    // Stops drawing into an attached window; the window itself stays. Default: nothing.
    virtual void DetachWindow(WindowId window);
    // The screen's root window, to attach to when a host names none; none where there is no such window. Default: none.
    virtual NativeWindow RootWindow();

    // --- Screens
    // The rectangle covering every monitor, in screen pixels.
    virtual PixelRect GetDesktopRect() = 0;
    // Each monitor's rectangle in screen pixels, the primary first. Default: the desktop as one monitor.
    virtual std::vector<PixelRect> GetMonitorRects();
    // Refresh rate of the display in Hz; 0 when unknown.
    virtual int GetRefreshRateHz() = 0;
    // Where the mouse cursor is, in screen pixels; nullopt when unknown. Default: nullopt.
    virtual std::optional<Point> CursorScreenPosition();
    // Shows or hides the mouse cursor over the program's windows.
    virtual void ShowCursor(bool visible) = 0;

    // --- Presenting (each names its target window; nothing when it does not exist)
    // Shows the whole image stretched (nearest neighbour) to `destination` in `target`.
    virtual void PresentStretched(WindowId target, const IndexedImage& image, PixelRect destination) = 0;
    // Copies the listed rectangles 1:1 (image coordinates, y from the top) to the same place in `target`.
    virtual void PresentRects(WindowId target, const IndexedImage& image, std::span<const PixelRect> rects) = 0;
    // Copies a 24-bit image 1:1 to (x, y) in `target` (the preview reduction).
    virtual void PresentRgb(WindowId target, const RgbImage& image, int x, int y) = 0;
    // What `window` shows now, as presented; empty when it does not exist or cannot be read. Default: empty.
    virtual ScreenPixels ReadPresentedPixels(WindowId window);

    // --- Dialogs, program, content
    // A modal box with OK and Cancel and a stop icon; returns the button pressed.
    virtual MessageBoxButton ShowMessageBox(std::string_view title, std::string_view text) = 0;
    // Full path of the running program file.
    virtual std::string GetProgramPath() = 0;
    // The embedded main component stream; empty when the program carries none.
    virtual std::vector<std::uint8_t> GetEmbeddedContent() = 0;
    // Takes the one-instance lock `name`: false when another process holds it. Held until release or exit. Default: true.
    virtual bool AcquireInstanceLock(std::string_view name);
    // Gives the lock up if this process holds it. Default: nothing.
    virtual void ReleaseInstanceLock();
    // Starts `program` with `arguments` without waiting for it; false when it could not be started. Default: false.
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& arguments);
    // Opens `url` in the user's web browser without waiting; false when nothing could open it. Default: false.
    virtual bool OpenWebPage(const std::string& url);

    // --- Sound
    // Plays a WAV file without waiting, replacing the sound playing. Default: nothing.
    // A missing or unreadable file, or no sound device, plays nothing at all (never a system sound).
    virtual void PlaySoundFile(const std::string& path);
    // Stops the sound playing, if any. Default: nothing.
    virtual void StopSound();

    // --- Files
    // Where the per-user settings file `fileName` lives (created folder included); empty when unsupported.
    virtual std::string SettingsFilePath(std::string_view fileName);
    // The whole file; nullopt when it is missing or cannot be read.
    virtual std::optional<std::string> ReadFile(const std::string& path);
    // Replaces the file atomically (temporary file beside it, write, flush, rename). Default: without a disk sync.
    // Throws RException on failure, leaving the old file whole.
    virtual void ReplaceFileAtomically(const std::string& path, std::string_view contents);

    // --- Text and polygons
    // A drawing context over `canvas`; the canvas must outlive it. Throws
    // RParamException for a canvas with a size but no pixels or a stride below
    // its width, and RException when this backend has no text. Default: no text.
    virtual std::unique_ptr<DrawingContext> CreateDrawingContext(const IndexedCanvas& canvas);
};

// The backend in use. Set once by the program (or a test) before the engine runs.
Platform& CurrentPlatform();
void SetCurrentPlatform(Platform* platform);
bool HasCurrentPlatform();

}  // namespace quellmoor::platform
