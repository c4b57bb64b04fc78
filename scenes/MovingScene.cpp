#include "scenes/MovingScene.h"

namespace quellmoor {

RMovingScene::RMovingScene(RComponentManager& library, std::string name, RSceneManager& manager)
    : RScene(std::move(name), library, manager) {}

void RMovingScene::Enter() { Finish(); }

void RMovingScene::PlayTick() { Finish(); }

}  // namespace quellmoor
