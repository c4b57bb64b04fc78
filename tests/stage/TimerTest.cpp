#include <cmath>

#include "model/ClassFactory.h"
#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

class TimerTest : public StageTest {};

TEST_F(TimerTest, LateTimerCatchesUpOneIntervalPerTick) {
    host.AdvanceMs(1000);
    auto* timer = MakeOwned<CountingTimer>("t", stage.get(), 100.0);
    EXPECT_DOUBLE_EQ(timer->GetDue(), 1100.0);
    host.AdvanceMs(350);
    std::vector<double> dues;
    while (RTimer* due = FindNextDue(stage->GetTimers())) {
        if (!(due->GetDue() < stage->GetTime())) break;
        due->Tick();
        dues.push_back(due->GetDue());
    }
    EXPECT_EQ(dues, (std::vector<double>{1200.0, 1300.0, 1400.0}));
    EXPECT_EQ(timer->ticks, (std::vector<double>{1350.0, 1350.0, 1350.0}));
}

TEST_F(TimerTest, SetIntervalInTheHookRestartsTheSchedule) {
    host.AdvanceMs(1000);
    CountingTimer* timer = nullptr;
    timer = MakeOwned<CountingTimer>("t", stage.get(), 100.0, [&] { timer->SetInterval(250); });
    host.AdvanceMs(350);
    timer->Tick();
    EXPECT_DOUBLE_EQ(timer->GetDue(), 1600.0);
}

TEST_F(TimerTest, TiesGoToTheFirstRegistered) {
    auto* first = MakeOwned<CountingTimer>("first", stage.get(), 100.0);
    auto* second = MakeOwned<CountingTimer>("second", stage.get(), 100.0);
    EXPECT_EQ(FindNextDue(stage->GetTimers()), first);
    second->SetInterval(50);
    EXPECT_EQ(FindNextDue(stage->GetTimers()), second);
    second->SetEnabled(false);
    EXPECT_EQ(FindNextDue(stage->GetTimers()), first);
    first->SetEnabled(false);
    EXPECT_EQ(FindNextDue(stage->GetTimers()), nullptr);
}

TEST_F(TimerTest, EnablingRestartsThePeriodFromNow) {
    auto* timer = MakeOwned<CountingTimer>("t", stage.get(), 100.0);
    host.AdvanceMs(730);
    timer->SetEnabled(true);
    EXPECT_DOUBLE_EQ(timer->GetDue(), 830.0);
    EXPECT_DOUBLE_EQ(timer->GetLastTick(), 730.0);
}

struct IntervalCase {
    const char* name;
    double interval;
    double effective;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const IntervalCase& c, std::ostream* out) { *out << c.name; }

class EffectiveIntervalTest : public TimerTest, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(EffectiveIntervalTest, NeverBelowOneMillisecond) {
    auto* timer = MakeOwned<CountingTimer>("t", stage.get(), GetParam().interval);
    EXPECT_DOUBLE_EQ(timer->EffectiveInterval(), GetParam().effective);
    const double due = timer->GetDue();
    timer->Tick();
    EXPECT_DOUBLE_EQ(timer->GetDue(), due + GetParam().effective);
}

INSTANTIATE_TEST_SUITE_P(Intervals, EffectiveIntervalTest,
                         ::testing::Values(IntervalCase{"Zero", 0.0, 1.0}, IntervalCase{"Negative", -25.0, 1.0},
                                           IntervalCase{"NotANumber", std::nan(""), 1.0},
                                           IntervalCase{"Half", 0.5, 1.0}, IntervalCase{"One", 1.0, 1.0},
                                           IntervalCase{"TwentyFive", 25.0, 25.0}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

RComponent* MakeTimer(const std::string& name, RComponent* owner) {
    return MakeOwned<RTimer>(name, owner, 0.0, false);
}

TEST_F(TimerTest, LoadsIntervalAndEnabledOnly) {
    RegisterComponentClass("RTimer", &MakeTimer);
    std::istringstream in(Stream("", Object("RTimer", "Plain", Pair("Interval", "40") + Pair("Enabled", "true")) +
                                         Object("RTimer", "Odd", Pair("Interval", "MS:100") + Pair("Tag", "x=1"))));
    stage->RComponentManager::AddComponentStream(&in);
    auto& plain = stage->FindComponentAs<RTimer>("Plain");
    EXPECT_DOUBLE_EQ(plain.GetInterval(), 40.0);
    EXPECT_TRUE(plain.IsEnabled());
    auto& odd = stage->FindComponentAs<RTimer>("Odd");
    EXPECT_DOUBLE_EQ(odd.GetInterval(), 0.0);
    EXPECT_FALSE(odd.IsEnabled());
    EXPECT_TRUE(odd.GetTag().empty());  // timers do not offer names to the component base
    EXPECT_EQ(stage->GetTimers().size(), 2u);
}

TEST_F(TimerTest, BaseTickFiresOnTimer) {
    auto* timer = MakeOwned<RTimer>("t", stage.get(), 10.0, true);
    static int fired = 0;
    fired = 0;
    timer->AddEventHandler("OnTimer", [](RComponent*, REvent*, RObject*) { ++fired; }, nullptr);
    timer->Tick();
    EXPECT_EQ(fired, 1);
}

TEST_F(TimerTest, DestroyedTimerLeavesTheStage) {
    auto timer = std::make_unique<RTimer>("loose", nullptr, 10.0, true);
    ASSERT_EQ(stage->GetTimers().size(), 1u);
    timer.reset();
    EXPECT_TRUE(stage->GetTimers().empty());
}

TEST_F(TimerTest, TimerOutlivingTheStageIsLetGo) {
    auto timer = std::make_unique<RTimer>("loose", nullptr, 10.0, true);
    stage.reset();
    EXPECT_EQ(CurrentStage(), nullptr);
    timer.reset();  // must not touch the dead stage
}

TEST_F(TimerTest, TimerMadeWithoutStageIsNotRegistered) {
    stage.reset();
    RTimer timer("early", nullptr, 10.0, true);
    EXPECT_DOUBLE_EQ(timer.GetDue(), 10.0);
}

TEST_F(TimerTest, FailingTickStillMovesOn) {
    auto* timer = MakeOwned<CountingTimer>("t", stage.get(), 20.0, [] { throw RException("Bad tick"); });
    const double due = timer->GetDue();
    EXPECT_THROW(timer->Tick(), RException);
    EXPECT_DOUBLE_EQ(timer->GetDue(), due + 20.0);
}

}  // namespace
}  // namespace quellmoor::testing
