// stage-demo: loads a stream with a background and a few pictures and runs it.
//
//   stage-demo                         a 320 x 240 SDL window until it is closed
//   stage-demo --seconds 3             ends by itself
//   stage-demo --headless --frames 40 --screenshot out.png
//   stage-demo --headless --real-clock --seconds 30 --size 1920x1080 --sprites 60
//   stage-demo --dirty-only            presents only the rectangles pixies report
//
// It prints frames, wall time and the CPU share it used (user + system time
// divided by wall time), which is how docs/performance.md measures the stage.
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/PngWriter.h"
#include "imaging/Surface.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "stage/DibStage.h"
#include "stage/Pixie.h"
#include "stage/Timer.h"
#include "tools/stage-demo/DemoContent.h"
#include "animation/Registration.h"

namespace {

using namespace quellmoor;

struct Options {
    bool headless = false, realClock = false;
    bool dirtyOnly = false;  // present only what pixies report as changed
    int width = 320, height = 240, sprites = 0;
    long frames = 0;      // 0: no limit
    double seconds = 0;   // 0: no limit
    std::string screenshot;
};

bool ParseSize(const char* text, int& width, int& height) {
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0 && width <= 8192 &&
           height <= 8192;
}

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--real-clock") {
            options.realClock = true;
        } else if (arg == "--dirty-only") {
            options.dirtyOnly = true;
        } else if (arg == "--frames" && hasValue) {
            options.frames = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--seconds" && hasValue) {
            options.seconds = std::strtod(argv[++i], nullptr);
        } else if (arg == "--sprites" && hasValue) {
            options.sprites = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
        } else if (arg == "--screenshot" && hasValue) {
            options.screenshot = argv[++i];
        } else if (arg == "--size" && hasValue) {
            if (!ParseSize(argv[++i], options.width, options.height)) return false;
        } else {
            return false;
        }
    }
    return true;
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

void OnMove(RComponent*, REvent*, RObject*) {
    RStage& stage = *show.stage;
    ++show.ticks;
    const double t = stage.GetTime();
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
    const bool enoughFrames = show.options.frames > 0 && show.ticks >= show.options.frames;
    const bool enoughTime = show.options.seconds > 0 && t >= show.options.seconds * 1000.0;
    if (enoughFrames || enoughTime) stage.Quit();
}


}  // namespace

int main(int argc, char** argv) {
    if (!Parse(argc, argv, show.options)) {
        std::fprintf(stderr,
                     "usage: stage-demo [--headless] [--real-clock] [--frames N] [--seconds S] [--size WxH]\n"
                     "                  [--sprites N] [--dirty-only] [--screenshot file.png]\n");
        return 2;
    }
    const Options& options = show.options;
    const std::string content = demo::BuildDemoStream(options.width, options.height, options.sprites);
    std::vector<std::uint8_t> bytes(content.begin(), content.end());

    std::unique_ptr<platform::Platform> backend;
    try {
        if (options.headless) {
            auto host = std::make_unique<platform::HeadlessPlatform>(
                platform::HeadlessOptions{.realClock = options.realClock, .keepScreen = false,
                                          .drawingContexts = CreateFontDrawingContext});
            host->SetEmbeddedContent(bytes);
            backend = std::move(host);
        } else {
            backend = std::make_unique<platform::SdlPlatform>(platform::SdlOptions{.content = bytes});
        }
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
