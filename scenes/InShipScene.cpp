#include "scenes/InShipScene.h"

#include "animation/Director.h"
#include "scenes/SpaceShip.h"

namespace quellmoor {

namespace {

constexpr const char* kReachEnd = "OnReachEnd";

}  // namespace

RInShipScene::RInShipScene(RComponentManager& library, std::string name, RSceneManager& manager)
    : RScene(std::move(name), library, manager) {
    // Without it the scene would end as soon as it began, on every choice.
    director_ = &RequireInLibrary<RDirector>("Scene", "director");
    director_->ConnectEvent(kReachEnd, this);
}

void RInShipScene::Enter() {
    // A director without keyframes never reaches its end.
    if (director_->GetTracks().empty()) {
        Finish();
        return;
    }
    RSpaceShip& ship = Ship();
    float px = 0, py = 0, pz = 0;
    director_->GetStartPosition("Inside", px, py, pz);
    ship.SetOpen(true);
    director_->SetPosition(ship.GetXPos() - 110 - px, ship.GetYPos() - 159 - py, ship.GetZPos() + 40 - pz);
    director_->loopAtEnd = false;
    director_->SetRunning(true, 1);
}

void RInShipScene::HandleEvent(const std::string& eventName, RComponent* sender, REvent*) {
    // The name as the director's event carries it, byte for byte.
    if (eventName != kReachEnd || sender != director_ || !IsPlaying()) return;
    End();
}

void RInShipScene::PlayTick() {
    // Stopped by someone else, the director will never reach its end.
    if (!director_->IsRunning()) End();
}

void RInShipScene::End() {
    Ship().SetOpen(false);
    Finish();
}

void RInShipScene::SetEnabled(bool on) {
    if (!on && IsPlaying()) StopActors();
    RScene::SetEnabled(on);
}

void RInShipScene::StopActors() {
    StopDirector(director_);
    Ship().SetOpen(false);
}

}  // namespace quellmoor
