#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/text/FontDrawingContext.h"

namespace quellmoor::platform {

namespace {

std::int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::uint32_t Rgb(const PaletteEntry& entry) {
    return (std::uint32_t{entry.red} << 16) | (std::uint32_t{entry.green} << 8) | entry.blue;
}

// Source row for image row `y` counted from the top (images are stored bottom-up).
const std::uint8_t* TopDownRow(const IndexedImage& image, int y) {
    return image.bits + static_cast<std::ptrdiff_t>(image.height - 1 - y) * image.strideBytes;
}

// Nearest-neighbour sampling: destination pixel d of `destSize` reads source pixel d * sourceSize / destSize.
int NearestSource(int d, int sourceSize, int destSize) {
    return static_cast<int>(static_cast<std::int64_t>(d) * sourceSize / destSize);
}

bool Usable(const IndexedImage& image) {
    return image.bits && image.palette && image.width > 0 && image.height > 0 &&
           image.strideBytes >= image.width;
}

}  // namespace

HeadlessPlatform::HeadlessPlatform(HeadlessOptions options)
    : options_(std::move(options)), virtualNowMs_(options_.startMs) {
    realOriginMs_ = SteadyMs() - options_.startMs;
}

std::int64_t HeadlessPlatform::NowMs() {
    return options_.realClock ? SteadyMs() - realOriginMs_ : virtualNowMs_;
}

std::int64_t HeadlessPlatform::NextInputMs() const {
    std::int64_t next = INT64_MAX;
    for (const Queued& queued : input_) next = std::min(next, queued.atMs);
    return next;
}

bool HeadlessPlatform::InputWaiting() { return !input_.empty() && input_.front().atMs <= NowMs(); }

void HeadlessPlatform::WaitUntil(std::int64_t deadlineMs) {
    waits_.push_back(deadlineMs);
    if (onWait_) onWait_(deadlineMs);
    if (InputWaiting()) return;
    const std::int64_t until = std::min(deadlineMs, input_.empty() ? INT64_MAX : input_.front().atMs);
    if (options_.realClock) {
        const std::int64_t now = NowMs();
        if (until > now) std::this_thread::sleep_for(std::chrono::milliseconds(until - now));
    } else {
        virtualNowMs_ = std::max(virtualNowMs_, until);
    }
}

bool HeadlessPlatform::PollEvent(InputEvent& event) {
    if (!InputWaiting()) return false;
    event = input_.front().event;
    input_.pop_front();
    return true;
}

void HeadlessPlatform::QueueInput(std::int64_t atMs, InputEvent event) {
    // Keep the queue in time order; equal times keep the order they were queued in.
    const auto at = std::upper_bound(input_.begin(), input_.end(), atMs,
                                     [](std::int64_t t, const Queued& q) { return t < q.atMs; });
    input_.insert(at, Queued{atMs, event});
}

void HeadlessPlatform::AdvanceMs(std::int64_t ms) {
    if (!options_.realClock && ms > 0) virtualNowMs_ += ms;
}

NativeWindow HeadlessPlatform::OpenWindow(const WindowSpec& spec) {
    spec_ = spec;
    windowRect_ = spec.style == WindowStyle::FullScreen ? options_.desktop : spec.rect;
    windowTitle_ = spec.title;
    windowVisible_ = false;
    window_ = nextHandle_++;
    ++windowsCreated_;
    screen_.assign(static_cast<std::size_t>(std::max(windowRect_.width, 0)) *
                       static_cast<std::size_t>(std::max(windowRect_.height, 0)),
                   0u);
    return window_;
}

void HeadlessPlatform::DestroyWindow() {
    window_ = 0;
    windowVisible_ = false;
    screen_.clear();
}

void HeadlessPlatform::ResizeWindow(int width, int height) {
    if (!window_) return;
    windowRect_.width = std::max(width, 0);
    windowRect_.height = std::max(height, 0);
    screen_.assign(static_cast<std::size_t>(windowRect_.width) * static_cast<std::size_t>(windowRect_.height), 0u);
}

bool HeadlessPlatform::WindowExists(NativeWindow window) {
    if (window != 0 && window == window_) return true;
    return std::find(foreign_.begin(), foreign_.end(), window) != foreign_.end();
}

NativeWindow HeadlessPlatform::AddForeignWindow() {
    foreign_.push_back(nextHandle_);
    return nextHandle_++;
}

void HeadlessPlatform::RemoveForeignWindow(NativeWindow window) {
    foreign_.erase(std::remove(foreign_.begin(), foreign_.end(), window), foreign_.end());
}

std::uint32_t HeadlessPlatform::ScreenPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= windowRect_.width || y >= windowRect_.height || screen_.empty()) return 0;
    return screen_[static_cast<std::size_t>(y) * windowRect_.width + x];
}

void HeadlessPlatform::BeginFrame(HeadlessFrame::Kind kind, int width, int height) {
    lastFrame_.kind = kind;
    lastFrame_.timeMs = NowMs();
    lastFrame_.width = width;
    lastFrame_.height = height;
    // Indices are overwritten in place by the 8-bit presents (no zero fill per
    // frame); an RGB present empties them itself.
    lastFrame_.rgb.clear();
    lastFrame_.rects.clear();
    lastFrame_.destination = {};
}

void HeadlessPlatform::CopyIndices(const IndexedImage& image) {
    lastFrame_.indices.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        std::copy_n(TopDownRow(image, y), image.width,
                    lastFrame_.indices.begin() + static_cast<std::ptrdiff_t>(y) * image.width);
    std::copy_n(image.palette, 256, lastFrame_.palette.begin());
}

void HeadlessPlatform::FinishFrame() {
    ++frameCount_;
    if (onFrame_) onFrame_(lastFrame_);
}

void HeadlessPlatform::PresentStretched(const IndexedImage& image, PixelRect destination) {
    if (!Usable(image)) return;
    BeginFrame(HeadlessFrame::Kind::Stretched, image.width, image.height);
    lastFrame_.destination = destination;
    CopyIndices(image);
    if (options_.keepScreen && destination.width > 0 && destination.height > 0) {
        // Nearest neighbour: destination pixel d samples source (d * size) / destination size.
        for (int dy = 0; dy < destination.height; ++dy) {
            const int sy = NearestSource(dy, image.height, destination.height);
            const int screenY = destination.y + dy;
            if (screenY < 0 || screenY >= windowRect_.height) continue;
            const std::uint8_t* row = TopDownRow(image, sy);
            for (int dx = 0; dx < destination.width; ++dx) {
                const int screenX = destination.x + dx;
                if (screenX < 0 || screenX >= windowRect_.width) continue;
                const int sx = NearestSource(dx, image.width, destination.width);
                screen_[static_cast<std::size_t>(screenY) * windowRect_.width + screenX] =
                    Rgb(image.palette[row[sx]]);
            }
        }
    }
    FinishFrame();
}

void HeadlessPlatform::PresentRects(const IndexedImage& image, std::span<const PixelRect> rects) {
    if (!Usable(image)) return;
    BeginFrame(HeadlessFrame::Kind::Rects, image.width, image.height);
    lastFrame_.rects.assign(rects.begin(), rects.end());
    CopyIndices(image);
    if (options_.keepScreen) {
        for (const PixelRect& rect : rects) {
            const int left = std::max({rect.x, 0}), top = std::max(rect.y, 0);
            const int right = std::min({rect.x + rect.width, image.width, windowRect_.width});
            const int bottom = std::min({rect.y + rect.height, image.height, windowRect_.height});
            for (int y = top; y < bottom; ++y) {
                const std::uint8_t* row = TopDownRow(image, y);
                for (int x = left; x < right; ++x)
                    screen_[static_cast<std::size_t>(y) * windowRect_.width + x] = Rgb(image.palette[row[x]]);
            }
        }
    }
    FinishFrame();
}

void HeadlessPlatform::PresentRgb(const RgbImage& image, int x, int y) {
    if (!image.bytes || image.width <= 0 || image.height <= 0) return;
    BeginFrame(HeadlessFrame::Kind::Rgb, image.width, image.height);
    lastFrame_.indices.clear();
    lastFrame_.destination = {x, y, image.width, image.height};
    lastFrame_.rgb.assign(image.bytes, image.bytes + static_cast<std::size_t>(image.width) * image.height * 3);
    if (options_.keepScreen) {
        for (int row = 0; row < image.height; ++row) {
            const int screenY = y + row;
            if (screenY < 0 || screenY >= windowRect_.height) continue;
            for (int col = 0; col < image.width; ++col) {
                const int screenX = x + col;
                if (screenX < 0 || screenX >= windowRect_.width) continue;
                const std::uint8_t* p = image.bytes + (static_cast<std::size_t>(row) * image.width + col) * 3;
                screen_[static_cast<std::size_t>(screenY) * windowRect_.width + screenX] =
                    (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
            }
        }
    }
    FinishFrame();
}

MessageBoxButton HeadlessPlatform::ShowMessageBox(std::string_view title, std::string_view text) {
    MessageBoxButton answer = MessageBoxButton::Ok;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    boxes_.push_back({std::string(title), std::string(text), answer});
    return answer;
}

std::unique_ptr<DrawingContext> HeadlessPlatform::CreateDrawingContext(const IndexedCanvas& canvas) {
    return CreateFontDrawingContext(canvas);
}

}  // namespace quellmoor::platform
