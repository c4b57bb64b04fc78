// Scenes coming and going while the show runs: a scene-like library (sprites
// with sequences, a director with actors, a balloon, timers) is loaded into a
// running headless window stage, plays on the virtual clock and removes itself
// from inside its own handlers, a hundred times over. Run under the address
// sanitizer this is the test that no dying component leaves a pointer behind.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "animation/Balloon.h"
#include "animation/Director.h"
#include "animation/Registration.h"
#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "model/EventLinks.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"
#include "tests/animation/AnimationStreams.h"

namespace quellmoor {
namespace {

using namespace testing;

constexpr int kRounds = 100;

std::string SceneStream() {
    const std::vector<std::pair<std::string, std::vector<StepSource>>> walk{
        {"walk", {{"a", 1, 0, 0, "MS:30"}, {"b", 1, 0, 0, "MS:30"}}}};
    const std::string walker =
        Object("RSprite", "Walker",
               Pair("XPos", "4") + Pair("YPos", "4") + Pair("Visible", "True") + Pair("CurFrameName", "a") +
                   Token("FrameList") + FrameList({{"a", {"11", "11"}}, {"b", {"33", "33"}}}) +
                   Token("SequenceList") + SequenceList(walk));
    const std::string sidekick = Object("RSprite", "Sidekick",
                                        Pair("Visible", "False") + Token("FrameList") + FrameList({{"s", {"3"}}}));
    const std::vector<KeyframeSource> table{
        {1, "Sidekick", "XPos=1;YPos=2;Visible=True;CurFrameName=s;"},
        {3, "Sidekick", "XPos=9;YPos=4;"},
        {1, "Walker", "ZPos=2;"},
    };
    const std::string director =
        Object("RDirector", "Show", Pair("FrameLength", "40") + Token("Tupels") + Tupels("Walker;Sidekick;", table));
    const std::string clock = Object("RTimer", "Clock", Pair("Interval", "70") + Pair("Enabled", "True"));
    return Stream("Type=RTestScene", walker + sidekick + director + clock);
}

// The scene manager's stand-in: loads a scene whenever none plays, and
// removes it when the chosen event fires on the chosen component.
struct Show : RObject {
    RStage* stage = nullptr;
    std::string sourceName;  // the component whose event removes the scene
    std::string eventName;
    bool immediately = false;  // destroy inside the handler rather than Dispose
    RComponentManager* scene = nullptr;
    int loaded = 0, removed = 0;
    std::size_t liveBefore = 0, registeredBefore = 0, timersBefore = 0;
    std::vector<std::string> faults;

    void Load() {
        scene = MakeOwned<RComponentManager>("scene", stage);
        std::istringstream in(SceneStream());
        scene->AddComponentStream(&in);
        auto* balloon = MakeOwned<RBalloon>("Balloon", scene);
        scene->RegisterComponent(balloon);
        scene->AddComponentsTo(*stage);

        auto& walker = scene->FindComponentAs<RSprite>("Walker");
        auto& clock = scene->FindComponentAs<RTimer>("Clock");
        auto& director = scene->FindComponentAs<RDirector>("Show");
        scene->FindComponent(sourceName)->AddEventHandler(eventName, &Remove, this);
        // The stage keeps a binding to the scene that outlives it.
        stage->ConnectEvent("OnKeyDown", &walker);
        walker.Run("walk", -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
        balloon->Say({"Hi"}, 10, 40, nullptr, &director, &clock, nullptr);
        ++loaded;
    }

    static void Remove(RComponent*, REvent*, RObject* data) {
        auto& show = *static_cast<Show*>(data);
        if (!show.scene) return;
        if (show.immediately) show.stage->ReleaseOwned(show.scene).reset();
        else show.stage->Dispose(show.scene);
        show.scene = nullptr;
        ++show.removed;
    }

    // Between scenes: everything the last scene made is gone.
    void Check() {
        if (RComponent::LiveCount() != liveBefore)
            faults.push_back("round " + std::to_string(loaded) + ": " + std::to_string(RComponent::LiveCount()) +
                             " components live, " + std::to_string(liveBefore) + " before");
        if (stage->GetComponents().size() != registeredBefore) faults.push_back("registry grew");
        if (stage->GetTimers().size() != timersBefore) faults.push_back("timer list grew");
        if (stage->FindComponent("Walker")) faults.push_back("a removed sprite is still found");
        stage->KeyDown(0x41, 0);  // must skip the removed sprite's binding
        if (REvent* keys = stage->FindEvent("OnKeyDown"); keys && keys->HandlerCount() > 1)
            faults.push_back("key handlers grew to " + std::to_string(keys->HandlerCount()));
    }

    static void Manage(RComponent*, REvent*, RObject* data) {
        auto& show = *static_cast<Show*>(data);
        if (show.scene) return;  // still playing
        if (show.loaded == 0) {
            show.liveBefore = RComponent::LiveCount();
            show.registeredBefore = show.stage->GetComponents().size();
            show.timersBefore = show.stage->GetTimers().size();
        } else {
            show.Check();
        }
        if (show.loaded == kRounds) show.stage->Quit();
        else show.Load();
    }
};

struct RemovalCase {
    std::string name;
    std::string source;
    std::string event;
    bool immediately;
};
void PrintTo(const RemovalCase& c, std::ostream* out) { *out << c.name; }

class SceneLifetimes : public ::testing::TestWithParam<RemovalCase> {
protected:
    SceneLifetimes() {
        ClearPendingEventLinks();
        RegisterAnimationClasses();
        platform::SetCurrentPlatform(&host);
        stage = std::make_unique<RDibStage>();
        stage->GetSetup().windowRect = {0, 0, 64, 48};
        std::istringstream in(Stream("", Object("RStage", "Stage", Pair("Background", Bitmap({"9999", "9999"})))));
        stage->AddComponentStream(&in);
        stage->SetPresentDirtyOnly(true);  // every pixie reports its area each frame
    }
    ~SceneLifetimes() override {
        stage.reset();
        platform::SetCurrentPlatform(nullptr);
    }
    platform::HeadlessPlatform host{{.drawingContexts = CreateFontDrawingContext}};
    std::unique_ptr<RDibStage> stage;
};

TEST_P(SceneLifetimes, SceneRemovesItselfAHundredTimes) {
    const RemovalCase& c = GetParam();
    Show show;
    show.stage = stage.get();
    show.sourceName = c.source;
    show.eventName = c.event;
    show.immediately = c.immediately;
    auto* manager = MakeOwned<RTimer>("Scenes", stage.get(), 10.0, true);
    manager->AddEventHandler("OnTimer", &Show::Manage, &show);
    host.QueueInput(600'000, {.type = platform::InputEvent::Type::Close});  // a stop, should the show hang

    stage->Run();

    EXPECT_EQ(show.loaded, kRounds);
    EXPECT_EQ(show.removed, kRounds);
    EXPECT_EQ(show.faults, std::vector<std::string>{});
    EXPECT_GT(host.FrameCount(), kRounds);
    EXPECT_TRUE(host.MessageBoxes().empty()) << host.MessageBoxes().front().text;
    EXPECT_EQ(stage->DisposedCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    FromInsideItsHandlers, SceneLifetimes,
    ::testing::Values(RemovalCase{"TimerDisposes", "Clock", "OnTimer", false},
                      RemovalCase{"TimerDestroys", "Clock", "OnTimer", true},
                      RemovalCase{"ReachEndDisposes", "Show", "OnReachEnd", false},
                      RemovalCase{"ReachEndDestroys", "Show", "OnReachEnd", true},
                      RemovalCase{"FinishSequenceDisposes", "Walker", "OnFinishSequence", false},
                      RemovalCase{"FinishSequenceDestroys", "Walker", "OnFinishSequence", true}),
    [](const ::testing::TestParamInfo<RemovalCase>& tested) { return tested.param.name; });

}  // namespace
}  // namespace quellmoor
