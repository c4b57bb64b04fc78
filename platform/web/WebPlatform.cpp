#include "platform/web/WebPlatform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>

namespace quellmoor::platform {

namespace {

WebPlatform* current = nullptr;

// clang-format off
EM_JS(int, qm_page_width, (), { return Math.max(1, Math.floor(window.innerWidth)); });
EM_JS(int, qm_page_height, (), { return Math.max(1, Math.floor(window.innerHeight)); });
EM_JS(void, qm_canvas_size, (int width, int height), {
    var canvas = Module['canvas'];
    if (canvas.width != width) canvas.width = width;
    if (canvas.height != height) canvas.height = height;
});
EM_JS(void, qm_put_rect, (const void* pixels, int width, int height, int x, int y, int w, int h), {
    var canvas = Module['canvas'];
    if (!Module.qmContext) Module.qmContext = canvas.getContext('2d');
    var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    Module.qmContext.putImageData(new ImageData(bytes, width, height), 0, 0, x, y, w, h);
});
// What the page's tests and the curious read: wall time, time the show worked, frames presented.
EM_JS(void, qm_stats, (double wallMs, double busyMs, int frames), {
    Module.vexmonStats = {wallMs: wallMs, busyMs: busyMs, frames: frames};
});
EM_JS(void, qm_set_title, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, qm_cursor, (int visible), { Module['canvas'].style.cursor = visible ? 'default' : 'none'; });
// clang-format on

// Windows virtual-key codes are what the browser's legacy keyCode carries for
// letters, digits, function keys, Escape and the arrows.
std::uint32_t VirtualKey(const EmscriptenKeyboardEvent& e) { return static_cast<std::uint32_t>(e.keyCode); }

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    if (!current || e->repeat) return EM_FALSE;
    current->Queue({.type = type == EMSCRIPTEN_EVENT_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp,
                    .virtualKey = VirtualKey(*e)});
    return EM_FALSE;  // the browser's own keys (reload, zoom) keep working
}

// The browser numbers buttons left 0, middle 1, right 2; the engine left 0, right 1, middle 2.
int EngineButton(unsigned short button) { return button == 1 ? 2 : button == 2 ? 1 : button; }

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void*) {
    if (!current) return EM_FALSE;
    InputEvent event{.x = static_cast<float>(e->targetX), .y = static_cast<float>(e->targetY),
                     .button = EngineButton(e->button)};
    event.type = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? InputEvent::Type::MouseDown
                 : type == EMSCRIPTEN_EVENT_MOUSEUP ? InputEvent::Type::MouseUp
                                                    : InputEvent::Type::MouseMove;
    current->Queue(event);
    return EM_FALSE;
}

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
    if (current) current->PageResized(qm_page_width(), qm_page_height());
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    if (current) current->VisibilityChanged(e->hidden != 0);
    return EM_FALSE;
}

std::uint32_t Rgba(const PaletteEntry& entry) {
    return 0xFF000000u | (std::uint32_t{entry.blue} << 16) | (std::uint32_t{entry.green} << 8) | entry.red;
}

const std::uint8_t* TopDownRow(const IndexedImage& image, int y) {
    return image.bits + static_cast<std::ptrdiff_t>(image.height - 1 - y) * image.strideBytes;
}

bool Usable(const IndexedImage& image) {
    return image.bits && image.palette && image.width > 0 && image.height > 0 && image.strideBytes >= image.width;
}

}  // namespace

WebPlatform::WebPlatform(WebOptions options)
    : content_(std::move(options.content)),
      virtualClock_(options.virtualClock),
      presented_(std::move(options.presented)) {
    originMs_ = emscripten_get_now();
    current = this;
    const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_FALSE, OnKey);
    emscripten_set_keyup_callback(page, nullptr, EM_FALSE, OnKey);
    emscripten_set_mousedown_callback("#canvas", nullptr, EM_FALSE, OnMouse);
    emscripten_set_mouseup_callback("#canvas", nullptr, EM_FALSE, OnMouse);
    emscripten_set_mousemove_callback("#canvas", nullptr, EM_FALSE, OnMouse);
    emscripten_set_resize_callback(page, nullptr, EM_FALSE, OnResize);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);
}

WebPlatform::~WebPlatform() {
    if (current == this) current = nullptr;
}

bool WebPlatform::Supports(Feature feature) const {
    switch (feature) {
        case Feature::Settings:
        case Feature::Sound:
        case Feature::ReadBack:
        case Feature::DrawingContexts: return true;
        default: return false;
    }
}

std::int64_t WebPlatform::NowMs() {
    if (virtualClock_) return virtualNowMs_;
    double hidden = hiddenTotalMs_;
    const double now = emscripten_get_now();
    if (hiddenSinceMs_ >= 0) hidden += now - hiddenSinceMs_;
    return static_cast<std::int64_t>(now - originMs_ - hidden);
}

void WebPlatform::WaitUntil(std::int64_t deadlineMs) {
    if (virtualClock_) {
        if (!input_.empty()) return;
        virtualNowMs_ = std::max(virtualNowMs_, deadlineMs);
        // Now and then the browser gets the thread, to pass on the console and input.
        constexpr std::int64_t kYieldEveryMs = 1000;
        if (virtualNowMs_ / kYieldEveryMs != lastYieldMs_ / kYieldEveryMs) {
            lastYieldMs_ = virtualNowMs_;
            emscripten_sleep(0);
        }
        return;
    }
    // Each sleep hands the thread back to the browser, which delivers input and
    // draws; short slices let input end the wait early. A hidden tab's clock
    // stands still, so this keeps sleeping until the tab is shown again.
    while (input_.empty()) {
        const std::int64_t remaining = deadlineMs - NowMs();
        if (remaining <= 0 && hiddenSinceMs_ < 0) return;
        const double before = emscripten_get_now();
        emscripten_sleep(static_cast<unsigned>(hiddenSinceMs_ >= 0 ? 250 : std::clamp<std::int64_t>(remaining, 1, 10)));
        const double after = emscripten_get_now();
        sleptMs_ += after - before;
        qm_stats(after - originMs_, after - originMs_ - sleptMs_, frames_);
    }
}

bool WebPlatform::PollEvent(InputEvent& event) {
    if (input_.empty()) return false;
    event = input_.front();
    input_.pop_front();
    return true;
}

void WebPlatform::VisibilityChanged(bool hidden) {
    const double now = emscripten_get_now();
    if (hidden && hiddenSinceMs_ < 0) hiddenSinceMs_ = now;
    if (!hidden && hiddenSinceMs_ >= 0) {
        hiddenTotalMs_ += now - hiddenSinceMs_;
        hiddenSinceMs_ = -1;
    }
    std::printf("vexmon: %s\n", hidden ? "paused (the page is hidden)" : "playing");
}

// --- The window: the page's canvas

WindowId WebPlatform::OpenWindow(const WindowSpec&) {
    // Whatever size is asked for, the show has the page.
    window_ = WindowId(nextId_++);
    PrepareCanvas(qm_page_width(), qm_page_height());
    return window_;
}

void WebPlatform::ResizeWindow(int width, int height) { PrepareCanvas(width, height); }

void WebPlatform::SetWindowTitle(std::string_view title) { qm_set_title(std::string(title).c_str()); }

PixelRect WebPlatform::GetWindowRect(WindowId window) {
    if (!WindowExists(window)) return {};
    return {0, 0, width_, height_};
}

PixelRect WebPlatform::GetDesktopRect() { return {0, 0, qm_page_width(), qm_page_height()}; }

void WebPlatform::ShowCursor(bool visible) { qm_cursor(visible ? 1 : 0); }

void WebPlatform::PageResized(int width, int height) {
    if (!window_ || (width == width_ && height == height_)) return;
    PrepareCanvas(width, height);
    Queue({.type = InputEvent::Type::Resized, .window = window_, .width = width, .height = height});
}

bool WebPlatform::PrepareCanvas(int width, int height) {
    if (!window_) return false;
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width != width_ || height != height_) {
        // A resized canvas is black until the next frame is presented.
        width_ = width;
        height_ = height;
        rgba_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u);
        qm_canvas_size(width, height);
        PutRect({0, 0, width, height});
    }
    return true;
}

void WebPlatform::PutRect(PixelRect rect) {
    const int left = std::max(rect.x, 0), top = std::max(rect.y, 0);
    const int right = std::min(rect.x + rect.width, width_), bottom = std::min(rect.y + rect.height, height_);
    if (left >= right || top >= bottom) return;
    qm_put_rect(rgba_.data(), width_, height_, left, top, right - left, bottom - top);
}

void WebPlatform::PresentStretched(WindowId target, const IndexedImage& image, PixelRect destination) {
    if (!WindowExists(target) || !Usable(image) || destination.width <= 0 || destination.height <= 0) return;
    std::uint32_t colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = Rgba(image.palette[i]);
    for (int dy = 0; dy < destination.height; ++dy) {
        const int y = destination.y + dy;
        if (y < 0 || y >= height_) continue;
        const auto sy = static_cast<int>(static_cast<std::int64_t>(dy) * image.height / destination.height);
        const std::uint8_t* row = TopDownRow(image, sy);
        std::uint32_t* out = rgba_.data() + static_cast<std::size_t>(y) * width_;
        for (int dx = 0; dx < destination.width; ++dx) {
            const int x = destination.x + dx;
            if (x < 0 || x >= width_) continue;
            out[x] = colours[row[static_cast<std::int64_t>(dx) * image.width / destination.width]];
        }
    }
    PutRect(destination);
    FramePresented();
}

void WebPlatform::PresentRects(WindowId target, const IndexedImage& image, std::span<const PixelRect> rects) {
    if (!WindowExists(target) || !Usable(image)) return;
    std::uint32_t colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = Rgba(image.palette[i]);
    for (const PixelRect& rect : rects) {
        const int left = std::max(rect.x, 0), top = std::max(rect.y, 0);
        const int right = std::min({rect.x + rect.width, image.width, width_});
        const int bottom = std::min({rect.y + rect.height, image.height, height_});
        if (left >= right || top >= bottom) continue;
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* row = TopDownRow(image, y);
            std::uint32_t* out = rgba_.data() + static_cast<std::size_t>(y) * width_;
            for (int x = left; x < right; ++x) out[x] = colours[row[x]];
        }
        PutRect({left, top, right - left, bottom - top});
    }
    FramePresented();
}

void WebPlatform::FramePresented() {
    ++frames_;
    if (presented_) presented_();
}

void WebPlatform::PresentRgb(WindowId target, const RgbImage& image, int x, int y) {
    if (!WindowExists(target) || !image.bytes || image.width <= 0 || image.height <= 0) return;
    for (int row = 0; row < image.height; ++row) {
        if (y + row < 0 || y + row >= height_) continue;
        for (int col = 0; col < image.width; ++col) {
            if (x + col < 0 || x + col >= width_) continue;
            const std::uint8_t* p = image.bytes + (static_cast<std::size_t>(row) * image.width + col) * 3;
            rgba_[static_cast<std::size_t>(y + row) * width_ + (x + col)] =
                0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        }
    }
    PutRect({x, y, image.width, image.height});
}

ScreenPixels WebPlatform::ReadPresentedPixels(WindowId window) {
    if (!WindowExists(window)) return {};
    ScreenPixels screen{width_, height_, {}};
    screen.pixels.reserve(rgba_.size());
    for (const std::uint32_t p : rgba_)
        screen.pixels.push_back(((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu));
    return screen;
}

}  // namespace quellmoor::platform
