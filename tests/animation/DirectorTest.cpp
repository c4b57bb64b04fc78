#include "animation/Director.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "animation/Sprite.h"
#include "stage/Timer.h"
#include "tests/animation/TestStage.h"

namespace quellmoor {
namespace {

using namespace testing;

std::string Actor(const std::string& name) {
    return Object("RSprite", name,
                  Pair("XPos", "0") + Pair("YPos", "0") + Pair("ZPos", "0") + Pair("Visible", "False") +
                      Token("FrameList") + FrameList({{"s_front", {"1"}}, {"s_back", {"3"}}}));
}

std::string DirectorObject(const std::string& name, const std::vector<KeyframeSource>& table, bool filler = true,
                           const std::string& frameLength = "110") {
    std::string pairs = Pair("XPos", "0") + Pair("YPos", "0") + Pair("ZPos", "0") + Pair("Visible", "False") +
                        Pair("FrameLength", frameLength) + Pair("txtWidth", "400") + Token("Tupels") +
                        Tupels("Vexmon;Sidekick;", table);
    if (filler) pairs += Pair("OrrinSpecific", " ;800;251;");
    return Object("RDirector", name, pairs);
}

const std::vector<KeyframeSource> kTable{
    {3, "Vexmon", "XPos=90;YPos=33;CurFrameName=s_front;Visible=True;"},
    {5, "Vexmon", "YPos=38;XPos=95;CurFrameName=s_back;Visible=True;"},
    {1, "Sidekick", "ZPos=4;XPos=1;"},
    {6, "Sidekick", "XPos=11;Visible=True;"},
};

struct Events : RObject {
    std::vector<std::string> names;
};
void Record(RComponent*, REvent* event, RObject* data) { static_cast<Events*>(data)->names.push_back(event->GetName()); }

class Directors : public ::testing::Test {
protected:
    void SetUp() override {
        stage.Load(Stream("", Actor("Vexmon") + Actor("Sidekick") + DirectorObject("GetOut", kTable) +
                                  Object("RPicture", "After", "")));
        director = &stage.FindComponentAs<RDirector>("GetOut");
        vexmon = &stage.FindComponentAs<RSprite>("Vexmon");
        sidekick = &stage.FindComponentAs<RSprite>("Sidekick");
        director->AddEventHandler("OnReachEnd", &Record, &events);
        director->AddEventHandler("OnEnterCol", &Record, &events);
    }
    TestStage stage;
    RDirector* director = nullptr;
    RSprite* vexmon = nullptr;
    RSprite* sidekick = nullptr;
    Events events;
};

TEST_F(Directors, LoadsTableWithFillerPairAndNextObjectInStep) {
    EXPECT_EQ(director->GetTracks().size(), 2u);
    EXPECT_EQ(director->GetLastStep(), 6);
    EXPECT_DOUBLE_EQ(director->GetFrameLength(), 110);
    EXPECT_NE(stage.FindComponent("After"), nullptr);
}

TEST_F(Directors, InterpolatesBetweenKeyframes) {
    director->GotoStep(4);
    EXPECT_FLOAT_EQ(vexmon->GetXPos(), 92.5f);
    EXPECT_FLOAT_EQ(vexmon->GetYPos(), 35.5f);
    EXPECT_EQ(vexmon->GetCurFrameName(), "s_front");
    EXPECT_TRUE(vexmon->GetVisible());
    EXPECT_EQ(events.names, (std::vector<std::string>{"OnEnterCol"}));
}

TEST_F(Directors, DirectorPositionOffsetsAndReappliesOnlyOnChange) {
    director->GotoStep(4);
    director->SetXPos(10);
    EXPECT_FLOAT_EQ(vexmon->GetXPos(), 102.5f);
    vexmon->SetXPos(0);
    director->SetXPos(10);  // same value: nothing re-applied
    EXPECT_FLOAT_EQ(vexmon->GetXPos(), 0);
}

TEST_F(Directors, BeforeFirstAndAfterLastKeyframe) {
    director->GotoStep(2);
    EXPECT_FLOAT_EQ(vexmon->GetXPos(), 0);  // untouched before its first keyframe
    EXPECT_FALSE(vexmon->GetVisible());
    EXPECT_FLOAT_EQ(sidekick->GetXPos(), 3);  // 1 + (11 - 1) / 5
    director->GotoStep(6);
    EXPECT_FLOAT_EQ(vexmon->GetXPos(), 95);  // last keyframe kept
    EXPECT_EQ(vexmon->GetCurFrameName(), "s_back");
}

TEST_F(Directors, KeysArePairedByNameNotPosition) {
    // Sidekick's keyframes list different keys: ZPos stays, XPos interpolates.
    director->GotoStep(3);
    EXPECT_FLOAT_EQ(sidekick->GetXPos(), 5);
    EXPECT_FLOAT_EQ(sidekick->GetZPos(), 4);
}

TEST_F(Directors, RunsStepByStepAndStopsAfterTheLast) {
    director->SetRunning(true, -1);
    EXPECT_TRUE(director->IsRunning());
    EXPECT_EQ(director->GetCurrentStep(), 1);
    stage.RunUntil(5 * 110);
    EXPECT_EQ(director->GetCurrentStep(), 6);
    EXPECT_TRUE(events.names.empty());  // stepping itself fires no OnEnterCol
    stage.RunUntil(6 * 110);
    EXPECT_EQ(events.names, (std::vector<std::string>{"OnReachEnd"}));
    EXPECT_FALSE(director->IsRunning());
    EXPECT_EQ(director->GetCurrentStep(), 1);
    EXPECT_FLOAT_EQ(sidekick->GetXPos(), 11);
}

TEST_F(Directors, StartPositionIsTheFirstKeyframeWithoutOffset) {
    float x = -1, y = -1, z = -1;
    director->SetXPos(50);
    EXPECT_TRUE(director->GetStartPosition("vexmon", x, y, z));
    EXPECT_FLOAT_EQ(x, 90);
    EXPECT_FLOAT_EQ(y, 33);
    EXPECT_FLOAT_EQ(z, -1);
    EXPECT_FALSE(director->GetStartPosition("Nobody", x, y, z));
}

TEST_F(Directors, AnActorThatDiesIsLetGoAndFoundAgainByName) {
    director->GotoStep(3);
    EXPECT_FLOAT_EQ(vexmon->GetXPos(), 90);
    stage.ReleaseOwned(vexmon).reset();
    director->GotoStep(4);  // no actor of that name now: nothing to move
    stage.Load(Stream("", Actor("Vexmon")));
    auto& again = stage.FindComponentAs<RSprite>("Vexmon");
    director->GotoStep(5);
    EXPECT_FLOAT_EQ(again.GetXPos(), 95);
}

TEST_F(Directors, CoordinatesDoNotFollowTheProcessLocale) {
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
        if ((comma = std::setlocale(LC_NUMERIC, name))) break;
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
    director->GotoStep(4);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_FLOAT_EQ(vexmon->GetXPos(), 92.5f);
}

struct NumberCase {
    std::string name;
    std::string text;
    float expected;
};
void PrintTo(const NumberCase& c, std::ostream* out) { *out << c.name; }

class KeyframeNumbers : public ::testing::TestWithParam<NumberCase> {};

// Values read as the C library reads them in the "C" locale, once, at load.
TEST_P(KeyframeNumbers, ReadLikeAtof) {
    TestStage stage;
    stage.Load(Stream("", Actor("Vexmon") +
                              DirectorObject("D", {{1, "Vexmon", "XPos=" + GetParam().text + ";YPos=2;"}})));
    auto& director = stage.FindComponentAs<RDirector>("D");
    ASSERT_EQ(director.GetTracks().size(), 1u);
    director.GotoStep(1);
    EXPECT_FLOAT_EQ(stage.FindComponentAs<RSprite>("Vexmon").GetXPos(), GetParam().expected);
    EXPECT_FLOAT_EQ(stage.FindComponentAs<RSprite>("Vexmon").GetYPos(), 2);
}

INSTANTIATE_TEST_SUITE_P(Forms, KeyframeNumbers,
                         ::testing::Values(NumberCase{"Plain", "92.5", 92.5f}, NumberCase{"Negative", "-7", -7.0f},
                                           NumberCase{"BlanksAndPlus", "  +12.25", 12.25f},
                                           NumberCase{"StrayTail", "40px", 40.0f},
                                           NumberCase{"DecimalComma", "92,5", 92.0f},
                                           NumberCase{"Exponent", "1e2", 100.0f},
                                           NumberCase{"Underflow", "1e-400", 0.0f},
                                           NumberCase{"Overflow", "-1e400", -HUGE_VALF},
                                           NumberCase{"ExponentWithoutDigits", "3e+", 3.0f},
                                           NumberCase{"OnlyAFraction", "-.5", -0.5f},
                                           NumberCase{"PointAlone", ".e1", 0.0f},
                                           NumberCase{"NotANumber", "left", 0.0f}, NumberCase{"Empty", "", 0.0f}),
                         [](const ::testing::TestParamInfo<NumberCase>& tested) { return tested.param.name; });

TEST(DirectorLoading, TupelsAsLastPairStopsAtTheBodyEnd) {
    TestStage stage;
    stage.Load(Stream("", Actor("Vexmon") + DirectorObject("D", kTable, false) + Object("RPicture", "Next", "")));
    EXPECT_NE(stage.FindComponent("Next"), nullptr);
    EXPECT_EQ(stage.FindComponentAs<RDirector>("D").GetLastStep(), 6);
}

TEST(DirectorLoading, MissingOrZeroFrameLengthStillTicks) {
    TestStage stage;
    stage.Load(Stream("", DirectorObject("D", kTable, true, "0") + DirectorObject("E", kTable, true, "junk")));
    EXPECT_GE(stage.FindComponentAs<RDirector>("D").GetTimer().GetInterval(), 1.0);
    EXPECT_GE(stage.FindComponentAs<RDirector>("E").GetTimer().GetInterval(), 1.0);
    RDirector fresh("fresh", nullptr);
    EXPECT_DOUBLE_EQ(fresh.GetFrameLength(), 100);
}

TEST(DirectorLoading, SelfAndEmptyTablesAreHarmless) {
    TestStage stage;
    stage.Load(Stream("", DirectorObject("Loop", {{1, "Loop", "XPos=5;"}, {2, "Loop", "XPos=9;"}}) +
                              DirectorObject("Empty", {})));
    auto& loop = stage.FindComponentAs<RDirector>("Loop");
    loop.GotoStep(2);
    EXPECT_FLOAT_EQ(loop.GetXPos(), 0);
    auto& empty = stage.FindComponentAs<RDirector>("Empty");
    empty.Step();
    EXPECT_EQ(empty.GetCurrentStep(), 1);
}

}  // namespace
}  // namespace quellmoor
