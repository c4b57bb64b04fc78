// ShowPreview: the show itself (scenes/Show.h) on a stage that the program
// made: the embedded main stream loaded into a window of the size asked for,
// the ship, the scene manager, the sky and the scene files of a content
// directory (or one scene file alone), and a timer that ends the run after
// `seconds` of stage time. The show's random numbers start from `seed` and
// everything else follows stage time, so on the headless backend's virtual
// clock every run with the same settings composes the same frames.
//
//   RDibStage stage;                                   // after SetCurrentPlatform
//   ShowPreview preview(stage, {.width = 480, .height = 360, .seconds = 60});
//   stage.Run();
//   if (!preview.Error().empty()) ...                  // the show could not be built
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/Exceptions.h"
#include "scenes/Show.h"

namespace quellmoor {

class RComponent;
class RDibStage;
class REvent;
class SceneFolder;

struct PreviewSettings {
    int width = 800, height = 600;
    bool fullscreen = false;
    bool wholeFrames = false;  // compose every frame whole instead of only what changed
    std::uint32_t seed = 1997;
    double seconds = 0;        // stage time to run; 0: until closed
    std::string dir;           // the content directory; empty: the built one
    std::string skin;          // empty: the stream's own skin
    std::string engine = "1";
    std::string scene;         // a scene file to play alone (a path, or a name in dir); empty: all
};

class ShowPreview : public RObject {
public:
    static constexpr double kTickMs = 25.0;

    // Loads the stage's content stream; the show is built when the stage starts.
    // Throws RException when the scene file to play alone cannot be found.
    ShowPreview(RDibStage& stage, PreviewSettings settings);
    ~ShowPreview() override;
    ShowPreview(const ShowPreview&) = delete;
    ShowPreview& operator=(const ShowPreview&) = delete;

    // Why the show could not be built (the run then ended at once); empty when it was.
    const std::string& Error() const { return error_; }
    const BuiltShow& GetShow() const { return show_; }

private:
    static void OnSetup(RComponent*, REvent*, RObject* data);
    static void OnStarted(RComponent*, REvent*, RObject* data);
    static void OnKeyDown(RComponent*, REvent*, RObject* data);
    static void OnTick(RComponent*, REvent*, RObject* data);

    RDibStage& stage_;
    PreviewSettings settings_;
    std::unique_ptr<SceneFolder> solo_;  // the one scene file to play alone
    BuiltShow show_;
    std::string error_;
};

}  // namespace quellmoor
