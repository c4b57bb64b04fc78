#include "tests/platform/sdl/XWindows.h"

#include <X11/Xlib.h>

namespace quellmoor::testing {

namespace {

class XForeign final : public ForeignWindows {
public:
    XForeign() : display_(XOpenDisplay(nullptr)) {}
    ~XForeign() override {
        if (display_) XCloseDisplay(display_);
    }
    XForeign(const XForeign&) = delete;
    XForeign& operator=(const XForeign&) = delete;

    platform::NativeWindow Make(int width, int height) override {
        const int screen = DefaultScreen(display_);
        const ::Window window = XCreateSimpleWindow(display_, RootWindow(display_, screen), 10, 10,
                                                    static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                                    BlackPixel(display_, screen), BlackPixel(display_, screen));
        XMapWindow(display_, window);
        XSync(display_, False);
        return platform::NativeWindow(window);
    }
    void Resize(platform::NativeWindow window, int width, int height) override {
        XResizeWindow(display_, static_cast<::Window>(window.value), static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
        XSync(display_, False);
    }
    void Remove(platform::NativeWindow window) override {
        XDestroyWindow(display_, static_cast<::Window>(window.value));
        XSync(display_, False);
    }

private:
    Display* display_;
};

}  // namespace

std::unique_ptr<ForeignWindows> MakeXForeignWindows() { return std::make_unique<XForeign>(); }

}  // namespace quellmoor::testing
