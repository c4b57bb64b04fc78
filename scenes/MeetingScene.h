// RMeetingScene: (to be written).
#pragma once

#include <string>

#include "scenes/Scene.h"

namespace quellmoor {

class RMeetingScene : public RScene {
public:
    RMeetingScene(RComponentManager& library, std::string name, RSceneManager& manager);
    std::string GetClassName() const override { return "RMeetingScene"; }
    void Enter() override;

protected:
    void PlayTick() override;
};

}  // namespace quellmoor
