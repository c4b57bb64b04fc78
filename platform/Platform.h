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
// where a line says so; a backend that cannot do an optional operation says
// "unsupported" through its default (no-op or empty result).
#pragma once

#include <cstdint>
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

// Opaque handle of a native window (HWND on Windows, an SDL window id, ...).
using NativeWindow = std::uintptr_t;

enum class WindowStyle { Framed, Borderless, FullScreen, Child };

struct WindowSpec {
    PixelRect rect;                        // client area; ignored for FullScreen
    WindowStyle style = WindowStyle::Framed;
    NativeWindow parent = 0;               // for Child windows (the preview)
    std::string title = "Quellmoor Window";
    std::string className = "QuellmoorWindowClass";  // where the system has window classes
    bool topmost = false;
};

// Input, already translated: Windows virtual-key codes and client pixels.
struct InputEvent {
    enum class Type { MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, Activate, Close };
    Type type = Type::MouseMove;
    float x = 0, y = 0;        // mouse events: client pixels
    int button = 0;            // mouse buttons: 0 left, 1 right, 2 middle
    std::uint32_t virtualKey = 0;  // key events: VK_* code (0x41 'A', 0x71 F2, ...)
    bool active = false;       // Activate: the application gained (true) or lost focus
};

enum class MessageBoxButton { Ok, Cancel };

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

class Platform {
public:
    virtual ~Platform() = default;

    // --- Clock and waiting
    // Milliseconds on a monotonic clock that never wraps.
    virtual std::int64_t NowMs() = 0;
    // Blocks until `deadlineMs` or until input is waiting, whichever is first; never spins.
    virtual void WaitUntil(std::int64_t deadlineMs) = 0;
    // Takes one waiting input event; false when none is waiting.
    virtual bool PollEvent(InputEvent& event) = 0;

    // --- Window and presenting
    // Creates the one window (replacing an earlier one); returns its handle.
    virtual NativeWindow OpenWindow(const WindowSpec& spec) = 0;
    virtual void DestroyWindow() = 0;
    virtual void ShowWindow(bool visible) = 0;
    virtual void ResizeWindow(int width, int height) = 0;
    virtual void SetWindowTitle(std::string_view title) = 0;
    // The window's client rectangle in screen pixels; all zero without a window.
    virtual PixelRect GetWindowRect() = 0;
    // True while the given native window exists (a preview's parent may vanish).
    virtual bool WindowExists(NativeWindow window) = 0;
    // Size of the desktop in pixels.
    virtual PixelRect GetDesktopRect() = 0;
    // Refresh rate of the display in Hz; 0 when unknown.
    virtual int GetRefreshRateHz() = 0;
    // Shows the whole image stretched (nearest neighbour) to `destination` in the window.
    virtual void PresentStretched(const IndexedImage& image, PixelRect destination) = 0;
    // Copies the listed rectangles 1:1 (image coordinates, y from the top) to the same place.
    virtual void PresentRects(const IndexedImage& image, std::span<const PixelRect> rects) = 0;
    // Copies a 24-bit image 1:1 to (x, y) in the window (the preview reduction).
    virtual void PresentRgb(const RgbImage& image, int x, int y) = 0;
    virtual void ShowCursor(bool visible) = 0;

    // --- Dialogs, program, content
    // A modal box with OK and Cancel and a stop icon; returns the button pressed.
    virtual MessageBoxButton ShowMessageBox(std::string_view title, std::string_view text) = 0;
    // Full path of the running program file.
    virtual std::string GetProgramPath() = 0;
    // The embedded main component stream; empty when the program carries none.
    virtual std::vector<std::uint8_t> GetEmbeddedContent() = 0;

    // --- Files
    // Where the per-user settings file `fileName` lives (created folder included); empty when unsupported.
    virtual std::string SettingsFilePath(std::string_view fileName);
    // The whole file; nullopt when it is missing or cannot be read.
    virtual std::optional<std::string> ReadFile(const std::string& path);
    // Replaces the file atomically (temporary file, flush, rename); throws RException and leaves the old file whole on failure.
    virtual void ReplaceFile(const std::string& path, std::string_view contents);

    // --- Text and polygons
    // A drawing context over `canvas`; the canvas must outlive it. Throws
    // RParamException for a canvas with a size but no pixels or a stride below its width.
    virtual std::unique_ptr<DrawingContext> CreateDrawingContext(const IndexedCanvas& canvas) = 0;
};

// The backend in use. Set once by the program (or a test) before the engine runs.
Platform& CurrentPlatform();
void SetCurrentPlatform(Platform* platform);
bool HasCurrentPlatform();

}  // namespace quellmoor::platform
