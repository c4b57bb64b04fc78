// RInShipScene: one director plays an animation on the ship's interior.
//
// The scene file's director "Scene" is placed so that its actor "Inside" sits
// on the ship's interior, and the ship stops drawing its own interior while it
// plays. The director's "OnReachEnd" is routed to the scene, which then closes
// the ship and finishes. The sky of floaters keeps drifting meanwhile.
//
// A file without the director "Scene" cannot play: the constructor throws and
// the manager leaves the file out.
#pragma once

#include <string>

#include "scenes/Scene.h"

namespace quellmoor {

class RDirector;

class RInShipScene : public RScene {
public:
    RInShipScene(RComponentManager& library, std::string name, RSceneManager& manager);
    std::string GetClassName() const override { return "RInShipScene"; }

    void Enter() override;
    void HandleEvent(const std::string& eventName, RComponent* sender, REvent* event) override;
    // Switched off while playing, the director stops and the ship closes.
    void SetEnabled(bool on) override;

protected:
    void PlayTick() override;
    void StopActors() override;

private:
    void End();

    RDirector* director_ = nullptr;
};

}  // namespace quellmoor
