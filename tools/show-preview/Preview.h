// ShowPreview: the preview's show on a stage that the program made: the main
// stream loaded, the ship (ShipShow) and the drifting stars (StarSky) built on
// it, and a 25 ms timer that moves them and ends the run after `seconds` of
// stage time. The stars draw from a generator seeded with `seed` and the rest
// follows stage time alone, so on the headless backend's virtual clock every
// run with the same settings composes the same frames.
//
//   RDibStage stage;                                   // after SetCurrentPlatform
//   ShowPreview preview(stage, {.width = 480, .height = 360, .seconds = 60});
//   stage.Run();
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "model/Exceptions.h"

namespace quellmoor {

class RComponent;
class RDibStage;
class REvent;
class ShipShow;
class StarSky;

struct PreviewSettings {
    int width = 800, height = 600;
    bool fullscreen = false;
    bool wholeFrames = false;  // compose every frame whole instead of only what changed
    std::uint32_t seed = 1997;
    double seconds = 0;        // stage time to run; 0: until closed
};

class ShowPreview : public RObject {
public:
    static constexpr double kTickMs = 25.0;

    // Loads the stage's content stream and builds the show; throws RException.
    ShowPreview(RDibStage& stage, PreviewSettings settings);
    ~ShowPreview() override;
    ShowPreview(const ShowPreview&) = delete;
    ShowPreview& operator=(const ShowPreview&) = delete;

    // Empty when the mascot's trip outside lines up with the ship; otherwise why he stays aboard.
    const std::string& LinesUpReason() const;

private:
    static void OnSetup(RComponent*, REvent*, RObject* data);
    static void OnKeyDown(RComponent*, REvent*, RObject* data);
    static void OnTick(RComponent*, REvent*, RObject* data);

    RDibStage& stage_;
    PreviewSettings settings_;
    std::mt19937 random_;
    std::unique_ptr<ShipShow> ship_;
    std::unique_ptr<StarSky> sky_;
};

}  // namespace quellmoor
