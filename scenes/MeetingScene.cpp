#include "scenes/MeetingScene.h"

namespace quellmoor {

RMeetingScene::RMeetingScene(RComponentManager& library, std::string name, RSceneManager& manager)
    : RScene(std::move(name), library, manager) {}

void RMeetingScene::Enter() { Finish(); }

void RMeetingScene::PlayTick() { Finish(); }

}  // namespace quellmoor
