#include "animation/Sprite.h"

#include <gtest/gtest.h>

#include "animation/Picture.h"
#include "animation/Sequencer.h"
#include "tests/animation/TestStage.h"

namespace quellmoor {
namespace {

using namespace testing;

std::string Walker(const std::string& extraPairs = "") {
    const std::vector<FrameSource> frames{
        {"stand", {"11", "11"}},
        {"step1", {"13", "22"}},
        {"step2", {"31", "22"}},
    };
    const std::vector<std::pair<std::string, std::vector<StepSource>>> sequences{
        {"walkrl", {{"step1", -12, 0, 0, "MS:125"}, {"step2", -14, 1, 0, "MS:125"}}},
        {"stand", {{"stand", 0, 0, 0, "MS:125"}}},
        {"empty", {}},
        {"instant", {{"step1", 1, 0, 0, "XX:5"}}},
    };
    return Object("RSprite", "Walker",
                  Pair("XPos", "40") + Pair("YPos", "10") + Pair("ZPos", "2") + Pair("Visible", "True") +
                      Pair("ImageDir", "$\\Scenes\\Images\\walker") + Pair("CurFrameName", "stand") +
                      Token("FrameList") + FrameList(frames) + Token("SequenceList") + SequenceList(sequences) +
                      extraPairs);
}

struct Counter : RObject {
    int finished = 0;
    int moved = 0;
};

void CountFinish(RComponent*, REvent*, RObject* data) { ++static_cast<Counter*>(data)->finished; }
void CountMove(RComponent*, REvent*, RObject* data) { ++static_cast<Counter*>(data)->moved; }

class Sprites : public ::testing::Test {
protected:
    void SetUp() override {
        stage.Load(Stream("", Walker()));
        walker = &stage.FindComponentAs<RSprite>("walker");
        walker->AddEventHandler("OnFinishSequence", &CountFinish, &counter);
        walker->AddEventHandler("OnMove", &CountMove, &counter);
    }
    TestStage stage;
    RSprite* walker = nullptr;
    Counter counter;
};

TEST_F(Sprites, LoadsFramesSequencesAndCurrentFrame) {
    EXPECT_EQ(walker->GetFrames().size(), 3u);
    EXPECT_EQ(walker->GetSequences().size(), 4u);
    EXPECT_EQ(walker->GetCurFrame()->GetName(), "stand");
    EXPECT_EQ(walker->GetSequences()[0]->GetStepCount(), 2u);
    EXPECT_DOUBLE_EQ(walker->GetSequences()[0]->GetStep(0).GetDuration(), 125.0);
}

TEST_F(Sprites, WalkSequenceMovesAndShowsFramesOnTime) {
    walker->Run("WALKRL", -1, kKeepCoordinate, 20, kKeepCoordinate);
    EXPECT_EQ(counter.moved, 1);
    EXPECT_FLOAT_EQ(walker->GetXPos(), 40);
    EXPECT_FLOAT_EQ(walker->GetYPos(), 20);
    EXPECT_FLOAT_EQ(walker->GetZPos(), 2);
    EXPECT_EQ(walker->GetCurFrame()->GetName(), "step1");
    EXPECT_EQ(walker->GetCurFrameName(), "stand");  // steps leave the stored name alone

    stage.RunUntil(124);
    EXPECT_EQ(walker->GetCurFrame()->GetName(), "step1");
    stage.RunUntil(125);
    EXPECT_EQ(walker->GetCurFrame()->GetName(), "step2");
    EXPECT_FLOAT_EQ(walker->GetXPos(), 28);
    stage.RunUntil(250);
    EXPECT_EQ(counter.finished, 1);
    EXPECT_FLOAT_EQ(walker->GetXPos(), 14);
    EXPECT_FLOAT_EQ(walker->GetYPos(), 21);
    stage.RunUntil(250 * 3);
    EXPECT_EQ(counter.finished, 3);
    EXPECT_FLOAT_EQ(walker->GetXPos(), 40 - 26 * 3);
    EXPECT_NE(walker->GetCurrentSequencer(), nullptr);
}

TEST_F(Sprites, RepeatTwoFinishesTwiceThenStops) {
    walker->Run("stand", 2, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    stage.RunUntil(1000);
    EXPECT_EQ(counter.finished, 2);
    EXPECT_EQ(walker->GetCurrentSequencer(), nullptr);
    EXPECT_FALSE(walker->GetSequences()[1]->IsEnabled());
}

TEST_F(Sprites, EmptySequenceNeverStarts) {
    walker->Run("empty", -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    EXPECT_FALSE(walker->GetSequences()[2]->IsEnabled());
}

TEST_F(Sprites, ZeroDurationStepTicksAtMostEveryMillisecond) {
    walker->Run("instant", -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    stage.RunUntil(10);
    EXPECT_EQ(counter.finished, 10);
    EXPECT_FLOAT_EQ(walker->GetXPos(), 50);
}

TEST_F(Sprites, MissingNamesThrowExactMessages) {
    walker->Run("stand", -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    try {
        walker->Run("fly", 1, 0, 0, 0);
        FAIL();
    } catch (const RFindException& e) {
        EXPECT_EQ(e.GetMessage(), "Sprite::Run(fly) Sequence does not exist.");
    }
    EXPECT_TRUE(walker->GetSequences()[1]->IsEnabled());  // still running
    try {
        walker->FindFrameByName("jump");
        FAIL();
    } catch (const RFindException& e) {
        EXPECT_EQ(e.GetMessage(), "Sprite(Walker)::FindFrameByName (jump) Frame does not exist.");
    }
    EXPECT_EQ(walker->FindFrameByName("")->GetName(), "stand");
}

TEST_F(Sprites, UnknownCurrentFrameShowsAtTheFirstDraw) {
    RSprite fresh("fresh", nullptr);
    fresh.SetCurFrameName("anything");  // nothing resolved yet: accepted
    EXPECT_THROW(fresh.GetCurFrame(), RFindException);
}

TEST_F(Sprites, DrawsCurrentFrameMirrored) {
    walker->SetPosition(0, 0, 0);
    walker->SetCurFrameName("step1");
    walker->mirrorHorizontal = true;
    stage.Redraw();
    // "13" mirrored is "31"; the bottom row "22" is green, drawn as see-through.
    EXPECT_EQ(stage.Pixel(0, 0), 3);
    EXPECT_EQ(stage.Pixel(1, 0), 1);
    EXPECT_EQ(stage.Pixel(0, 1), 9);
}

TEST_F(Sprites, ANewSurfaceIsANewLookEvenAtTheOldAddress) {
    walker->SetPosition(0, 0, 0);
    stage.SetPresentDirtyOnly(true);
    stage.Redraw();
    EXPECT_FALSE(walker->UpdateBounds());
    RSpriteFrame* frame = walker->GetCurFrame();
    Palette palette{};
    std::copy_n(frame->GetSurface()->GetDib()->GetPaletteEntries(), palette.size(), palette.begin());
    for (int i = 0; i < 20; ++i) {
        // The old surface is freed first, so the allocator may well hand its
        // address to the new one of the same size.
        frame->SetSurface(nullptr).reset();
        auto surface = std::make_unique<RDibSurface>(2.0f, 2.0f);
        surface->GetDib()->SetPalette(palette);
        surface->GetDib()->Fill(static_cast<std::uint8_t>(i % 2 ? 1 : 3));
        frame->SetSurface(std::move(surface));
        EXPECT_TRUE(walker->UpdateBounds()) << "replacement " << i;
        stage.Redraw();
        EXPECT_EQ(stage.Pixel(0, 0), i % 2 ? 1 : 3) << "replacement " << i;
    }
}

TEST_F(Sprites, APlayerStartedOnAPixieThatDiesStops) {
    stage.Load(Stream("", Walker().replace(Walker().find("Walker"), 6, "Second")));
    auto* other = &stage.FindComponentAs<RSprite>("Second");
    RPixieSequencer* player = walker->GetSequences()[0];
    player->Start(other, -1);
    stage.RunUntil(130);
    EXPECT_EQ(other->GetLastFinishedSequencer(), nullptr);
    stage.ReleaseOwned(other).reset();
    stage.RunUntil(400);
    EXPECT_FALSE(player->IsEnabled());
}

TEST_F(Sprites, APlayerThatDiesIsForgottenByItsPixie) {
    stage.Load(Stream("", Walker().replace(Walker().find("Walker"), 6, "Second")));
    auto& other = stage.FindComponentAs<RSprite>("Second");
    RPixieSequencer* player = other.GetSequences()[1];  // "stand": one step
    player->Start(walker, 0);
    stage.RunUntil(130);
    ASSERT_EQ(walker->GetLastFinishedSequencer(), player);
    stage.ReleaseOwned(&other).reset();
    EXPECT_EQ(walker->GetLastFinishedSequencer(), nullptr);
}

TEST_F(Sprites, AFrameOrPlayerTakenAwayIsForgotten) {
    walker->Run("stand", -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    stage.Dispose(walker->GetCurFrame());
    stage.Dispose(walker->GetCurrentSequencer());
    stage.CollectDisposed();
    EXPECT_EQ(walker->GetFrames().size(), 2u);
    EXPECT_EQ(walker->GetSequences().size(), 3u);
    EXPECT_EQ(walker->GetCurrentSequencer(), nullptr);
    EXPECT_THROW(walker->GetCurFrame(), RFindException);  // "stand" is gone
    stage.RunUntil(500);
}

TEST_F(Sprites, FrameStepOnAPictureIsRefused) {
    stage.Load(Stream("", Object("RPicture", "Pic", "")));
    try {
        walker->GetSequences()[0]->Start(&stage.FindComponentAs<RPicture>("Pic"), 1);
        FAIL();
    } catch (const RFindException& e) {
        EXPECT_EQ(e.GetMessage(), "RFrameRef cannot acces object other than RSprite.");
    }
}

void RestartOnFinish(RComponent* sender, REvent*, RObject*) {
    static_cast<RSprite*>(sender)->Run("walkrl", 1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
}

TEST_F(Sprites, FinishHandlerThatStartsAnotherSequenceWins) {
    walker->AddEventHandler("OnFinishSequence", &RestartOnFinish, nullptr);
    walker->Run("stand", 0, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    stage.RunUntil(125);
    EXPECT_EQ(walker->GetCurrentSequencer(), walker->GetSequences()[0]);
    EXPECT_TRUE(walker->GetSequences()[0]->IsEnabled());
    EXPECT_EQ(walker->GetCurFrame()->GetName(), "step1");
}

TEST(SpriteLoading, MalformedFrameListsFailCleanly) {
    const std::string bmp = Bitmap({"1"});
    const std::vector<std::string> lists{
        Record(Int(1) + Record(Pair("Name", "a") + Token("Surface") + Int(-5) + bmp)),
        Record(Int(1) + Record(Pair("Name", "a") + Token("Surface") + Int(999999) + bmp)),
        Record(Int(2) + Record(Pair("Name", "a"))),
        Record(Int(1) + "-3#" + Pair("Name", "a")),
    };
    for (const std::string& list : lists) {
        SCOPED_TRACE(list.substr(0, 40));
        TestStage stage;
        EXPECT_THROW(stage.Load(Stream("", Object("RSprite", "S", Token("FrameList") + list))), RStreamException);
    }
}

TEST(SpriteLoading, FrameRecordWithoutSurfaceMakesAFrameWithoutImage) {
    TestStage stage;
    stage.Load(Stream("", Object("RSprite", "S", Token("FrameList") + Record(Int(1) + Record(Pair("Name", "blank") + Pair("Transparent", "RGB24:00FF00"))))));
    auto& sprite = stage.FindComponentAs<RSprite>("S");
    ASSERT_EQ(sprite.GetFrames().size(), 1u);
    EXPECT_EQ(sprite.GetFrames()[0]->GetSurface(), nullptr);
    sprite.SetVisible(true);
    stage.Redraw();  // draws nothing, throws nothing
}

TEST(Sequences, DurationsParse) {
    EXPECT_NEAR(ParseDuration("MS:110"), 110.0, 1e-3);
    EXPECT_NEAR(ParseDuration("ms:25"), 25.0, 1e-3);
    EXPECT_EQ(ParseDuration("S:5"), 0.0);
    EXPECT_EQ(ParseDuration("110"), 0.0);
}

}  // namespace
}  // namespace quellmoor
