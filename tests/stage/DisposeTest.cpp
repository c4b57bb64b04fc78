// Removing components while timers tick: what is disposed of leaves play at
// once and dies when the tick is over; a tick may also destroy its own timer.
#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

class DisposeTest : public StageTest {
protected:
    DisposeTest() { LoadBackground(16, 16, 3); }
};

// Counts the destructions of its kind.
struct Mortal : RComponent {
    Mortal(std::string name, RComponent* owner, int& deathCount) : RComponent(std::move(name), owner), deaths(deathCount) {}
    ~Mortal() override { ++deaths; }
    int& deaths;
};

TEST_F(DisposeTest, DisposedLeavesPlayAtOnceAndDiesAfterTheTick) {
    int deaths = 0;
    auto* scene = MakeOwned<RComponentManager>("scene", stage.get());
    auto* rock = MakeOwned<Mortal>("Rock", scene, deaths);
    scene->RegisterComponent(rock);
    scene->AddComponentsTo(*stage);
    auto* inner = MakeOwned<RTimer>("inner", scene, 10.0, true);
    std::vector<std::string> seen;
    auto* clock = MakeOwned<CountingTimer>("clock", stage.get(), 5.0, [&] {
        stage->Dispose(scene);
        stage->Dispose(scene);  // twice in one tick is once
        seen.push_back(stage->FindComponent("Rock") ? "found" : "gone");
        seen.push_back(std::to_string(stage->GetTimers().size()) + " timers");
        seen.push_back(std::to_string(deaths) + " dead");
    });
    EXPECT_EQ(stage->GetTimers().size(), 2u);
    (void)inner;
    host.AdvanceMs(6);
    stage->TickTimer(*clock);
    EXPECT_EQ(seen, (std::vector<std::string>{"gone", "1 timers", "0 dead"}));
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(stage->DisposedCount(), 0u);
    EXPECT_TRUE(stage->GetOwnedComponents().size() == 1u);  // the clock
}

TEST_F(DisposeTest, OnlyOwnedComponentsCanBeDisposedByPointer) {
    RComponent loose("Loose", nullptr);
    try {
        stage->Dispose(&loose);
        FAIL();
    } catch (const RParamException& e) {
        EXPECT_EQ(e.GetMessage(), "Dispose: component Loose has no owner.");
    }
    int deaths = 0;
    stage->Dispose(std::make_unique<Mortal>("Given", nullptr, deaths));
    EXPECT_EQ(deaths, 0);
    stage->CollectDisposed();
    EXPECT_EQ(deaths, 1);
}

struct SceneHolder : RObject {
    RStage* stage = nullptr;
    RComponent* scene = nullptr;
    int ticks = 0;
};

void DestroyScene(RComponent*, REvent*, RObject* data) {
    auto& holder = *static_cast<SceneHolder*>(data);
    ++holder.ticks;
    holder.stage->ReleaseOwned(holder.scene).reset();  // the timer dies inside its own tick
}

TEST_F(DisposeTest, ATickMayDestroyItsOwnTimer) {
    SceneHolder holder;
    holder.stage = stage.get();
    holder.scene = MakeOwned<RComponentManager>("scene", stage.get());
    auto* timer = MakeOwned<RTimer>("self", holder.scene, 10.0, true);
    timer->AddEventHandler("OnTimer", &DestroyScene, &holder);
    CloseAt(100);
    stage->Run();
    EXPECT_EQ(holder.ticks, 1);
    EXPECT_TRUE(stage->GetTimers().empty());
}

TEST_F(DisposeTest, AStageDyingWithDisposalsPendingDestroysThem) {
    int deaths = 0;
    stage->Dispose(MakeOwned<Mortal>("Pending", stage.get(), deaths));
    stage.reset();
    EXPECT_EQ(deaths, 1);
}

}  // namespace
}  // namespace quellmoor::testing
