// RPlanetScene: the ship lands on a planet and the mascot gets out to perform.
//
// The scene paints its own sky (the picture "Sky" tiled across the window, the
// picture "Planet" stretched along its bottom) instead of the floaters. The
// ship descends for 6 s, the mascot climbs out (the stage's director "GetOut"),
// says an introduction in a balloon, takes a microphone, the library's
// director "Playing" performs, the mascot puts the microphone away, says a
// farewell, climbs back in ("GetIn") and the ship takes off for 6 s. Around
// the performance the library's "Before" and "After" directors loop.
//
// A scene file must hold the director "Before", and "Talking" and "NotTalking"
// when its `Intro` or `Exit` header lists name a text block it holds; the main
// stream must hold "GetOut" and "GetIn". Without them the constructor throws
// RParamException and the manager leaves the scene out. Successive plays say
// successive items of the `Intro` and `Exit` lists.
#pragma once

#include <string>

#include "animation/Balloon.h"
#include "animation/Sequencer.h"
#include "model/Lifetime.h"
#include "scenes/Scene.h"

namespace quellmoor {

class RDirector;
class RPicture;
class RTextBlock;

class RPlanetScene : public RScene {
public:
    // The states of one play, in order.
    enum State {
        kLanding = 0,
        kGettingOut = 1,
        kIntroduction = 2,
        kTakingMicrophone = 3,
        kPerforming = 4,
        kPuttingMicrophoneAway = 5,
        kFarewell = 6,
        kGettingIn = 7,
        kTakingOff = 8,
    };
    static constexpr double kFlightMs = 6000.0;
    // The ship lands left of the centre, so the native has room on the right.
    static constexpr float kShipOffsetX = -200.0f;

    RPlanetScene(RComponentManager& library, std::string name, RSceneManager& manager);
    ~RPlanetScene() override;

    std::string GetClassName() const override { return "RPlanetScene"; }
    void Enter() override;
    void ShowSkyItems(RStage& stage) override;
    bool KeepsSky() const override { return false; }
    // Switching off also stops every director of the scene, "After" included,
    // so none of them goes on moving the mascot after the scene.
    void SetEnabled(bool on) override;

    int GetState() const { return state_; }
    const RBalloon& GetBalloon() const { return balloon_; }

protected:
    void PlayTick() override;
    void StopActors() override;

private:
    void GoTo(int newState);
    void LeaveState();
    void EnterState();
    // p from 0 (above the window) to 1 (landed).
    void Approach(double p);
    void SetPlaying(bool on);
    void StartShipDirector(RDirector& director);
    void ShowShipInside(bool on);
    void PlaceDirector(RDirector* director);
    void PlayEngineSound();
    // The balloon says `text` with the mascot as the speaker.
    void Say(const RTextBlock& text);
    // Runs a microphone sequence once; one without steps is over at once.
    void RunOnce(const std::string& sequenceName);
    // True once `director` no longer runs; one without a table never ends by
    // itself, so it counts as finished at once.
    static bool HasFinished(RDirector* director);

    RPicture* sky_ = nullptr;
    RPicture* planet_ = nullptr;
    RTextBlock* introText_ = nullptr;
    RTextBlock* exitText_ = nullptr;
    RDirector* before_ = nullptr;
    RDirector* after_ = nullptr;
    RDirector* talking_ = nullptr;
    RDirector* notTalking_ = nullptr;
    RDirector* playing_ = nullptr;
    RDirector* getOut_ = nullptr;
    RDirector* getIn_ = nullptr;
    double stateStart_ = 0;
    float centreX_ = 0;
    RBalloon balloon_;
    // The mascot's players, held by handle: the mascot belongs to the stage.
    RHandle<RPixieSequencer> talkSequencer_;
    RHandle<RPixieSequencer> standSequencer_;
    bool hideBrax_ = false;
    bool engineSoundPlayed_ = false;
    int textIndex_ = 0;
    int state_ = kLanding;
};

}  // namespace quellmoor
