// The preview opening shows screens of its own by swapping the stage's
// background and stage image, fades through RStage, then gives the old ones
// back. What the window shows must be the same whether the stage composes
// whole frames or only what changed.
#include "stage/OffscreenStage.h"
#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

struct SwapCase {
    const char* name;
    bool dirtyOnly;
};
void PrintTo(const SwapCase& c, std::ostream* out) { *out << c.name; }

class SurfaceSwapTest : public StageTest, public ::testing::WithParamInterface<SwapCase> {
protected:
    SurfaceSwapTest() {
        LoadBackground(16, 12, 1);
        stage->SetPresentDirtyOnly(GetParam().dirtyOnly);
        AddPixie("p", MakeSurface(4, 4, 100), 2, 2, 0);
        stage->Redraw();
    }
    // Every screen pixel: `inside` under the pixie, `outside` elsewhere.
    void ExpectScreen(int outside, int inside) {
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool under = x >= 2 && x < 6 && y >= 2 && y < 6;
                ASSERT_EQ(host.ScreenPixel(x, y), TestRgb(under ? inside : outside)) << x << "," << y;
            }
    }
};

TEST_P(SurfaceSwapTest, NewBackgroundShowsWholeAndTheOldOneComesBack) {
    ExpectScreen(1, 100);
    std::unique_ptr<RSurface> kept = stage->SetBackground(MakeSurface(16, 12, 20));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetDib()->GetPixelIndex(0, 0), 1);
    stage->Redraw();
    ExpectScreen(20, 100);
    EXPECT_EQ(stage->SetBackground(std::move(kept))->GetDib()->GetPixelIndex(0, 0), 20);
    stage->Redraw();
    ExpectScreen(1, 100);
}

TEST_P(SurfaceSwapTest, StaleStageImageIsRecomposedWhole) {
    // A stage image from elsewhere holds its own old picture, not this frame.
    std::unique_ptr<RSurface> kept = stage->SetStageImage(MakeSurface(16, 12, 77));
    stage->Redraw();
    ExpectScreen(1, 100);
    stage->SetStageImage(std::move(kept));
    stage->Redraw();
    ExpectScreen(1, 100);
}

TEST_P(SurfaceSwapTest, OpeningScreensFadeThroughTheStageAndRestore) {
    // The preview opening: its screen as background, a stage image cloned
    // from it, a fade; then the stage's own surfaces again.
    RStage& base = *stage;
    std::unique_ptr<RSurface> keptBackground = base.SetBackground(MakeSurface(16, 12, 30));
    std::unique_ptr<RSurface> keptImage = base.SetStageImage(base.CloneSurface(*base.GetBackground()));
    base.FadeTransition(false);
    ExpectScreen(30, 100);
    base.SetBackground(MakeSurface(16, 12, 31));
    base.FadeTransition(true);
    ExpectScreen(31, 100);
    EXPECT_FALSE(base.IsPaused());
    base.SetBackground(std::move(keptBackground));
    base.SetStageImage(std::move(keptImage));
    base.Redraw();
    ExpectScreen(1, 100);
}

INSTANTIATE_TEST_SUITE_P(Composing, SurfaceSwapTest,
                         ::testing::Values(SwapCase{"Whole", false}, SwapCase{"ChangesOnly", true}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(OffscreenStageTest, WindowIsTheStageImageAndFadeDoesNothing) {
    ROffscreenStage stage;
    EXPECT_EQ(stage.GetWindowRect(), (RRect{0, 0, 64, 48}));
    stage.Resize(800, 600);
    EXPECT_EQ(stage.GetWindowRect(), (RRect{0, 0, 800, 600}));
    stage.SetStageImage(stage.CreateSurface(120, 90));
    EXPECT_EQ(stage.GetWindowRect(), (RRect{0, 0, 120, 90}));

    RStage& base = stage;
    const double before = stage.GetTime();
    base.FadeTransition(true);
    EXPECT_EQ(stage.presents, 0);
    EXPECT_FALSE(stage.IsPaused());
    EXPECT_DOUBLE_EQ(stage.GetTime(), before);
}

TEST(OffscreenStageTest, SwapMarksTheWholeImageDirty) {
    ROffscreenStage stage;
    stage.ClearDirtyRects();
    stage.SetBackground(stage.CreateSurface(64, 48));
    EXPECT_EQ(stage.GetDirtyRects(), (std::vector<RRect>{{0, 0, 64, 48}}));
}

}  // namespace
}  // namespace quellmoor::testing
