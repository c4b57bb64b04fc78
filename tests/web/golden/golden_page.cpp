// The golden runs of the show, played by the web backend inside a browser on a
// clock that moves only when the engine waits: every frame without a balloon
// must hash as the native headless run's manifest says, and whenever a golden
// frame is taken the canvas must show exactly the stage's picture through its
// palette (the backend puts only the changed rectangles into it). Balloon text
// comes from the browser's fonts, so frames with a balloon are left out. Then
// every sound of the content is played through WebAudio.
//
// Reports on the console, for the page's test: a line per run, a line per
// difference, and last "golden: done, N failures". The page must be 800x600.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "animation/Registration.h"
#include "content/EmbeddedContent.h"
#include "imaging/Surface.h"
#include "model/Exceptions.h"
#include "platform/web/WebPlatform.h"
#include "scenes/MeetingScene.h"
#include "scenes/PlanetScene.h"
#include "scenes/Report.h"
#include "scenes/SceneManager.h"
#include "stage/DibStage.h"
#include "tests/golden/GoldenFrames.h"
#include "tests/golden/GoldenRuns.h"
#include "tools/show-preview/Preview.h"

namespace {

using namespace quellmoor;
using namespace quellmoor::golden;

// How many canvas pixels differ from `expected` (RGBA bytes, the canvas's size).
// clang-format off
EM_JS(int, qm_canvas_differences, (const void* expected, int width, int height), {
    var canvas = Module['canvas'];
    if (canvas.width != width || canvas.height != height) return -1;
    var shown = new Uint32Array(canvas.getContext('2d').getImageData(0, 0, width, height).data.buffer);
    var wanted = new Uint32Array(HEAPU8.buffer, expected, width * height);
    var differing = 0;
    for (var i = 0; i < shown.length; ++i) if (shown[i] != wanted[i]) ++differing;
    return differing;
});
EM_JS(int, qm_sounds_played, (), { return Module.vexmonSoundsPlayed || 0; });
EM_JS(int, qm_audio_running, (), { return Module.qmAudio && Module.qmAudio.state === 'running' ? 1 : 0; });
// clang-format on

constexpr unsigned kSoundWaitMs = 250;

bool BalloonShown(const BuiltShow& show) {
    if (!show.manager) return false;
    RScene* scene = show.manager->GetCurrentScene();
    if (const auto* planet = dynamic_cast<RPlanetScene*>(scene)) return planet->GetBalloon().GetVisible();
    if (const auto* meeting = dynamic_cast<RMeetingScene*>(scene)) return meeting->GetBalloon().GetVisible();
    return false;
}

// The stage's picture as the canvas should show it: RGBA bytes, top row first.
std::vector<std::uint32_t> ExpectedCanvas(const Frame& frame) {
    std::vector<std::uint32_t> rgba(frame.indices.size());
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        const PaletteEntry& entry = frame.palette[frame.indices[i]];
        rgba[i] = 0xFF000000u | (std::uint32_t{entry.blue} << 16) | (std::uint32_t{entry.green} << 8) | entry.red;
    }
    return rgba;
}

std::vector<ManifestLine> ReadManifest(const GoldenRun& run) {
    const std::string path = std::string("/golden/") + run.name + ".manifest";
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RException("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    return ParseManifest(text.str());
}

// Plays one run; answers the number of failures, each said on the console.
int PlayRun(const GoldenRun& run, const std::vector<std::uint8_t>& mainStream) {
    int failures = 0, canvasChecks = 0;
    std::vector<Frame> frames;
    std::vector<bool> withText;  // per golden frame
    bool lastWithText = false;
    {
        RDibStage* stagePointer = nullptr;
        ShowPreview* previewPointer = nullptr;
        FrameSampler sampler(run);
        platform::WebPlatform host({.content = mainStream, .virtualClock = true, .presented = [&] {
            RDibStage& stage = *stagePointer;
            Frame frame = CaptureFrame(*stage.GetStageImage()->GetDib(), "", 0);
            const bool text = BalloonShown(previewPointer->GetShow());
            const std::vector<std::uint32_t> expected = ExpectedCanvas(frame);
            const int emitted = sampler.Presented(std::move(frame), stage.GetTime());
            withText.insert(withText.end(), static_cast<std::size_t>(emitted), lastWithText);
            lastWithText = text;
            if (emitted == 0) return;
            ++canvasChecks;
            const int differing = qm_canvas_differences(expected.data(), stage.GetStageImage()->GetDib()->GetWidth(),
                                                        stage.GetStageImage()->GetDib()->GetHeight());
            if (differing != 0) {
                ++failures;
                std::printf("golden %s: at %.0f ms the canvas differs from the stage's picture in %d pixels\n",
                            run.name, stage.GetTime(), differing);
            }
        }});
        platform::SetCurrentPlatform(&host);
        ForgetReports();
        std::string error;
        {
            RDibStage stage;
            // Composing only what changed, as the page itself does.
            ShowPreview preview(stage, RunSettings(run, false));
            stagePointer = &stage;
            previewPointer = &preview;
            stage.Run();
            frames = sampler.Finish();
            withText.resize(frames.size(), lastWithText);
            error = preview.Error();
        }
        platform::SetCurrentPlatform(nullptr);
        if (!error.empty()) {
            std::printf("golden %s: the show could not be built: %s\n", run.name, error.c_str());
            return failures + 1;
        }
    }
    const std::vector<ManifestLine> expected = ReadManifest(run);
    if (expected.size() != frames.size()) {
        std::printf("golden %s: %zu frames, the manifest lists %zu\n", run.name, frames.size(), expected.size());
        return failures + 1;
    }
    int compared = 0, alike = 0, textAlike = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const ManifestLine actual = Describe(frames[i]);
        if (withText[i]) {
            textAlike += actual == expected[i] ? 1 : 0;
            continue;
        }
        ++compared;
        if (actual == expected[i]) {
            ++alike;
            continue;
        }
        ++failures;
        std::printf("golden %s: %s at %lld ms is %dx%d hash %s, the manifest says %dx%d hash %s\n", run.name,
                    actual.name.c_str(), static_cast<long long>(actual.timeMs), actual.width, actual.height,
                    actual.hash.c_str(), expected[i].width, expected[i].height, expected[i].hash.c_str());
    }
    std::printf("golden %s: %d of %zu frames without a balloon, %d as the manifest says (of those with one, %d); "
                "canvas checked %d times\n",
                run.name, compared, frames.size(), alike, textAlike, canvasChecks);
    if (compared == 0) {
        std::printf("golden %s: every frame has a balloon, nothing was compared\n", run.name);
        ++failures;
    }
    return failures;
}

// Every sound of the content, played one after another through WebAudio: each
// must be decoded and started (the page's audio runs without a gesture only in
// the test's browser).
int PlaySounds(const std::vector<std::uint8_t>& mainStream) {
    platform::WebPlatform host({.content = mainStream});
    platform::SetCurrentPlatform(&host);
    host.SetSoundOn(true);
    std::vector<std::string> sounds;
    for (const auto& entry : std::filesystem::directory_iterator("/content/Sounds"))
        sounds.push_back(entry.path().string());
    std::sort(sounds.begin(), sounds.end());
    const int before = qm_sounds_played();
    for (const std::string& sound : sounds) {
        host.PlaySoundFile(sound);
        emscripten_sleep(kSoundWaitMs);
    }
    host.StopSound();
    platform::SetCurrentPlatform(nullptr);
    const int played = qm_sounds_played() - before;
    std::printf("golden: %d of %zu sounds played through WebAudio, the audio %s\n", played, sounds.size(),
                qm_audio_running() ? "running" : "not running");
    return played == static_cast<int>(sounds.size()) && !sounds.empty() && qm_audio_running() ? 0 : 1;
}

}  // namespace

int main() {
    const auto bytes = EmbeddedMainStream();
    const std::vector<std::uint8_t> mainStream(bytes.begin(), bytes.end());
    RegisterAnimationClasses();
    int failures = 0;
    for (const GoldenRun& run : kGoldenRuns) {
        try {
            failures += PlayRun(run, mainStream);
        } catch (const RException& e) {
            std::printf("golden %s: %s\n", run.name, e.GetMessage().c_str());
            ++failures;
        }
    }
    failures += PlaySounds(mainStream);
    std::printf("golden: done, %d failures\n", failures);
    return 0;
}
