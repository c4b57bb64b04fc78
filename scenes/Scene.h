// RScene: what every scene of the show has in common.
//
// A scene is a 25 ms timer made from one scene file: the file's components
// (its library) are attached to the stage only while the scene plays. The
// manager calls Start; the scene's class runs its state machine in PlayTick
// and calls Finish when it is done. Start, the ticks and Finish are guarded:
// an exception from broken content ends the scene cleanly (Fail), is reported
// once, and the show goes on with the next scene.
//
// A scene class whose content cannot play throws RParamException from its
// constructor (see RequireComponent); the manager then leaves the file out.
//
//   class RNapScene : public RScene {
//       void Enter() override { ... }
//       void PlayTick() override { if (done) Finish(); }
//   };
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "model/ComponentManager.h"
#include "stage/Timer.h"

namespace quellmoor {

class RDirector;
class RSceneManager;
class RSpaceShip;
class RSprite;
class RStage;
class RTextBlock;

class RScene : public RTimer {
public:
    static constexpr double kTickMs = 25.0;

    // Scales the library's sky items from the 800 x 600 layout to the window.
    RScene(std::string name, RComponentManager& library, RSceneManager& manager);
    ~RScene() override;

    std::string GetClassName() const override { return "RScene"; }

    // Attaches the library, starts the ticks and calls Enter; unless Enter
    // already finished the scene, a scene without the sky fades in its own.
    void Start(RSceneManager& manager);
    // Stops the ticks, hides and detaches the library, hands a "VMAIL" sprite
    // to the ship and tells the manager. Safe to call more than once.
    void Finish();
    // Ends the scene after a problem: reports `message` once, stops whatever
    // the scene runs, puts the ship and mascot back as between scenes, re-enables
    // the manager's timer, then Finish.
    void Fail(const std::string& message);

    virtual void Enter() = 0;
    virtual void ShowSkyItems(RStage& stage);
    virtual bool KeepsSky() const { return true; }

    // The state machine runs in PlayTick; this guard is the only tick.
    void OnTimerTick() final;

    bool IsPlaying() const { return playing_; }
    RComponentManager& GetLibrary() const { return library_; }

    std::string preferredNextScene;
    float weight = 0;
    float baseFrequency = 0;

protected:
    virtual void PlayTick() = 0;
    // Stops every director, balloon and sequencer the scene may have running.
    virtual void StopActors() {}

    RSceneManager& Manager() const { return manager_; }
    RStage& Stage() const;
    RSpaceShip& Ship() const;
    RSprite& Mascot() const;
    // The window's width and height, as the stage reports them now.
    std::pair<float, float> WindowSize() const;
    double Now() const;

    // The library's component of class T called `name` (any case), or null.
    template <class T>
    T* FindInLibrary(std::string_view name) const {
        return dynamic_cast<T*>(library_.FindComponent(name));
    }
    // Like FindInLibrary, but a missing one means the scene cannot play:
    // throws RParamException "The scene <name> cannot play: it has no <what> "<name>"."
    template <class T>
    T& RequireInLibrary(std::string_view name, std::string_view what) const {
        if (T* found = FindInLibrary<T>(name)) return *found;
        ThrowMissing(name, what);
    }
    [[noreturn]] void ThrowMissing(std::string_view name, std::string_view what) const;

    // Plays a sound of the content directory by name ("motor1", "brax3").
    void PlaySound(std::string_view name) const;

private:
    // Runs `step` and turns an exception into Fail.
    template <class Step>
    void Guarded(std::string_view what, Step&& step);
    void FinishUnguarded();

    RComponentManager& library_;
    RSceneManager& manager_;
    bool playing_ = false;
};

// Stops a director that may be missing (SetRunning(false, -1)).
void StopDirector(RDirector* director);
// True while a director that may be missing runs.
bool IsDirectorRunning(const RDirector* director);

// The intro and exit texts for this play: item `textIndex` of the header lists
// `Intro` and `Exit` (comma-separated text block names), wrapping to the first
// after the last; advances textIndex. A name the library lacks gives null.
std::pair<RTextBlock*, RTextBlock*> ChooseSceneTexts(const RComponentManager& library, int& textIndex);

}  // namespace quellmoor
