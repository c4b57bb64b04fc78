#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

class LoopTest : public StageTest {
protected:
    LoopTest() { LoadBackground(16, 16, 3); }
};

TEST_F(LoopTest, TimerFiresEachPeriodAndEveryFiringRedraws) {
    auto* timer = MakeOwned<CountingTimer>("t", stage.get(), 100.0);
    CloseAt(1050);
    stage->Run();
    ASSERT_EQ(timer->ticks.size(), 10u);
    for (std::size_t i = 0; i < timer->ticks.size(); ++i) {
        // Due exactly now is not due yet: each tick comes 1 ms after its due time.
        EXPECT_DOUBLE_EQ(timer->ticks[i], 100.0 * static_cast<double>(i + 1) + 1.0);
    }
    EXPECT_EQ(host.FrameCount(), 10);
}

TEST_F(LoopTest, EqualDueTimesFireInRegistrationOrderInOneRound) {
    std::vector<std::pair<std::string, int>> log;
    MakeOwned<CountingTimer>("a", stage.get(), 100.0, [&] { log.emplace_back("a", host.FrameCount()); });
    MakeOwned<CountingTimer>("b", stage.get(), 100.0, [&] { log.emplace_back("b", host.FrameCount()); });
    CloseAt(150);
    stage->Run();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], (std::pair<std::string, int>{"a", 0}));
    EXPECT_EQ(log[1], (std::pair<std::string, int>{"b", 0}));
    EXPECT_EQ(host.FrameCount(), 1);
}

TEST_F(LoopTest, SlowHandlersGetOneBudgetBeforeTheNextFrame) {
    std::vector<int> framesAtTick;
    MakeOwned<CountingTimer>("slow", stage.get(), 10.0, [&] {
        framesAtTick.push_back(host.FrameCount());
        host.AdvanceMs(100);
    });
    CloseAt(2000);
    stage->Run();
    // 100 ms per tick: the fourth tick passes the 333 ms budget, then a frame.
    ASSERT_GE(framesAtTick.size(), 8u);
    EXPECT_EQ(std::vector<int>(framesAtTick.begin(), framesAtTick.begin() + 8),
              (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1}));
}

TEST_F(LoopTest, WithoutEnabledTimersNothingIsDrawnAndWaitsStayShort) {
    auto* idle = MakeOwned<CountingTimer>("idle", stage.get(), 10.0);
    idle->SetEnabled(false);
    std::vector<std::int64_t> blocks;
    host.SetWaitCallback([&](std::int64_t deadline) { blocks.push_back(deadline - host.NowMs()); });
    CloseAt(500);
    stage->Run();
    EXPECT_EQ(host.FrameCount(), 0);
    ASSERT_FALSE(blocks.empty());
    for (std::int64_t block : blocks) {
        EXPECT_GE(block, 1);
        EXPECT_LE(block, 50);
    }
}

TEST_F(LoopTest, EveryWaitBlocksAtLeastOneMillisecond) {
    MakeOwned<CountingTimer>("fast", stage.get(), 3.0);
    MakeOwned<CountingTimer>("odd", stage.get(), 2.5);
    std::int64_t shortest = 1000;
    host.SetWaitCallback([&](std::int64_t deadline) { shortest = std::min(shortest, deadline - host.NowMs()); });
    CloseAt(300);
    stage->Run();
    EXPECT_GE(shortest, 1);
}

TEST_F(LoopTest, TimersAtOwnPhasesFireOnTimeButRedrawOncePerFramePeriod) {
    auto* fast = MakeOwned<CountingTimer>("fast", stage.get(), 3.0);
    auto* odd = MakeOwned<CountingTimer>("odd", stage.get(), 2.5);
    CloseAt(600);
    stage->Run();
    EXPECT_GE(fast->ticks.size(), 190u);  // 600 / 3, less the 1 ms lateness
    EXPECT_GE(odd->ticks.size(), 200u);
    const double period = stage->GetFramePeriod();
    ASSERT_GT(period, 0.0);
    EXPECT_GE(host.FrameCount(), static_cast<int>(600.0 / period) - 2);
    EXPECT_LE(host.FrameCount(), static_cast<int>(600.0 / period) + 1);
}

TEST_F(LoopTest, ZeroIntervalTimerCannotHoldTheLoop) {
    auto* zero = MakeOwned<CountingTimer>("zero", stage.get(), 0.0);
    CloseAt(100);
    stage->Run();  // returns: the timer advances 1 ms per tick and the loop always waits
    EXPECT_GE(zero->ticks.size(), 50u);
    EXPECT_LE(zero->ticks.size(), 110u);
}

TEST_F(LoopTest, TicksPerRoundAreBounded) {
    int ticksSinceFrame = 0, most = 0;
    bool jumped = false;
    MakeOwned<CountingTimer>("behind", stage.get(), 1.0, [&] {
        ++ticksSinceFrame;
        most = std::max(most, ticksSinceFrame);
        if (!jumped) host.AdvanceMs(5000);  // the clock jumps: 5000 ticks behind at once
        jumped = true;
    });
    host.SetFrameCallback([&](const platform::HeadlessFrame&) { ticksSinceFrame = 0; });
    CloseAt(5100);
    stage->Run();
    EXPECT_EQ(most, RStage::kMaxTicksPerRound);
}

// The system clock leaps while the loop waits: a laptop resumed, a process
// stopped and continued. A leap of seconds is taken out of stage time, so no
// storm of missed ticks follows; a merely slow wait is caught up as usual.
struct ClockLeap {
    const char* name;
    std::int64_t leapMs;
    double stageMsAtEnd;  // stage time at the end: a second before the leap, a second after
};
void PrintTo(const ClockLeap& leap, std::ostream* out) { *out << leap.name; }

class ClockLeapTest : public LoopTest, public ::testing::WithParamInterface<ClockLeap> {};

TEST_P(ClockLeapTest, TheShowGoesOnFromWhereItStood) {
    const ClockLeap& leap = GetParam();
    auto* step = MakeOwned<CountingTimer>("step", stage.get(), 40.0);
    bool leapt = false;
    host.SetWaitCallback([&](std::int64_t) {
        if (leapt || host.NowMs() < 1000) return;
        leapt = true;
        host.AdvanceMs(leap.leapMs);
    });
    int mostTicksInAFrame = 0, ticksSinceFrame = 0;
    step->ticks.reserve(1000);
    auto* counter = MakeOwned<CountingTimer>("counter", stage.get(), 40.0, [&] {
        mostTicksInAFrame = std::max(mostTicksInAFrame, ++ticksSinceFrame);
    });
    host.SetFrameCallback([&](const platform::HeadlessFrame&) { ticksSinceFrame = 0; });
    CloseAt(2000 + leap.leapMs);
    stage->Run();
    ASSERT_TRUE(leapt);
    EXPECT_NEAR(stage->GetTime(), leap.stageMsAtEnd, 60.0);
    EXPECT_NEAR(static_cast<double>(step->ticks.size()), leap.stageMsAtEnd / 40.0, 2.0);
    EXPECT_EQ(counter->ticks.size(), step->ticks.size());
    EXPECT_LE(mostTicksInAFrame, leap.leapMs < 1000 ? 14 : 2);
}

INSTANTIATE_TEST_SUITE_P(Leaps, ClockLeapTest,
                         ::testing::Values(ClockLeap{"LaptopResumedAfterEightHours", 8 * 3600 * 1000, 2000.0},
                                           ClockLeap{"ProcessStoppedForAMinute", 60 * 1000, 2000.0},
                                           ClockLeap{"SlowWaitIsCaughtUp", 500, 2500.0}),
                         [](const auto& param) { return std::string(param.param.name); });

// A busy machine makes every frame slow: the animation keeps its pace in
// ticks, drawing fewer frames.
TEST_F(LoopTest, ABusyMachineKeepsThePaceWithFewerFrames) {
    auto* step = MakeOwned<CountingTimer>("step", stage.get(), 40.0);
    host.SetFrameCallback([&](const platform::HeadlessFrame&) { host.AdvanceMs(70); });
    CloseAt(5000);
    stage->Run();
    EXPECT_NEAR(static_cast<double>(step->ticks.size()), 5000.0 / 40.0, 3.0);
    EXPECT_LT(host.FrameCount(), 75);
    EXPECT_GT(host.FrameCount(), 50);
}

TEST_F(LoopTest, QuitEndsTheLoopWhileTimersAreDue) {
    CountingTimer* timer = nullptr;
    timer = MakeOwned<CountingTimer>("t", stage.get(), 1.0, [&] {
        if (timer->ticks.size() == 3) stage->Quit();
    });
    host.AdvanceMs(0);
    stage->Run();  // no close queued: only Quit can end it
    EXPECT_EQ(timer->ticks.size(), 3u);
}

TEST_F(LoopTest, RateChangesHowOftenATimerFiresInSystemTime) {
    struct Case {
        double rate;
        std::size_t ticks;
    };
    for (Case c : {Case{2.0, 5}, Case{0.5, 20}, Case{1.0, 10}}) {
        SCOPED_TRACE(c.rate);
        stage = std::make_unique<RDibStage>();
        LoadBackground(8, 8, 1);
        auto* timer = MakeOwned<CountingTimer>("t", stage.get(), 100.0);
        host.SetWaitCallback({});
        const std::int64_t start = host.NowMs();
        stage->SetRate(c.rate);
        timer->SetEnabled(true);
        CloseAt(start + 1050);
        stage->Run();
        EXPECT_EQ(timer->ticks.size(), c.ticks);
    }
}

// --- The exception path

void ClearMessage(RComponent*, REvent*, RObject*) {
    static std::string seen;
    seen = *CurrentStage()->GetExceptionMessage();
    EXPECT_EQ(seen, "Bad tick");
    CurrentStage()->ClearExceptionMessage();
}

TEST_F(LoopTest, UnhandledExceptionShowsTheBoxAndCancelQuits) {
    auto* timer = MakeOwned<CountingTimer>("t", stage.get(), 10.0, [] { throw RException("Bad tick"); });
    host.QueueMessageBoxAnswer(platform::MessageBoxButton::Ok);
    host.QueueMessageBoxAnswer(platform::MessageBoxButton::Cancel);
    stage->Run();  // ends by Cancel
    ASSERT_EQ(host.MessageBoxes().size(), 2u);
    EXPECT_EQ(host.MessageBoxes()[0].title, "Quellmoor Exception");
    EXPECT_EQ(host.MessageBoxes()[0].text, "Bad tick");
    EXPECT_EQ(timer->ticks.size(), 2u);
    EXPECT_TRUE(stage->IsQuitting());
    EXPECT_EQ(stage->GetExceptionMessage(), nullptr);
}

TEST_F(LoopTest, HandlerThatClearsTheMessageKeepsTheBoxAway) {
    auto* timer = MakeOwned<CountingTimer>("t", stage.get(), 10.0, [] { throw RException("Bad tick"); });
    stage->AddEventHandler("OnException", &ClearMessage, nullptr);
    CloseAt(55);
    stage->Run();
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(timer->ticks.size(), 5u);
}

TEST_F(LoopTest, FailingExceptionHandlerStillShowsTheMessage) {
    MakeOwned<CountingTimer>("t", stage.get(), 10.0, [] { throw RException("Bad tick"); });
    stage->AddEventHandler("OnException", [](RComponent*, REvent*, RObject*) { throw RException("worse"); }, nullptr);
    host.QueueMessageBoxAnswer(platform::MessageBoxButton::Cancel);
    stage->Run();
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, "Bad tick");
}

TEST_F(LoopTest, OtherExceptionsAreReportedToo) {
    MakeOwned<CountingTimer>("t", stage.get(), 10.0, [] { throw std::runtime_error("Out of luck."); });
    host.QueueMessageBoxAnswer(platform::MessageBoxButton::Cancel);
    stage->Run();
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, "Out of luck.");
}

TEST_F(LoopTest, StartedFiresAndAnExceptionThereIsReported) {
    stage->AddEventHandler("OnStarted", [](RComponent*, REvent*, RObject*) { throw RException("No start."); }, nullptr);
    host.QueueMessageBoxAnswer(platform::MessageBoxButton::Cancel);
    stage->Run();
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, "No start.");
}

}  // namespace
}  // namespace quellmoor::testing
