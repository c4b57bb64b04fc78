#include "platform/sdl/SdlPlatform.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include <SDL.h>

#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlPresenter.h"
#include "platform/text/FontDrawingContext.h"

namespace quellmoor::platform {

namespace {

// Longest single kernel wait; the caller loops, so this only bounds one call.
constexpr std::int64_t kLongestWaitMs = 1000;

// Events the stage never reads. Left enabled they would wake every wait.
constexpr SDL_EventType kIgnoredEvents[] = {SDL_TEXTINPUT, SDL_TEXTEDITING, SDL_KEYMAPCHANGED,
                                            SDL_MOUSEWHEEL, SDL_FINGERDOWN, SDL_FINGERUP,
                                            SDL_FINGERMOTION, SDL_SYSWMEVENT};

}  // namespace

SdlPlatform::SdlPlatform(SdlOptions options) : options_(std::move(options)) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        throw std::runtime_error(std::string("SDL could not start: ") + SDL_GetError());
    for (SDL_EventType type : kIgnoredEvents) SDL_EventState(type, SDL_IGNORE);
    SDL_StopTextInput();
}

SdlPlatform::~SdlPlatform() {
    DestroyWindow();
    SDL_Quit();
}

std::int64_t SdlPlatform::NowMs() { return static_cast<std::int64_t>(SDL_GetTicks64()); }

void SdlPlatform::WaitUntil(std::int64_t deadlineMs) {
    const std::int64_t remaining = deadlineMs - NowMs();
    if (remaining <= 0) {
        SDL_PumpEvents();
        return;
    }
    // A null event leaves whatever arrives in the queue for PollEvent.
    SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min(remaining, kLongestWaitMs)));
}

bool SdlPlatform::PollEvent(InputEvent& event) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_QUIT:
                event = {.type = InputEvent::Type::Close};
                return true;
            case SDL_MOUSEMOTION:
                event = {.type = InputEvent::Type::MouseMove, .x = static_cast<float>(e.motion.x),
                         .y = static_cast<float>(e.motion.y)};
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                event = {.type = e.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Type::MouseDown
                                                               : InputEvent::Type::MouseUp,
                         .x = static_cast<float>(e.button.x), .y = static_cast<float>(e.button.y),
                         .button = ButtonFromSdl(e.button.button)};
                return true;
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const std::uint32_t key = VirtualKeyFromSdl(e.key.keysym.sym);
                if (key == 0) break;
                event = {.type = e.type == SDL_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp,
                         .virtualKey = key};
                return true;
            }
            case SDL_WINDOWEVENT:
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        event = {.type = InputEvent::Type::Activate,
                                 .active = e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED};
                        return true;
                    case SDL_WINDOWEVENT_CLOSE:
                        event = {.type = InputEvent::Type::Close};
                        return true;
                    case SDL_WINDOWEVENT_EXPOSED:
                    case SDL_WINDOWEVENT_SIZE_CHANGED:
                        if (presenter_) presenter_->Refresh();
                        break;
                    default:
                        break;
                }
                break;
            default:
                break;
        }
    }
    return false;
}

NativeWindow SdlPlatform::OpenWindow(const WindowSpec& spec) {
    DestroyWindow();
    Uint32 flags = SDL_WINDOW_HIDDEN;
    switch (spec.style) {
        case WindowStyle::FullScreen: flags |= SDL_WINDOW_FULLSCREEN_DESKTOP; break;
        case WindowStyle::Borderless:
        case WindowStyle::Child: flags |= SDL_WINDOW_BORDERLESS; break;  // no foreign parents here
        case WindowStyle::Framed: break;
    }
    if (spec.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    const PixelRect rect = spec.style == WindowStyle::FullScreen ? GetDesktopRect() : spec.rect;
    window_ = SDL_CreateWindow(spec.title.c_str(), rect.x, rect.y, std::max(rect.width, 1),
                               std::max(rect.height, 1), flags);
    if (!window_) throw std::runtime_error(std::string("SDL could not make a window: ") + SDL_GetError());
    try {
        presenter_ = std::make_unique<SdlPresenter>(window_);
    } catch (...) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        throw;
    }
    return SDL_GetWindowID(window_);
}

void SdlPlatform::DestroyWindow() {
    presenter_.reset();
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
}

void SdlPlatform::ShowWindow(bool visible) {
    if (!window_) return;
    if (visible) {
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
    } else {
        SDL_HideWindow(window_);
    }
}

void SdlPlatform::ResizeWindow(int width, int height) {
    if (window_) SDL_SetWindowSize(window_, std::max(width, 1), std::max(height, 1));
}

void SdlPlatform::SetWindowTitle(std::string_view title) {
    if (window_) SDL_SetWindowTitle(window_, std::string(title).c_str());
}

PixelRect SdlPlatform::GetWindowRect() {
    if (!window_) return {};
    PixelRect rect;
    SDL_GetWindowPosition(window_, &rect.x, &rect.y);
    SDL_GetWindowSize(window_, &rect.width, &rect.height);
    return rect;
}

bool SdlPlatform::WindowExists(NativeWindow window) {
    return window_ != nullptr && window == SDL_GetWindowID(window_);
}

PixelRect SdlPlatform::GetDesktopRect() {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return {};
    return {0, 0, mode.w, mode.h};
}

int SdlPlatform::GetRefreshRateHz() {
    SDL_DisplayMode mode;
    const int display = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
    if (SDL_GetCurrentDisplayMode(std::max(display, 0), &mode) != 0) return 0;
    return mode.refresh_rate;
}

void SdlPlatform::PresentStretched(const IndexedImage& image, PixelRect destination) {
    if (presenter_) presenter_->PresentStretched(image, destination);
}

void SdlPlatform::PresentRects(const IndexedImage& image, std::span<const PixelRect> rects) {
    if (presenter_) presenter_->PresentRects(image, rects);
}

void SdlPlatform::PresentRgb(const RgbImage& image, int x, int y) {
    if (presenter_) presenter_->PresentRgb(image, x, y);
}

void SdlPlatform::ShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

MessageBoxButton SdlPlatform::ShowMessageBox(std::string_view title, std::string_view text) {
    const std::string titleText(title), bodyText(text);
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 0, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "Cancel"},
    };
    const SDL_MessageBoxData data{SDL_MESSAGEBOX_ERROR, window_, titleText.c_str(), bodyText.c_str(),
                                  SDL_arraysize(buttons), buttons, nullptr};
    int pressed = 0;
    // A box that cannot be shown cannot be answered; carrying on is what OK would do.
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return MessageBoxButton::Ok;
    return pressed == 1 ? MessageBoxButton::Cancel : MessageBoxButton::Ok;
}

std::string SdlPlatform::GetProgramPath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return path.string();
    char* base = SDL_GetBasePath();
    std::string result = base ? std::string(base) + "quellmoor" : std::string();
    SDL_free(base);
    return result;
}

std::unique_ptr<DrawingContext> SdlPlatform::CreateDrawingContext(const IndexedCanvas& canvas) {
    return CreateFontDrawingContext(canvas);
}

std::uint64_t SdlPlatform::UploadedPixels() const { return presenter_ ? presenter_->UploadedPixels() : 0; }

}  // namespace quellmoor::platform
