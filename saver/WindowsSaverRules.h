// The Windows saver's decisions, apart from the calls that carry them out, so
// they hold the same on every system and are tested where the tests run.
//
// Single instance: a run (and the debug window) gives way to a running run
// and brings it to the front; otherwise it closes a preview and, a run only,
// sets the system's screensaver-running flag, which only the instance that set
// it clears. A preview gives way only to a run: a newer preview replaces an
// older one (whose host window is going away).
//
// The password flag ("ScreenSaveUsePassword" under HKCU\Control Panel\Desktop
// on the 95/98 family): only a value of the expected type and size counts.
//
//   InstanceDecision d = DecideInstance(mode, FindWindowA(0, run), previewPublished);
//   bool ask = PasswordFlagSet(type, bytes);
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "saver/WindowsCommandLine.h"

namespace quellmoor {

struct InstanceDecision {
    bool giveWay = false;         // this instance ends before it makes a window
    bool bringRunToFront = false; // the running run is brought to the foreground
    bool closePreview = false;    // the published preview is asked to close
    bool setRunningFlag = false;  // this instance tells the system a saver runs
    bool publishPreview = false;  // this instance publishes its window as the preview
};

InstanceDecision DecideInstance(WinSaverMode mode, bool runExists, bool previewExists);

// Window titles marking an instance: program name + "_RUN" / "_PREVIEW".
std::string RunTitle(const std::string& programName);
std::string PreviewTitle(const std::string& programName);

// Registry value kinds as the registry numbers them.
inline constexpr std::uint32_t kRegString = 1, kRegBinary = 3, kRegDword = 4;

// True when the value asks for a password: a 4-byte DWORD (or binary) that is
// not zero, or a string reading a non-zero number. Anything else is no password.
bool PasswordFlagSet(std::uint32_t type, std::span<const std::uint8_t> bytes);

}  // namespace quellmoor
