#include "scenes/PlanetScene.h"

namespace quellmoor {

RPlanetScene::RPlanetScene(RComponentManager& library, std::string name, RSceneManager& manager)
    : RScene(std::move(name), library, manager) {}

void RPlanetScene::Enter() { Finish(); }

void RPlanetScene::PlayTick() { Finish(); }

}  // namespace quellmoor
