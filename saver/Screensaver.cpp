#include "saver/Screensaver.h"

#include <cmath>

#include "model/EventNames.h"
#include "model/Text.h"
#include "platform/Platform.h"
#include "saver/CommandLine.h"
#include "scenes/ContentPaths.h"
#include "scenes/Control.h"
#include "scenes/Report.h"
#include "stage/DibStage.h"

namespace quellmoor {

namespace {

constexpr double kSlower = 0.8, kFaster = 1.25;

bool IsSoundKey(std::uint32_t code) { return code == kKeyS || code == kKeyF4; }

}  // namespace

SaverSettings ReadSaverSettings(const CommandLine& line, const std::string& defaultDir) {
    SaverSettings settings;
    settings.dir = line.dir ? *line.dir : ReadControl("Dir", defaultDir);
    if (settings.dir.empty()) settings.dir = defaultDir;
    // Both are joined into paths and names: a bare name or the default.
    std::string engine = line.engine ? *line.engine : ReadControl("Engine", "1");
    if (IsBareName(engine)) settings.engine = std::move(engine);
    settings.skin = line.skin ? *line.skin : ReadControl("Skin", "");
    if (!settings.skin.empty() && !IsBareName(settings.skin)) settings.skin.clear();
    settings.sound = line.sound ? *line.sound : TextToInt(ReadControl("Sound", "1")) == 1;
    settings.seed = line.seed ? *line.seed
                    : platform::HasCurrentPlatform() ? platform::CurrentPlatform().RandomSeed()
                                                     : 0;
    return settings;
}

// The target and name are given here once; nothing sets them again, so the
// construction cannot fail half-way over a window with no way out.
RScreensaver::RScreensaver(RDibStage& stage, std::unique_ptr<RScreensaverEngine> engine, SaverOptions options)
    : RBehaviour(&stage, "Screensaver", &stage), stage_(stage), engine_(std::move(engine)),
      options_(std::move(options)) {
    Listen(names::OnSetup);
    Listen(names::OnStarted);
    Listen(names::OnExit);
    Listen(names::OnRunSaver);
    Listen(names::OnException);
    Listen(names::OnKeyUp);
    if (!engine_->IsConfigMode()) {
        Listen(names::OnMouseMove);
        Listen(names::OnMouseDown);
        Listen(names::OnKeyDown);
    }
    // Closing the window is input like any other: it ends the run only through
    // the password check (in window mode closing simply ends it).
    if (!options_.windowMode && !engine_->IsConfigMode()) stage.SetCloseHandler([this] { TryQuit(); });
    engine_->AttachStage(stage);
    stage.RegisterComponent(this);
    stage.SetCaption(kSaverCaption);
}

RScreensaver::~RScreensaver() { EndRun(); }

bool RScreensaver::OnEvent(const std::string& eventName, RComponent*) {
    if (EqualsIgnoreCase(eventName, names::OnSetup)) {
        ApplySetup(stage_.GetSetup());
    } else if (EqualsIgnoreCase(eventName, names::OnStarted)) {
        StartRun();
    } else if (EqualsIgnoreCase(eventName, names::OnRunSaver)) {
        BuildTheShow();
    } else if (EqualsIgnoreCase(eventName, names::OnExit)) {
        EndRun();
    } else if (EqualsIgnoreCase(eventName, names::OnException)) {
        // A fault repeated every tick costs one line, and the show goes on.
        const std::string* message = stage_.GetExceptionMessage();
        if (!options_.quietErrors || !message) return false;
        ReportOnce(*message);
        stage_.ClearExceptionMessage();
    } else if (EqualsIgnoreCase(eventName, names::OnMouseMove)) {
        if (!watchMouse_) return false;
        if (const auto position = stage_.GetMousePosition()) MouseMoved(position->x, position->y);
    } else if (EqualsIgnoreCase(eventName, names::OnMouseDown)) {
        if (!quitOnClick_) return false;
        TryQuit();
    } else if (EqualsIgnoreCase(eventName, names::OnKeyDown)) {
        if (!quitOnKey_) return false;
        KeyPressed(stage_.GetKeyDownCode(), stage_.GetKeyDownData());
    } else if (EqualsIgnoreCase(eventName, names::OnKeyUp)) {
        KeyReleased(stage_.GetKeyUpCode());
    } else {
        return false;
    }
    return true;
}

void RScreensaver::ApplySetup(RStageSetup& setup) {
    if (engine_->IsConfigMode()) {
        const RPoint at = engine_->GetConfigPosition();
        setup.windowRect.x = at.x;
        setup.windowRect.y = at.y;
        setup.hasFrame = true;
        setup.showCursor = true;
    } else {
        setup.hasFrame = false;
        if (engine_->IsDebugMode()) {
            setup.windowRect = {0, 0, 640, 480};
            setup.showCursor = true;
        } else {
            setup.fullScreen = true;
            setup.showCursor = false;
        }
    }
    engine_->PrepareSetup(setup);
}

void RScreensaver::StartRun() {
    engine_->OnSaverStart();
    if (engine_->IsConfigMode()) {
        stage_.FireEvent(names::OnAboutBox);
        stage_.Quit();
        return;
    }
    stage_.FireEvent(names::OnRunSaver);
}

void RScreensaver::BuildTheShow() {
    if (show_.manager) return;
    const SaverSettings& settings = options_.settings;
    stage_.SetSoundEnabled(settings.sound);
    try {
        show_ = BuildShow(stage_, {.dir = settings.dir,
                                   .seed = settings.seed,
                                   .skin = settings.skin,
                                   .engine = settings.engine});
    } catch (const RException& e) {
        error_ = e.GetMessage();
        stage_.Quit();
    }
}

void RScreensaver::EndRun() {
    if (ended_) return;
    ended_ = true;
    engine_->OnSaverEnd();
}

void RScreensaver::MouseMoved(float x, float y) {
    if (options_.windowMode || engine_->IsDebugMode()) return;
    // Measured from where the mouse was first seen, so a slow drift adds up.
    if (!mouseAnchor_) {
        mouseAnchor_ = RPoint{x, y};
        return;
    }
    const double distance = std::hypot(x - mouseAnchor_->x, y - mouseAnchor_->y);
    if (distance > engine_->GetMouseThreshold()) TryQuit();
}

void RScreensaver::KeyPressed(std::uint32_t code, std::uint32_t data) {
    if (options_.windowMode) {
        if (code == kKeyEscape) stage_.Quit();
        return;
    }
    if (engine_->IsDebugMode() && (data == kKeyPlus || data == kKeyMinus)) {
        stage_.SetRate(stage_.GetRate() * (data == kKeyPlus ? kSlower : kFaster));
        return;
    }
    if (code == kKeyF2) {
        PressedF2();
        return;
    }
    // S and F4 are the sound switch: their release toggles it, and they never end the run.
    if (IsSoundKey(code)) return;
    TryQuit();
}

// The page opens only once the run has really ended, and once per press.
void RScreensaver::PressedF2() {
    if (f2Held_) return;
    f2Held_ = true;
    if (!TryQuit() || pageOpened_) return;
    pageOpened_ = true;
    if (platform::HasCurrentPlatform()) platform::CurrentPlatform().OpenWebPage(kSaverWebPage);
}

void RScreensaver::KeyReleased(std::uint32_t code) {
    if (code == kKeyF2) f2Held_ = false;
    if (IsSoundKey(code)) stage_.SetSoundEnabled(!stage_.IsSoundEnabled());
}

bool RScreensaver::TryQuit() {
    if (options_.windowMode || quitting_ || stage_.IsQuitting()) return false;
    quitting_ = true;
    if (engine_->VerifyPassword()) {
        stage_.Quit();
        return stage_.IsQuitting();
    }
    quitting_ = false;
    mouseAnchor_.reset();
    return false;
}

}  // namespace quellmoor
