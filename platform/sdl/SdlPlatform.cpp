#include "platform/sdl/SdlPlatform.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include <SDL.h>

#include "platform/sdl/SdlForeign.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlPresenter.h"
#include "platform/sdl/SdlSound.h"
#include "platform/sdl/XDisplayLoss.h"
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
    EndProgramOnDisplayLoss();
    for (SDL_EventType type : kIgnoredEvents) SDL_EventState(type, SDL_IGNORE);
    SDL_StopTextInput();
    sound_ = std::make_unique<SdlSound>();
}

SdlPlatform::~SdlPlatform() {
    sound_.reset();
    ReleaseInstanceLock();
    while (!windows_.empty()) DestroyWindowEntry(windows_.begin()->first);
    SDL_Quit();
}

bool SdlPlatform::Supports(Feature feature) const {
    switch (feature) {
        // Asked only by whoever means to play, so answering may start the audio subsystem.
        case Feature::Sound: return sound_ && sound_->Available();
        case Feature::ForeignWindows: return ForeignWindowsPossible();
        default: return true;
    }
}

SdlPlatform::Window* SdlPlatform::Find(WindowId id) {
    const auto found = windows_.find(id.value);
    return found == windows_.end() ? nullptr : &found->second;
}

SdlPresenter* SdlPlatform::PresenterFor(WindowId target) {
    Window* window = Find(target);
    return window ? window->presenter.get() : nullptr;
}

void SdlPlatform::DestroyWindowEntry(std::uint32_t id) {
    const auto found = windows_.find(id);
    if (found == windows_.end()) return;
    found->second.presenter.reset();
    // For an attached window SDL only lets go of it; the window stays its owner's.
    if (found->second.window) SDL_DestroyWindow(found->second.window);
    windows_.erase(found);
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
                        for (auto& [id, window] : windows_)
                            if (window.sdlId == e.window.windowID && window.presenter) window.presenter->Refresh();
                        break;
                    case SDL_WINDOWEVENT_SIZE_CHANGED:
                        for (auto& [id, window] : windows_) {
                            if (window.sdlId != e.window.windowID) continue;
                            if (window.presenter) window.presenter->Refresh();
                            event = {.type = InputEvent::Type::Resized, .window = WindowId(id),
                                     .width = e.window.data1, .height = e.window.data2};
                            return true;
                        }
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

WindowId SdlPlatform::OpenWindow(const WindowSpec& spec) {
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
    Window entry;
    entry.window = SDL_CreateWindow(spec.title.c_str(), rect.x, rect.y, std::max(rect.width, 1),
                                    std::max(rect.height, 1), flags);
    if (!entry.window) throw std::runtime_error(std::string("SDL could not make a window: ") + SDL_GetError());
    try {
        entry.presenter = std::make_unique<SdlPresenter>(entry.window, false);
    } catch (...) {
        SDL_DestroyWindow(entry.window);
        throw;
    }
    entry.sdlId = SDL_GetWindowID(entry.window);
    own_ = WindowId(nextId_++);
    windows_.emplace(own_.value, std::move(entry));
    return own_;
}

void SdlPlatform::DestroyWindow() {
    DestroyWindowEntry(own_.value);
    own_ = {};
}

void SdlPlatform::ShowWindow(bool visible) {
    Window* own = Find(own_);
    if (!own) return;
    if (visible) {
        SDL_ShowWindow(own->window);
        SDL_RaiseWindow(own->window);
    } else {
        SDL_HideWindow(own->window);
    }
}

void SdlPlatform::ResizeWindow(int width, int height) {
    if (Window* own = Find(own_)) SDL_SetWindowSize(own->window, std::max(width, 1), std::max(height, 1));
}

void SdlPlatform::SetWindowTitle(std::string_view title) {
    if (Window* own = Find(own_)) SDL_SetWindowTitle(own->window, std::string(title).c_str());
}

void SdlPlatform::SetTopmost(WindowId window, bool topmost) {
    Window* entry = Find(window);
    if (entry && !entry->native) SDL_SetWindowAlwaysOnTop(entry->window, topmost ? SDL_TRUE : SDL_FALSE);
}

PixelRect SdlPlatform::GetWindowRect(WindowId window) {
    Window* entry = Find(window);
    if (!entry) return {};
    if (entry->native) return ForeignWindowRect(entry->window);
    PixelRect rect;
    SDL_GetWindowPosition(entry->window, &rect.x, &rect.y);
    SDL_GetWindowSize(entry->window, &rect.width, &rect.height);
    return rect;
}

bool SdlPlatform::WindowExists(WindowId window) {
    Window* entry = Find(window);
    if (!entry) return false;
    return !entry->native || ForeignWindowAlive(entry->window);
}

WindowId SdlPlatform::AttachWindow(NativeWindow native) {
    Window entry;
    entry.window = AttachForeignWindow(native);
    if (!entry.window) return {};
    entry.native = native;
    entry.sdlId = SDL_GetWindowID(entry.window);
    try {
        entry.presenter = std::make_unique<SdlPresenter>(entry.window, true);
    } catch (...) {
        SDL_DestroyWindow(entry.window);
        throw;
    }
    const WindowId id(nextId_++);
    windows_.emplace(id.value, std::move(entry));
    return id;
}

NativeWindow SdlPlatform::RootWindow() { return XRootWindow(); }

void SdlPlatform::DetachWindow(WindowId window) {
    const Window* entry = Find(window);
    if (entry && entry->native) DestroyWindowEntry(window.value);
}

ScreenPixels SdlPlatform::ReadPresentedPixels(WindowId window) {
    Window* entry = Find(window);
    if (!entry || !WindowExists(window)) return {};
    ScreenPixels pixels = ReadXWindowPixels(entry->window);
    if (pixels.pixels.empty() && entry->presenter) pixels = entry->presenter->ReadSurface();
    return pixels;
}

PixelRect SdlPlatform::GetDesktopRect() {
    const std::vector<PixelRect> monitors = GetMonitorRects();
    if (monitors.empty()) return {};
    int left = monitors[0].x, top = monitors[0].y;
    int right = left + monitors[0].width, bottom = top + monitors[0].height;
    for (const PixelRect& m : monitors) {
        left = std::min(left, m.x);
        top = std::min(top, m.y);
        right = std::max(right, m.x + m.width);
        bottom = std::max(bottom, m.y + m.height);
    }
    return {left, top, right - left, bottom - top};
}

std::vector<PixelRect> SdlPlatform::GetMonitorRects() {
    std::vector<PixelRect> monitors;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0) monitors.push_back({bounds.x, bounds.y, bounds.w, bounds.h});
    }
    return monitors;
}

int SdlPlatform::GetRefreshRateHz() {
    SDL_DisplayMode mode;
    Window* own = Find(own_);
    const int display = own ? SDL_GetWindowDisplayIndex(own->window) : 0;
    if (SDL_GetCurrentDisplayMode(std::max(display, 0), &mode) != 0) return 0;
    return std::max(mode.refresh_rate, 0);
}

std::optional<Point> SdlPlatform::CursorScreenPosition() {
    Point at;
    SDL_GetGlobalMouseState(&at.x, &at.y);
    return at;
}

void SdlPlatform::PresentStretched(WindowId target, const IndexedImage& image, PixelRect destination) {
    if (SdlPresenter* presenter = PresenterFor(target)) presenter->PresentStretched(image, destination);
}

void SdlPlatform::PresentRects(WindowId target, const IndexedImage& image, std::span<const PixelRect> rects) {
    if (SdlPresenter* presenter = PresenterFor(target)) presenter->PresentRects(image, rects);
}

void SdlPlatform::PresentRgb(WindowId target, const RgbImage& image, int x, int y) {
    if (SdlPresenter* presenter = PresenterFor(target)) presenter->PresentRgb(image, x, y);
}

void SdlPlatform::ShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void SdlPlatform::PlaySoundFile(const std::string& path) { sound_->Play(path); }

void SdlPlatform::StopSound() { sound_->Stop(); }

bool SdlPlatform::IsSoundPlaying() const { return sound_->Playing(); }

MessageBoxButton SdlPlatform::ShowMessageBox(std::string_view title, std::string_view text) {
    const std::string titleText(title), bodyText(text);
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 0, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "Cancel"},
    };
    Window* own = Find(own_);
    const SDL_MessageBoxData data{SDL_MESSAGEBOX_ERROR, own ? own->window : nullptr, titleText.c_str(),
                                  bodyText.c_str(), SDL_arraysize(buttons), buttons, nullptr};
    int pressed = 0;
    // A box that cannot be shown cannot be answered; carrying on is what OK would do.
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return MessageBoxButton::Ok;
    return pressed == 1 ? MessageBoxButton::Cancel : MessageBoxButton::Ok;
}

std::string SdlPlatform::GetProgramPath() {
    if (std::string path = RunningProgramPath(); !path.empty()) return path;
    char* base = SDL_GetBasePath();
    std::string result = base ? std::string(base) + "quellmoor" : std::string();
    SDL_free(base);
    return result;
}

std::unique_ptr<DrawingContext> SdlPlatform::CreateDrawingContext(const IndexedCanvas& canvas) {
    return CreateFontDrawingContext(canvas);
}

std::uint64_t SdlPlatform::UploadedPixels() const {
    const auto found = windows_.find(own_.value);
    return found != windows_.end() && found->second.presenter ? found->second.presenter->UploadedPixels() : 0;
}

}  // namespace quellmoor::platform
