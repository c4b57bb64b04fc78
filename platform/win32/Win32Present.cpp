// The Win32 backend's presenting: 8-bit images with their 256-colour table
// through StretchDIBits (nearest neighbour), 24-bit preview images, and
// reading back what a window shows with GetDIBits.
//
// Every window of ours keeps a backing: a 32-bit DIB section of its client
// size that each present draws into before the changed area is copied to the
// window. WM_PAINT repaints from it, so a window uncovered between two frames
// (or shown after its last present) is never left black or stale.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

namespace quellmoor::platform {

struct Win32Platform::Backing {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgbRows;  // PresentRgb's rows, padded and in the DIB's byte order

    Backing(int w, int h) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dc && bitmap) {
            previous = SelectObject(dc, bitmap);
            std::memset(bits, 0, static_cast<std::size_t>(w) * h * 4);
        }
    }
    ~Backing() {
        if (dc && previous) SelectObject(dc, previous);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
    Backing(const Backing&) = delete;
    Backing& operator=(const Backing&) = delete;
    bool Usable() const { return dc && bitmap; }
};

Win32Platform::Window::Window() = default;
Win32Platform::Window::Window(Window&&) noexcept = default;
Win32Platform::Window& Win32Platform::Window::operator=(Window&&) noexcept = default;
Win32Platform::Window::~Window() = default;

namespace {

// A BITMAPINFO with all 256 colour table entries.
struct PalettedInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

bool Usable(const IndexedImage& image) {
    return image.bits && image.palette && image.width > 0 && image.height > 0 && image.strideBytes >= image.width &&
           image.strideBytes % 4 == 0;
}

void Describe(const IndexedImage& image, PalettedInfo& info) {
    std::memset(&info, 0, sizeof info);
    info.header.biSize = sizeof info.header;
    // A DIB's rows are as long as its width rounded to 4 bytes; a wider stride
    // is described as a wider image of which only `width` columns are copied.
    info.header.biWidth = image.strideBytes;
    info.header.biHeight = image.height;  // bottom-up, as the engine keeps rows
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i)
        info.colours[i] = {image.palette[i].blue, image.palette[i].green, image.palette[i].red, 0};
}

PixelRect Clip(PixelRect rect, int width, int height) {
    const int left = std::max(rect.x, 0), top = std::max(rect.y, 0);
    const int right = std::min(rect.x + rect.width, width), bottom = std::min(rect.y + rect.height, height);
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

}  // namespace

bool Win32Platform::PrepareBacking(Window& window) {
    RECT client;
    if (!GetClientRect(static_cast<HWND>(window.hwnd), &client)) return false;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return false;
    if (window.backing && window.backing->width == width && window.backing->height == height) return true;
    auto fresh = std::make_unique<Backing>(width, height);
    if (!fresh->Usable()) return false;
    // A resized window keeps what it showed at its top left until the next frame covers it.
    if (window.backing)
        BitBlt(fresh->dc, 0, 0, std::min(width, window.backing->width), std::min(height, window.backing->height),
               window.backing->dc, 0, 0, SRCCOPY);
    window.backing = std::move(fresh);
    return true;
}

void Win32Platform::ShowBacking(Window& window, const PixelRect& area) {
    const PixelRect shown = Clip(area, window.backing->width, window.backing->height);
    if (shown.width <= 0) return;
    const HDC dc = GetDC(static_cast<HWND>(window.hwnd));
    if (!dc) return;
    BitBlt(dc, shown.x, shown.y, shown.width, shown.height, window.backing->dc, shown.x, shown.y, SRCCOPY);
    ReleaseDC(static_cast<HWND>(window.hwnd), dc);
}

void Win32Platform::Repaint(Window& window) {
    const HWND hwnd = static_cast<HWND>(window.hwnd);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd, &paint);
    if (!dc) return;
    if (window.backing) {
        const RECT& r = paint.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, window.backing->dc, r.left, r.top, SRCCOPY);
    } else {
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(hwnd, &paint);
}

void Win32Platform::PresentStretched(WindowId target, const IndexedImage& image, PixelRect destination) {
    Window* window = Live(target);
    if (!window || !Usable(image) || destination.width <= 0 || destination.height <= 0) return;
    if (!PrepareBacking(*window)) return;
    PalettedInfo info;
    Describe(image, info);
    // COLORONCOLOR drops rows and columns: nearest neighbour, never blended.
    SetStretchBltMode(window->backing->dc, COLORONCOLOR);
    StretchDIBits(window->backing->dc, destination.x, destination.y, destination.width, destination.height, 0, 0,
                  image.width, image.height, image.bits, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  SRCCOPY);
    ShowBacking(*window, destination);
}

void Win32Platform::PresentRects(WindowId target, const IndexedImage& image, std::span<const PixelRect> rects) {
    Window* window = Live(target);
    if (!window || !Usable(image) || !PrepareBacking(*window)) return;
    PalettedInfo info;
    Describe(image, info);
    SetStretchBltMode(window->backing->dc, COLORONCOLOR);
    for (const PixelRect& asked : rects) {
        const PixelRect r = Clip(asked, image.width, image.height);
        if (r.width <= 0) continue;
        // A bottom-up DIB's source rectangle is counted from its bottom row.
        StretchDIBits(window->backing->dc, r.x, r.y, r.width, r.height, r.x, image.height - r.y - r.height, r.width,
                      r.height, image.bits, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
        ShowBacking(*window, r);
    }
}

void Win32Platform::PresentRgb(WindowId target, const RgbImage& image, int x, int y) {
    Window* window = Live(target);
    if (!window || !image.bytes || image.width <= 0 || image.height <= 0 || !PrepareBacking(*window)) return;
    Backing& backing = *window->backing;
    // DIB rows are padded to 4 bytes and hold blue, green, red.
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    backing.rgbRows.assign(stride * image.height, 0);
    for (int row = 0; row < image.height; ++row) {
        const std::uint8_t* from = image.bytes + static_cast<std::size_t>(row) * image.width * 3;
        std::uint8_t* to = backing.rgbRows.data() + stride * row;
        for (int column = 0; column < image.width; ++column, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(backing.dc, x, y, image.width, image.height, 0, 0, image.width, image.height,
                  backing.rgbRows.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    ShowBacking(*window, {x, y, image.width, image.height});
}

ScreenPixels Win32Platform::ReadPresentedPixels(WindowId window) {
    Window* entry = Live(window);
    if (!entry) return {};
    const HWND hwnd = static_cast<HWND>(entry->hwnd);
    RECT client;
    if (!GetClientRect(hwnd, &client) || client.right <= 0 || client.bottom <= 0) return {};
    const int width = client.right, height = client.bottom;
    ScreenPixels shown;
    // What the window's DC holds, copied into a bitmap of our own, then read as 32-bit rows.
    const HDC windowDc = GetDC(hwnd);
    if (!windowDc) return {};
    const HDC copyDc = CreateCompatibleDC(windowDc);
    const HBITMAP copy = CreateCompatibleBitmap(windowDc, width, height);
    if (copyDc && copy) {
        const HGDIOBJ previous = SelectObject(copyDc, copy);
        BitBlt(copyDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        SelectObject(copyDc, previous);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
        if (GetDIBits(copyDc, copy, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) == height) {
            for (std::uint32_t& p : pixels) p &= 0xFFFFFF;  // blue, green, red, unused: 0xRRGGBB once masked
            shown = {width, height, std::move(pixels)};
        }
    }
    if (copy) DeleteObject(copy);
    if (copyDc) DeleteDC(copyDc);
    ReleaseDC(hwnd, windowDc);
    return shown;
}

}  // namespace quellmoor::platform
