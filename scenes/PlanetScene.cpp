#include "scenes/PlanetScene.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "animation/Director.h"
#include "animation/Picture.h"
#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "animation/TextBlock.h"
#include "imaging/Surface.h"
#include "model/Text.h"
#include "scenes/ContentPaths.h"
#include "scenes/Control.h"
#include "scenes/SceneManager.h"
#include "scenes/SpaceShip.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

// True when an item of the comma-separated header list names a text block of the library.
bool NamesTextBlock(const RComponentManager& library, std::string list) {
    while (!list.empty()) {
        const std::string name = SplitOff(list, ",");
        if (!name.empty() && dynamic_cast<RTextBlock*>(library.FindComponent(name))) return true;
    }
    return false;
}

void SetRunningIfPresent(RDirector* director, bool run, int step) {
    if (director) director->SetRunning(run, step);
}

}  // namespace

RPlanetScene::RPlanetScene(RComponentManager& library, std::string name, RSceneManager& manager)
    : RScene(std::move(name), library, manager), balloon_("Balloon" + GetName(), &manager) {
    // The mascot climbs out and in with the main stream's directors.
    auto requireOnStage = [this](const char* directorName) -> RDirector& {
        if (auto* director = dynamic_cast<RDirector*>(Stage().FindComponent(directorName))) return *director;
        ThrowMissing(directorName, "director");
    };
    getOut_ = &requireOnStage("GetOut");
    getIn_ = &requireOnStage("GetIn");
    before_ = &RequireInLibrary<RDirector>("Before", "director");
    after_ = FindInLibrary<RDirector>("After");
    if (!after_) after_ = before_;
    // Texts are said with the native's talk directors; a scene with nothing to say needs none.
    if (NamesTextBlock(library, library.GetHeaderValue("Intro", "Intro")) ||
        NamesTextBlock(library, library.GetHeaderValue("Exit", "Exit"))) {
        RequireInLibrary<RDirector>("Talking", "director");
        RequireInLibrary<RDirector>("NotTalking", "director");
    }
    talking_ = FindInLibrary<RDirector>("Talking");
    notTalking_ = FindInLibrary<RDirector>("NotTalking");
    playing_ = FindInLibrary<RDirector>("Playing");
    if (playing_) playing_->loopAtEnd = false;
    sky_ = FindInLibrary<RPicture>("Sky");
    planet_ = FindInLibrary<RPicture>("Planet");
    if (sky_) sky_->SetVisible(false);
    if (planet_) planet_->SetVisible(false);
    hideBrax_ = TextToBool(library.GetHeaderValue("HideBrax", "False"));
    Stage().RegisterComponent(&balloon_);
}

RPlanetScene::~RPlanetScene() = default;

void RPlanetScene::SetEnabled(bool on) {
    if (!on)
        for (RDirector* director : {before_, talking_, notTalking_, playing_, after_}) StopDirector(director);
    RScene::SetEnabled(on);
}

void RPlanetScene::StopActors() {
    for (RDirector* director : {before_, after_, talking_, notTalking_, playing_}) StopDirector(director);
    balloon_.GetTimer().SetEnabled(false);
    balloon_.SetVisible(false);
    RSprite& mascot = Mascot();
    if (RPixieSequencer* current = mascot.GetCurrentSequencer();
        current && (current == talkSequencer_.Get() || current == standSequencer_.Get() ||
                    current == mascot.FindSequence("getmic") || current == mascot.FindSequence("awaymic")))
        mascot.Stop();
    for (const RHandle<RPixieSequencer>& sequencer : {talkSequencer_, standSequencer_})
        if (sequencer) sequencer->SetEnabled(false);
    if (auto* inside = dynamic_cast<RPicture*>(Stage().FindComponent("Ship-Inside")); inside && inside->GetVisible())
        inside->SetVisible(false);
}

// --- Playing

void RPlanetScene::Enter() {
    centreX_ = WindowSize().first * 0.5f;
    RSpaceShip& ship = Ship();
    ship.scale = 1.0f;
    ship.SetVisible(true);
    ship.MoveTo(centreX_, -ship.GetHoverOffset());

    // The balloon switches these on and off while the mascot speaks or listens.
    RSprite& mascot = Mascot();
    mascot.Run("TALK", -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    talkSequencer_ = mascot.GetCurrentSequencer();
    if (talkSequencer_) talkSequencer_->SetEnabled(false);
    mascot.Run("STAND", -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    standSequencer_ = mascot.GetCurrentSequencer();
    if (standSequencer_) standSequencer_->SetEnabled(false);

    std::tie(introText_, exitText_) = ChooseSceneTexts(GetLibrary(), textIndex_);
    // A play that failed midway left its state behind; it was stopped already.
    state_ = kLanding;
    GoTo(kLanding);
    Approach(0);
}

void RPlanetScene::PlayTick() {
    const double elapsed = Now() - stateStart_;
    switch (state_) {
        case kLanding: {
            if (!engineSoundPlayed_) {
                PlayEngineSound();
                engineSoundPlayed_ = true;
            }
            const double p = std::min(elapsed / kFlightMs, 1.0);
            Approach(p);
            if (p >= 1) GoTo(kGettingOut);
            break;
        }
        case kGettingOut:
            if (HasFinished(getOut_)) GoTo(kIntroduction);
            break;
        case kIntroduction:
            if (balloon_.IsFinished()) GoTo(kTakingMicrophone);
            break;
        case kTakingMicrophone:
            if (!Mascot().GetCurrentSequencer()) GoTo(kPerforming);
            break;
        case kPerforming:
            if (HasFinished(playing_)) GoTo(kPuttingMicrophoneAway);
            break;
        case kPuttingMicrophoneAway:
            if (!Mascot().GetCurrentSequencer()) GoTo(kFarewell);
            break;
        case kFarewell:
            if (balloon_.IsFinished()) GoTo(kGettingIn);
            break;
        case kGettingIn:
            if (HasFinished(getIn_)) {
                GoTo(kTakingOff);
                Mascot().SetVisible(false);
            }
            break;
        case kTakingOff: {
            const double p = std::min(elapsed / kFlightMs, 1.0);
            Approach(1 - p);
            if (p >= 1) Finish();
            break;
        }
        default:
            break;
    }
}

void RPlanetScene::GoTo(int newState) {
    LeaveState();
    stateStart_ = Now();
    state_ = newState;
    EnterState();
}

void RPlanetScene::LeaveState() {
    switch (state_) {
        case kGettingOut:
        case kGettingIn:
            ShowShipInside(false);
            break;
        case kIntroduction:
            StopDirector(talking_);
            StopDirector(notTalking_);
            break;
        case kPerforming:
            SetPlaying(false);
            Mascot().SetVisible(true);
            break;
        case kFarewell:
            StopDirector(notTalking_);
            StopDirector(talking_);
            break;
        default:
            break;
    }
}

// States 2, 3, 5 and 6 pass on at once when there is nothing to do in them.
void RPlanetScene::EnterState() {
    switch (state_) {
        case kLanding:
            engineSoundPlayed_ = false;
            break;
        case kGettingOut:
            Ship().SetMascotAboard(false);
            StartShipDirector(*getOut_);
            break;
        case kIntroduction:
            if (!introText_) return GoTo(kTakingMicrophone);
            Say(*introText_);
            break;
        case kTakingMicrophone:
            if (hideBrax_) return GoTo(kPerforming);
            RunOnce("getmic");
            break;
        case kPerforming:
            Mascot().SetVisible(!hideBrax_);
            SetPlaying(true);
            break;
        case kPuttingMicrophoneAway:
            if (hideBrax_) return GoTo(kFarewell);
            RunOnce("awaymic");
            break;
        case kFarewell:
            if (!exitText_) return GoTo(kGettingIn);
            Say(*exitText_);
            break;
        case kGettingIn:
            StartShipDirector(*getIn_);
            break;
        case kTakingOff:
            Ship().SetMascotAboard(true);
            PlayEngineSound();
            break;
        default:
            break;
    }
}

void RPlanetScene::Say(const RTextBlock& text) {
    // The constructor asks for both directors when there is a text; this keeps
    // a scene whose library changed from talking to nobody.
    if (!talking_) ThrowMissing("Talking", "director");
    if (!notTalking_) ThrowMissing("NotTalking", "director");
    StopDirector(before_);
    StopDirector(talking_);
    StopDirector(notTalking_);
    RSprite& mascot = Mascot();
    balloon_.Say(text.GetContents(), mascot.GetXPos() + 65, mascot.GetYPos() - 5, talking_, notTalking_,
                 talkSequencer_.Get(), standSequencer_.Get());
}

void RPlanetScene::RunOnce(const std::string& sequenceName) {
    RSprite& mascot = Mascot();
    mascot.Run(sequenceName, 1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    // A sequence without steps never starts, so it would never end either.
    if (RPixieSequencer* current = mascot.GetCurrentSequencer(); current && current->GetStepCount() == 0)
        mascot.Stop();
}

bool RPlanetScene::HasFinished(RDirector* director) {
    if (!IsDirectorRunning(director)) return true;
    if (!director->GetTracks().empty()) return false;
    StopDirector(director);
    return true;
}

// --- The ship

void RPlanetScene::Approach(double p) {
    RSpaceShip& ship = Ship();
    const float height = WindowSize().second;
    const float ground = height - 100;
    float y = ground;
    if (p <= 0.8) {
        ship.engineAmount = 1.0f;
        ship.gearAmount = 0;
        // Fast at first, slowing toward the ground.
        const double u = 1 - p / 0.8;
        const double t = 1 - u * u;
        y = static_cast<float>((1 - t) * -ship.GetHoverOffset() + t * ground);
    } else if (p <= 0.9) {
        ship.engineAmount = 0.5f;
        ship.gearAmount = static_cast<float>((p - 0.8) / (0.9 - 0.8));
    } else {
        ship.gearAmount = 1.0f;
        // Divided by 0.2 on purpose: the flame stays at a quarter once landed.
        ship.engineAmount = static_cast<float>((1 - (p - 0.9) / (1.0 - 0.8)) * 0.5);
    }
    ship.MoveTo(centreX_ + kShipOffsetX, y);
}

void RPlanetScene::StartShipDirector(RDirector& director) {
    float x = 0, y = 0, z = 0;
    director.GetStartPosition("Ship-Inside", x, y, z);
    RSpaceShip& ship = Ship();
    ship.SetOpen(true);
    director.SetPosition(ship.GetXPos() - 110 - x, ship.GetYPos() - 159 - y, ship.GetZPos() + 40 - z);
    director.loopAtEnd = false;
    director.SetRunning(true, 1);
}

void RPlanetScene::ShowShipInside(bool on) {
    Ship().SetOpen(on);
    Stage().FindComponentAs<RPicture>("Ship-Inside").SetVisible(on);
}

void RPlanetScene::PlayEngineSound() {
    const std::string engine = ReadControl("Engine", "1");
    // A settings value must not lead outside the sounds folder.
    PlaySound(IsBareName(engine) ? "motor" + engine : std::string("motor1"));
}

// --- The scene's own sky

void RPlanetScene::ShowSkyItems(RStage& stage) {
    RScene::ShowSkyItems(stage);
    auto [width, height] = WindowSize();
    if (RSurface* background = stage.GetBackground()) {
        if (RSurface* skySurface = sky_ ? sky_->GetSurface() : nullptr) {
            const float skyWidth = sky_->GetWidth(), skyHeight = sky_->GetHeight();
            if (skyWidth >= 1 && skyHeight >= 1) {
                const auto tiles = static_cast<int>(std::ceil(width / skyWidth));
                for (int i = 0; i < tiles; ++i)
                    background->CopyFrom(skySurface, 0, 0, skyWidth, skyHeight, static_cast<float>(i) * skyWidth, 0,
                                         skyWidth, height, false, false);
                stage.InvalidRect({0, 0, width, height});
            }
        }
        if (RSurface* planetSurface = planet_ ? planet_->GetSurface() : nullptr) {
            const float planetWidth = planet_->GetWidth(), planetHeight = planet_->GetHeight();
            if (planetWidth >= 1 && planetHeight >= 1) {
                background->CopyFrom(planetSurface, 0, 0, planetWidth, planetHeight, 0, height - planetHeight, width,
                                     planetHeight, false, false);
                stage.InvalidRect({0, height - planetHeight, width, planetHeight});
            }
        }
    }
    for (RDirector* director : {after_, before_, talking_, notTalking_, playing_}) PlaceDirector(director);
    SetPlaying(false);
    // Placing a director applies its first step, which may show the mascot
    // (the performance starts with him): while aboard, the ship draws him.
    if (Ship().IsMascotAboard()) Ship().SetMascotAboard(true);
}

void RPlanetScene::PlaceDirector(RDirector* director) {
    if (!director) return;
    auto [width, height] = WindowSize();
    float x = 0, y = 0, z = 0;
    // The marker actor "Pijl" stands mid-window, 41 pixels above the bottom, at depth -1.
    if (director->GetStartPosition("Pijl", x, y, z))
        director->SetPosition(width * 0.5f - x, height - 41 - y, -1 - z);
    else
        director->MoveTo(width * 0.5f, height - 280);
}

void RPlanetScene::SetPlaying(bool on) {
    if (on) {
        SetRunningIfPresent(after_, false, 1);
        SetRunningIfPresent(before_, false, 1);
        SetRunningIfPresent(playing_, true, 1);
        return;
    }
    SetRunningIfPresent(playing_, false, 1);
    if (after_ == before_) {
        SetRunningIfPresent(before_, true, 1);
    } else {
        // "Before" loops until the performance, "After" after it.
        SetRunningIfPresent(before_, state_ < kPerforming, 1);
        SetRunningIfPresent(after_, state_ >= kPerforming, 1);
    }
}

}  // namespace quellmoor
