// The Win32 backend's life, clock and waiting: the performance counter as a
// 64-bit millisecond clock, waits that sleep in the kernel until the deadline
// or until a message arrives, and the message pump that fills the input queue.
#include <algorithm>
#include <stdexcept>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

namespace quellmoor::platform {

namespace {

// Longest single kernel wait; the caller loops, so this only bounds one call.
constexpr std::int64_t kLongestWaitMs = 1000;

}  // namespace

Win32Platform::Win32Platform(Win32Options options) : options_(std::move(options)) {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        throw std::runtime_error("This system has no high-resolution counter.");
    frequency_ = frequency.QuadPart;
    // Kernel waits end on the system timer's tick, 15.6 ms by default: a 25 ms
    // animation step would wake up to 15 ms late without this.
    timeBeginPeriod(1);
}

Win32Platform::~Win32Platform() {
    ReleaseInstanceLock();
    StopSound();
    while (!windows_.empty()) {
        const auto first = windows_.begin();
        const HWND hwnd = static_cast<HWND>(first->second.hwnd);
        if (!first->second.attached && IsWindow(hwnd)) {
            // The messages of its destruction no longer reach a backend going away.
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            ::DestroyWindow(hwnd);
        }
        windows_.erase(first);
    }
    if (!cursorShown_) ::ShowCursor(TRUE);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const std::string& name : registeredClasses_) UnregisterClassA(name.c_str(), instance);
    timeEndPeriod(1);
}

bool Win32Platform::Supports(Feature feature) const {
    switch (feature) {
        case Feature::Sound: return waveOutGetNumDevs() > 0;
        default: return true;
    }
}

std::int64_t Win32Platform::NowMs() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    // Split so ticks × 1000 cannot overflow however long the machine has run.
    const std::int64_t ticks = counter.QuadPart;
    return ticks / frequency_ * 1000 + ticks % frequency_ * 1000 / frequency_;
}

void Win32Platform::Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Someone asked the thread to end: the loop hears it as a close.
            Enqueue({.type = InputEvent::Type::Close});
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Win32Platform::WaitUntil(std::int64_t deadlineMs) {
    Pump();
    while (input_.empty()) {
        const std::int64_t remaining = deadlineMs - NowMs();
        if (remaining <= 0) return;
        // MWMO_INPUTAVAILABLE also wakes for messages that arrived before the
        // call; each wake is followed by a pump, so the loop never spins.
        const DWORD wait = static_cast<DWORD>(std::min(remaining, kLongestWaitMs));
        const DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) {
            Sleep(wait);
            return;
        }
        Pump();
    }
}

bool Win32Platform::PollEvent(InputEvent& event) {
    if (input_.empty()) Pump();
    if (input_.empty()) return false;
    event = input_.front();
    input_.pop_front();
    return true;
}

LocalDateTime Win32Platform::LocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
            now.wDayOfWeek};
}

}  // namespace quellmoor::platform
