#include <cmath>
#include <limits>

#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

class ClockTest : public StageTest {
protected:
    ClockTest() : StageTest(platform::HeadlessOptions{.startMs = 5000}) {}
};

TEST_F(ClockTest, StageTimeStartsAtConstruction) {
    EXPECT_DOUBLE_EQ(stage->GetTime(), 0.0);
    host.AdvanceMs(250);
    EXPECT_DOUBLE_EQ(stage->GetTime(), 250.0);
}

TEST_F(ClockTest, TimersMadeWhileLoadingReadARealTime) {
    host.AdvanceMs(40);
    RTimer timer("loading", stage.get(), 100.0, true);
    EXPECT_DOUBLE_EQ(timer.GetDue(), 140.0);
}

TEST_F(ClockTest, ResumeStepsBackToThePauseTime) {
    host.AdvanceMs(100);
    stage->Pause();
    EXPECT_TRUE(stage->IsPaused());
    host.AdvanceMs(50);
    EXPECT_DOUBLE_EQ(stage->GetTime(), 150.0);  // stage time keeps running while paused
    stage->Resume();
    EXPECT_FALSE(stage->IsPaused());
    EXPECT_DOUBLE_EQ(stage->GetTime(), 100.0);
}

struct RateCase {
    const char* name;
    double rate;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const RateCase& c, std::ostream* out) { *out << c.name; }

class RatedClockTest : public ClockTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(RatedClockTest, ResumeIsRightAtAnyRate) {
    host.AdvanceMs(100);
    stage->SetRate(GetParam().rate);
    EXPECT_DOUBLE_EQ(stage->GetTime(), 100.0);  // a rate change keeps stage time continuous
    host.AdvanceMs(200);
    const double paused = stage->GetTime();
    EXPECT_DOUBLE_EQ(paused, 100.0 + 200.0 / GetParam().rate);
    stage->Pause();
    host.AdvanceMs(300);
    stage->Resume();
    EXPECT_DOUBLE_EQ(stage->GetTime(), paused);
    host.AdvanceMs(10);
    EXPECT_DOUBLE_EQ(stage->GetTime(), paused + 10.0 / GetParam().rate);
}

TEST_P(RatedClockTest, RateChangeWhilePausedKeepsResumeExact) {
    host.AdvanceMs(100);
    stage->Pause();
    host.AdvanceMs(40);
    stage->SetRate(GetParam().rate);
    host.AdvanceMs(60);
    stage->Resume();
    EXPECT_DOUBLE_EQ(stage->GetTime(), 100.0);
}

INSTANTIATE_TEST_SUITE_P(Rates, RatedClockTest,
                         ::testing::Values(RateCase{"Normal", 1.0}, RateCase{"Slow", 2.0}, RateCase{"Fast", 0.25},
                                           RateCase{"Odd", 3.0}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(ClockTest, RateMustBePositive) {
    for (double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(bad);
        try {
            stage->SetRate(bad);
            FAIL() << "accepted";
        } catch (const RParamException& e) {
            EXPECT_EQ(e.GetMessage(), "The stage rate must be a positive number.");
        }
        EXPECT_DOUBLE_EQ(stage->GetRate(), 1.0);
    }
}

TEST_F(ClockTest, ClockDoesNotWrapAfterFortyNineDays) {
    // 2^32 ms is about 49.7 days; a 32-bit clock would wrap to 0 here.
    host.AdvanceMs((std::int64_t{1} << 32) + 500);
    EXPECT_DOUBLE_EQ(stage->GetTime(), 4294967296.0 + 500.0);
    RTimer timer("late", stage.get(), 25.0, true);
    EXPECT_DOUBLE_EQ(timer.GetDue(), 4294967296.0 + 525.0);
}

}  // namespace
}  // namespace quellmoor::testing
