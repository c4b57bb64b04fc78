// The screensaver behaviour on a windowless stage loaded with the built main
// stream, for the saver's tests: an engine whose password check answers what
// the test says, and the stage with the saver attached.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "animation/Picture.h"
#include "animation/Registration.h"
#include "content/EmbeddedContent.h"
#include "imaging/Dib.h"
#include "imaging/Surface.h"
#include "platform/headless/HeadlessPlatform.h"
#include "saver/LinuxSaverEngine.h"
#include "saver/Screensaver.h"
#include "scenes/Report.h"
#include "scenes/SceneManager.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"

namespace quellmoor::testing {


using platform::InputEvent;

inline CommandLine Line(SaverMode mode) {
    CommandLine line;
    line.mode = mode;
    return line;
}

// An engine whose password check answers what the test says, counting the checks.
class ScriptedEngine : public RLinuxSaverEngine {
public:
    ScriptedEngine(CommandLine line, bool* accept, int* checks)
        : RLinuxSaverEngine(std::move(line)), accept_(accept), checks_(checks) {}
    bool VerifyPassword() override {
        ++*checks_;
        return *accept_;
    }

private:
    bool* accept_;
    int* checks_;
};

inline std::vector<std::uint8_t> MainStream() {
    const auto bytes = EmbeddedMainStream();
    return {bytes.begin(), bytes.end()};
}

struct CurrentHost {
    CurrentHost() {
        RegisterAnimationClasses();
        host.SetEmbeddedContent(MainStream());
        platform::SetCurrentPlatform(&host);
    }
    ~CurrentHost() { platform::SetCurrentPlatform(nullptr); }
    platform::HeadlessPlatform host;
};

// The stage with the saver attached and the stream loaded ("OnSetup" has run).
class SaverStage : private CurrentHost, public ::testing::Test {
protected:
    void Make(SaverMode mode, bool windowMode = false) { Make(Line(mode), windowMode); }
    void Make(CommandLine line, bool windowMode = false) {
        SaverOptions options;
        options.settings.dir = emptyDir.string();
        options.settings.seed = 7;
        options.windowMode = windowMode;
        saver = MakeOwned<RScreensaver>(stage, std::make_unique<ScriptedEngine>(std::move(line), &accept, &checks), options);
        stage.AddComponentStream(stage.OpenContent().get());
    }
    void SetUp() override {
        emptyDir = std::filesystem::temp_directory_path() /
                   ("vexmon-saver-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(emptyDir);
        SetReportSink([this](const std::string& message) { reports.push_back(message); });
    }
    void TearDown() override {
        SetReportSink({});
        ForgetReports();
        std::error_code ignored;
        std::filesystem::remove_all(emptyDir, ignored);
    }
    platform::HeadlessPlatform& Host() { return host; }

    std::filesystem::path emptyDir;
    bool accept = true;
    int checks = 0;
    RDibStage stage;
    RScreensaver* saver = nullptr;
    std::vector<std::string> reports;
};

inline CommandLine HackLine(platform::NativeWindow window) {
    CommandLine line = Line(SaverMode::Hack);
    line.windowId = static_cast<std::uint32_t>(window.value);
    return line;
}

}  // namespace quellmoor::testing
