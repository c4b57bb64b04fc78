// The Windows screensaver command line: which mode the system asks for.
//
// Windows starts a screensaver as "Vexmon.scr /s" (run), "/p HWND" (preview in
// the display settings), "/c" or "/c:HWND" (configure; no arguments at all also
// means configure), "/a HWND" (change the password, the 95/98 family) and, for
// us, "/d" (a debug window). The program path is skipped (quoted or not), and
// each argument is compared whole: "/x" or "-x" in any case, a value after ":"
// or in the next argument, so a folder named "-c" or "/d" in the install path
// switches nothing. Window handles are decimal, range-checked, never 0.
// Arguments that are no switch of ours are ignored; the first switch decides.
//
//   WindowsCommandLine line = ParseWindowsCommandLine(GetCommandLineA());
//   if (line.mode == WinSaverMode::Preview) AttachTo(*line.window);
//
// A bad or missing handle throws WindowsCommandLineError; the program then
// exits quietly with a non-zero status.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Exceptions.h"

namespace quellmoor {

class WindowsCommandLineError : public RParamException {
public:
    using RParamException::RParamException;
};

enum class WinSaverMode {
    Run,             // "/s", or arguments with no switch of ours
    Preview,         // "/p HWND"
    Config,          // "/c", "/c:HWND", or no arguments
    ChangePassword,  // "/a HWND"
    Debug,           // "/d"
};

struct WindowsCommandLine {
    WinSaverMode mode = WinSaverMode::Config;
    // Preview: the host window; configure and change password: the parent, if given.
    std::optional<std::uint32_t> window;

    bool operator==(const WindowsCommandLine&) const = default;
};

// Splits a whole command line (GetCommandLineA) as the C runtime does: the
// program path up to its closing quote or the first blank, then arguments
// split at blanks, with quotes grouping and backslashes before quotes escaping.
// The program path is returned first.
std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine);

// The arguments after the program path.
WindowsCommandLine ParseWindowsArguments(std::span<const std::string> arguments);
// A whole command line, program path included.
WindowsCommandLine ParseWindowsCommandLine(std::string_view commandLine);

// A decimal window handle, 1 to 4294967295; nullopt for anything else.
std::optional<std::uint32_t> ParseWindowHandle(std::string_view text);

}  // namespace quellmoor
