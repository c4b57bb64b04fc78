#include "app/scr/StageWindow.h"

#include <cstring>

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

HWND FindStageWindow(HWND parent) {
    Search search;
    if (parent) EnumChildWindows(parent, &Consider, reinterpret_cast<LPARAM>(&search));
    else EnumThreadWindows(search.thread, &Consider, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND StageWindowHandle(RDibStage& stage, HWND parent) {
    return stage.GetOwnWindow() ? FindStageWindow(parent) : nullptr;
}

}  // namespace quellmoor
