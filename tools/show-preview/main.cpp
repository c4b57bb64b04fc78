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
#include <memory>
#include <random>
#include <string>

#include "animation/Registration.h"
#include "content/EmbeddedContent.h"
#include "imaging/PngWriter.h"
#include "imaging/Surface.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"
#include "tools/show-preview/ShipShow.h"
#include "tools/show-preview/StarSky.h"

namespace {

using namespace quellmoor;

constexpr double kTickMs = 25.0;
constexpr std::uint32_t kEscape = 0x1B, kLetterQ = 'Q';

struct Options {
    bool headless = false, fullscreen = false, probe = false;
    bool wholeFrames = false;  // compose and present every frame whole, not only what changed
    int width = 800, height = 600, every = 4;
    double seconds = 0;  // 0: until closed
    std::string record;
};

struct Preview {
    Options options;
    RDibStage* stage = nullptr;
    std::mt19937 random{1997};  // the same sky every run
    std::unique_ptr<ShipShow> ship;
    std::unique_ptr<StarSky> sky;
    double nextShotMs = 0;
    int shots = 0;
    bool failed = false;
};
Preview preview;

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--fullscreen") {
            options.fullscreen = true;
        } else if (arg == "--probe-display") {
            options.probe = true;
        } else if (arg == "--whole-frames") {
            options.wholeFrames = true;
        } else if (arg == "--seconds" && hasValue) {
            options.seconds = std::strtod(argv[++i], nullptr);
            if (!(options.seconds >= 0 && options.seconds < 1e7)) return false;
        } else if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2 || options.width < 1 ||
                options.height < 1 || options.width > 8192 || options.height > 8192)
                return false;
        } else if (arg == "--record" && hasValue) {
            options.record = argv[++i];
        } else if (arg == "--every" && hasValue) {
            options.every = std::atoi(argv[++i]);
            if (options.every < 1 || options.every > 1000) return false;
        } else {
            return false;
        }
    }
    return options.record.empty() || options.headless;
}

// The stream asks for a full-screen frameless window; the preview wants the one the user asked for.
void OnSetup(RComponent*, REvent*, RObject*) {
    RStageSetup& setup = preview.stage->GetSetup();
    setup.windowRect = {0, 0, static_cast<float>(preview.options.width), static_cast<float>(preview.options.height)};
    setup.fullScreen = preview.options.fullscreen;
    setup.hasFrame = true;
    setup.showCursor = true;
}

void OnKeyDown(RComponent*, REvent*, RObject*) {
    const std::uint32_t key = preview.stage->GetKeyDownCode();
    if (key == kEscape || key == kLetterQ) preview.stage->Quit();
}

void OnTick(RComponent*, REvent*, RObject*) {
    preview.sky->Tick();
    preview.ship->Tick();
    if (preview.options.seconds > 0 && preview.stage->GetTime() >= preview.options.seconds * 1000.0)
        preview.stage->Quit();
}

void OnFrame(const platform::HeadlessFrame&) {
    RDibStage& stage = *preview.stage;
    if (preview.failed || !stage.GetStageImage() || stage.GetTime() < preview.nextShotMs) return;
    preview.nextShotMs += kTickMs * preview.options.every;
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", preview.shots);
    try {
        SavePng(*stage.GetStageImage()->GetDib(), (std::filesystem::path(preview.options.record) / name).string());
        ++preview.shots;
    } catch (const RException& e) {
        std::fprintf(stderr, "show-preview: %s\n", e.GetMessage().c_str());
        preview.failed = true;
        stage.Quit();
    }
}

std::unique_ptr<platform::Platform> MakeBackend(const Options& options, std::vector<std::uint8_t> content) {
    if (!options.headless) return std::make_unique<platform::SdlPlatform>(platform::SdlOptions{.content = content});
    auto host = std::make_unique<platform::HeadlessPlatform>(platform::HeadlessOptions{
        .desktop = {0, 0, options.width, options.height}, .keepScreen = false,
        .drawingContexts = CreateFontDrawingContext});
    host->SetEmbeddedContent(std::move(content));
    if (!options.record.empty()) host->SetFrameCallback(&OnFrame);
    return host;
}

// Loads the main stream and builds the preview on it; false (after saying why) when that fails.
bool Load(RDibStage& stage) {
    try {
        stage.AddEventHandler("OnSetup", &OnSetup, nullptr);
        stage.AddEventHandler("OnKeyDown", &OnKeyDown, nullptr);
        auto in = stage.OpenContent();
        stage.AddComponentStream(in.get());
        preview.ship = std::make_unique<ShipShow>(stage);
        preview.sky = std::make_unique<StarSky>(stage, EmbeddedMainStream(), preview.random);
        preview.sky->Scatter();
        stage.SetPresentDirtyOnly(!preview.options.wholeFrames);
        auto* timer = MakeOwned<RTimer>("PreviewTick", &stage, kTickMs, true);
        timer->AddEventHandler("OnTimer", &OnTick, nullptr);
    } catch (const RException& e) {
        std::fprintf(stderr, "show-preview: %s\n", e.GetMessage().c_str());
        return false;
    }
    if (!preview.ship->LinesUpReason().empty())
        std::fprintf(stderr, "show-preview: the mascot stays aboard: %s\n", preview.ship->LinesUpReason().c_str());
    return stage.GetOwnWindow() != 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options& options = preview.options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: show-preview [--headless] [--seconds S] [--size WxH] [--fullscreen]\n"
                     "                    [--record DIR [--every N]]   (recording: headless only)\n"
                     "                    [--whole-frames]             (compose every frame whole)\n"
                     "       show-preview --probe-display\n");
        return 2;
    }
    const auto bytes = EmbeddedMainStream();
    std::unique_ptr<platform::Platform> backend;
    try {
        if (options.probe) options.headless = false;
        backend = MakeBackend(options, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
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
        preview.stage = &stage;
        if (Load(stage)) stage.Run();
        else result = 1;
        if (preview.failed) result = 1;
        if (!options.record.empty() && result == 0)
            std::printf("show-preview: %d frames in %s\n", preview.shots, options.record.c_str());
        preview.sky.reset();
        preview.ship.reset();
        preview.stage = nullptr;
    }
    platform::SetCurrentPlatform(nullptr);
    return result;
}
