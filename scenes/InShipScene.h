// RInShipScene: (to be written).
#pragma once

#include <string>

#include "scenes/Scene.h"

namespace quellmoor {

class RInShipScene : public RScene {
public:
    RInShipScene(RComponentManager& library, std::string name, RSceneManager& manager);
    std::string GetClassName() const override { return "RInShipScene"; }
    void Enter() override;

protected:
    void PlayTick() override;
};

}  // namespace quellmoor
