// The `vexmon` program's command line: which mode to run and what to override.
//
// Every flag takes one dash or two ("-root", "--root"); a value follows as the
// next argument or after "=" ("--seconds 20", "--seconds=20"). Arguments are
// compared whole, and the program path is never looked at. At most one mode
// may be given (the same one twice is fine; "-root" and "-window-id" are both
// the hack); none means a window. XScreenSaver starts a hack with "-root" and
// names the window to draw into in XSCREENSAVER_WINDOW: that value counts with
// "-root" or when no mode is given, and an explicit "-window-id" wins over it.
// The other standard hack flags are accepted and ignored.
//
//   CommandLine line = ParseCommandLine(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
//   if (line.mode == SaverMode::Help) std::cout << CommandLineHelp();
//
// Problems throw CommandLineError carrying the message for the user, such as
// `--seconds: "x" is not a number`.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Exceptions.h"

namespace quellmoor {

class CommandLineError : public RParamException {
public:
    using RParamException::RParamException;
};

enum class SaverMode {
    Window,      // a framed window (the default, or --window)
    Fullscreen,  // -s, --fullscreen
    Debug,       // -d, --debug
    Hack,        // -root, -window-id ID, or XSCREENSAVER_WINDOW
    Config,      // -c, --config
    Record,      // --record FILE.gif --seconds N
    Screenshot,  // --screenshot FILE.png --at SECONDS
    ListScenes,  // --list-scenes
    Help,        // --help
};

struct CommandLine {
    SaverMode mode = SaverMode::Window;
    // Hack: the window to draw into; none means the root window.
    std::optional<std::uint32_t> windowId;
    // Record and Screenshot: the file to write.
    std::string outputPath;
    double recordSeconds = 0;      // Record
    double screenshotSeconds = 0;  // Screenshot: the time on the show's clock

    // Settings overridden for this run only; empty keeps the setting.
    std::optional<std::string> dir;
    std::optional<std::string> skin;    // a bare name
    std::optional<std::string> engine;  // a bare name
    std::optional<bool> sound;
    std::optional<std::uint32_t> seed;
    std::optional<int> width, height;  // --size, both or neither
    std::optional<int> scale;
    std::vector<std::string> scenes;  // --scene, in the order given

    bool operator==(const CommandLine&) const = default;
};

// The arguments after the program path. xscreensaverWindow is the
// environment's XSCREENSAVER_WINDOW (none or empty when it is not set).
CommandLine ParseCommandLine(std::span<const std::string_view> arguments,
                             std::optional<std::string_view> xscreensaverWindow);
// main's arguments; argv[0] is skipped. A null xscreensaverWindow is not set.
CommandLine ParseCommandLine(int argc, const char* const* argv, const char* xscreensaverWindow);

// The --help text: every mode and every option.
std::string CommandLineHelp();

}  // namespace quellmoor
