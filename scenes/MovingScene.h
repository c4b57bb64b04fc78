// RMovingScene: (to be written).
#pragma once

#include <string>

#include "scenes/Scene.h"

namespace quellmoor {

class RMovingScene : public RScene {
public:
    RMovingScene(RComponentManager& library, std::string name, RSceneManager& manager);
    std::string GetClassName() const override { return "RMovingScene"; }
    void Enter() override;

protected:
    void PlayTick() override;
};

}  // namespace quellmoor
