// stage-demo: loads a stream with a background and a few pictures and runs it.
//
//   stage-demo                         a 320 x 240 SDL window until it is closed
//   stage-demo --seconds 3             ends by itself
//   stage-demo --headless --frames 40 --screenshot out.png
//   stage-demo --headless --real-clock --seconds 30 --size 1920x1080 --sprites 60
//   stage-demo --dirty-only            presents only the rectangles pixies report
//   stage-demo --freeze-after 40 --ready-file F   holds still after 40 moves, then writes F
//
// It prints frames, wall time and the CPU share it used (user + system time
// divided by wall time), which is how docs/performance.md measures the stage.
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/PngWriter.h"
#include "imaging/Surface.h"
#include "platform/Backends.h"
#include "stage/DibStage.h"
#include "stage/Pixie.h"
#include "stage/Timer.h"
#include "tools/common/Options.h"
#include "tools/stage-demo/DemoContent.h"
#include "animation/Registration.h"

namespace {

using namespace quellmoor;

struct Options {
    bool headless = false, realClock = false;
    std::string backend{platform::DefaultBackendName()};
    bool dirtyOnly = false;  // present only what pixies report as changed
    int width = 320, height = 240, sprites = 0;
    long frames = 0;      // 0: no limit
    double seconds = 0;   // 0: no limit
    long freezeAfter = 0; // 0: never
    std::string screenshot, readyFile;
};

std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
    tools::OptionParser parser("stage-demo",
                               "Runs a stream with a background and a few pictures and prints frames, wall time\n"
                               "and the share of one processor it used.");
    std::vector<std::string> backends;
    for (std::string_view name : platform::BackendNames()) backends.emplace_back(name);
    parser.Choice("backend", "NAME", "where to run it", options.backend, backends);
    parser.Flag("headless", "the same as --backend headless", options.headless);
    parser.Flag("real-clock", "headless: wait in real time instead of on a virtual clock", options.realClock);
    parser.Integer("frames", "N", "stop after N moves (default: no limit)", options.frames, 0, 1000000000L);
    parser.Number("seconds", "S", "stop after S seconds of stage time (default: no limit)", options.seconds, 0, 1e7);
    parser.Size("size", "window size (default 320x240)", options.width, options.height, 8192);
    parser.Integer("sprites", "N", "add N moving rings and a panel behind them", options.sprites, 0, 100000);
    parser.Flag("dirty-only", "compose and present only what changed", options.dirtyOnly);
    parser.Text("screenshot", "FILE", "save the last frame as a PNG file", options.screenshot);
    parser.Integer("freeze-after", "N", "hold everything still after N moves", options.freezeAfter, 1, 1000000000L);
    parser.Text("ready-file", "FILE", "with --freeze-after: write FILE once the still frame is shown",
                options.readyFile);
    if (auto exit = parser.ParseOrExit(argc, argv, std::cout, std::cerr)) return exit;
    if (options.headless) options.backend = "headless";
    if (!options.readyFile.empty() && options.freezeAfter == 0) {
        std::cerr << "stage-demo: --ready-file needs --freeze-after\n";
        return 2;
    }
    return std::nullopt;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What the "Mover" timer does: the ship crosses, the rings circle, the run ends on time.
struct Show {
    RDibStage* stage = nullptr;
    Options options;
    long ticks = 0;
    long presented = 0;
    // Looked up once, so the measured load is the engine's and not name lookups.
    RPixie* ship = nullptr;
    std::vector<RPixie*> rings;
};
Show show;

// Writes the ready file; the frame of the move before this one has been presented by now.
void SignalReady() {
    if (show.options.readyFile.empty()) return;
    std::ofstream(show.options.readyFile) << "frame " << show.options.freezeAfter << "\n";
}

void OnMove(RComponent*, REvent*, RObject*) {
    RStage& stage = *show.stage;
    ++show.ticks;
    const double t = stage.GetTime();
    const long freeze = show.options.freezeAfter;
    if (freeze > 0 && show.ticks > freeze) {
        if (show.ticks == freeze + 1) SignalReady();
    } else {
        if (RPixie* ship = show.ship) {
            const float x = ship->GetXPos() + 2.0f;
            ship->MoveTo(x > static_cast<float>(show.options.width) ? -40.0f : x, ship->GetYPos());
        }
        for (std::size_t n = 0; n < show.rings.size(); ++n) {
            const int i = static_cast<int>(n);
            const double phase = t / 700.0 + i;
            show.rings[n]->MoveTo(static_cast<float>((i * 53) % show.options.width + 20.0 * std::cos(phase)),
                                  static_cast<float>((i * 29) % show.options.height + 20.0 * std::sin(phase)));
        }
    }
    const bool enoughFrames = show.options.frames > 0 && show.ticks >= show.options.frames;
    const bool enoughTime = show.options.seconds > 0 && t >= show.options.seconds * 1000.0;
    if (enoughFrames || enoughTime) stage.Quit();
}

}  // namespace

int main(int argc, char** argv) {
    if (auto exit = ParseOptions(argc, argv, show.options)) return *exit;
    const Options& options = show.options;
    const std::string content = demo::BuildDemoStream(options.width, options.height, options.sprites);

    std::unique_ptr<platform::Platform> backend;
    try {
        backend = platform::CreateBackend(
            options.backend, {.content = std::vector<std::uint8_t>(content.begin(), content.end()),
                              .realClock = options.realClock});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "stage-demo: %s\n", e.what());
        return 1;
    }
    platform::SetCurrentPlatform(backend.get());

    RegisterAnimationClasses();

    int result = 0;
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    {
        RDibStage stage;
        show.stage = &stage;
        stage.GetSetup().windowRect = {0, 0, static_cast<float>(options.width), static_cast<float>(options.height)};
        try {
            auto in = stage.OpenContent();
            stage.AddComponentStream(in.get());
            show.ship = dynamic_cast<RPixie*>(stage.FindComponent("Ship"));
            for (int i = 0; i < options.sprites; ++i)
                if (auto* ring = dynamic_cast<RPixie*>(stage.FindComponent("Sprite" + std::to_string(i))))
                    show.rings.push_back(ring);
            stage.FindComponent("Mover")->AddEventHandler("OnTimer", &OnMove, nullptr);
            stage.SetPresentDirtyOnly(options.dirtyOnly);
        } catch (const RException& e) {
            stage.ReportException(e.GetMessage());
        }
        if (!stage.IsQuitting() && stage.GetOwnWindow()) stage.Run();
        if (!options.screenshot.empty() && stage.GetStageImage()) {
            try {
                SavePng(*stage.GetStageImage()->GetDib(), options.screenshot);
            } catch (const RException& e) {
                std::fprintf(stderr, "stage-demo: %s\n", e.GetMessage().c_str());
                result = 1;
            }
        }
        show.stage = nullptr;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = CpuSeconds() - cpuStart;
    std::printf("ticks %ld  wall %.2f s  cpu %.3f s  cpu share %.2f %%\n", show.ticks, wall, cpu,
                wall > 0 ? 100.0 * cpu / wall : 0.0);
    platform::SetCurrentPlatform(nullptr);
    return result;
}
