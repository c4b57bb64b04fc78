// The Win32 backend's windows: the window class and its procedure, which turns
// messages into the input queue PollEvent reads; the own window, attached
// windows of other programs, screens and the cursor.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

namespace quellmoor::platform {

namespace {

// The program's icon, as its resource script numbers it.
constexpr int kIconResource = 32512;

HWND Handle(void* hwnd) { return static_cast<HWND>(hwnd); }

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* backend = reinterpret_cast<Win32Platform*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    // An exception must not unwind through the system's code that called us:
    // whatever failed, the message gets its default handling instead.
    try {
        std::intptr_t result = 0;
        if (backend && backend->HandleMessage(hwnd, message, wParam, lParam, result)) return result;
    } catch (...) {
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Client coordinates of a mouse message; both signed, as a captured mouse left of or above the window reports them.
InputEvent MouseEvent(InputEvent::Type type, LPARAM lParam, int button) {
    const auto x = static_cast<short>(LOWORD(static_cast<DWORD>(lParam)));
    const auto y = static_cast<short>(HIWORD(static_cast<DWORD>(lParam)));
    return {.type = type, .x = static_cast<float>(x), .y = static_cast<float>(y), .button = button};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    auto& monitors = *reinterpret_cast<std::vector<std::pair<bool, PixelRect>>*>(list);
    const RECT& r = info.rcMonitor;
    monitors.emplace_back((info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                          PixelRect{r.left, r.top, r.right - r.left, r.bottom - r.top});
    return TRUE;
}

}  // namespace

Win32Platform::Window* Win32Platform::Find(WindowId id) {
    const auto found = windows_.find(id.value);
    return found == windows_.end() ? nullptr : &found->second;
}

const Win32Platform::Window* Win32Platform::Find(WindowId id) const {
    const auto found = windows_.find(id.value);
    return found == windows_.end() ? nullptr : &found->second;
}

Win32Platform::Window* Win32Platform::Live(WindowId id) {
    Window* window = Find(id);
    return window && IsWindow(Handle(window->hwnd)) ? window : nullptr;
}

NativeWindow Win32Platform::NativeHandle(WindowId window) const {
    const Window* entry = Find(window);
    return entry ? NativeWindow(reinterpret_cast<std::uintptr_t>(entry->hwnd)) : NativeWindow();
}

bool Win32Platform::HandleMessage(void* hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                                  std::intptr_t& result) {
    using Type = InputEvent::Type;
    result = 0;
    switch (message) {
        case WM_CLOSE:
            // The stage decides how the program ends; the window stays until then.
            Enqueue({.type = Type::Close});
            return true;
        case WM_ACTIVATEAPP:
            Enqueue({.type = Type::Activate, .active = wParam != 0});
            return false;
        case WM_KEYDOWN:
        case WM_KEYUP:
            Enqueue({.type = message == WM_KEYDOWN ? Type::KeyDown : Type::KeyUp,
                     .virtualKey = static_cast<std::uint32_t>(wParam)});
            return true;
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            // F10 and Alt combinations; the system still gets them (Alt+F4).
            Enqueue({.type = message == WM_SYSKEYDOWN ? Type::KeyDown : Type::KeyUp,
                     .virtualKey = static_cast<std::uint32_t>(wParam)});
            return false;
        case WM_MOUSEMOVE: Enqueue(MouseEvent(Type::MouseMove, lParam, 0)); return true;
        case WM_LBUTTONDOWN: Enqueue(MouseEvent(Type::MouseDown, lParam, 0)); return true;
        case WM_LBUTTONUP: Enqueue(MouseEvent(Type::MouseUp, lParam, 0)); return true;
        case WM_RBUTTONDOWN: Enqueue(MouseEvent(Type::MouseDown, lParam, 1)); return true;
        case WM_RBUTTONUP: Enqueue(MouseEvent(Type::MouseUp, lParam, 1)); return true;
        case WM_MBUTTONDOWN: Enqueue(MouseEvent(Type::MouseDown, lParam, 2)); return true;
        case WM_MBUTTONUP: Enqueue(MouseEvent(Type::MouseUp, lParam, 2)); return true;
        case WM_SYSCOMMAND:
            // The command is in the upper 12 bits; the low 4 are the system's own.
            if (refuseScreenSaver_ && (wParam & 0xFFF0) == SC_SCREENSAVE) {
                result = 1;
                return true;
            }
            return false;
        case WM_ERASEBKGND:
            // Windows with a backing are painted whole from it; erasing first would flicker.
            for (auto& [id, window] : windows_)
                if (window.hwnd == hwnd && window.backing) {
                    result = 1;
                    return true;
                }
            return false;
        case WM_PAINT:
            for (auto& [id, window] : windows_)
                if (window.hwnd == hwnd) {
                    Repaint(window);
                    return true;
                }
            return false;
        default:
            return false;
    }
}

void Win32Platform::RegisterWindowClass(const std::string& className) {
    if (std::find(registeredClasses_.begin(), registeredClasses_.end(), className) != registeredClasses_.end())
        return;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("Windows refused the window class " + className + " (error " +
                                 std::to_string(GetLastError()) + ").");
    registeredClasses_.push_back(className);
}

WindowId Win32Platform::OpenWindow(const WindowSpec& spec) {
    DestroyWindow();
    RegisterWindowClass(spec.className);
    DWORD style = WS_POPUP;
    DWORD exStyle = spec.topmost ? WS_EX_TOPMOST : 0;
    PixelRect rect = spec.rect;
    HWND parent = nullptr;
    switch (spec.style) {
        case WindowStyle::Framed: {
            style = WS_OVERLAPPEDWINDOW;
            RECT outer{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
            AdjustWindowRectEx(&outer, style, FALSE, exStyle);
            rect = {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
            break;
        }
        case WindowStyle::Borderless: break;
        case WindowStyle::FullScreen: rect = GetDesktopRect(); break;
        case WindowStyle::Child:
            parent = reinterpret_cast<HWND>(spec.parent.value);
            if (!parent || !IsWindow(parent)) throw std::runtime_error("The parent window does not exist.");
            style = WS_CHILD;
            exStyle = 0;
            break;
    }
    const HWND hwnd = CreateWindowExA(exStyle, spec.className.c_str(), spec.title.c_str(), style, rect.x, rect.y,
                                      std::max(rect.width, 1), std::max(rect.height, 1), parent, nullptr,
                                      GetModuleHandleA(nullptr), this);
    if (!hwnd)
        throw std::runtime_error("Windows could not make a window (error " + std::to_string(GetLastError()) + ").");
    own_ = WindowId(nextId_++);
    Window entry;
    entry.hwnd = hwnd;
    windows_.emplace(own_.value, std::move(entry));
    return own_;
}

void Win32Platform::DestroyWindow() {
    const auto found = windows_.find(own_.value);
    own_ = {};
    if (found == windows_.end()) return;
    const HWND hwnd = Handle(found->second.hwnd);
    windows_.erase(found);
    if (IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

void Win32Platform::ShowWindow(bool visible) {
    Window* own = Live(own_);
    if (!own) return;
    const HWND hwnd = Handle(own->hwnd);
    ::ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
    if (!visible) return;
    // Keys go to the foreground window; a preview inside another window never takes it.
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) SetForegroundWindow(hwnd);
    UpdateWindow(hwnd);
}

void Win32Platform::ResizeWindow(int width, int height) {
    Window* own = Live(own_);
    if (!own) return;
    const HWND hwnd = Handle(own->hwnd);
    RECT outer{0, 0, std::max(width, 1), std::max(height, 1)};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Platform::SetWindowTitle(std::string_view title) {
    if (Window* own = Live(own_)) SetWindowTextA(Handle(own->hwnd), std::string(title).c_str());
}

std::string Win32Platform::WindowTitle() const {
    const Window* own = Find(own_);
    if (!own || !IsWindow(Handle(own->hwnd))) return {};
    char text[512] = {};
    GetWindowTextA(Handle(own->hwnd), text, sizeof text);
    return text;
}

void Win32Platform::SetTopmost(WindowId window, bool topmost) {
    Window* entry = Live(window);
    if (!entry || entry->attached) return;
    SetWindowPos(Handle(entry->hwnd), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

PixelRect Win32Platform::GetWindowRect(WindowId window) {
    Window* entry = Live(window);
    if (!entry) return {};
    RECT client;
    if (!GetClientRect(Handle(entry->hwnd), &client)) return {};
    POINT origin{0, 0};
    ClientToScreen(Handle(entry->hwnd), &origin);
    return {origin.x, origin.y, client.right - client.left, client.bottom - client.top};
}

bool Win32Platform::WindowExists(WindowId window) { return Live(window) != nullptr; }

WindowId Win32Platform::AttachWindow(NativeWindow native) {
    const HWND hwnd = reinterpret_cast<HWND>(native.value);
    if (!native || !IsWindow(hwnd)) return {};
    const WindowId id(nextId_++);
    Window entry;
    entry.hwnd = hwnd;
    entry.attached = true;
    windows_.emplace(id.value, std::move(entry));
    return id;
}

void Win32Platform::DetachWindow(WindowId window) {
    const Window* entry = Find(window);
    if (entry && entry->attached) windows_.erase(window.value);
}

PixelRect Win32Platform::GetDesktopRect() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

std::vector<PixelRect> Win32Platform::GetMonitorRects() {
    std::vector<std::pair<bool, PixelRect>> found;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&found));
    std::stable_partition(found.begin(), found.end(), [](const auto& m) { return m.first; });
    std::vector<PixelRect> monitors;
    for (const auto& [primary, rect] : found) monitors.push_back(rect);
    if (monitors.empty()) monitors.push_back(GetDesktopRect());
    return monitors;
}

int Win32Platform::GetRefreshRateHz() {
    const HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const int rate = GetDeviceCaps(screen, VREFRESH);
    ReleaseDC(nullptr, screen);
    // 0 and 1 mean "the hardware's default", which says nothing.
    return rate > 1 ? rate : 0;
}

std::optional<Point> Win32Platform::CursorScreenPosition() {
    POINT at;
    if (!GetCursorPos(&at)) return std::nullopt;
    return Point{at.x, at.y};
}

void Win32Platform::ShowCursor(bool visible) {
    // The system keeps a count, not a flag: only changes are passed on.
    if (visible == cursorShown_) return;
    ::ShowCursor(visible ? TRUE : FALSE);
    cursorShown_ = visible;
}

}  // namespace quellmoor::platform
