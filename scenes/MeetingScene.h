// RMeetingScene: a visitor walks up to the ship, talks with the mascot, performs
// and walks off to the right, while the sky of floaters stays on screen.
//
// The scene file brings the directors "MoveIn" (the visitor walking in; the
// scene moves it by `Speed` pixels per tick), "Talking", "NotTalking",
// "Playing" (the performance) and optionally "MoveOut", the text blocks named
// by the header lists `Intro` and `Exit`, and optionally "Inside" and "Brax"
// when the scene acts the mascot itself. States: 0 idle, 1 walking in,
// 2 introduction, 3 performance, 4 farewell, 5 walking out. From the
// introduction to the walk-out the scene manager's timer is off, so the sky
// stands still; whatever way the scene ends, it is switched on again.
//
// A file without one of the four directors cannot play: the constructor throws
// and the manager leaves the file out.
#pragma once

#include <string>

#include "animation/Balloon.h"
#include "scenes/Scene.h"

namespace quellmoor {

class RDirector;
class RPixieSequencer;
class RSprite;
class RTextBlock;

class RMeetingScene : public RScene {
public:
    // The walking step when the file gives none that can arrive.
    static constexpr float kDefaultSpeed = 10.0f;
    // A walk still going after this long ends anyway (a place out of reach).
    static constexpr double kLongestWalkMs = 120000.0;

    RMeetingScene(RComponentManager& library, std::string name, RSceneManager& manager);
    ~RMeetingScene() override;

    std::string GetClassName() const override { return "RMeetingScene"; }
    void Enter() override;
    // Switched off, the scene stops what it runs and gives the sky back.
    void SetEnabled(bool on) override;
    void ShowSkyItems(RStage&) override {}

    int GetState() const { return state_; }
    float GetSpeed() const { return speed_; }
    const RBalloon& GetBalloon() const { return balloon_; }

protected:
    void PlayTick() override;
    void StopActors() override;

private:
    void GoTo(int newState);
    void LeaveState();
    // Says a text; false when there is none to say.
    bool Say(const RTextBlock* text);
    bool Walk(int mode);
    void PauseManager();
    void ResumeManager();

    RTextBlock* introText_ = nullptr;
    RTextBlock* exitText_ = nullptr;
    RDirector* moveIn_ = nullptr;
    RDirector* talking_ = nullptr;
    RDirector* notTalking_ = nullptr;
    RDirector* playing_ = nullptr;
    RDirector* moveOut_ = nullptr;
    double stateStart_ = 0;
    float offsetX_ = 0, offsetY_ = 0, offsetZ_ = 100;
    RSprite* brax_ = nullptr;
    float speed_ = kDefaultSpeed;
    RBalloon balloon_;
    RPixieSequencer* talkSequencer_ = nullptr;
    RPixieSequencer* listenSequencer_ = nullptr;
    bool hasInside_ = false;
    bool mirrorBrax_ = false;
    int textIndex_ = 0;
    int state_ = 0;
    float balloonX_ = 0, balloonY_ = 0;
    // This scene switched the manager's timer off and owes switching it on.
    bool managerPaused_ = false;
};

}  // namespace quellmoor
