#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "model/ComponentManager.h"
#include "tests/animation/TestStage.h"

namespace quellmoor {
namespace {

using namespace testing;

std::string Star(const std::string& name, float x, float y) {
    const std::vector<FrameSource> frames{
        {"dim", {"11", "11"}},
        {"bright", {"13", "32"}},
    };
    const std::vector<std::pair<std::string, std::vector<StepSource>>> sequences{
        {"twinkle", {{"bright", 5, 0, 0, "MS:100"}, {"dim", 5, 0, 0, "MS:100"}}},
    };
    return Object("RSprite", name,
                  Pair("XPos", std::to_string(x)) + Pair("YPos", std::to_string(y)) + Pair("ZPos", "7") +
                      Pair("Visible", "True") + Pair("CurFrameName", "dim") + Token("FrameList") + FrameList(frames) +
                      Token("SequenceList") + SequenceList(sequences));
}

class SpriteCopies : public ::testing::Test {
protected:
    void SetUp() override {
        stage.Load(Stream("", Star("Star", 40, 10)));
        star = &stage.FindComponentAs<RSprite>("star");
    }

    RSprite* Copy(const RSprite& from, const std::string& name) {
        RSprite* copy = from.CopyAs(name, stage);
        stage.RegisterComponent(copy);
        return copy;
    }

    TestStage stage;
    RSprite* star = nullptr;
};

TEST_F(SpriteCopies, CopyDrawsLikeItsTemplateElsewhere) {
    star->SetCurFrameName("bright");
    RSprite* copy = Copy(*star, "Star\x01");
    copy->MoveTo(10, 20);
    stage.Redraw();
    for (const auto& [x, y] : {std::pair{40, 10}, std::pair{10, 20}}) {
        EXPECT_EQ(stage.Pixel(x, y), 1) << x << "," << y;
        EXPECT_EQ(stage.Pixel(x + 1, y), 3) << x << "," << y;
        EXPECT_EQ(stage.Pixel(x, y + 1), 3) << x << "," << y;
        EXPECT_EQ(stage.Pixel(x + 1, y + 1), 9) << x << "," << y;  // green is see-through on both
    }
    EXPECT_EQ(copy->GetName(), "Star\x01");
    EXPECT_FLOAT_EQ(copy->GetZPos(), 7);
    EXPECT_TRUE(copy->GetVisible());
}

TEST_F(SpriteCopies, CopyShowsTheFrameASequenceStepLeft) {
    star->Run("twinkle", 0, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    stage.RunUntil(50);  // first step showing "bright", stored name still "dim"
    star->Stop();
    RSprite* copy = Copy(*star, "copy");
    EXPECT_EQ(copy->GetCurFrame()->GetName(), "bright");
    EXPECT_EQ(copy->GetCurFrameName(), "dim");
    EXPECT_NE(copy->GetCurFrame(), star->GetCurFrame());  // its own frame object
    EXPECT_EQ(copy->GetCurrentSequencer(), nullptr);      // nothing plays on a copy
}

TEST_F(SpriteCopies, ChangingTheCopyLeavesTheTemplateAlone) {
    RSprite* copy = Copy(*star, "copy");
    copy->SetCurFrameName("bright");
    copy->mirrorHorizontal = true;
    copy->Run("TWINKLE", -1, 0, 0, kKeepCoordinate);
    stage.RunUntil(450);
    EXPECT_FLOAT_EQ(copy->GetXPos(), 20);  // four steps of 5
    EXPECT_EQ(star->GetCurFrame()->GetName(), "dim");
    EXPECT_FALSE(star->mirrorHorizontal);
    EXPECT_FLOAT_EQ(star->GetXPos(), 40);
    EXPECT_EQ(star->GetCurrentSequencer(), nullptr);
    EXPECT_FALSE(star->GetSequences()[0]->IsEnabled());

    copy->Stop();
    copy->SetPosition(0, 0, 0);
    stage.Redraw();
    EXPECT_EQ(stage.Pixel(40, 10), 1);  // the template still shows "dim"
    EXPECT_EQ(stage.Pixel(41, 10), 1);
}

TEST_F(SpriteCopies, SequencesAreCopiedStepByStep) {
    RSprite* copy = Copy(*star, "copy");
    ASSERT_EQ(copy->GetSequences().size(), 1u);
    const RPixieSequencer& copied = *copy->GetSequences()[0];
    const RPixieSequencer& original = *star->GetSequences()[0];
    EXPECT_NE(&copied, &original);
    EXPECT_EQ(copied.GetName(), "twinkle");
    ASSERT_EQ(copied.GetStepCount(), 2u);
    EXPECT_NE(&copied.GetStep(0), &original.GetStep(0));
    EXPECT_EQ(dynamic_cast<const RFrameRef&>(copied.GetStep(0)).frameName, "bright");
    EXPECT_EQ(copied.GetStep(1).GetDuration(), original.GetStep(1).GetDuration());
}

TEST_F(SpriteCopies, ManyCopiesShareTheTemplatesPixels) {
    std::vector<std::string> rows(64, std::string(64, '1'));
    const std::vector<FrameSource> frames{{"big", rows}};
    stage.Load(Stream("", Object("RSprite", "Big", Token("FrameList") + FrameList(frames))));
    const auto& big = stage.FindComponentAs<RSprite>("Big");
    const RSpriteFrame& frame = *big.GetFrames().front();

    std::vector<RSprite*> copies;
    for (int i = 0; i < 256; ++i) copies.push_back(Copy(big, "Big" + std::string(1, static_cast<char>(i))));
    for (RSprite* copy : copies) {
        ASSERT_EQ(copy->GetFrames().size(), 1u);
        EXPECT_EQ(copy->GetFrames().front()->GetSurface(), frame.GetSurface());
    }
    EXPECT_EQ(frame.GetSharedSurface().use_count(), 257);
}

TEST(SpriteCopyLifetime, CopyOutlivesItsTemplate) {
    TestStage stage;
    RSprite* copy = nullptr;
    {
        RComponentManager library("library", nullptr);
        std::istringstream in(Stream("", Star("Star", 0, 0)));
        library.AddComponentStream(&in);
        copy = library.FindComponentAs<RSprite>("Star").CopyAs("copy", stage);
    }  // the template and its frames die with the library
    stage.RegisterComponent(copy);
    copy->SetPosition(5, 6, 0);
    copy->Run("twinkle", 1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    stage.RunUntil(150);
    stage.Redraw();
    EXPECT_EQ(stage.Pixel(10, 6), 1);  // "dim" after the first step's move of 5
    EXPECT_EQ(stage.Pixel(11, 6), 1);
}

}  // namespace
}  // namespace quellmoor
