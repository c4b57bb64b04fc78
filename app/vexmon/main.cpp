// vexmon: the show as a screensaver on Linux.
//
//   vexmon                        the show in a window (Esc or closing it ends it)
//   vexmon --fullscreen           full screen until the mouse, a click or a key
//   vexmon --record show.gif --seconds 20 --seed 7
//   vexmon --screenshot frame.png --at 12
//   vexmon --config | --list-scenes | --help
//
// `vexmon --help` lists every mode and option (saver/CommandLine.h).
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/vexmon/Capture.h"
#include "app/vexmon/Info.h"
#include "app/vexmon/SaverRun.h"
#include "app/vexmon/SceneFolder.h"
#include "content/EmbeddedContent.h"
#include "platform/Backends.h"
#include "saver/CommandLine.h"

namespace {

using namespace quellmoor;

// Window, full screen and debug: the show on the display, through SDL.
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
    options.windowMode = line.mode == SaverMode::Window;
    // Boxes only where someone sits before a framed window; the full screen stays quiet.
    options.quietErrors = line.mode == SaverMode::Fullscreen;
    const SaverRunResult run = RunSaver(*host, line, std::move(options));
    if (!run.error.empty()) {
        PrintError(run.error);
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
        case SaverMode::Debug: return ShowOnDisplay(line);
        case SaverMode::Hack: break;
    }
    PrintError("drawing into another program's window (-root, -window-id) is not available yet");
    return 1;
}
