// VexmonAbout.exe: the configure program Vexmon.scr /c starts from Dir.
//
// A small window of plain controls: what Vexmon is, the ship's skin (the
// bitmaps in Skins beside this program), the engine (as Sounds offers them)
// and the sound switch. OK writes them to the saver's settings file (the
// backend's per-user control.ini, replaced atomically, other keys kept);
// Cancel or closing the window leaves the file alone.
//
// For tests: VEXMON_LOG names a log file ("about: shown", "about: saved ...");
// VEXMON_ABOUT_PICK="skin,engine,sound" picks those as a user would and
// presses OK; VEXMON_QUIT_AFTER_MS cancels after that many milliseconds.
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/scr/AboutText.h"
#include "app/scr/SaverLog.h"
#include "platform/Backends.h"
#include "platform/win32/WindowsApi.h"
#include "saver/SaverChoices.h"

namespace {

using namespace quellmoor;

constexpr const char* kClassName = "VexmonAboutWindow";
constexpr const char* kKeepSkin = "(as built)";
constexpr int kSkinBox = 101, kEngineBox = 102, kSoundBox = 103;
constexpr UINT_PTR kQuitTimer = 1;
constexpr UINT kPickMessage = WM_APP + 1;

struct About {
    std::string dir;
    std::vector<std::string> skins, engines;
    SaverChoices choices;
    HWND window = nullptr, skin = nullptr, engine = nullptr, sound = nullptr, ok = nullptr;
};

About* state = nullptr;  // the one window's state, for the window procedure

std::string ProgramDir() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    const auto slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : text.substr(0, slash);
}

HWND Control(HWND parent, const char* kind, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND control = CreateWindowExA(0, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                   nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}

void Fill(HWND box, const std::vector<std::string>& items, const std::string& selected) {
    for (const std::string& item : items) SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    const LRESULT at = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(selected.c_str()));
    SendMessageA(box, CB_SETCURSEL, at == CB_ERR ? 0 : static_cast<WPARAM>(at), 0);
}

std::string Selected(HWND box) {
    const LRESULT at = SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR) return {};
    char text[MAX_PATH] = {};
    SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
    return text;
}

void Build(About& about, HWND window) {
    about.window = window;
    Control(window, "STATIC", kAboutText, SS_LEFT, 12, 12, 396, 110, 0);
    Control(window, "STATIC", "Ship's skin:", SS_LEFT, 12, 136, 100, 20, 0);
    about.skin = Control(window, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 120, 132, 200, 200,
                         kSkinBox);
    std::vector<std::string> skins{kKeepSkin};
    skins.insert(skins.end(), about.skins.begin(), about.skins.end());
    Fill(about.skin, skins, about.choices.skin.empty() ? kKeepSkin : about.choices.skin);
    Control(window, "STATIC", "Engine:", SS_LEFT, 12, 168, 100, 20, 0);
    about.engine = Control(window, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 120, 164, 200, 200,
                           kEngineBox);
    Fill(about.engine, about.engines, about.choices.engine);
    about.sound = Control(window, "BUTTON", "Sounds", BS_AUTOCHECKBOX | WS_TABSTOP, 120, 196, 200, 20, kSoundBox);
    SendMessageA(about.sound, BM_SETCHECK, about.choices.sound ? BST_CHECKED : BST_UNCHECKED, 0);
    about.ok = Control(window, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 228, 236, 86, 26, IDOK);
    Control(window, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 322, 236, 86, 26, IDCANCEL);
}

bool Save(About& about) {
    SaverChoices chosen;
    const std::string skin = Selected(about.skin);
    chosen.skin = skin == kKeepSkin ? std::string() : skin;
    // The choices' own default stands when nothing is picked.
    if (std::string engine = Selected(about.engine); !engine.empty()) chosen.engine = std::move(engine);
    chosen.sound = SendMessageA(about.sound, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (!WriteChoices(chosen)) {
        LogLine("about: the settings could not be saved");
        MessageBoxA(about.window, "The settings could not be saved.", kAboutTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    // Appended piece by piece: GCC 12 at -O3 mistakes a chain of + for an overlapping copy.
    std::string line = "about: saved skin \"";
    line.append(chosen.skin).append("\" engine ").append(chosen.engine);
    line.append(chosen.sound ? " sound on" : " sound off");
    LogLine(line);
    return true;
}

// The test hook: "skin,engine,sound" picked in the controls, then OK pressed.
void Pick(About& about, const std::string& pick) {
    std::vector<std::string> parts(1);
    for (const char c : pick) {
        if (c == ',') parts.emplace_back();
        else parts.back().push_back(c);
    }
    parts.resize(3);
    if (!parts[0].empty())
        SendMessageA(about.skin, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(parts[0].c_str()));
    if (!parts[1].empty())
        SendMessageA(about.engine, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(parts[1].c_str()));
    if (!parts[2].empty()) SendMessageA(about.sound, BM_SETCHECK, parts[2] == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(about.ok, BM_CLICK, 0, 0);
}

LRESULT CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: Build(*state, window); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                if (Save(*state)) DestroyWindow(window);
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                DestroyWindow(window);
                return 0;
            }
            break;
        case WM_TIMER:
            if (wParam == kQuitTimer) DestroyWindow(window);
            return 0;
        case kPickMessage:
            if (const char* pick = std::getenv("VEXMON_ABOUT_PICK")) Pick(*state, pick);
            return 0;
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShowAbout() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &AboutProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(32512));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return 1;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 420, 274};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, kClassName, kAboutTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    LogLine("about: shown");
    if (const char* ms = std::getenv("VEXMON_QUIT_AFTER_MS"); ms && std::atoi(ms) > 0)
        SetTimer(window, kQuitTimer, static_cast<UINT>(std::atoi(ms)), nullptr);
    if (std::getenv("VEXMON_ABOUT_PICK")) PostMessageA(window, kPickMessage, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int main() {
    try {
        // Only the backend's settings file is used: where it lives, reading it, replacing it.
        std::unique_ptr<platform::Platform> host = platform::CreateBackend(platform::DefaultBackendName(), {});
        platform::SetCurrentPlatform(host.get());
        About about;
        about.dir = ProgramDir();
        about.skins = ListSkins(about.dir);
        about.engines = ListEngines(about.dir);
        about.choices = ReadChoices();
        state = &about;
        const int status = ShowAbout();
        state = nullptr;
        platform::SetCurrentPlatform(nullptr);
        return status;
    } catch (const std::exception& e) {
        LogLine(std::string("about: ") + e.what());
        return 1;
    }
}
