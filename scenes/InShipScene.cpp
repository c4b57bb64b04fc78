#include "scenes/InShipScene.h"

namespace quellmoor {

RInShipScene::RInShipScene(RComponentManager& library, std::string name, RSceneManager& manager)
    : RScene(std::move(name), library, manager) {}

void RInShipScene::Enter() { Finish(); }

void RInShipScene::PlayTick() { Finish(); }

}  // namespace quellmoor
