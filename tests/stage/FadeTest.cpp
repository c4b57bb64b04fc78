// However a fade ends (a quit, a present that throws), the stage clock runs
// again and the stage image shows its own palette; the frame-rate figure gives
// its drawing context back even when drawing it throws.
#include "tests/imaging/FakePlatform.h"
#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

std::vector<std::uint32_t> Colours(const RSurface& image) {
    std::vector<std::uint32_t> colours;
    const PaletteEntry* palette = image.GetDib()->GetPaletteEntries();
    for (int i = 0; i < 256; ++i)
        colours.push_back(std::uint32_t{palette[i].red} << 16 | std::uint32_t{palette[i].green} << 8 | palette[i].blue);
    return colours;
}

class FadeTest : public StageTest {
protected:
    FadeTest() {
        LoadBackground(8, 8, 100);
        stage->MeasureFramePeriod();
        before = Colours(*stage->GetStageImage());
    }
    // The clock runs: 40 ms of system time are 40 ms of stage time.
    void ExpectClockRuns() {
        EXPECT_FALSE(stage->IsPaused());
        const double start = stage->GetTime();
        host.AdvanceMs(40);
        EXPECT_DOUBLE_EQ(stage->GetTime(), start + 40.0);
    }
    std::vector<std::uint32_t> before;
};

TEST_F(FadeTest, QuitWhileFadingOutRestoresClockAndPalette) {
    CloseAt(100);
    stage->FadeTransition(true);
    ASSERT_TRUE(stage->IsQuitting());
    ASSERT_LT(host.FrameCount(), 64);  // it did end during the fade out
    EXPECT_EQ(Colours(*stage->GetStageImage()), before);
    ExpectClockRuns();
}

TEST_F(FadeTest, QuitWhileFadingInRestoresClockAndPalette) {
    // 64 steps out of about 16.7 ms each take about 1067 ms.
    CloseAt(1500);
    stage->FadeTransition(true);
    ASSERT_TRUE(stage->IsQuitting());
    ASSERT_GT(host.FrameCount(), 64);
    ASSERT_LT(host.FrameCount(), 128);
    EXPECT_EQ(Colours(*stage->GetStageImage()), before);
    ExpectClockRuns();
}

TEST_F(FadeTest, PresentThatThrowsMidFadeRestoresClockAndPalette) {
    int frames = 0;
    host.SetFrameCallback([&](const platform::HeadlessFrame&) {
        if (++frames == 10) throw RException("The display went away.");
    });
    try {
        stage->FadeTransition(true);
        FAIL() << "the present's failure was swallowed";
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), "The display went away.");
    }
    host.SetFrameCallback({});
    EXPECT_EQ(Colours(*stage->GetStageImage()), before);
    ExpectClockRuns();
}

TEST_F(FadeTest, StageTimeStandsStillOnlyWhileFading) {
    const double start = stage->GetTime();
    stage->FadeTransition(true);
    EXPECT_DOUBLE_EQ(stage->GetTime(), start);
    EXPECT_EQ(Colours(*stage->GetStageImage()), before);
    ExpectClockRuns();
}

// A window resized during a fade (a page or a desktop window the user drags)
// must not replace the image whose palette the fade is changing.
TEST_F(FadeTest, AResizeDuringTheFadeTakesEffectWhenItEnds) {
    stage->SetFollowTargetSize(true);
    // Once while fading out, once while fading in: the last size counts.
    for (const std::int64_t at : {300, 1300})
        host.QueueInput(at, {.type = platform::InputEvent::Type::Resized, .window = stage->GetOwnWindow(),
                             .width = 12 + static_cast<int>(at / 1000), .height = 6});
    stage->FadeTransition(true);
    EXPECT_GT(host.FrameCount(), 127);  // the whole fade was shown
    EXPECT_EQ(host.LastFrame()->width, 8);
    EXPECT_EQ(stage->GetStageImage()->GetWidth(), 13.0f);
    EXPECT_EQ(stage->GetStageImage()->GetHeight(), 6.0f);
    EXPECT_EQ(Colours(*stage->GetStageImage()), before);
    ExpectClockRuns();
    // The next frame composes the new size whole.
    stage->Redraw();
    EXPECT_EQ(host.LastFrame()->width, 13);
    EXPECT_EQ(FrameIndex(3, 3), 100);
}

// --- The frame-rate figure

TEST(FrameRateText, ThrowingDrawGivesTheContextBack) {
    test::FakePlatform fake;
    RDibStage stage;
    stage.SetPresentTarget(1, -99999.0f, -99999.0f);
    stage.SetShowFrameRate(true);
    RDibSurface image(16, 16);
    stage.Present(image, 0, 0, nullptr);  // the first present only notes the time
    fake.drawThrows = true;
    EXPECT_THROW(stage.Present(image, 0, 0, nullptr), RException);
    EXPECT_EQ(image.GetDib()->GetDCCount(), 0);
    EXPECT_EQ(fake.contextsAlive, 0);
    // The next figure gets a context of its own, not a stale one.
    fake.drawThrows = false;
    stage.Present(image, 0, 0, nullptr);
    EXPECT_EQ(fake.contextsMade, 2);
    EXPECT_EQ(fake.contextsAlive, 0);
    EXPECT_EQ(image.GetDib()->GetDCCount(), 0);
}

TEST(FadeFrameRate, AFadeDrawsNoFrameRateFigureOnTheImageItShowsAgainAndAgain) {
    test::FakePlatform fake;
    RDibStage stage;
    for (bool background : {true, false}) {
        auto surface = std::make_unique<RDibSurface>(16, 16);
        surface->GetDib()->SetPalette(Palette{});
        if (background) stage.SetBackground(std::move(surface));
        else stage.SetStageImage(std::move(surface));
    }
    stage.SetPresentTarget(1, -99999.0f, -99999.0f);
    stage.SetShowFrameRate(true);
    stage.Present(*stage.GetStageImage(), 0, 0, nullptr);  // the first present only notes the time
    stage.FadeTransition(true);
    EXPECT_EQ(fake.contextsMade, 0);
    stage.Present(*stage.GetStageImage(), 0, 0, nullptr);  // shown again after the fade
    EXPECT_EQ(fake.contextsMade, 1);
}

}  // namespace
}  // namespace quellmoor::testing
