// The show's start as the programs make it, headless on the virtual clock:
// from nothing to the first presented frame at 800 x 600, that is the
// embedded stream loaded, the ship, the sky and every scene file of the built
// content, and the first compose. Wall time, as a user waits for it. (The
// running show's cost is the soak tool's simulated hour.)
#include <benchmark/benchmark.h>

#include <memory>

#include "animation/Registration.h"
#include "content/EmbeddedContent.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "stage/DibStage.h"
#include "tools/show-preview/Preview.h"

namespace {

using namespace quellmoor;

std::unique_ptr<platform::HeadlessPlatform> MakeHost(int width, int height) {
    auto host = std::make_unique<platform::HeadlessPlatform>(platform::HeadlessOptions{
        .desktop = {0, 0, width, height}, .keepScreen = false, .drawingContexts = CreateFontDrawingContext});
    const auto bytes = EmbeddedMainStream();
    host->SetEmbeddedContent({bytes.begin(), bytes.end()});
    return host;
}

void StartupToFirstFrame(benchmark::State& state) {
    RegisterAnimationClasses();
    for (auto _ : state) {
        auto host = MakeHost(800, 600);
        platform::SetCurrentPlatform(host.get());
        {
            RDibStage stage;
            PreviewSettings settings;
            settings.seconds = 60;
            ShowPreview preview(stage, settings);
            host->SetFrameCallback([&stage](const platform::HeadlessFrame&) { stage.Quit(); });
            stage.Run();
            if (host->FrameCount() == 0 || !preview.Error().empty())
                state.SkipWithError(("no first frame: " + preview.Error()).c_str());
        }
        platform::SetCurrentPlatform(nullptr);
    }
}
BENCHMARK(StartupToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
