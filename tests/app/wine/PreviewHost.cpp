// A stand-in for the display settings dialog: makes a 152 x 112 window, starts
// the saver with "/p" and that window's handle, checks that the saver's window
// became a child of it, closes the window after a while and waits for the
// saver to end with it.
//
//   PreviewHost.exe PATH\Vexmon.scr [MS]     (MS: how long the window stays, 4000)
//   PreviewHost.exe --running-flag          exit 1 while the system's screensaver-running
//                                           flag is set, 0 when clear, 2 when unknown
//
// Exit status: the saver's own when it ended after the window closed; 3 when it
// ended before; 4 when it did not end within 10 s of the window closing; 5 when
// no saver window appeared inside ours; 6 when it could not be started.
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/scr/SaverLog.h"
#include "app/scr/StageWindow.h"
#include "platform/win32/WindowsApi.h"

namespace {

using quellmoor::LogLine;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Handles messages until `ms` have passed or `process` ends; true when it ended.
bool PumpFor(DWORD ms, HANDLE process) {
    const DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, ms - passed, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return true;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

BOOL CALLBACK FindSaver(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "QuellmoorWindowClass") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (std::strcmp(argv[1], "--running-flag") == 0) {
        BOOL running = FALSE;
        if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return 2;
        return running ? 1 : 0;
    }
    const DWORD keepMs = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 4000;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &HostProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "VexmonPreviewHost";
    RegisterClassA(&windowClass);
    RECT frame{0, 0, 152, 112};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = CreateWindowExA(0, "VexmonPreviewHost", "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                nullptr);
    if (!host) return 6;
    // As the display settings pass it: the handle's low 32 bits in decimal.
    std::string command = "\"" + std::string(argv[1]) + "\" /p " + std::to_string(quellmoor::NumberFromHandle(host));
    LogLine("host: " + command);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 6;
    CloseHandle(process.hThread);

    int status = 0;
    if (PumpFor(keepMs, process.hProcess)) {
        LogLine("host: the saver ended before its window closed");
        status = 3;
    } else {
        HWND saver = nullptr;
        EnumChildWindows(host, &FindSaver, reinterpret_cast<LPARAM>(&saver));
        LogLine(saver ? "host: the saver's window is inside ours" : "host: no saver window inside ours");
        if (!saver) status = 5;
    }
    DestroyWindow(host);
    if (status == 0) {
        if (!PumpFor(10000, process.hProcess)) {
            LogLine("host: the saver did not end with its window");
            TerminateProcess(process.hProcess, 99);
            status = 4;
        } else {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            LogLine("host: the saver ended with status " + std::to_string(code));
            status = static_cast<int>(code);
        }
    }
    CloseHandle(process.hProcess);
    return status;
}
