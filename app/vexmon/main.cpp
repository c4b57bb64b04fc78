// vexmon: the show as a screensaver on Linux.
//
//   vexmon                        the show in a window (Esc or closing it ends it)
//   vexmon --fullscreen           full screen until the mouse, a click or a key
//   vexmon --record show.gif --seconds 20 --seed 7
//   vexmon --screenshot frame.png --at 12
//   vexmon --window-id 0x3a00007    as an XScreenSaver hack, drawn into that window
//   vexmon --config | --list-scenes | --help
//
// `vexmon --help` lists every mode and option (saver/CommandLine.h).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/vexmon/Capture.h"
#include "app/vexmon/Info.h"
#include "app/vexmon/SaverRun.h"
#include "content/EmbeddedContent.h"
#include "platform/Backends.h"
#include "saver/CommandLine.h"
#include "scenes/SceneFolder.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"

namespace {

using namespace quellmoor;

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

// A hack ends when the daemon says so (SIGTERM, SIGINT) or its window goes away.
class HackWatch : public RObject {
public:
    static constexpr double kEveryMs = 100.0;

    explicit HackWatch(RDibStage& stage) : stage_(stage) {
        auto* timer = MakeOwned<RTimer>("HackWatch", &stage, kEveryMs, true);
        timer->AddEventHandler("OnTimer", &OnTick, this);
    }

private:
    static void OnTick(RComponent*, REvent*, RObject* data) {
        auto& self = static_cast<HackWatch&>(*data);
        if (stopRequested || !platform::CurrentPlatform().WindowExists(self.stage_.GetTargetWindow()))
            self.stage_.Quit();
    }
    RDibStage& stage_;
};

// Window, full screen, debug and hack: the show on the display, through SDL.
int ShowOnDisplay(const CommandLine& line) {
    const auto bytes = EmbeddedMainStream();
    std::unique_ptr<platform::Platform> host;
    try {
        host = platform::CreateBackend("sdl", {.content = std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    } catch (const std::exception& e) {
        PrintError(std::string("no display to show the show on: ") + e.what());
        return 1;
    }
    std::unique_ptr<SceneFolder> scenes;
    SaverOptions options;
    try {
        options.settings = ResolveSettings(*host, line, scenes);
    } catch (const RException& e) {
        PrintError(e.GetMessage());
        return 1;
    }
    const bool hack = line.mode == SaverMode::Hack;
    // A hack never ends on input and plays no sound, by the daemon's
    // convention, unless its command line asks for sound (the settings dialog's choice).
    options.windowMode = line.mode == SaverMode::Window || hack;
    if (hack && !line.sound) options.settings.sound = false;
    // Boxes only where someone sits before a framed window; full screen and hack stay quiet.
    options.quietErrors = line.mode == SaverMode::Fullscreen || hack;
    std::unique_ptr<HackWatch> watch;
    if (hack) {
        std::signal(SIGTERM, &RequestStop);
        std::signal(SIGINT, &RequestStop);
    }
    const SaverRunResult run = RunSaver(*host, line, std::move(options), [&](RDibStage& stage) {
        if (hack) watch = std::make_unique<HackWatch>(stage);
    });
    if (!run.error.empty()) {
        PrintError(run.error);
        return 1;
    }
    if (hack && !run.ran) {
        if (!line.windowId) {
            PrintError("no window to draw into: this display has no root window to draw on");
            return 1;
        }
        char id[16];
        std::snprintf(id, sizeof id, "0x%x", static_cast<unsigned>(*line.windowId));
        PrintError(std::string("the window ") + id + " does not exist");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    try {
        line = ParseCommandLine(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    } catch (const CommandLineError& e) {
        PrintError(e.GetMessage());
        std::fprintf(stderr, "Try \"%s --help\".\n", kProgramName);
        return 2;
    }
    switch (line.mode) {
        case SaverMode::Help: std::cout << CommandLineHelp(); return 0;
        case SaverMode::Config: return PrintConfig(line);
        case SaverMode::ListScenes: return ListScenes(line);
        case SaverMode::Record: return RecordShow(line);
        case SaverMode::Screenshot: return TakeScreenshot(line);
        case SaverMode::Window:
        case SaverMode::Fullscreen:
        case SaverMode::Debug:
        case SaverMode::Hack: return ShowOnDisplay(line);
    }
    return 1;
}
