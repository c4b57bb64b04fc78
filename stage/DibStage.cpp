#include "stage/DibStage.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <cstdio>
#include <exception>
#include <sstream>

#include "imaging/Surface.h"
#include "model/CurrentStage.h"

namespace quellmoor {

namespace {

constexpr const char* kExceptionTitle = "Quellmoor Exception";
// What callers pass for "the image's own size" (any side that is not positive counts too).
constexpr float kNaturalSize = -99999.0f;
constexpr int kPreviewWidth = 152, kPreviewHeight = 112;
// Every waiting event is handled before the loop waits; the cap keeps a flood
// of mouse moves from starving the timers.
constexpr int kMaxEventsPerPump = 256;
// Area the frame-rate figure occupies.
constexpr platform::PixelRect kFrameRateArea{0, 0, 100, 30};

bool IsNatural(float side) { return side == kNaturalSize || !(side > 0.0f); }

// The part of `rect` inside a width x height image, in whole pixels.
platform::PixelRect ToPixels(const RRect& rect, int width, int height) {
    const float left = std::clamp(std::floor(rect.x), 0.0f, static_cast<float>(width));
    const float top = std::clamp(std::floor(rect.y), 0.0f, static_cast<float>(height));
    const float right = std::clamp(std::ceil(rect.Right()), left, static_cast<float>(width));
    const float bottom = std::clamp(std::ceil(rect.Bottom()), top, static_cast<float>(height));
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
}

// Pauses the stage clock and keeps the image palette for a fade; puts both
// back however the fade ends: a quit mid-fade or a throwing present must not
// leave the clock stopped and the next scene drawn with a darkened palette.
class FadeGuard {
public:
    FadeGuard(RStage& stage, PaletteEntry* palette) : stage_(stage), palette_(palette) {
        std::copy_n(palette, saved_.size(), saved_.begin());
        stage_.Pause();
    }
    ~FadeGuard() {
        std::copy(saved_.begin(), saved_.end(), palette_);
        stage_.Resume();
    }
    FadeGuard(const FadeGuard&) = delete;
    FadeGuard& operator=(const FadeGuard&) = delete;
    const Palette& Saved() const { return saved_; }

private:
    RStage& stage_;
    PaletteEntry* palette_;
    Palette saved_;
};

}  // namespace

RDibStage::RDibStage() : platform_(platform::CurrentPlatform()) { StartClock(); }

RDibStage::~RDibStage() {
    // Owned components may still reach the stage and the window while they die.
    DeleteOwnedComponents();
    if (GetCurrentStage() == this) SetCurrentStage(nullptr);
    if (ownWindow_) platform_.DestroyWindow();
}

double RDibStage::GetSystemTime() { return static_cast<double>(platform_.NowMs()); }

std::unique_ptr<RSurface> RDibStage::CreateSurface(float width, float height) {
    return std::make_unique<RDibSurface>(width, height);
}

std::unique_ptr<std::istream> RDibStage::OpenContent() {
    std::vector<std::uint8_t> bytes = platform_.GetEmbeddedContent();
    if (bytes.empty())
        throw RException("The program carries no embedded content (QUELLMOOR); there is nothing to show.");
    return std::make_unique<std::istringstream>(std::string(bytes.begin(), bytes.end()));
}

// --- Input and waiting

void RDibStage::DispatchInput(const platform::InputEvent& event) {
    using Type = platform::InputEvent::Type;
    const auto scale = static_cast<float>(composeScale_);
    switch (event.type) {
        case Type::MouseMove: MouseMove(event.x / scale, event.y / scale); break;
        case Type::MouseDown:
            if (event.button == 0) MouseDown(event.x / scale, event.y / scale);
            break;
        case Type::MouseUp:
            if (event.button == 0) MouseUp(event.x / scale, event.y / scale);
            break;
        case Type::KeyDown: KeyDown(event.virtualKey, event.virtualKey); break;
        case Type::KeyUp: KeyUp(event.virtualKey, event.virtualKey); break;
        case Type::Activate: Activate(event.active); break;
        case Type::Close:
            if (closeHandler_) {
                closeHandler_();
                break;
            }
            Stop();
            Quit();
            break;
        case Type::Resized:
            if (followTargetSize_ && event.window == targetWindow_) FollowTargetSize(event.width, event.height);
            break;
    }
}

void RDibStage::FollowTargetSize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    if (fading_) {
        sizeAfterFade_ = TargetSize{width, height};
        return;
    }
    const int composedWidth = std::max(width / composeScale_, 1), composedHeight = std::max(height / composeScale_, 1);
    // The own window, hidden while frames go elsewhere, carries the size the show reads.
    if (ownWindow_ && ownWindow_ != targetWindow_) platform_.ResizeWindow(width, height);
    if (displaySize_) displaySize_ = DisplaySize{static_cast<float>(width), static_cast<float>(height)};
    Resize(static_cast<float>(composedWidth), static_cast<float>(composedHeight));
}

bool RDibStage::PumpMessages(double waitMs) {
    const double started = GetSystemTime();
    platform::InputEvent event;
    for (int handled = 0; !IsQuitting() && handled < kMaxEventsPerPump && platform_.PollEvent(event); ++handled)
        DispatchInput(event);
    if (IsQuitting()) return true;
    // Always block, at least 1 ms: spinning before a due time burns a core and
    // never lets a virtual clock move. Input ends the wait early.
    const double remaining = waitMs - (GetSystemTime() - started);
    const double blockMs = std::max(1.0, std::ceil(std::min(remaining, 1e9)));
    platform_.WaitUntil(platform_.NowMs() + static_cast<std::int64_t>(blockMs));
    return IsQuitting();
}

void RDibStage::MeasureFramePeriod() {
    const int hz = platform_.GetRefreshRateHz();
    framePeriod_ = hz > 1 ? 1000.0 / hz : 1000.0 / 60.0;
}

double RDibStage::WaitForVerticalBlank() { return GetTime() + framePeriod_; }

// --- Window

void RDibStage::CreateStageWindow() {
    const RStageSetup& setup = GetSetup();
    platform::PixelRect rect{static_cast<int>(setup.windowRect.x), static_cast<int>(setup.windowRect.y),
                             static_cast<int>(setup.windowRect.width), static_cast<int>(setup.windowRect.height)};
    if (setup.fullScreen) rect = platform_.GetDesktopRect();
    rect.width = std::max(rect.width, 1);
    rect.height = std::max(rect.height, 1);
    Resize(static_cast<float>(std::max(rect.width / composeScale_, 1)),
           static_cast<float>(std::max(rect.height / composeScale_, 1)));
    if (composeScale_ > 1 && !displaySize_)
        displaySize_ = DisplaySize{static_cast<float>(rect.width), static_cast<float>(rect.height)};

    platform::WindowSpec spec;
    spec.rect = rect;
    spec.style = setup.fullScreen ? platform::WindowStyle::FullScreen
                 : parentWindow_  ? platform::WindowStyle::Child
                 : setup.hasFrame ? platform::WindowStyle::Framed
                                  : platform::WindowStyle::Borderless;
    spec.parent = parentWindow_;
    spec.topmost = topmost_;
    try {
        ownWindow_ = platform_.OpenWindow(spec);
    } catch (const std::exception& e) {
        throw RException(std::string("The stage window could not be created: ") + e.what());
    }
    if (!targetWindow_) targetWindow_ = ownWindow_;
    if (targetWindow_ == ownWindow_) {
        platform_.ShowWindow(true);
        platform_.ShowCursor(setup.showCursor);
    }
    SetCaption(GetCaption());
}

void RDibStage::ShowCursor(bool visible) { platform_.ShowCursor(visible); }

RRect RDibStage::GetWindowRect() {
    const platform::PixelRect r = platform_.GetWindowRect(ownWindow_);
    return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width / composeScale_),
            static_cast<float>(r.height / composeScale_)};
}

void RDibStage::SetCaption(const std::string& caption) {
    RStage::SetCaption(caption);
    if (ownWindow_) platform_.SetWindowTitle(caption);
}

std::string RDibStage::GetProgramDir() {
    const std::string path = platform_.GetProgramPath();
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string RDibStage::GetProgramName() {
    const std::string path = platform_.GetProgramPath();
    const auto slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

void RDibStage::MakeTopmost() {
    topmost_ = true;
    if (ownWindow_) platform_.SetTopmost(ownWindow_, true);
}

void RDibStage::SetPresentTarget(platform::WindowId window, float width, float height) {
    displaySize_.reset();
    if (!IsNatural(width) && !IsNatural(height)) displaySize_ = DisplaySize{width, height};
    targetWindow_ = window;
    if (ownWindow_) platform_.ShowWindow(window == ownWindow_);
}

void RDibStage::SetShowFrameRate(bool show) {
    if (show == showFrameRate_) return;
    showFrameRate_ = show;
    lastPresentTime_.reset();
}

void RDibStage::SetParentWindow(platform::NativeWindow window) { parentWindow_ = window; }

void RDibStage::SetComposeScale(int n) { composeScale_ = std::clamp(n, 1, 8); }

// --- Failures

void RDibStage::ShowException(const std::string& message) {
    if (platform_.ShowMessageBox(kExceptionTitle, message) == platform::MessageBoxButton::Cancel) Quit();
}

// --- Presenting

void RDibStage::DrawFrameRate(RSurface& image) {
    const double now = GetTime();
    if (lastPresentTime_) {
        double dt = now - *lastPresentTime_;
        if (dt == 0.0) dt = 5.0;
        frameRate_ = frameRate_ * 0.95 + (1000.0 / dt) * 0.05;
        char text[64];
        std::snprintf(text, sizeof text, "%f", frameRate_);
        RDib& dib = *image.GetDib();
        if (const DCLease dc(dib); dc) dc->DrawLine(text, 0, 0, dib.GetNearestIndex(0xFFFFFF));
        // Composed anew next frame, or the next figure lands on this one.
        InvalidRect({0, 0, static_cast<float>(kFrameRateArea.width), static_cast<float>(kFrameRateArea.height)});
    }
    lastPresentTime_ = now;
}

bool RDibStage::UsePreviewReduction(const RSurface& image) {
    if (!displaySize_ || displaySize_->width != kPreviewWidth || displaySize_->height != kPreviewHeight) return false;
    const platform::PixelRect own = platform_.GetWindowRect(ownWindow_);
    // The image must really be four times the preview; anything else is stretched.
    return own.width == 4 * kPreviewWidth && own.height == 4 * kPreviewHeight &&
           image.GetWidth() == 4 * kPreviewWidth && image.GetHeight() == 4 * kPreviewHeight;
}

void RDibStage::PresentPreview(const RSurface& image) {
    const RDib& dib = *image.GetDib();
    const platform::PaletteEntry* palette = dib.GetPaletteEntries();
    previewPixels_.resize(static_cast<std::size_t>(kPreviewWidth) * kPreviewHeight * 3);
    std::uint8_t* out = previewPixels_.data();
    for (int by = 0; by < kPreviewHeight; ++by) {
        for (int bx = 0; bx < kPreviewWidth; ++bx) {
            unsigned red = 0, green = 0, blue = 0;
            for (int y = by * 4; y < by * 4 + 4; ++y) {
                const std::uint8_t* row = dib.GetPixelAddr(bx * 4, y);
                for (int i = 0; i < 4; ++i) {
                    const platform::PaletteEntry& e = palette[row[i]];
                    red += e.red;
                    green += e.green;
                    blue += e.blue;
                }
            }
            *out++ = static_cast<std::uint8_t>((red + 8) / 16);
            *out++ = static_cast<std::uint8_t>((green + 8) / 16);
            *out++ = static_cast<std::uint8_t>((blue + 8) / 16);
        }
    }
    platform_.PresentRgb(targetWindow_, {previewPixels_.data(), kPreviewWidth, kPreviewHeight}, 0, 0);
}

void RDibStage::Present(RSurface& image, float x, float y, const std::vector<RRect>* rects) {
    if (!targetWindow_) return;
    if (!platform_.WindowExists(targetWindow_)) {
        Quit();
        return;
    }
    RDib* dib = image.GetDib();
    if (!dib) return;
    if (showFrameRate_) DrawFrameRate(image);
    if (UsePreviewReduction(image)) {
        PresentPreview(image);
        return;
    }
    const platform::IndexedImage pixels = dib->GetImage();
    const bool natural = !displaySize_;
    if (rects && natural) {
        std::vector<platform::PixelRect> list;
        list.reserve(rects->size() + 1);
        if (showFrameRate_) list.push_back(kFrameRateArea);
        for (const RRect& rect : *rects) {
            const platform::PixelRect r = ToPixels(rect, pixels.width, pixels.height);
            if (r.width > 0 && r.height > 0) list.push_back(r);
        }
        platform_.PresentRects(targetWindow_, pixels, list);
        return;
    }
    const platform::PixelRect destination{
        static_cast<int>(x), static_cast<int>(y),
        natural ? pixels.width : static_cast<int>(displaySize_->width),
        natural ? pixels.height : static_cast<int>(displaySize_->height)};
    platform_.PresentStretched(targetWindow_, pixels, destination);
}

void RDibStage::FadeTransition(bool fade) {
    {
        fading_ = true;
        struct EndOfFade {
            bool& fading;
            ~EndOfFade() { fading = false; }
        } const endOfFade{fading_};
        Fade(fade);
    }
    if (const std::optional<TargetSize> size = std::exchange(sizeAfterFade_, std::nullopt))
        FollowTargetSize(size->width, size->height);
}

void RDibStage::Fade(bool fade) {
    if (!GetStageImage() || !GetBackground()) return;
    RSurface& image = *GetStageImage();
    PaletteEntry* palette = image.GetDib()->GetPaletteEntries();
    const FadeGuard guard(*this, palette);
    const Palette& saved = guard.Saved();
    // Fade steps show one composed image many times: a figure drawn on each
    // would pile up, and they are no frames of the show anyway.
    struct RateHidden {
        bool& shown;
        bool was;
        ~RateHidden() { shown = was; }
    } const rateHidden{showFrameRate_, std::exchange(showFrameRate_, false)};

    // One display frame per step, so a fade takes the same time on every machine.
    const auto step = [&] {
        const double stepEnd = GetSystemTime() + framePeriod_;
        Present(image, 0, 0, nullptr);
        return PumpMessages(std::max(0.0, stepEnd - GetSystemTime()));
    };
    const auto lower = [](std::uint8_t c) { return static_cast<std::uint8_t>(c < 4 ? 0 : c - 4); };

    if (fade) {
        for (int i = 0; i < 64; ++i) {
            for (int e = 0; e < 256; ++e) {
                palette[e].red = lower(palette[e].red);
                palette[e].green = lower(palette[e].green);
                palette[e].blue = lower(palette[e].blue);
            }
            if (step()) return;
        }
    }
    std::copy(saved.begin(), saved.end(), palette);
    Compose();
    for (int e = 0; e < 256; ++e) palette[e].red = palette[e].green = palette[e].blue = 0;
    if (fade) {
        const auto raise = [](std::uint8_t savedValue, std::uint8_t current, int d) {
            return savedValue > d ? static_cast<std::uint8_t>(savedValue - d) : current;
        };
        for (int d = 254; d >= 2; d -= 4) {
            for (int e = 0; e < 256; ++e) {
                palette[e].red = raise(saved[e].red, palette[e].red, d);
                palette[e].green = raise(saved[e].green, palette[e].green, d);
                palette[e].blue = raise(saved[e].blue, palette[e].blue, d);
            }
            if (step()) return;
        }
    }
    std::copy(saved.begin(), saved.end(), palette);
    Present(image, 0, 0, nullptr);
}

}  // namespace quellmoor
