// SceneFolder: a content directory that plays only the scene files named
// (vexmon's --scene, the preview's scene played alone).
//
// A fresh folder under the system's temporary folder holds copies of the scene
// files and links to the content directory's "Sounds" and "Skins" (copies
// where links cannot be made), so the scene manager loads just those files
// and finds their sounds and skins as usual. The folder goes with the object.
//
//   SceneFolder only(BuiltContentDir(), {"Planet-Ice.RCS", "~/new/Moon.RCS"});
//   settings.dir = only.Path();
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quellmoor {

class SceneFolder {
public:
    // Each scene is a path to a file, or the name of a file in `contentDir`;
    // throws RException naming the first that is neither or not a *.RCS file.
    SceneFolder(const std::string& contentDir, const std::vector<std::string>& scenes);
    ~SceneFolder();
    SceneFolder(const SceneFolder&) = delete;
    SceneFolder& operator=(const SceneFolder&) = delete;

    std::string Path() const { return folder_.string(); }

private:
    std::filesystem::path folder_;
};

}  // namespace quellmoor
