// show-preview: the show as the saver plays it, in a window or headless.
//
//   show-preview                                  an 800 x 600 window until it is closed (Esc, Q)
//   show-preview --seconds 20 --fullscreen
//   show-preview --scene Planet-Ice.RCS           that scene file alone, again and again
//   show-preview --dir ~/vexmon --skin Tiger      another content directory, another skin
//   show-preview --headless --seconds 10 --record frames --every 4
//   show-preview --probe-display                  exit code 0 when a window can be opened
//   show-preview --whole-frames                   compose every frame whole (the default
//                                                 composes and presents only what changed)
//
// The main stream is the one the program carries; the ship, the sky and the
// scenes are built by the show's own start-up (scenes/Show.h) from the content
// directory (default: the one this build made), seeded with --seed. Headless
// runs use a virtual clock, so --seconds is show time, not wall time; --record
// saves one PNG per N ticks of 25 ms (N from --every, default 4).
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
                               "The show as the saver plays it: the ship, the sky and the scenes.\n"
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
    parser.Integer("seed", "N", "seed of the show's randomness (default 1997)", options.seed, 0, 4294967295L);
    parser.Text("dir", "D", "content directory: scene files, Sounds, Skins (default: the built one)", settings.dir);
    parser.Text("scene", "FILE", "play only this scene file (a path, or a file name in the content directory)",
                settings.scene);
    parser.Text("skin", "NAME", "the ship's skin, from Skins/NAME.bmp (default: the stream's own)", settings.skin);
    parser.Text("engine", "TYPE", "the ship's engine flame (default 1)", settings.engine);
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
        } catch (const RException& e) {
            std::fprintf(stderr, "show-preview: %s\n", e.GetMessage().c_str());
            result = 1;
        }
        if (result == 0 && stage.GetOwnWindow()) stage.Run();
        else result = 1;
        if (preview && !preview->Error().empty()) {
            std::fprintf(stderr, "show-preview: %s\n", preview->Error().c_str());
            result = 1;
        }
        if (recorder.failed) result = 1;
        if (!options.record.empty() && result == 0)
            std::printf("show-preview: %d frames in %s\n", recorder.shots, options.record.c_str());
        if (auto* headless = dynamic_cast<platform::HeadlessPlatform*>(backend.get()))
            headless->SetFrameCallback(nullptr);
    }
    platform::SetCurrentPlatform(nullptr);
    return result;
}
