// Setting up the show on a stage that already holds the main stream: what the
// saver does when its run starts, and what the preview and the soak run do.
//
// BuildShow fetches the ship's parts and the mascot from the stage, loads the
// skin, makes the ship and the scene manager (both owned by the stage and in
// its registry), adds every star of the stream to the sky with weight 4 in the
// stage's component order, seeds the show's random numbers, loads the scene
// files of `dir` and starts the show.
//
//   BuiltShow show = BuildShow(stage, {.dir = BuiltContentDir(), .seed = 1997});
//   show.manager->GetScenes();
//
// A missing part throws RException "component <name> not found."; a skin that
// cannot be used keeps the stream's skin (reported once); scene files that
// cannot play are left out (reported once).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellmoor {

class RSceneManager;
class RSpaceShip;
class RSprite;
class RStage;

struct ShowSettings {
    std::string dir;            // the content directory: scene files, Sounds/, Skins/
    std::uint32_t seed = 0;
    std::string skin;           // a name in dir/Skins without ".bmp"; empty keeps the stream's
    std::string engine = "1";   // the flame's type: "ON_" + engine
};

struct BuiltShow {
    RSpaceShip* ship = nullptr;
    RSceneManager* manager = nullptr;
};

BuiltShow BuildShow(RStage& stage, const ShowSettings& settings);

// The sprites of the stage whose tag Sterretje reads true, in component order.
std::vector<RSprite*> FindStars(const RStage& stage);

}  // namespace quellmoor
