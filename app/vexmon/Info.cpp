#include "app/vexmon/Info.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "animation/Registration.h"
#include "app/vexmon/SaverRun.h"
#include "scenes/Control.h"
#include "scenes/Report.h"
#include "scenes/Scene.h"
#include "scenes/SceneFolder.h"
#include "scenes/SceneManager.h"
#include "scenes/Show.h"
#include "stage/DibStage.h"

namespace quellmoor {

namespace {

// No value the settings file can hold (values are single lines).
constexpr const char* kAbsent = "\n";

struct Current {
    explicit Current(platform::Platform& host) { platform::SetCurrentPlatform(&host); }
    ~Current() { platform::SetCurrentPlatform(nullptr); }
    Current(const Current&) = delete;
    Current& operator=(const Current&) = delete;
};

void PrintKey(const char* key, const std::string& defaultValue) {
    const std::string value = ReadControl(key, kAbsent);
    if (value == kAbsent) std::printf("%s=%s  (not set: the default)\n", key, defaultValue.c_str());
    else std::printf("%s=%s\n", key, value.c_str());
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

}  // namespace

int PrintConfig(const CommandLine& line) {
    auto host = MakeHeadlessHost(line, SettingsUse::ReadWrite);
    Current current(*host);
    const std::string path = host->SettingsFilePath(kControlFileName);
    if (SettingsFolder().empty()) {
        std::printf("Settings file: none (neither XDG_CONFIG_HOME nor HOME is set)\n");
    } else {
        std::error_code error;
        const bool exists = std::filesystem::exists(path, error);
        std::printf("Settings file: %s%s\n", path.c_str(), exists ? "" : "  (not written yet)");
    }
    std::printf("[%s]\n", std::string(kControlSection).c_str());
    PrintKey("Dir", DefaultContentDir(*host));
    PrintKey("Engine", "1");
    PrintKey("Skin", "");
    PrintKey("Sound", "1");
    return 0;
}

int ListScenes(const CommandLine& line) {
    auto host = MakeHeadlessHost(line, SettingsUse::ReadOnly);
    std::unique_ptr<SceneFolder> only;
    SaverSettings settings;
    try {
        settings = ResolveSettings(*host, line, only);
    } catch (const RException& e) {
        PrintError(e.GetMessage());
        return 1;
    }
    Current current(*host);
    RegisterAnimationClasses();
    std::vector<std::string> leftOut;
    SetReportSink([&leftOut](const std::string& message) { leftOut.push_back(message); });
    int status = 0;
    {
        RDibStage stage;
        stage.AddComponentStream(stage.OpenContent().get());
        try {
            const BuiltShow show = BuildShow(stage, {.dir = settings.dir,
                                                     .seed = settings.seed,
                                                     .skin = settings.skin,
                                                     .engine = settings.engine});
            const auto& scenes = show.manager->GetScenes();
            std::printf("%zu scenes in %s\n", scenes.size(), (only ? "the scene files given" : settings.dir.c_str()));
            for (const RScene* scene : scenes)
                std::printf("  %-28s %-14s weight %-6s next %s\n", scene->GetName().c_str(),
                            scene->GetClassName().c_str(), Number(scene->weight).c_str(),
                            scene->preferredNextScene.empty() ? "-" : scene->preferredNextScene.c_str());
        } catch (const RException& e) {
            leftOut.push_back(e.GetMessage());
            status = 1;
        }
    }
    SetReportSink({});
    ForgetReports();
    if (!leftOut.empty()) {
        std::printf("Left out:\n");
        for (const std::string& reason : leftOut) std::printf("  %s\n", reason.c_str());
    }
    return status;
}

}  // namespace quellmoor
