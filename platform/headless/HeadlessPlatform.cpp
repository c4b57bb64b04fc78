#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <chrono>
#include <thread>


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

HeadlessPlatform::~HeadlessPlatform() { ReleaseInstanceLock(); }

std::int64_t HeadlessPlatform::NowMs() {
    return options_.realClock ? SteadyMs() - realOriginMs_ : virtualNowMs_;
}

bool HeadlessPlatform::InputWaiting() { return !input_.empty() && input_.front().atMs <= NowMs(); }

void HeadlessPlatform::WaitUntil(std::int64_t deadlineMs) {
    waits_.Add(deadlineMs);
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

std::vector<std::int64_t> HeadlessPlatform::WaitDeadlines() const {
    return {waits_.Recent().begin(), waits_.Recent().end()};
}

// --- Windows

WindowId HeadlessPlatform::OpenWindow(const WindowSpec& spec) {
    DestroyWindow();
    spec_ = spec;
    HeadlessWindow window;
    window.rect = spec.style == WindowStyle::FullScreen ? options_.desktop : spec.rect;
    window.topmost = spec.topmost;
    windowTitle_ = spec.title;
    windowVisible_ = false;
    own_ = WindowId(nextId_++);
    windows_[own_.value] = std::move(window);
    PrepareTarget(own_);
    ++windowsCreated_;
    return own_;
}

void HeadlessPlatform::DestroyWindow() {
    if (own_) windows_.erase(own_.value);
    own_ = {};
    windowVisible_ = false;
}

void HeadlessPlatform::ResizeWindow(int width, int height) {
    auto found = windows_.find(own_.value);
    if (found == windows_.end()) return;
    found->second.rect.width = std::max(width, 0);
    found->second.rect.height = std::max(height, 0);
    PrepareTarget(own_);
}

void HeadlessPlatform::SetTopmost(WindowId window, bool topmost) {
    if (auto found = windows_.find(window.value); found != windows_.end()) found->second.topmost = topmost;
}

bool HeadlessPlatform::IsTopmost(WindowId window) const {
    const auto found = windows_.find(window.value);
    return found != windows_.end() && found->second.topmost;
}

PixelRect HeadlessPlatform::GetWindowRect(WindowId window) {
    if (!WindowExists(window)) return {};
    const HeadlessWindow& w = windows_.at(window.value);
    return w.native ? foreign_.at(w.native.value) : w.rect;
}

bool HeadlessPlatform::WindowExists(WindowId window) {
    const auto found = windows_.find(window.value);
    if (found == windows_.end()) return false;
    return !found->second.native || foreign_.count(found->second.native.value) != 0;
}

WindowId HeadlessPlatform::AttachWindow(NativeWindow native) {
    if (!native || foreign_.count(native.value) == 0) return {};
    const WindowId id(nextId_++);
    windows_[id.value].native = native;
    PrepareTarget(id);
    return id;
}

void HeadlessPlatform::DetachWindow(WindowId window) {
    const auto found = windows_.find(window.value);
    if (found != windows_.end() && found->second.native) windows_.erase(found);
}

NativeWindow HeadlessPlatform::AddForeignWindow(PixelRect rect) {
    const NativeWindow native(nextNative_++);
    foreign_[native.value] = rect;
    return native;
}

void HeadlessPlatform::ResizeForeignWindow(NativeWindow native, int width, int height) {
    if (auto found = foreign_.find(native.value); found != foreign_.end()) {
        found->second.width = std::max(width, 0);
        found->second.height = std::max(height, 0);
    }
    // As a window system would tell whoever draws into it.
    for (const auto& [id, window] : windows_)
        if (window.native == native)
            QueueInput(NowMs(), {.type = InputEvent::Type::Resized, .window = WindowId(id),
                                 .width = std::max(width, 0), .height = std::max(height, 0)});
}

void HeadlessPlatform::RemoveForeignWindow(NativeWindow native) { foreign_.erase(native.value); }

std::vector<PixelRect> HeadlessPlatform::GetMonitorRects() {
    if (options_.monitors.empty()) return {options_.desktop};
    return options_.monitors;
}

const std::vector<std::uint32_t>& HeadlessPlatform::Screen() const {
    static const std::vector<std::uint32_t> none;
    const auto found = windows_.find(own_.value);
    return found == windows_.end() ? none : found->second.screen;
}

std::uint32_t HeadlessPlatform::ScreenPixel(int x, int y) const {
    const auto found = windows_.find(own_.value);
    if (found == windows_.end()) return 0;
    const HeadlessWindow& w = found->second;
    if (x < 0 || y < 0 || x >= w.screenWidth || y >= w.screenHeight || w.screen.empty()) return 0;
    return w.screen[static_cast<std::size_t>(y) * w.screenWidth + x];
}

ScreenPixels HeadlessPlatform::ReadPresentedPixels(WindowId window) {
    HeadlessWindow* w = PrepareTarget(window);
    if (!w || !options_.keepScreen) return {};
    return {w->screenWidth, w->screenHeight, w->screen};
}

// --- Presenting

HeadlessPlatform::HeadlessWindow* HeadlessPlatform::PrepareTarget(WindowId target) {
    if (!WindowExists(target)) return nullptr;
    HeadlessWindow& w = windows_.at(target.value);
    const PixelRect rect = GetWindowRect(target);
    const int width = std::max(rect.width, 0), height = std::max(rect.height, 0);
    if (width != w.screenWidth || height != w.screenHeight) {
        // A resized window shows black until the next present, as a cleared window would.
        w.screenWidth = width;
        w.screenHeight = height;
        w.screen.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    }
    return &w;
}

void HeadlessPlatform::BeginFrame(HeadlessFrame::Kind kind, WindowId target, int width, int height) {
    lastFrame_.kind = kind;
    lastFrame_.target = target;
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

void HeadlessPlatform::PresentStretched(WindowId target, const IndexedImage& image, PixelRect destination) {
    HeadlessWindow* w = PrepareTarget(target);
    if (!w || !Usable(image)) return;
    BeginFrame(HeadlessFrame::Kind::Stretched, target, image.width, image.height);
    lastFrame_.destination = destination;
    CopyIndices(image);
    if (options_.keepScreen && destination.width > 0 && destination.height > 0) {
        // Nearest neighbour: destination pixel d samples source (d * size) / destination size.
        for (int dy = 0; dy < destination.height; ++dy) {
            const int sy = NearestSource(dy, image.height, destination.height);
            const int screenY = destination.y + dy;
            if (screenY < 0 || screenY >= w->screenHeight) continue;
            const std::uint8_t* row = TopDownRow(image, sy);
            for (int dx = 0; dx < destination.width; ++dx) {
                const int screenX = destination.x + dx;
                if (screenX < 0 || screenX >= w->screenWidth) continue;
                const int sx = NearestSource(dx, image.width, destination.width);
                w->screen[static_cast<std::size_t>(screenY) * w->screenWidth + screenX] = Rgb(image.palette[row[sx]]);
            }
        }
    }
    FinishFrame();
}

void HeadlessPlatform::PresentRects(WindowId target, const IndexedImage& image, std::span<const PixelRect> rects) {
    HeadlessWindow* w = PrepareTarget(target);
    if (!w || !Usable(image)) return;
    BeginFrame(HeadlessFrame::Kind::Rects, target, image.width, image.height);
    lastFrame_.rects.assign(rects.begin(), rects.end());
    CopyIndices(image);
    if (options_.keepScreen) {
        for (const PixelRect& rect : rects) {
            const int left = std::max(rect.x, 0), top = std::max(rect.y, 0);
            const int right = std::min({rect.x + rect.width, image.width, w->screenWidth});
            const int bottom = std::min({rect.y + rect.height, image.height, w->screenHeight});
            for (int y = top; y < bottom; ++y) {
                const std::uint8_t* row = TopDownRow(image, y);
                for (int x = left; x < right; ++x)
                    w->screen[static_cast<std::size_t>(y) * w->screenWidth + x] = Rgb(image.palette[row[x]]);
            }
        }
    }
    FinishFrame();
}

void HeadlessPlatform::PresentRgb(WindowId target, const RgbImage& image, int x, int y) {
    HeadlessWindow* w = PrepareTarget(target);
    if (!w || !image.bytes || image.width <= 0 || image.height <= 0) return;
    BeginFrame(HeadlessFrame::Kind::Rgb, target, image.width, image.height);
    lastFrame_.indices.clear();
    lastFrame_.destination = {x, y, image.width, image.height};
    lastFrame_.rgb.assign(image.bytes, image.bytes + static_cast<std::size_t>(image.width) * image.height * 3);
    if (options_.keepScreen) {
        for (int row = 0; row < image.height; ++row) {
            const int screenY = y + row;
            if (screenY < 0 || screenY >= w->screenHeight) continue;
            for (int col = 0; col < image.width; ++col) {
                const int screenX = x + col;
                if (screenX < 0 || screenX >= w->screenWidth) continue;
                const std::uint8_t* p = image.bytes + (static_cast<std::size_t>(row) * image.width + col) * 3;
                w->screen[static_cast<std::size_t>(screenY) * w->screenWidth + screenX] =
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

}  // namespace quellmoor::platform
