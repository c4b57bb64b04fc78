#include "animation/Balloon.h"

#include <gtest/gtest.h>

#include "animation/Director.h"
#include "animation/TextBlock.h"
#include "stage/Timer.h"
#include "tests/animation/TestStage.h"

namespace quellmoor {
namespace {

using namespace testing;

class Balloons : public ::testing::Test {
protected:
    void SetUp() override {
        stage.Load(Stream("", Object("RDirector", "Talking", Pair("XPos", "100") + Pair("YPos", "60")) +
                                  Object("RDirector", "Listening", "") +
                                  Object("RTimer", "TalkA", Pair("Interval", "100")) +
                                  Object("RTimer", "TalkB", Pair("Interval", "100"))));
        directorA = &stage.FindComponentAs<RDirector>("Talking");
        directorB = &stage.FindComponentAs<RDirector>("Listening");
        timerA = &stage.FindComponentAs<RTimer>("TalkA");
        timerB = &stage.FindComponentAs<RTimer>("TalkB");
        balloon = MakeOwned<RBalloon>("Balloon", &stage);
    }
    void Say(const std::vector<std::string>& lines) {
        balloon->Say(lines, 20, 30, directorA, directorB, timerA, timerB);
    }
    TestStage stage;
    RDirector* directorA = nullptr;
    RDirector* directorB = nullptr;
    RTimer* timerA = nullptr;
    RTimer* timerB = nullptr;
    RBalloon* balloon = nullptr;
};

TEST_F(Balloons, PageOfTwentyBytesShowsFor1400MsThenPauses500) {
    Say({"Nineteen chars here"});  // 19 + line feed = 20 bytes
    EXPECT_TRUE(balloon->GetVisible());
    EXPECT_EQ(balloon->GetText(), "Nineteen chars here\n");
    EXPECT_FLOAT_EQ(balloon->GetXPos(), 20);
    EXPECT_FLOAT_EQ(balloon->GetYPos(), 30);
    EXPECT_TRUE(timerA->IsEnabled());
    EXPECT_FALSE(timerB->IsEnabled());
    EXPECT_TRUE(directorB->IsRunning());
    stage.RunUntil(1399);
    EXPECT_TRUE(balloon->GetVisible());
    stage.RunUntil(1400);
    EXPECT_FALSE(balloon->GetVisible());
    EXPECT_FALSE(balloon->IsFinished());
    stage.RunUntil(1899);
    EXPECT_FALSE(balloon->IsFinished());
    stage.RunUntil(1900);
    EXPECT_TRUE(balloon->IsFinished());
    EXPECT_FALSE(timerA->IsEnabled());
    EXPECT_FALSE(directorA->IsRunning());
    EXPECT_FALSE(directorB->IsRunning());
}

TEST_F(Balloons, SecondSpeakerPageStandsAtDirectorPlusOffset) {
    Say({"Hello there!", "***", "(10,-5)Hi yourself.", "***"});
    EXPECT_EQ(balloon->GetText(), "Hello there!\n");
    stage.RunUntil(30 * 13 + 800);  // hidden
    stage.RunUntil(30 * 13 + 800 + 500);
    EXPECT_TRUE(balloon->GetVisible());
    EXPECT_EQ(balloon->GetText(), "Hi yourself.\n");
    EXPECT_FLOAT_EQ(balloon->GetXPos(), 110);
    EXPECT_FLOAT_EQ(balloon->GetYPos(), 55);
    EXPECT_FALSE(timerA->IsEnabled());
    EXPECT_TRUE(timerB->IsEnabled());
    EXPECT_TRUE(directorA->IsRunning());
    EXPECT_FALSE(directorB->IsRunning());
    // 20 bytes including the prefix: 1400 ms, then the pause, then the end.
    stage.RunUntil(30 * 13 + 800 + 500 + 1400 + 500);
    EXPECT_TRUE(balloon->IsFinished());
}

TEST_F(Balloons, EmptyListEndsAfterNothingShown) {
    Say({});
    EXPECT_TRUE(balloon->IsFinished());
    EXPECT_FALSE(balloon->GetVisible());
}

TEST_F(Balloons, EmptyPagesDrawNothing) {
    Say({"***", "***", "(1,2"});
    EXPECT_EQ(balloon->GetText(), "");
    balloon->Draw(*stage.GetStageImage(), 30, 40, nullptr);  // must not throw or draw
    EXPECT_EQ(stage.Pixel(30, 39), 9);
}

TEST_F(Balloons, StandsInFrontOfEverything) {
    EXPECT_LT(balloon->GetZPos(), -1000.0f);
}

TEST(TextBlock, ReadsContentsLines) {
    TestStage stage;
    stage.Load(Stream("", Object("RText", "Talk", Pair("Contents", Token("Hi!\n***\n(4,5)Yo.\n")) + Pair("Other", "x"))));
    auto& block = stage.FindComponentAs<RTextBlock>("talk");
    EXPECT_EQ(block.GetContents(), (std::vector<std::string>{"Hi!", "***", "(4,5)Yo."}));
    EXPECT_EQ(block.GetClassName(), "RTextBlock");
}

}  // namespace
}  // namespace quellmoor
