// Vexmon.scr: the show as a Windows screensaver.
//
//   Vexmon.scr /s          full screen until the mouse, a click or a key
//   Vexmon.scr /p HWND     the preview inside the display settings' window
//   Vexmon.scr /c[:HWND]   configure: VexmonAbout.exe from Dir, else our about box
//   Vexmon.scr /a HWND     the system's password change (95/98 family)
//   Vexmon.scr /d          a 640 x 480 window showing the frame rate
//
// `Dir` (scenes, Skins, Sounds, the configure program) defaults to the
// program's own folder; the settings are the backend's per-user control.ini.
// A command line that cannot be understood ends the program quietly with
// status 2; a preview whose window does not exist, or a show that cannot be
// built, with status 1. For tests, VEXMON_LOG names a log file and
// VEXMON_QUIT_AFTER_MS ends the run after that many milliseconds.
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "animation/Registration.h"
#include "app/scr/AboutText.h"
#include "app/scr/ContentResource.h"
#include "app/scr/SaverLog.h"
#include "app/scr/StageWindow.h"
#include "app/scr/WinSaver.h"
#include "model/Exceptions.h"
#include "platform/Backends.h"
#include "platform/win32/WindowsApi.h"
#include "saver/CommandLine.h"
#include "saver/Screensaver.h"
#include "saver/WindowsCommandLine.h"
#include "scenes/Report.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"

namespace {

using namespace quellmoor;

constexpr const char* kAboutProgram = "VexmonAbout.exe";

const char* ModeName(WinSaverMode mode) {
    switch (mode) {
        case WinSaverMode::Run: return "run";
        case WinSaverMode::Preview: return "preview";
        case WinSaverMode::Config: return "configure";
        case WinSaverMode::ChangePassword: return "change password";
        case WinSaverMode::Debug: return "debug";
    }
    return "?";
}

HWND ToHandle(std::optional<std::uint32_t> handle) {
    return handle ? HandleFromNumber(*handle) : nullptr;
}

// The platform is current while the program uses it, and no longer.
struct CurrentPlatform {
    explicit CurrentPlatform(platform::Platform& host) { platform::SetCurrentPlatform(&host); }
    ~CurrentPlatform() { platform::SetCurrentPlatform(nullptr); }
    CurrentPlatform(const CurrentPlatform&) = delete;
    CurrentPlatform& operator=(const CurrentPlatform&) = delete;
};

// The folder this program file is in (Dir's default), asked of the system itself.
std::string ProgramDir() {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    const std::string path(buffer, length < MAX_PATH ? length : 0);
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Ends the run after a set time: how the tests stop a show they only look at.
class QuitAfter : public RObject {
public:
    QuitAfter(RDibStage& stage, double ms) : stage_(stage) {
        auto* timer = MakeOwned<RTimer>("QuitAfter", &stage, ms, true);
        timer->AddEventHandler("OnTimer", &OnTick, this);
    }

private:
    static void OnTick(RComponent*, REvent*, RObject* data) { static_cast<QuitAfter&>(*data).stage_.Quit(); }
    RDibStage& stage_;
};

std::optional<double> QuitAfterMs() {
    const char* text = std::getenv("VEXMON_QUIT_AFTER_MS");
    if (!text || !*text) return std::nullopt;
    const double ms = std::atof(text);
    return ms > 0 ? std::optional<double>(ms) : std::nullopt;
}

// "/c": our configure program from Dir when it is there, else our own words.
int Configure(std::optional<std::uint32_t> parent) {
    const SaverSettings settings = ReadSaverSettings(CommandLine{}, ProgramDir());
    const std::string about = settings.dir + "\\" + kAboutProgram;
    if (IsFile(about)) {
        const auto started = reinterpret_cast<INT_PTR>(
            ShellExecuteA(ToHandle(parent), "open", about.c_str(), nullptr, settings.dir.c_str(), SW_SHOW));
        if (started > 32) {
            LogLine("configure: started " + about);
            return 0;
        }
        LogLine("configure: " + about + " could not be started");
    }
    MessageBoxA(ToHandle(parent), kAboutText, kAboutTitle, MB_OK | MB_ICONINFORMATION);
    return 0;
}

int RunShow(const WindowsCommandLine& line) {
    RegisterAnimationClasses();
    SaverOptions options;
    options.settings = ReadSaverSettings(CommandLine{}, ProgramDir());
    // A preview takes no input; the debug window is the one place for boxes.
    options.windowMode = line.mode == WinSaverMode::Preview;
    options.quietErrors = line.mode != WinSaverMode::Debug;
    RDibStage stage;
    auto engine = std::make_unique<RWinSaver>(line);
    const RWinSaver& winSaver = *engine;
    auto* saver = MakeOwned<RScreensaver>(stage, std::move(engine), std::move(options));
    stage.AddComponentStream(stage.OpenContent().get());
    if (winSaver.GaveWay()) return 0;
    if (!winSaver.Failure().empty()) {
        LogLine(winSaver.Failure());
        return 1;
    }
    if (!stage.GetOwnWindow() || stage.IsQuitting()) {
        if (!saver->Error().empty()) LogLine(saver->Error());
        return 1;
    }
    std::unique_ptr<QuitAfter> quitAfter;
    if (const auto ms = QuitAfterMs()) quitAfter = std::make_unique<QuitAfter>(stage, *ms);
    const RRect area = stage.GetWindowRect();
    LogLine("showing " + std::to_string(static_cast<int>(area.width)) + "x" +
            std::to_string(static_cast<int>(area.height)));
    stage.Run();
    if (!saver->Error().empty()) {
        LogLine(saver->Error());
        return 1;
    }
    return 0;
}

}  // namespace

int main() {
    WindowsCommandLine line;
    try {
        line = ParseWindowsCommandLine(GetCommandLineA());
    } catch (const WindowsCommandLineError& e) {
        LogLine(e.GetMessage());
        return 2;
    }
    LogLine(std::string("mode ") + ModeName(line.mode) + (line.window ? " " + std::to_string(*line.window) : ""));
    if (line.mode == WinSaverMode::ChangePassword) {
        RWinSaver::ChangePassword(line.window);
        return 0;
    }
    SetReportSink([](const std::string& message) { LogLine(message); });
    int status = 1;
    try {
        std::unique_ptr<platform::Platform> host = platform::CreateBackend(
            platform::DefaultBackendName(), {.content = ReadContentResource(), .realClock = true});
        const CurrentPlatform current(*host);
        status = line.mode == WinSaverMode::Config ? Configure(line.window) : RunShow(line);
    } catch (const std::exception& e) {
        LogLine(e.what());
        status = 1;
    }
    SetReportSink({});
    LogLine("ended with status " + std::to_string(status));
    return status;
}
