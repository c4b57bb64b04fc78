#include "scenes/Scene.h"

#include <algorithm>

#include "animation/Director.h"
#include "animation/Picture.h"
#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "animation/TextBlock.h"
#include "model/Exceptions.h"
#include "model/Text.h"
#include "scenes/Report.h"
#include "scenes/SceneManager.h"
#include "scenes/SpaceShip.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

bool IsSkyItem(const RComponent& component) { return TextToBool(component.GetTagValue("SkyItem", "False")); }

// Item `index` of a comma-separated list; empty past its end.
std::string ListItem(std::string list, int index) {
    for (int i = 0; i < index && !list.empty(); ++i) SplitOff(list, ",");
    return SplitOff(list, ",");
}

}  // namespace

RScene::RScene(std::string name, RComponentManager& library, RSceneManager& manager)
    : RTimer(std::move(name), &manager, kTickMs, false), library_(library), manager_(manager) {
    // Scene files are laid out for 800 x 600.
    auto [width, height] = WindowSize();
    for (RComponent* component : library_.GetComponents()) {
        auto* pixie = dynamic_cast<RPixie*>(component);
        if (!pixie || !IsSkyItem(*pixie)) continue;
        pixie->MoveTo(pixie->GetXPos() * width * 0.00125f, pixie->GetYPos() * height * 0.0016666667f);
    }
}

RScene::~RScene() = default;

RStage& RScene::Stage() const { return manager_.GetStage(); }
RSpaceShip& RScene::Ship() const { return manager_.GetShip(); }
RSprite& RScene::Mascot() const { return manager_.GetMascot(); }
double RScene::Now() const { return manager_.GetStage().GetTime(); }

std::pair<float, float> RScene::WindowSize() const {
    RRect window = Stage().GetWindowRect();
    return {window.width, window.height};
}

void RScene::ThrowMissing(std::string_view name, std::string_view what) const {
    throw RParamException("The scene " + GetName() + " cannot play: it has no " + std::string(what) + " \"" +
                          std::string(name) + "\".");
}

void RScene::PlaySound(std::string_view name) const { manager_.PlayContentSound(name); }

template <class Step>
void RScene::Guarded(std::string_view what, Step&& step) {
    try {
        step();
    } catch (const std::exception& error) {
        Fail("The scene " + GetName() + " stopped " + std::string(what) + ": " + error.what());
    }
}

void RScene::Start(RSceneManager&) {
    playing_ = true;
    Guarded("at its start", [this] {
        library_.AddComponentsTo(Stage());
        SetEnabled(true);
        Enter();
        // Enter may have finished the scene already (nothing to play).
        if (!playing_ || KeepsSky()) return;
        manager_.SetSkyActive(false);
        manager_.ShowScene(*this);
    });
}

void RScene::ShowSkyItems(RStage&) {
    for (RComponent* component : library_.GetComponents())
        if (auto* pixie = dynamic_cast<RPixie*>(component); pixie && IsSkyItem(*pixie)) pixie->SetVisible(true);
}

void RScene::OnTimerTick() {
    if (!playing_) return;
    Guarded("while playing", [this] { PlayTick(); });
}

void RScene::Finish() {
    if (!playing_) return;
    try {
        FinishUnguarded();
    } catch (const std::exception& error) {
        ReportOnce("The scene " + GetName() + " did not finish cleanly: " + error.what());
        SetEnabled(false);
        Ship().SetMail(nullptr);
        library_.RemoveComponentsFrom(Stage());
        playing_ = false;
        manager_.SceneEnded(this);
    }
}

void RScene::FinishUnguarded() {
    SetEnabled(false);
    for (RComponent* component : library_.GetComponents()) {
        auto* pixie = dynamic_cast<RPixie*>(component);
        if (!pixie) continue;
        pixie->SetVisible(false);
        if (auto* sprite = dynamic_cast<RSprite*>(pixie); sprite && sprite->GetCurrentSequencer())
            sprite->GetCurrentSequencer()->SetEnabled(false);
    }
    if (auto* mail = FindInLibrary<RSprite>("VMAIL")) {
        Ship().SetMail(mail);
        Ship().ShowMail(true);
    }
    library_.RemoveComponentsFrom(Stage());
    playing_ = false;
    manager_.SceneEnded(this);
}

void RScene::Fail(const std::string& message) {
    ReportOnce(message);
    if (!playing_) return;
    // Each step on its own: one that throws must not keep the others from running.
    auto attempt = [](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
        }
    };
    attempt([this] { StopActors(); });
    attempt([this] {
        for (const char* name : {"GetOut", "GetIn"})
            StopDirector(dynamic_cast<RDirector*>(Stage().FindComponent(name)));
    });
    attempt([this] {
        if (auto* inside = dynamic_cast<RPicture*>(Stage().FindComponent("Ship-Inside"))) inside->SetVisible(false);
    });
    attempt([this] {
        RSpaceShip& ship = Ship();
        ship.SetOpen(false);
        ship.scale = 1.0f;
        Mascot().mirrorHorizontal = false;
        ship.SetMascotAboard(true);
    });
    manager_.SetEnabled(true);
    Finish();
}

void StopDirector(RDirector* director) {
    if (director) director->SetRunning(false, -1);
}

bool IsDirectorRunning(const RDirector* director) { return director && director->IsRunning(); }

std::pair<RTextBlock*, RTextBlock*> ChooseSceneTexts(const RComponentManager& library, int& textIndex) {
    const std::string intro = library.GetHeaderValue("Intro", "Intro");
    const std::string exit = library.GetHeaderValue("Exit", "Exit");
    int index = textIndex;
    const auto commas = static_cast<int>(std::count(intro.begin(), intro.end(), ','));
    if (index > commas || index < 0) index = 0;
    textIndex = index + 1;
    auto find = [&library](const std::string& name) {
        return name.empty() ? nullptr : dynamic_cast<RTextBlock*>(library.FindComponent(name));
    };
    return {find(ListItem(intro, index)), find(ListItem(exit, index))};
}

}  // namespace quellmoor
