// The show's start as the programs make it, headless on the virtual clock:
// from nothing to the first presented frame at 800 x 600, that is the
// embedded stream loaded, the ship, the sky and every scene file of the built
// content, and the first compose. Wall time, as a user waits for it. (The
// running show's cost is the soak tool's simulated hour.)
#include <benchmark/benchmark.h>

#include "stage/DibStage.h"
#include "tools/show-preview/HeadlessShow.h"
#include "tools/show-preview/Preview.h"

namespace {

using namespace quellmoor;

void StartupToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        HeadlessShowHost show(800, 600);
        RDibStage stage;
        PreviewSettings settings;
        settings.seconds = 60;
        ShowPreview preview(stage, settings);
        show.Host().SetFrameCallback([&stage](const platform::HeadlessFrame&) { stage.Quit(); });
        stage.Run();
        if (show.Host().FrameCount() == 0 || !preview.Error().empty())
            state.SkipWithError(("no first frame: " + preview.Error()).c_str());
    }
}
BENCHMARK(StartupToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
