// The pieces every mode of `vexmon` shares: the hosts it runs on, the content
// directory it falls back to, and one run of the saver on a stage.
//
//   auto host = MakeHeadlessHost(line);          // virtual clock, real settings file
//   SaverRunResult result = RunSaver(*host, line, options, [](RDibStage& stage) { ... });
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/headless/HeadlessPlatform.h"
#include "saver/CommandLine.h"
#include "saver/Screensaver.h"

namespace quellmoor {

class RDibStage;
class SceneFolder;

inline constexpr const char* kProgramName = "vexmon";

// Prints "vexmon: <message>" on standard error.
void PrintError(const std::string& message);

// Where the per-user settings live on this system ($XDG_CONFIG_HOME/vexmon,
// else ~/.config/vexmon); empty when neither is known.
std::string SettingsFolder();

// The content folder when the settings name none (FindContentDir for this program).
std::string DefaultContentDir(platform::Platform& host);

enum class SettingsUse { ReadWrite, ReadOnly };

// A windowless host on the virtual clock, with fonts, the embedded stream, the
// real settings folder and a desktop of --size (default 800 x 600). ReadOnly
// reads the settings file once and keeps what the show writes (the scenes it
// has shown) in memory, so a recording leaves the user's settings alone and
// the same settings and seed record the same file.
std::unique_ptr<platform::HeadlessPlatform> MakeHeadlessHost(const CommandLine& line, SettingsUse use);

// The settings for this run (ReadSaverSettings) with the platform current;
// with --scene, `scenes` becomes the folder holding only those files and Dir
// names it. Throws RException when a scene file cannot be found.
SaverSettings ResolveSettings(platform::Platform& host, const CommandLine& line,
                              std::unique_ptr<SceneFolder>& scenes);

struct SaverRunResult {
    bool ran = false;     // the window was made and the show ran
    std::string error;    // why it did not, or why the show could not be built
};

// Makes the stage with the saver, loads the stream and runs until the saver
// or `prepare`'s additions end it. `prepare` runs once the stream is loaded,
// before the run starts.
SaverRunResult RunSaver(platform::Platform& host, const CommandLine& line, SaverOptions options,
                        const std::function<void(RDibStage&)>& prepare = {});

}  // namespace quellmoor
