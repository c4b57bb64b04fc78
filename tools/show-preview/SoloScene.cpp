#include "tools/show-preview/SoloScene.h"

namespace quellmoor {

SoloSceneDir::SoloSceneDir(const std::string& contentDir, const std::string& scene)
    : SceneFolder(contentDir, {scene}) {}

}  // namespace quellmoor
