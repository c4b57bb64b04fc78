// RSceneManager ("DeepThought"): the director of the endless show.
//
// It keeps the sky of floaters drifting across the window, loads every scene
// file and float library of the content directory, chooses the next scene by
// weighted chance whenever none plays and the ship shows no mail, starts it,
// and takes the show back when the scene finishes. Start-up calls, in order:
//
//   auto* manager = MakeOwned<RSceneManager>(ship, mascot, stage);
//   for (RSprite* star : stars) manager->AddFloatSprite(*star, 4.0f);
//   SeedRandom(seed);
//   manager->LoadScenes(dir);     // also the directory sounds come from
//   manager->StartShow();
//
// The manager belongs to the stage and owns its scenes, their libraries and
// the floaters; the floaters' sprites are copies owned by the stage. A scene
// file that cannot be read or cannot play is reported once and left out.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/Lifetime.h"
#include "stage/Timer.h"

namespace quellmoor {

class RComponentManager;
class RFloater;
class RScene;
class RSpaceShip;
class RSprite;
class RStage;

class RSceneManager : public RTimer {
public:
    static constexpr double kTickMs = 25.0;
    // A float sprite's Frequency is its number of copies; more is not content.
    static constexpr int kMaxFloaterCopies = 256;
    // Selection weights stay in [0, kMaxWeight], so their integer total cannot overflow.
    static constexpr float kMaxWeight = 1.0e6f;

    RSceneManager(RSpaceShip& ship, RSprite& mascot, RStage& stage);
    ~RSceneManager() override;

    std::string GetClassName() const override { return "RSceneManager"; }

    void AddFloatSprite(const RSprite& sprite, float weight);
    // Loads the scene files and float libraries of `directory`, which is then
    // also where sounds are looked for. Never throws.
    void LoadScenes(const std::string& directory);
    void StartShow();

    void SceneEnded(RScene* scene);
    void SetSkyActive(bool on);
    void PlaceShip();
    void ShowScene(RScene& scene);
    RFloater* PickFloater();
    void SkyTick();
    void ChooseNextScene();
    void OnTimerTick() override;

    // Plays dir/Sounds/name (or name.wav) through the stage's sound switch.
    void PlayContentSound(std::string_view name);

    RSpaceShip& GetShip() const { return ship_; }
    RSprite& GetMascot() const { return mascot_; }
    RStage& GetStage() const { return stage_; }
    const std::string& GetDir() const { return dir_; }
    bool IsSkyActive() const { return skyActive_; }
    RScene* GetCurrentScene() const { return currentScene_; }
    const std::vector<RScene*>& GetScenes() const { return scenes_; }
    const std::vector<RComponentManager*>& GetFloatLibraries() const { return floatLibraries_; }
    const std::vector<RFloater*>& GetActiveFloaters() const { return activeFloaters_; }
    const std::vector<RFloater*>& GetIdleFloaters() const { return idleFloaters_; }

private:
    void LoadSceneFile(const std::string& name, const std::string& path);
    RScene* CreateScene(const std::string& name, RComponentManager& library);
    void DropLibrary(RComponentManager& library);
    std::pair<float, float> WindowSize() const;

    RSpaceShip& ship_;
    RHandle<RSpaceShip> shipAlive_;  // the stage may destroy the ship first
    RSprite& mascot_;
    RStage& stage_;
    std::string dir_;
    bool skyActive_ = false;
    RScene* currentScene_ = nullptr;
    std::vector<RScene*> scenes_;
    std::vector<RComponentManager*> floatLibraries_;
    std::vector<std::unique_ptr<RFloater>> floaters_;
    std::vector<RFloater*> activeFloaters_;
    std::vector<RFloater*> idleFloaters_;
};

}  // namespace quellmoor
