// The golden runs of the show, one manifest each, shared by the native test
// and the web page that plays them in a browser; and the sampling that turns
// the frames a stage presents into one frame every so many ms of show time.
//
//   FrameSampler sampler(run);
//   sampler.Presented(CaptureFrame(dib, "", 0), stage.GetTime());   // after every present
//   std::vector<Frame> frames = sampler.Finish();
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/golden/GoldenFrames.h"
#include "tools/show-preview/Preview.h"

namespace quellmoor::golden {

inline constexpr int kRunWidth = 800, kRunHeight = 600;
inline constexpr std::uint32_t kRunSeed = 1997;

// A run of the show: all scene files, or one played alone again and again.
struct GoldenRun {
    const char* name;   // also the manifest's: <name>.manifest
    const char* scene;  // a file of the built content directory; empty: every scene
    int frames;
    std::int64_t everyMs;
    const char* what;   // what the frames are meant to show

    double Seconds() const { return static_cast<double>(frames * everyMs) / 1000.0; }
};

// How show-preview plays a run: its size, seed, length and scene.
inline PreviewSettings RunSettings(const GoldenRun& run, bool wholeFrames) {
    PreviewSettings settings;
    settings.width = kRunWidth;
    settings.height = kRunHeight;
    settings.wholeFrames = wholeFrames;
    settings.seed = kRunSeed;
    settings.seconds = run.Seconds();
    settings.scene = run.scene;
    return settings;
}

// The ship at scale 1 is in every run; the moving scene gives it scaled.
inline constexpr std::array<GoldenRun, 5> kGoldenRuns{{
    {"show-preview", "", 30, 2000, "the whole show"},
    {"scene-Planet-Ice", "Planet-Ice.RCS", 16, 2500, "a planet scene: landing, the mascot outside, take-off"},
    {"scene-Meet-Zib", "Meet-Zib.RCS", 16, 2500, "a meeting scene: the visitor comes, talks and goes"},
    {"scene-InShip-Nap", "InShip-Nap.RCS", 16, 2500, "an in-ship scene: the director's trip inside the ship"},
    {"scene-Flyby-Nebula", "Flyby-Nebula.RCS", 16, 2500, "a moving scene: the ship scaled along its path"},
}};

// The picture at show time t is the last one presented at or before t: a stage
// that presents only changes shows nothing new when nothing changed.
class FrameSampler {
public:
    explicit FrameSampler(const GoldenRun& run) : run_(run) {}

    // A frame the stage presented at show time `timeMs`; answers how many
    // frames of the run the one presented before it became.
    int Presented(Frame frame, double timeMs);
    // The run's frames, the last presented one standing for those not reached.
    std::vector<Frame> Finish();

private:
    int EmitUpTo(double timeMs);

    const GoldenRun& run_;
    std::optional<Frame> last_;
    std::vector<Frame> frames_;
};

}  // namespace quellmoor::golden
