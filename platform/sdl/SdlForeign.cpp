#include "platform/sdl/SdlForeign.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>
#include <memory>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace quellmoor::platform {

namespace {

int lastXError = 0;

// Replaces Xlib's default, which prints and exits: a window that vanishes
// under us is an event of the run, not the end of the process.
int RecordXError(Display*, XErrorEvent* error) {
    lastXError = error->error_code;
    return 0;
}

// Put back on every use: SDL's video start puts its own in front (which ends
// in Xlib's default), and its shutdown restores whatever it found.
void InstallErrorHandler() { XSetErrorHandler(RecordXError); }

// A connection of our own for questions about windows, so SDL's stays untouched.
Display* QueryDisplay() {
    InstallErrorHandler();
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

::Window XWindowOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
    return info.info.x11.window;
}

bool Attributes(::Window xwindow, XWindowAttributes& attributes) {
    Display* display = QueryDisplay();
    if (!display || !xwindow) return false;
    return XGetWindowAttributes(display, xwindow, &attributes) != 0;
}

// Bits of `mask` as a shift and a width, to scale a channel to 8 bits.
std::uint32_t Channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long bits = mask >> shift;
    const unsigned long value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>(value * 255 / bits);
}

}  // namespace

bool ForeignWindowsPossible() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "x11") == 0 && QueryDisplay() != nullptr;
}

SDL_Window* AttachForeignWindow(NativeWindow native) {
    if (!native || !ForeignWindowsPossible()) return nullptr;
    XWindowAttributes attributes;
    if (!Attributes(static_cast<::Window>(native.value), attributes)) return nullptr;
    // The window surface must be the X server's own image, not a GL context on someone else's window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(native.value));
    if (!window) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        Display* display = info.info.x11.display;
        XWindowAttributes ours;
        const long had = XGetWindowAttributes(display, info.info.x11.window, &ours) ? ours.your_event_mask : 0;
        const long wanted = (had | StructureNotifyMask) & ~(ButtonPressMask | ButtonReleaseMask);
        XSelectInput(display, info.info.x11.window, wanted);
        XFlush(display);
    }
    return window;
}

NativeWindow XRootWindow() {
    if (!ForeignWindowsPossible()) return {};
    return NativeWindow(DefaultRootWindow(QueryDisplay()));
}

bool ForeignWindowAlive(SDL_Window* window) {
    XWindowAttributes attributes;
    return Attributes(XWindowOf(window), attributes);
}

PixelRect ForeignWindowRect(SDL_Window* window) {
    const ::Window xwindow = XWindowOf(window);
    XWindowAttributes attributes;
    if (!Attributes(xwindow, attributes)) return {};
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(QueryDisplay(), xwindow, attributes.root, 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

ScreenPixels ReadXWindowPixels(SDL_Window* window) {
    const ::Window xwindow = XWindowOf(window);
    XWindowAttributes attributes;
    if (!Attributes(xwindow, attributes) || attributes.map_state != IsViewable) return {};
    Display* display = QueryDisplay();
    const auto destroy = [](XImage* image) { XDestroyImage(image); };
    std::unique_ptr<XImage, decltype(destroy)> image(
        XGetImage(display, xwindow, 0, 0, static_cast<unsigned>(attributes.width),
                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap),
        destroy);
    if (!image) return {};
    ScreenPixels result{attributes.width, attributes.height, {}};
    result.pixels.resize(static_cast<std::size_t>(result.width) * static_cast<std::size_t>(result.height));
    for (int y = 0; y < result.height; ++y) {
        for (int x = 0; x < result.width; ++x) {
            const unsigned long pixel = XGetPixel(image.get(), x, y);
            result.pixels[static_cast<std::size_t>(y) * result.width + x] =
                (Channel(pixel, image->red_mask) << 16) | (Channel(pixel, image->green_mask) << 8) |
                Channel(pixel, image->blue_mask);
        }
    }
    return result;
}

}  // namespace quellmoor::platform
