// RPlanetScene: (to be written).
#pragma once

#include <string>

#include "scenes/Scene.h"

namespace quellmoor {

class RPlanetScene : public RScene {
public:
    RPlanetScene(RComponentManager& library, std::string name, RSceneManager& manager);
    std::string GetClassName() const override { return "RPlanetScene"; }
    void Enter() override;

protected:
    void PlayTick() override;
};

}  // namespace quellmoor
