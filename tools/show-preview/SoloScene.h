// SoloSceneDir: a content directory that plays one scene file alone, the
// preview's --scene. It is a SceneFolder of that one file (see
// scenes/SceneFolder.h for where the folder is and what it holds).
//
//   SoloSceneDir solo(BuiltContentDir(), "Planet-Ice.RCS");
//   BuildShow(stage, {.dir = solo.Path(), .seed = 1997});
#pragma once

#include <string>

#include "scenes/SceneFolder.h"

namespace quellmoor {

class SoloSceneDir : public SceneFolder {
public:
    // `scene` is a path to a file, or the name of a file in `contentDir`;
    // throws RException when it is neither or not a *.RCS file.
    SoloSceneDir(const std::string& contentDir, const std::string& scene);
};

}  // namespace quellmoor
