#include "scenes/Floater.h"

#include <gtest/gtest.h>

#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "scenes/Random.h"
#include "tests/animation/TestStage.h"

namespace quellmoor {
namespace {

using namespace testing;

std::string Comet() {
    const std::vector<FrameSource> frames{{"head", {"111", "111"}}, {"tail", {"333", "333"}}};
    const std::vector<std::pair<std::string, std::vector<StepSource>>> sequences{
        {"Rise", {{"head"}, {"tail"}}},
        {"Glide", {{"tail"}, {"head"}}},
        {"Fall", {{"tail"}}},
    };
    return Object("RSprite", "Comet",
                  Pair("Visible", "True") + Token("FrameList") + FrameList(frames) + Token("SequenceList") +
                      SequenceList(sequences));
}

std::string Playing(const RSprite& sprite) {
    const RPixieSequencer* playing = sprite.GetCurrentSequencer();
    return playing ? playing->GetName() : "(none)";
}

class Floaters : public ::testing::Test {
protected:
    void SetUp() override {
        stage.Load(Stream("", Comet()));
        comet = &stage.FindComponentAs<RSprite>("Comet");
    }
    RFloater Make(const std::string& pre, const std::string& during, const std::string& post, float startX = 100,
                  float endX = 200) {
        return RFloater(comet, startX, endX, pre, during, post, "10", 4);
    }
    TestStage stage;
    RSprite* comet = nullptr;
};

// --- the speed range text ---------------------------------------------------

struct SpeedCase {
    const char* name;
    const char* text;
    float min, max;
};
void PrintTo(const SpeedCase& c, std::ostream* out) { *out << c.name; }

const SpeedCase kSpeeds[] = {
    {"Range", "20-50", 20, 50},
    {"OneNumber", "100", 100, 100},
    {"Empty", "", 0, 0},
    {"Junk", "fast", 0, 0},
    {"JunkAfterTheDash", "20-fast", 20, 0},
    {"NothingAfterTheDash", "30-", 30, 30},
    {"LeadingDashIsTheSeparator", "-20", 0, 20},
    {"Reversed", "50-20", 50, 20},
    {"Fractions", "2.5-7.25", 2.5f, 7.25f},
    {"InfiniteCountsAsZero", "inf-50", 0, 50},
    {"NotANumberCountsAsZero", "nan", 0, 0},
};

class FloaterSpeed : public Floaters, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(FloaterSpeed, RangeIsReadAndTheSpeedDrawnWithinIt) {
    const SpeedCase& c = GetParam();
    SeedRandom(77);
    const double expected = RandomRange(c.min, c.max);
    const int nextDraw = RandomDraw();
    SeedRandom(77);
    RFloater floater(comet, 0, 0, "", "", "", c.text, 1);
    EXPECT_FLOAT_EQ(floater.GetSpeedMin(), c.min);
    EXPECT_FLOAT_EQ(floater.GetSpeedMax(), c.max);
    EXPECT_FLOAT_EQ(floater.GetSpeed(), static_cast<float>(expected));
    EXPECT_EQ(RandomDraw(), nextDraw);  // the constructor draws exactly once
}

INSTANTIATE_TEST_SUITE_P(Texts, FloaterSpeed, ::testing::ValuesIn(kSpeeds),
                         [](const auto& param) { return std::string(param.param.name); });

// --- which sequence plays where ---------------------------------------------

struct PlaceCase {
    const char* name;
    const char* pre;
    const char* during;
    const char* post;
    float startX, endX;
    float x;
    const char* plays;
};
void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.name; }

const PlaceCase kPlaces[] = {
    {"FarLeftPlaysPre", "Rise", "Glide", "Fall", 100, 200, -100, "Rise"},
    {"JustBeforeStartPlaysPre", "Rise", "Glide", "Fall", 100, 200, 99.5f, "Rise"},
    {"AtStartPlaysDuring", "Rise", "Glide", "Fall", 100, 200, 100, "Glide"},
    {"JustBeforeEndPlaysDuring", "Rise", "Glide", "Fall", 100, 200, 199.5f, "Glide"},
    {"AtEndPlaysPost", "Rise", "Glide", "Fall", 100, 200, 200, "Fall"},
    {"FarRightPlaysPost", "Rise", "Glide", "Fall", 100, 200, 900, "Fall"},
    {"PreOnlyBefore", "Rise", "", "", 100, 200, 0, "Rise"},
    {"PreOnlyBetween", "Rise", "", "", 100, 200, 150, "Rise"},
    {"PreOnlyAfter", "Rise", "", "", 100, 200, 300, "Rise"},
    {"NoNamesBefore", "", "", "", 100, 200, 0, "(none)"},
    {"NoNamesBetween", "", "", "", 100, 200, 150, "(none)"},
    {"NoNamesAfter", "", "", "", 100, 200, 300, "(none)"},
    {"PostOnlyBetweenPlaysPost", "", "", "Fall", 100, 200, 150, "Fall"},
    {"PostOnlyBeforePlaysNothing", "", "", "Fall", 100, 200, 0, "(none)"},
    {"NamesIgnoreCase", "rISE", "GLIDE", "fall", 100, 200, 150, "Glide"},
    {"StartBeyondEndBefore", "Rise", "Glide", "Fall", 300, 200, 250, "Rise"},
    {"StartBeyondEndAfter", "Rise", "Glide", "Fall", 300, 200, 300, "Fall"},
    // A star whose StartX is -250 in an 800 x 600 window starts at 150 and
    // ends at 150 + 300; launched at -100 it plays its first sequence.
    {"LaunchBeforeAShiftedStart", "Rise", "Glide", "Rise", 150, 450, -100, "Rise"},
    {"WindowMiddleWithinAShiftedRange", "Rise", "Glide", "Rise", 150, 450, 400, "Glide"},
    {"MissingDuringIsNone", "Rise", "Nowhere", "Fall", 100, 200, 150, "(none)"},
    {"MissingPostIsNone", "Rise", "Glide", "Nowhere", 100, 200, 250, "(none)"},
};

class FloaterPlace : public Floaters, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(FloaterPlace, UpdatePlaysTheSequenceOfTheStretch) {
    const PlaceCase& c = GetParam();
    RFloater floater = Make(c.pre, c.during, c.post, c.startX, c.endX);
    floater.MoveTo(c.x, 10);
    EXPECT_NO_THROW(floater.Update());
    EXPECT_EQ(Playing(*comet), c.plays);
    if (comet->GetCurrentSequencer()) {
        EXPECT_EQ(comet->GetCurrentSequencer()->GetRepeatCount(), -1);
    }
    EXPECT_FLOAT_EQ(comet->GetXPos(), c.x);  // running keeps the place
    EXPECT_FLOAT_EQ(comet->GetYPos(), 10);
}

INSTANTIATE_TEST_SUITE_P(Stretches, FloaterPlace, ::testing::ValuesIn(kPlaces),
                         [](const auto& param) { return std::string(param.param.name); });

// --- crossing the window ----------------------------------------------------

TEST_F(Floaters, EmptyDuringAndPostTakePre) {
    RFloater floater = Make("Rise", "", "");
    EXPECT_EQ(floater.GetDuring(), "Rise");
    EXPECT_EQ(floater.GetPost(), "Rise");
    RFloater own = Make("Rise", "Glide", "Fall");
    EXPECT_EQ(own.GetDuring(), "Glide");
    EXPECT_EQ(own.GetPost(), "Fall");
}

TEST_F(Floaters, CrossingSwitchesSequencesOnceEachAndKeepsThePlayingOne) {
    RFloater floater = Make("Rise", "Glide", "Fall");
    floater.SetPosition(-100, 5, 300);
    floater.Update();
    EXPECT_EQ(Playing(*comet), "Rise");
    stage.RunUntil(150);  // into the second step
    const RPixieSequencer* rise = comet->GetCurrentSequencer();
    ASSERT_EQ(rise->GetCurrentStepIndex(), 1u);
    floater.MoveBy(50, 0, 0);
    floater.Update();  // still before startX: the same player goes on, not restarted
    EXPECT_EQ(comet->GetCurrentSequencer(), rise);
    EXPECT_EQ(rise->GetCurrentStepIndex(), 1u);
    floater.MoveBy(150, 0, 0);  // x = 100
    floater.Update();
    EXPECT_EQ(Playing(*comet), "Glide");
    floater.MoveBy(100, 0, 0);  // x = 200
    floater.Update();
    EXPECT_EQ(Playing(*comet), "Fall");
    EXPECT_FLOAT_EQ(floater.GetZPos(), 300);
}

TEST_F(Floaters, PlayingNameInOtherCaseIsNotRestarted) {
    RFloater floater = Make("RISE", "", "");
    comet->Run("rise", -1, 0, 0, 0);
    stage.RunUntil(150);
    ASSERT_EQ(comet->GetCurrentSequencer()->GetCurrentStepIndex(), 1u);
    floater.Update();
    EXPECT_EQ(comet->GetCurrentSequencer()->GetCurrentStepIndex(), 1u);
}

TEST_F(Floaters, MissingSequenceLeavesThePlayingOneAlone) {
    RFloater floater = Make("Rise", "Nowhere", "");
    floater.MoveTo(0, 0);
    floater.Update();
    floater.MoveTo(150, 0);
    EXPECT_NO_THROW(floater.Update());
    EXPECT_EQ(Playing(*comet), "Rise");
}

TEST_F(Floaters, StoppedAtRetirementAndStartedAgainAtTheNextLaunch) {
    RFloater floater = Make("Rise", "", "");
    floater.Update();
    floater.StopSequence();
    floater.SetVisible(false);
    EXPECT_EQ(Playing(*comet), "(none)");
    EXPECT_FALSE(comet->GetVisible());
    floater.SetVisible(true);
    floater.Update();
    EXPECT_EQ(Playing(*comet), "Rise");
}

TEST_F(Floaters, SizeIsThatOfTheCurrentFrame) {
    RFloater floater = Make("", "", "");
    EXPECT_FLOAT_EQ(floater.GetWidth(), 3);
    EXPECT_FLOAT_EQ(floater.GetHeight(), 2);
    EXPECT_EQ(floater.GetWeight(), 4);

    RSprite bare("bare", nullptr);
    RFloater empty(&bare, 0, 0, "", "", "", "1", 1);
    EXPECT_FLOAT_EQ(empty.GetWidth(), 0);
    EXPECT_FLOAT_EQ(empty.GetHeight(), 0);
    EXPECT_NO_THROW(empty.Update());
}

TEST_F(Floaters, ForwardsPlacementToItsSprite) {
    RFloater floater = Make("", "", "");
    floater.SetPosition(1, 2, 3);
    floater.MoveBy(10, 20, 30);
    floater.SetXPos(floater.GetXPos() + 1);
    EXPECT_FLOAT_EQ(comet->GetXPos(), 12);
    EXPECT_FLOAT_EQ(floater.GetLeft(), 12);
    EXPECT_FLOAT_EQ(floater.GetTop(), 22);
    EXPECT_FLOAT_EQ(comet->GetZPos(), 33);
}

TEST(FloaterMaking, NeedsASprite) {
    try {
        RFloater floater(nullptr, 0, 0, "", "", "", "1", 1);
        FAIL() << "no exception";
    } catch (const RParamException& e) {
        EXPECT_STREQ(e.what(), "RFloater needs a sprite.");
    }
}

}  // namespace
}  // namespace quellmoor
