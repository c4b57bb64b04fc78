#include "app/vexmon/SaverRun.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <random>

#include "animation/Registration.h"
#include "app/vexmon/ContentPlace.h"
#include "content/EmbeddedContent.h"
#include "model/Exceptions.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "saver/LinuxSaverEngine.h"
#include "scenes/Control.h"
#include "scenes/Report.h"
#include "scenes/SceneFolder.h"
#include "stage/DibStage.h"

namespace quellmoor {

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultWidth = 800, kDefaultHeight = 600;

std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') return {};
    return value;
}

std::vector<std::uint8_t> MainStream() {
    const auto bytes = EmbeddedMainStream();
    return {bytes.begin(), bytes.end()};
}

// The platform is current for the stage's lifetime and no longer.
struct CurrentPlatform {
    explicit CurrentPlatform(platform::Platform& host) { platform::SetCurrentPlatform(&host); }
    ~CurrentPlatform() { platform::SetCurrentPlatform(nullptr); }
    CurrentPlatform(const CurrentPlatform&) = delete;
    CurrentPlatform& operator=(const CurrentPlatform&) = delete;
};

}  // namespace

void PrintError(const std::string& message) { std::fprintf(stderr, "%s: %s\n", kProgramName, message.c_str()); }

std::string SettingsFolder() {
    fs::path base = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (base.empty()) {
        const std::string home = AbsoluteFromEnvironment("HOME");
        if (home.empty()) return {};
        base = fs::path(home) / ".config";
    }
    return (base / kProgramName).string();
}

std::string DefaultContentDir(platform::Platform& host) {
    return FindContentDir(host.GetProgramPath(), {.programDir = QM_BUILT_PROGRAM_DIR, .contentDir = BuiltContentDir()});
}

std::unique_ptr<platform::HeadlessPlatform> MakeHeadlessHost(const CommandLine& line, SettingsUse use) {
    platform::HeadlessOptions options;
    options.desktop = {0, 0, line.width.value_or(kDefaultWidth), line.height.value_or(kDefaultHeight)};
    options.keepScreen = false;
    options.drawingContexts = CreateFontDrawingContext;
    // The content is found beside the program, so the host reports the real one.
    if (std::string program = platform::SdlPlatform::RunningProgramPath(); !program.empty())
        options.programPath = std::move(program);
    const std::string folder = SettingsFolder();
    if (use == SettingsUse::ReadWrite) options.settingsFolder = folder;
    options.randomSeed = std::random_device{}();
    auto host = std::make_unique<platform::HeadlessPlatform>(options);
    host->SetEmbeddedContent(MainStream());
    if (use == SettingsUse::ReadOnly && !folder.empty()) {
        std::ifstream file(fs::path(folder) / kControlFileName, std::ios::binary);
        if (file) {
            std::ostringstream contents;
            contents << file.rdbuf();
            host->SetFile(host->SettingsFilePath(kControlFileName), contents.str());
        }
    }
    return host;
}

SaverSettings ResolveSettings(platform::Platform& host, const CommandLine& line,
                              std::unique_ptr<SceneFolder>& scenes) {
    CurrentPlatform current(host);
    SaverSettings settings = ReadSaverSettings(line, DefaultContentDir(host));
    if (!line.scenes.empty()) {
        scenes = std::make_unique<SceneFolder>(settings.dir, line.scenes);
        settings.dir = scenes->Path();
    }
    return settings;
}

SaverRunResult RunSaver(platform::Platform& host, const CommandLine& line, SaverOptions options,
                        const std::function<void(RDibStage&)>& prepare) {
    CurrentPlatform current(host);
    RegisterAnimationClasses();
    SaverRunResult result;
    std::string failure;
    // What went wrong before the run (the stream, the window) ends it with a reason.
    SetReportSink([&failure](const std::string& message) {
        if (failure.empty()) failure = message;
        std::fprintf(stderr, "%s: %s\n", kProgramName, message.c_str());
    });
    {
        RDibStage stage;
        auto* saver = MakeOwned<RScreensaver>(stage, std::make_unique<RLinuxSaverEngine>(line), std::move(options));
        stage.AddComponentStream(stage.OpenContent().get());
        if (stage.GetOwnWindow() && !stage.IsQuitting()) {
            if (prepare) prepare(stage);
            result.ran = true;
            stage.Run();
        }
        result.error = saver->Error();
        if (!result.ran && result.error.empty()) result.error = failure;
    }
    SetReportSink({});
    return result;
}

}  // namespace quellmoor
