#include "app/scr/StageWindow.h"

#include <cstring>

#include "platform/win32/Win32Platform.h"
#include "stage/DibStage.h"

namespace quellmoor {

namespace {

constexpr const char* kStageClass = "QuellmoorWindowClass";

struct Search {
    DWORD thread = GetCurrentThreadId();
    HWND found = nullptr;
};

BOOL CALLBACK Consider(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    if (GetWindowThreadProcessId(window, nullptr) != search.thread) return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, kStageClass) != 0) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

HWND HandleFromNumber(std::uint32_t number) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(number)));
}

std::uint32_t NumberFromHandle(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}

HWND FindStageWindow(HWND parent) {
    Search search;
    if (parent) EnumChildWindows(parent, &Consider, reinterpret_cast<LPARAM>(&search));
    else EnumThreadWindows(search.thread, &Consider, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND StageWindowHandle(RDibStage& stage, HWND parent) {
    if (!stage.GetOwnWindow()) return nullptr;
    // The Win32 backend knows its window; any other backend's is searched for.
    if (platform::HasCurrentPlatform())
        if (auto* windows = dynamic_cast<platform::Win32Platform*>(&platform::CurrentPlatform()))
            if (const platform::NativeWindow native = windows->NativeHandle(stage.GetOwnWindow()))
                return reinterpret_cast<HWND>(native.value);
    return FindStageWindow(parent);
}

}  // namespace quellmoor
