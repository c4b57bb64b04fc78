#include "scenes/MeetingScene.h"

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "animation/Director.h"
#include "animation/PixieDrawing.h"
#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "animation/TextBlock.h"
#include "model/Text.h"
#include "scenes/SceneManager.h"
#include "scenes/SpaceShip.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

enum State { kIdle = 0, kWalkingIn = 1, kIntroduction = 2, kPerformance = 3, kFarewell = 4, kWalkingOut = 5 };

// A header number (`fallback` when the key is missing or the value is not a finite float).
float HeaderFloat(const RComponentManager& library, std::string_view key, float fallback) {
    const double value = TextToFloat(library.GetHeaderValue(key, std::to_string(fallback)));
    const bool fits = std::isfinite(value) && std::abs(value) <= std::numeric_limits<float>::max();
    return fits ? static_cast<float>(value) : fallback;
}

// A director without keyframes never reaches its end: it counts as done at once.
bool IsPlayingTable(const RDirector* director) {
    return IsDirectorRunning(director) && !director->GetTracks().empty();
}

// The mascot's talk or listen loop, prepared and paused for the balloon; none
// when the mascot lacks it or it has no steps (nothing to show).
RPixieSequencer* PrepareLoop(RSprite& mascot, const std::string& name) {
    RPixieSequencer* sequence = mascot.FindSequence(name);
    if (!sequence || sequence->GetStepCount() == 0) return nullptr;
    mascot.Run(name, -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    RPixieSequencer* running = mascot.GetCurrentSequencer();
    if (running) running->SetEnabled(false);
    return running;
}

void Pause(RPixieSequencer* sequencer) {
    if (sequencer) sequencer->SetEnabled(false);
}

}  // namespace

RMeetingScene::RMeetingScene(RComponentManager& library, std::string name, RSceneManager& manager)
    : RScene(std::move(name), library, manager), balloon_("Balloon" + GetName(), &manager) {
    moveIn_ = &RequireInLibrary<RDirector>("MoveIn", "director");
    talking_ = &RequireInLibrary<RDirector>("Talking", "director");
    notTalking_ = &RequireInLibrary<RDirector>("NotTalking", "director");
    playing_ = &RequireInLibrary<RDirector>("Playing", "director");
    moveOut_ = FindInLibrary<RDirector>("MoveOut");
    if (!moveOut_) moveOut_ = moveIn_;
    brax_ = FindInLibrary<RSprite>("Brax");
    hasInside_ = library.FindComponent("Inside") != nullptr;

    offsetX_ = HeaderFloat(library, "XPos", 0);
    offsetY_ = HeaderFloat(library, "YPos", 0);
    offsetZ_ = HeaderFloat(library, "ZPos", 100);
    // A step that is not a positive number would never arrive.
    speed_ = HeaderFloat(library, "Speed", kDefaultSpeed);
    if (!(speed_ > 0)) speed_ = kDefaultSpeed;
    // Letter case counts here, unlike elsewhere: "true" does not mirror.
    mirrorBrax_ = library.GetHeaderValue("MirrorBrax", "False") == "True";

    Stage().RegisterComponent(&balloon_);
}

RMeetingScene::~RMeetingScene() = default;

void RMeetingScene::Enter() {
    state_ = kIdle;
    RSpaceShip& ship = Ship();

    float anchorX = ship.GetXPos() + offsetX_, anchorY = ship.GetYPos() + offsetY_, anchorZ = ship.GetZPos() + offsetZ_;
    float px = 0, py = 0, pz = 0;
    if (playing_->GetStartPosition("Inside", px, py, pz)) {
        anchorX = ship.GetXPos() - 110 - px;
        anchorY = ship.GetYPos() - 159 - py;
        anchorZ = ship.GetZPos();
    }
    moveIn_->SetZPos(anchorZ);
    for (RDirector* director : {playing_, talking_, notTalking_, moveOut_})
        director->SetPosition(anchorX, anchorY, anchorZ);

    if (brax_) brax_->SetVisible(false);
    std::tie(introText_, exitText_) = ChooseSceneTexts(GetLibrary(), textIndex_);

    Walk(0);
    moveIn_->SetRunning(true, -1);
    GoTo(kWalkingIn);

    talkSequencer_ = listenSequencer_ = nullptr;
    if (!hasInside_) {
        talkSequencer_ = PrepareLoop(Mascot(), "TALKSIT");
        listenSequencer_ = PrepareLoop(Mascot(), "LISTENSIT");
    }
}

void RMeetingScene::PlayTick() {
    switch (state_) {
    case kWalkingIn:
        if (!Walk(1)) GoTo(kIntroduction);
        break;
    case kIntroduction:
        if (balloon_.IsFinished()) GoTo(kPerformance);
        break;
    case kPerformance:
        if (!IsPlayingTable(playing_)) GoTo(kFarewell);
        break;
    case kFarewell:
        if (balloon_.IsFinished()) GoTo(kWalkingOut);
        break;
    case kWalkingOut:
        if (!Walk(2)) {
            GoTo(kIdle);
            Finish();
        }
        break;
    default:
        break;
    }
}

bool RMeetingScene::Walk(int mode) {
    // An out-of-reach place (a huge or broken coordinate) ends the walk in time.
    const bool tooLong = Now() - stateStart_ > kLongestWalkMs;
    switch (mode) {
    case 0:
        moveIn_->MoveTo(-200, playing_->GetYPos());
        return true;
    case 1: {
        const float x = moveIn_->GetXPos();
        // Written so that a coordinate that is not a number counts as arrived.
        if (!(playing_->GetXPos() >= x + speed_) || tooLong) return false;
        moveIn_->MoveTo(x + speed_, moveIn_->GetYPos());
        return true;
    }
    default: {
        const float x = moveOut_->GetXPos();
        moveOut_->MoveTo(x + speed_, moveOut_->GetYPos());
        const float moved = moveOut_->GetXPos();
        // Gone past the right edge, or stuck where a step no longer adds up.
        return moved <= WindowSize().first && moved > x && !tooLong;
    }
    }
}

void RMeetingScene::LeaveState() {
    switch (state_) {
    case kWalkingIn:
        StopDirector(moveIn_);
        break;
    case kIntroduction:
        StopDirector(talking_);
        StopDirector(notTalking_);
        break;
    case kPerformance:
        StopDirector(playing_);
        break;
    case kFarewell:
        StopDirector(notTalking_);
        StopDirector(talking_);
        Mascot().mirrorHorizontal = false;
        break;
    case kWalkingOut:
        Ship().SetOpen(false);
        StopDirector(moveOut_);
        break;
    default:
        break;
    }
}

void RMeetingScene::GoTo(int newState) {
    LeaveState();
    stateStart_ = Now();
    state_ = newState;

    // (x, y) of the ship is its hull's bottom centre: the tip lands at the
    // mascot in the ship's window, the box above the hull.
    if (hasInside_ && brax_) {
        balloonX_ = brax_->GetLeft() + 20;
        balloonY_ = brax_->GetTop() - 6;
    } else {
        balloonX_ = Ship().GetLeft() - 20;
        balloonY_ = Ship().GetTop() - 150;
    }

    switch (newState) {
    case kWalkingIn:
        moveIn_->SetRunning(true, 1);
        break;
    case kIntroduction:
        if (hasInside_) Ship().SetOpen(true);
        StopDirector(talking_);
        StopDirector(notTalking_);
        Mascot().mirrorHorizontal = mirrorBrax_;
        PauseManager();
        if (!Say(introText_)) GoTo(kPerformance);
        break;
    case kPerformance:
        playing_->SetRunning(true, 1);
        playing_->loopAtEnd = false;
        break;
    case kFarewell:
        StopDirector(talking_);
        StopDirector(notTalking_);
        if (!Say(exitText_)) GoTo(kWalkingOut);
        break;
    case kWalkingOut:
        moveOut_->SetRunning(true, -1);
        ResumeManager();
        break;
    default:
        break;
    }
}

bool RMeetingScene::Say(const RTextBlock* text) {
    if (!text) return false;
    balloon_.Say(text->GetContents(), balloonX_, balloonY_, talking_, notTalking_, talkSequencer_, listenSequencer_);
    return true;
}

void RMeetingScene::PauseManager() {
    if (!Manager().IsEnabled()) return;
    Manager().SetEnabled(false);
    managerPaused_ = true;
}

void RMeetingScene::ResumeManager() {
    if (!managerPaused_) return;
    managerPaused_ = false;
    Manager().SetEnabled(true);
}

void RMeetingScene::SetEnabled(bool on) {
    if (!on && IsPlaying()) StopActors();
    RScene::SetEnabled(on);
    if (!on) ResumeManager();
}

void RMeetingScene::StopActors() {
    for (RDirector* director : {moveIn_, talking_, notTalking_, playing_, moveOut_}) StopDirector(director);
    balloon_.GetTimer().SetEnabled(false);
    balloon_.SetVisible(false);
    Pause(talkSequencer_);
    Pause(listenSequencer_);
    Mascot().mirrorHorizontal = false;
    Ship().SetOpen(false);
}

}  // namespace quellmoor
