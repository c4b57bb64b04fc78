#include <gtest/gtest.h>

#include "animation/Picture.h"
#include "animation/Sprite.h"
#include "scenes/Floater.h"
#include "tests/scenes/ShowStage.h"

namespace quellmoor::shiptest {
namespace {

// A scene class of the test's own, to drive the base's start, tick and finish.
class ProbeScene : public RScene {
public:
    using RScene::RScene;
    std::string GetClassName() const override { return "ProbeScene"; }
    bool KeepsSky() const override { return keepsSky; }
    void Enter() override {
        ++entered;
        if (throwOnEnter) throw RException("the probe broke on entering");
        if (finishOnEnter) Finish();
    }
    void PlayTick() override {
        ++ticks;
        if (throwOnTick) throw RSpriteException("sequence wave not found");
        if (ticks == finishAfterTicks) Finish();
    }
    void StopActors() override { ++stopped; }

    bool keepsSky = true, throwOnEnter = false, throwOnTick = false, finishOnEnter = false;
    int finishAfterTicks = -1, entered = 0, ticks = 0, stopped = 0;
};

struct ProbeShow : ShowStage {
    ProbeShow() {
        Begin(7, true);
        library = MakeOwned<RComponentManager>("probe", manager);
        std::istringstream in(ReadFileBytes(ContentDir() + "/Asteroid-Slalom.RCS"));
        library->AddComponentStream(&in);
        probe = MakeOwned<ProbeScene>("Probe.RCS", *library, *manager);
    }
    RComponentManager* library = nullptr;
    ProbeScene* probe = nullptr;
};

TEST(SceneTest, SkyItemsAreScaledFromTheAuthorsLayoutToTheWindow) {
    ShowStage show({}, 400, 300);
    auto* library = MakeOwned<RComponentManager>("sky", show.manager);
    std::istringstream in(ReadFileBytes(ContentDir() + "/Asteroid-Slalom.RCS"));
    library->AddComponentStream(&in);
    std::vector<std::pair<RPixie*, RPoint>> items;
    for (RComponent* c : library->GetComponents())
        if (auto* pixie = dynamic_cast<RPixie*>(c); pixie && TextToBool(pixie->GetTagValue("SkyItem", "False")))
            items.emplace_back(pixie, RPoint{pixie->GetXPos(), pixie->GetYPos()});
    ASSERT_FALSE(items.empty()) << "Asteroid-Slalom has sky items";
    MakeOwned<ProbeScene>("Sky.RCS", *library, *show.manager);
    for (auto& [pixie, was] : items) {
        EXPECT_FLOAT_EQ(pixie->GetXPos(), was.x * 0.5f) << pixie->GetName();
        EXPECT_FLOAT_EQ(pixie->GetYPos(), was.y * 0.5f) << pixie->GetName();
    }
}

TEST(SceneTest, AnExceptionOnEnteringEndsTheSceneCleanlyAndOnce) {
    ProbeShow show;
    show.probe->throwOnEnter = true;
    show.manager->SetEnabled(false);
    show.ship->SetOpen(true);
    show.ship->scale = 0.5f;
    show.probe->Start(*show.manager);
    EXPECT_FALSE(show.probe->IsPlaying());
    EXPECT_FALSE(show.probe->IsEnabled());
    EXPECT_EQ(show.reports,
              std::vector<std::string>{"The scene Probe.RCS stopped at its start: the probe broke on entering"});
    EXPECT_EQ(show.probe->stopped, 1);
    EXPECT_TRUE(show.manager->IsEnabled());
    EXPECT_FALSE(show.ship->IsOpen());
    EXPECT_EQ(show.ship->scale, 1.0f);
    EXPECT_TRUE(show.ship->IsMascotAboard());
    EXPECT_EQ(show.manager->GetCurrentScene(), nullptr);
    // Its components left the stage.
    EXPECT_EQ(show.FindComponent("Stars1"), nullptr);
}

TEST(SceneTest, AnExceptionWhilePlayingIsReportedOnceNotEveryTick) {
    ProbeShow show;
    show.probe->throwOnTick = true;
    show.probe->Start(*show.manager);
    EXPECT_TRUE(show.probe->IsPlaying());
    show.RunUntil(show.nowMs + 2000);
    EXPECT_EQ(show.probe->ticks, 1);
    EXPECT_EQ(show.reports,
              std::vector<std::string>{"The scene Probe.RCS stopped while playing: sequence wave not found"});
    EXPECT_TRUE(show.manager->IsSkyActive());
}

TEST(SceneTest, ASceneFinishedByEnterDoesNotHideTheSky) {
    ProbeShow show;
    show.probe->keepsSky = false;
    show.probe->finishOnEnter = true;
    show.probe->Start(*show.manager);
    EXPECT_EQ(show.probe->entered, 1);
    EXPECT_FALSE(show.probe->IsPlaying());
    EXPECT_TRUE(show.manager->IsSkyActive());
    EXPECT_TRUE(show.reports.empty());
}

TEST(SceneTest, ASceneWithoutTheSkyHidesTheFloatersAndShowsItsOwnUntilItEnds) {
    ProbeShow show;
    show.RunUntil(5000);
    ASSERT_FALSE(show.manager->GetActiveFloaters().empty());
    show.probe->keepsSky = false;
    show.probe->finishAfterTicks = 40;
    show.probe->Start(*show.manager);
    EXPECT_FALSE(show.manager->IsSkyActive());
    for (RFloater* floater : show.manager->GetActiveFloaters()) EXPECT_FALSE(floater->GetVisible());
    EXPECT_TRUE(show.FindComponentAs<RPicture>("Stars1").GetVisible());
    show.RunUntil(show.nowMs + 1000);
    EXPECT_FALSE(show.probe->IsPlaying());
    EXPECT_TRUE(show.manager->IsSkyActive());
    for (RFloater* floater : show.manager->GetActiveFloaters()) EXPECT_TRUE(floater->GetVisible());
    EXPECT_EQ(show.FindComponent("Stars1"), nullptr);
}

TEST(SceneTest, MailOfAFinishedSceneHoldsTheNextSceneBack) {
    ShowStage show({"Meet-Gloop-Mail.RCS"});
    show.Begin();
    RScene& scene = *show.manager->GetScenes().at(0);
    show.manager->SetEnabled(false);
    scene.Start(*show.manager);
    scene.Finish();
    EXPECT_TRUE(show.ship->IsShowingMail());
    EXPECT_EQ(show.Mascot().GetCurFrameName(), "s_l135");
}

}  // namespace
}  // namespace quellmoor::shiptest
