#include "model/CurrentStage.h"
#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

class LifecycleTest : public StageTest {};

// A component whose destructor still uses the stage: its timers and its window.
class Watcher : public RComponent {
public:
    Watcher(RComponent* owner, platform::HeadlessPlatform& host) : RComponent("watcher", owner), host_(host) {
        timer_ = MakeOwned<RTimer>("inner", this, 10.0, true);
    }
    ~Watcher() override {
        stageSeen = CurrentStage() != nullptr;
        timersListed = CurrentStage() ? CurrentStage()->GetTimers().size() : 0;
        windowAlive = host_.Window() != 0;
    }
    static inline bool stageSeen = false, windowAlive = false;
    static inline std::size_t timersListed = 0;

private:
    platform::HeadlessPlatform& host_;
    RTimer* timer_;
};

TEST_F(LifecycleTest, OwnedComponentsDieWhileTheStageStillStands) {
    LoadBackground(8, 8, 1);
    auto* watcher = MakeOwned<Watcher>(stage.get(), host);
    stage->RegisterComponent(watcher);
    MakeOwned<RTimer>("outer", stage.get(), 10.0, true);
    ASSERT_EQ(stage->GetTimers().size(), 2u);
    stage.reset();
    EXPECT_TRUE(Watcher::stageSeen);
    EXPECT_EQ(Watcher::timersListed, 2u);  // its own timer dies after its destructor body
    EXPECT_TRUE(Watcher::windowAlive);
    EXPECT_EQ(GetCurrentStage(), nullptr);
    EXPECT_EQ(host.Window(), 0u);
}

TEST_F(LifecycleTest, RunWithoutWindowEndsWithExitCodeOne) {
    // No content at all: the loading failure is shown and nothing runs.
    host.QueueMessageBoxAnswer(platform::MessageBoxButton::Ok);
    EXPECT_EQ(RunStageProgram(*stage), 1);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text,
              "The program carries no embedded content (QUELLMOOR); there is nothing to show.");
}

TEST_F(LifecycleTest, RunStageProgramLoadsAndRuns) {
    const std::string stream = Stream("", StageObject(Pair("Background", BitmapFile(8, 8, 2))));
    host.SetEmbeddedContent({stream.begin(), stream.end()});
    CloseAt(100);
    EXPECT_EQ(RunStageProgram(*stage), 0);
    EXPECT_TRUE(stage->IsQuitting());
    EXPECT_EQ(host.PendingInput(), 0u);
}

TEST_F(LifecycleTest, FadeIsPacedOneDisplayFramePerStep) {
    LoadBackground(8, 8, 100);
    stage->MeasureFramePeriod();
    std::vector<int> reds;
    host.SetFrameCallback([&](const platform::HeadlessFrame& f) { reds.push_back(f.palette[100].red); });
    const std::int64_t started = host.NowMs();
    const double stageTime = stage->GetTime();
    stage->FadeTransition(true);
    // 64 steps out, 64 in, one final present, each step about 1000 / 60 ms.
    ASSERT_EQ(reds.size(), 129u);
    EXPECT_EQ(reds[0], 100 - 4);
    EXPECT_EQ(reds[63], 0);
    EXPECT_EQ(reds[64], 0);           // first step in: only components above 254 show
    EXPECT_EQ(reds[127], 100 - 2);
    EXPECT_EQ(reds[128], 100);
    const std::int64_t took = host.NowMs() - started;
    EXPECT_GE(took, 128 * 16);
    EXPECT_LE(took, 128 * 18);
    EXPECT_FALSE(stage->IsPaused());
    EXPECT_DOUBLE_EQ(stage->GetTime(), stageTime);  // the fade does not move stage time on
}

TEST_F(LifecycleTest, FadeEndsAtOnceOnClose) {
    LoadBackground(8, 8, 100);
    CloseAt(100);
    stage->FadeTransition(true);
    EXPECT_LT(host.FrameCount(), 10);
    EXPECT_TRUE(stage->IsQuitting());
}

TEST_F(LifecycleTest, FadeWithoutFadingPresentsOnce) {
    LoadBackground(8, 8, 100);
    stage->FadeTransition(false);
    ASSERT_EQ(host.FrameCount(), 1);
    EXPECT_EQ(host.LastFrame()->palette[100].red, 100);
}

TEST_F(LifecycleTest, RefreshPeriodComesFromTheDisplay) {
    stage->MeasureFramePeriod();
    EXPECT_DOUBLE_EQ(stage->GetFramePeriod(), 1000.0 / 60.0);
    platform::HeadlessPlatform fast({.refreshRateHz = 100});
    platform::HeadlessPlatform unknown({.refreshRateHz = 0});
    for (auto [backend, period] : {std::pair{&fast, 10.0}, std::pair{&unknown, 1000.0 / 60.0}}) {
        platform::SetCurrentPlatform(backend);
        RDibStage other;
        other.MeasureFramePeriod();
        EXPECT_DOUBLE_EQ(other.GetFramePeriod(), period);
    }
    platform::SetCurrentPlatform(&host);
}

}  // namespace
}  // namespace quellmoor::testing
