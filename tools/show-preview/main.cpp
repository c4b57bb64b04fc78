// show-preview: a first look at the show from the main stream the program carries.
//
//   show-preview                                  an 800 x 600 window until it is closed (Esc, Q)
//   show-preview --seconds 20 --fullscreen
//   show-preview --headless --seconds 10 --record frames --every 4
//   show-preview --probe-display                  exit code 0 when a window can be opened
//   show-preview --whole-frames                   compose every frame whole (the default
//                                                 composes and presents only what changed)
//
// The ship hangs in the middle, the stars drift past behind it, and now and
// then the ship lands and the mascot gets out and back in. There is no scene
// manager here: no planets, visitors or flights, only the main stream's parts.
// Headless runs use a virtual clock, so --seconds is show time, not wall time;
// --record saves one PNG per N ticks of 25 ms (N from --every, default 4).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "animation/Registration.h"
#include "content/EmbeddedContent.h"
#include "imaging/PngWriter.h"
#include "imaging/Surface.h"
#include "platform/Backends.h"
#include "platform/headless/HeadlessPlatform.h"
#include "stage/DibStage.h"
#include "tools/common/Options.h"
#include "tools/show-preview/Preview.h"

namespace {

using namespace quellmoor;

struct Options {
    bool headless = false, probe = false;
    std::string backend{platform::DefaultBackendName()};
    PreviewSettings settings;
    long seed = 1997;
    int every = 4;
    std::string record;
};

// Writes the stage image as frame_NNNNN.png every `every` ticks of stage time.
struct Recorder {
    RDibStage* stage = nullptr;
    std::string folder;
    double everyMs = 0, nextMs = 0;
    int shots = 0;
    bool failed = false;

    void OnFrame() {
        if (failed || !stage->GetStageImage() || stage->GetTime() < nextMs) return;
        nextMs += everyMs;
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.png", shots);
        try {
            SavePng(*stage->GetStageImage()->GetDib(), (std::filesystem::path(folder) / name).string());
            ++shots;
        } catch (const RException& e) {
            std::fprintf(stderr, "show-preview: %s\n", e.GetMessage().c_str());
            failed = true;
            stage->Quit();
        }
    }
};

std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
    tools::OptionParser parser("show-preview",
                               "A first look at the show: the ship, the stars and the mascot's trips outside.\n"
                               "Headless runs use a virtual clock, so --seconds is show time, not wall time.");
    std::vector<std::string> backends;
    for (std::string_view name : platform::BackendNames()) backends.emplace_back(name);
    PreviewSettings& settings = options.settings;
    parser.Choice("backend", "NAME", "where to show it", options.backend, backends);
    parser.Flag("headless", "the same as --backend headless", options.headless);
    parser.Number("seconds", "S", "stop after S seconds of show time (default: until closed)", settings.seconds, 0,
                  1e7);
    parser.Size("size", "window size (default 800x600)", settings.width, settings.height, 8192);
    parser.Flag("fullscreen", "fill the screen", settings.fullscreen);
    parser.Flag("whole-frames", "compose every frame whole (default: only what changed)", settings.wholeFrames);
    parser.Integer("seed", "N", "seed of the stars' randomness (default 1997)", options.seed, 0, 4294967295L);
    parser.Text("record", "DIR", "save frames as PNG files into DIR (headless only)", options.record);
    parser.Integer("every", "N", "with --record: one frame per N ticks of 25 ms (default 4)", options.every, 1, 1000);
    parser.Flag("probe-display", "only check that a window can be opened (exit code 0)", options.probe);
    if (auto exit = parser.ParseOrExit(argc, argv, std::cout, std::cerr)) return exit;
    if (options.headless) options.backend = "headless";
    if (options.probe) options.backend = platform::DefaultBackendName();
    if (!options.record.empty() && options.backend != "headless") {
        std::cerr << "show-preview: --record needs the headless backend\n";
        return 2;
    }
    settings.seed = static_cast<std::uint32_t>(options.seed);
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (auto exit = ParseOptions(argc, argv, options)) return *exit;
    const PreviewSettings& settings = options.settings;
    const auto bytes = EmbeddedMainStream();
    std::unique_ptr<platform::Platform> backend;
    try {
        backend = platform::CreateBackend(
            options.backend, {.content = std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                              .desktop = {0, 0, settings.width, settings.height}});
        if (!options.record.empty()) std::filesystem::create_directories(options.record);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "show-preview: %s\n", e.what());
        return 1;
    }
    if (options.probe) return 0;
    platform::SetCurrentPlatform(backend.get());
    RegisterAnimationClasses();

    int result = 0;
    {
        RDibStage stage;
        Recorder recorder{&stage, options.record, ShowPreview::kTickMs * options.every};
        if (auto* headless = dynamic_cast<platform::HeadlessPlatform*>(backend.get()); headless && !options.record.empty())
            headless->SetFrameCallback([&recorder](const platform::HeadlessFrame&) { recorder.OnFrame(); });
        std::unique_ptr<ShowPreview> preview;
        try {
            preview = std::make_unique<ShowPreview>(stage, settings);
            if (!preview->LinesUpReason().empty())
                std::fprintf(stderr, "show-preview: the mascot stays aboard: %s\n", preview->LinesUpReason().c_str());
        } catch (const RException& e) {
            std::fprintf(stderr, "show-preview: %s\n", e.GetMessage().c_str());
            result = 1;
        }
        if (result == 0 && stage.GetOwnWindow()) stage.Run();
        else result = 1;
        if (recorder.failed) result = 1;
        if (!options.record.empty() && result == 0)
            std::printf("show-preview: %d frames in %s\n", recorder.shots, options.record.c_str());
        if (auto* headless = dynamic_cast<platform::HeadlessPlatform*>(backend.get()))
            headless->SetFrameCallback(nullptr);
    }
    platform::SetCurrentPlatform(nullptr);
    return result;
}
