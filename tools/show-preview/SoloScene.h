// SoloSceneDir: a content directory that plays one scene file alone.
//
// A fresh folder under the system's temporary folder holding a copy of the
// scene file and links to the content directory's "Sounds" and "Skins" (copies
// where links cannot be made), so the scene manager loads that one file and
// its sounds and skins are found as usual. The folder goes with the object.
//
//   SoloSceneDir solo(BuiltContentDir(), "Planet-Ice.RCS");
//   BuildShow(stage, {.dir = solo.Path(), .seed = 1997});
#pragma once

#include <filesystem>
#include <string>

namespace quellmoor {

class SoloSceneDir {
public:
    // `scene` is a path to a file, or the name of a file in `contentDir`;
    // throws RException when it is neither.
    SoloSceneDir(const std::string& contentDir, const std::string& scene);
    ~SoloSceneDir();
    SoloSceneDir(const SoloSceneDir&) = delete;
    SoloSceneDir& operator=(const SoloSceneDir&) = delete;

    std::string Path() const { return folder_.string(); }

private:
    std::filesystem::path folder_;
};

}  // namespace quellmoor
