#include <cmath>

#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

class ComposeTest : public StageTest {
protected:
    ComposeTest() { LoadBackground(32, 24, 1); }
};

TEST_F(ComposeTest, SmallerDepthIsDrawnOnTop) {
    AddPixie("near", MakeSurface(8, 8, 20), 4, 4, -43);
    AddPixie("far", MakeSurface(8, 8, 30), 8, 8, 3);
    stage->Redraw();
    ASSERT_EQ(host.FrameCount(), 1);
    EXPECT_EQ(FrameIndex(0, 0), 1);     // background
    EXPECT_EQ(FrameIndex(5, 5), 20);    // near only
    EXPECT_EQ(FrameIndex(10, 10), 20);  // both: near on top
    EXPECT_EQ(FrameIndex(14, 14), 30);  // far only
}

TEST_F(ComposeTest, EqualDepthsKeepListOrderEveryFrame) {
    AddPixie("first", MakeSurface(8, 8, 40), 0, 0, 5);
    AddPixie("second", MakeSurface(8, 8, 41), 4, 0, 5);
    for (int frame = 0; frame < 5; ++frame) {
        stage->Redraw();
        EXPECT_EQ(FrameIndex(5, 1), 41) << "frame " << frame;  // the later one in the list stays on top
    }
}

TEST_F(ComposeTest, NonPixiesSortAfterPixiesAndNotANumberIsFarthest) {
    stage->RegisterComponent(MakeOwned<RTimer>("timer", stage.get(), 10.0, false));
    auto* odd = AddPixie("odd", MakeSurface(8, 8, 50), 0, 0, std::nanf(""));
    auto* deep = AddPixie("deep", MakeSurface(8, 8, 51), 2, 0, 1000);
    auto* top = AddPixie("top", MakeSurface(8, 8, 52), 4, 0, -1);
    stage->Redraw();
    std::vector<std::string> order;
    for (RComponent* c : stage->GetComponents()) order.push_back(c->GetName());
    EXPECT_EQ(order, (std::vector<std::string>{"odd", "deep", "top", "Stage", "timer"}));
    EXPECT_EQ(FrameIndex(1, 1), 50);
    EXPECT_EQ(FrameIndex(3, 1), 51);
    EXPECT_EQ(FrameIndex(5, 1), 52);
    EXPECT_EQ(odd->draws + deep->draws + top->draws, 3);
}

TEST_F(ComposeTest, InvisiblePixiesAreNotDrawn) {
    auto* hidden = AddPixie("hidden", MakeSurface(8, 8, 60), 0, 0, 0);
    hidden->SetVisible(false);
    stage->Redraw();
    EXPECT_EQ(hidden->draws, 0);
    EXPECT_EQ(FrameIndex(1, 1), 1);
}

TEST_F(ComposeTest, TransparentColourShowsWhatIsBehind) {
    auto sprite = MakeSurface(6, 6, 70);
    sprite->GetDib()->FillRect({2, 2, 2, 2}, 250);
    sprite->SetTransColor(0x00FF00);
    AddPixie("under", MakeSurface(12, 12, 80), 0, 0, 10);
    AddPixie("sprite", std::move(sprite), 0, 0, 0);
    stage->Redraw();
    EXPECT_EQ(FrameIndex(0, 0), 70);
    EXPECT_EQ(FrameIndex(2, 2), 80);  // see-through to the pixie behind
    EXPECT_EQ(FrameIndex(3, 3), 80);
    EXPECT_EQ(FrameIndex(4, 4), 70);
    EXPECT_EQ(FrameIndex(8, 8), 80);
}

TEST_F(ComposeTest, PixiesAreClippedAtEveryEdge) {
    AddPixie("left", MakeSurface(8, 8, 90), -4, 10, 0);
    AddPixie("right", MakeSurface(8, 8, 91), 28, 10, 0);
    AddPixie("top", MakeSurface(8, 8, 92), 12, -5, 0);
    AddPixie("bottom", MakeSurface(8, 8, 93), 12, 20, 0);
    AddPixie("outside", MakeSurface(8, 8, 94), 100, 100, 0);
    stage->Redraw();
    EXPECT_EQ(FrameIndex(0, 10), 90);
    EXPECT_EQ(FrameIndex(3, 17), 90);
    EXPECT_EQ(FrameIndex(4, 10), 1);
    EXPECT_EQ(FrameIndex(31, 10), 91);
    EXPECT_EQ(FrameIndex(27, 10), 1);
    EXPECT_EQ(FrameIndex(12, 0), 92);
    EXPECT_EQ(FrameIndex(12, 2), 92);
    EXPECT_EQ(FrameIndex(12, 3), 1);
    EXPECT_EQ(FrameIndex(19, 23), 93);
    EXPECT_EQ(FrameIndex(12, 19), 1);
}

TEST_F(ComposeTest, NaturalSizeIsShownOneToOne) {
    AddPixie("p", MakeSurface(4, 4, 100), 0, 0, 0);
    stage->Redraw();
    const auto* frame = host.LastFrame();
    EXPECT_EQ(frame->kind, platform::HeadlessFrame::Kind::Stretched);
    EXPECT_EQ(frame->destination.width, 32);
    EXPECT_EQ(frame->destination.height, 24);
    EXPECT_EQ(host.ScreenPixel(0, 0), TestRgb(100));
    EXPECT_EQ(host.ScreenPixel(4, 4), TestRgb(1));
}

TEST_F(ComposeTest, DisplaySizeStretchesNearestNeighbour) {
    stage->GetStageImage();  // 32 x 24
    AddPixie("p", MakeSurface(4, 4, 100), 0, 0, 0);
    host.ResizeWindow(64, 48);
    stage->SetPresentTarget(stage->GetOwnWindow(), 64, 48);
    stage->Redraw();
    const auto* frame = host.LastFrame();
    EXPECT_EQ(frame->destination.width, 64);
    EXPECT_EQ(frame->destination.height, 48);
    EXPECT_EQ(host.ScreenPixel(7, 7), TestRgb(100));
    EXPECT_EQ(host.ScreenPixel(8, 8), TestRgb(1));
    EXPECT_EQ(host.ScreenPixel(63, 47), TestRgb(1));
}

TEST_F(ComposeTest, DirtyOnlyPresentsTheDirtySetAndEmptiesIt) {
    auto* pixie = AddPixie("p", MakeSurface(4, 4, 100), 0, 0, 0);
    stage->SetPresentDirtyOnly(true);
    stage->ClearDirtyRects();
    stage->Redraw();
    EXPECT_EQ(host.FrameCount(), 0);  // nothing reported, nothing composed or presented
    EXPECT_EQ(pixie->draws, 0);
    stage->InvalidRect({2, 2, 3, 3});
    stage->Redraw();
    ASSERT_EQ(host.FrameCount(), 1);
    EXPECT_EQ(host.LastFrame()->kind, platform::HeadlessFrame::Kind::Rects);
    ASSERT_EQ(host.LastFrame()->rects.size(), 1u);
    EXPECT_EQ(host.LastFrame()->rects[0].x, 2);
    EXPECT_EQ(host.LastFrame()->rects[0].width, 4);
    EXPECT_TRUE(stage->GetDirtyRects().empty());
}

TEST_F(ComposeTest, MissingTargetWindowQuits) {
    const auto parent = host.AddForeignWindow();
    stage->SetPresentTarget(host.AttachWindow(parent), 32, 24);
    stage->Redraw();
    EXPECT_EQ(host.FrameCount(), 1);
    EXPECT_FALSE(host.IsWindowVisible());  // the own window hides when another is the target
    host.RemoveForeignWindow(parent);
    stage->Redraw();
    EXPECT_EQ(host.FrameCount(), 1);
    EXPECT_TRUE(stage->IsQuitting());
}

TEST_F(ComposeTest, FrameRateFollowsTheSmoothingRule) {
    stage->SetShowFrameRate(true);
    stage->Redraw();
    EXPECT_DOUBLE_EQ(stage->GetFrameRate(), 10.0);  // first present only records the time
    host.AdvanceMs(20);
    stage->Redraw();
    EXPECT_DOUBLE_EQ(stage->GetFrameRate(), 12.0);
    stage->Redraw();  // no time passed: counts as 5 ms
    EXPECT_DOUBLE_EQ(stage->GetFrameRate(), 12.0 * 0.95 + 200.0 * 0.05);
}

TEST_F(ComposeTest, TheFrameRateFigureIsComposedAnewEachFrame) {
    stage->SetShowFrameRate(true);
    stage->SetPresentDirtyOnly(true);
    stage->Redraw();
    host.AdvanceMs(20);
    stage->InvalidRect({10, 10, 2, 2});  // something changed: a frame is presented
    stage->Redraw();
    // Left dirty for the next frame, so its figure is not drawn over this one.
    ASSERT_FALSE(stage->GetDirtyRects().empty());
    EXPECT_EQ(stage->GetDirtyRects().front().x, 0.0f);
    EXPECT_EQ(stage->GetDirtyRects().front().y, 0.0f);
}

// --- The preview: a 608 x 448 image reduced to 152 x 112 by 4 x 4 averages.

class PreviewTest : public StageTest {
protected:
    PreviewTest() { LoadBackground(608, 448, 0); }
};

TEST_F(PreviewTest, AveragesEveryFourByFourBlock) {
    Palette palette{};
    palette[1] = {0, 0, 255, 0};  // red 255
    palette[2] = {255, 10, 0, 0};
    RDib& background = *stage->GetBackground()->GetDib();
    background.SetPalette(palette);
    background.Fill(0);
    background.FillRect({4, 0, 4, 2}, 1);  // block (1, 0): eight 255s and eight 0s in red
    background.FillRect({8, 0, 4, 4}, 2);
    stage->GetStageImage()->GetDib()->SetPalette(palette);
    stage->SetPresentTarget(stage->GetOwnWindow(), 152, 112);
    stage->Redraw();
    const auto* frame = host.LastFrame();
    ASSERT_EQ(frame->kind, platform::HeadlessFrame::Kind::Rgb);
    ASSERT_EQ(frame->width, 152);
    ASSERT_EQ(frame->height, 112);
    auto rgb = [&](int x, int y) {
        const std::uint8_t* p = &frame->rgb[(static_cast<std::size_t>(y) * 152 + x) * 3];
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(rgb(0, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(rgb(1, 0), (std::array<int, 3>{128, 0, 0}));
    EXPECT_EQ(rgb(2, 0), (std::array<int, 3>{0, 10, 255}));
    EXPECT_EQ(rgb(151, 111), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(PreviewTest, OtherWindowSizesAreStretchedInstead) {
    host.ResizeWindow(600, 448);
    stage->SetPresentTarget(stage->GetOwnWindow(), 152, 112);
    stage->Redraw();
    EXPECT_EQ(host.LastFrame()->kind, platform::HeadlessFrame::Kind::Stretched);
    EXPECT_EQ(host.LastFrame()->destination.width, 152);
}

TEST_F(ComposeTest, TopmostAppliesToAWindowThatAlreadyExists) {
    EXPECT_FALSE(host.IsTopmost(stage->GetOwnWindow()));
    stage->MakeTopmost();
    EXPECT_TRUE(host.IsTopmost(stage->GetOwnWindow()));
}

TEST_F(ComposeTest, FramesGoToTheAttachedTargetNotTheOwnWindow) {
    const platform::WindowId attached = host.AttachWindow(host.AddForeignWindow({0, 0, 32, 24}));
    stage->SetPresentTarget(attached, -99999, -99999);
    stage->Redraw();
    EXPECT_EQ(host.LastFrame()->target, attached);
    EXPECT_EQ(host.ReadPresentedPixels(attached).At(3, 3), TestRgb(1));
    EXPECT_EQ(host.ScreenPixel(3, 3), 0u);
}

class WrongSizedPreviewTest : public StageTest {
protected:
    WrongSizedPreviewTest() { LoadBackground(600, 400, 0); }
};

TEST_F(WrongSizedPreviewTest, ImageOfAnotherSizeIsStretchedNotRead) {
    host.ResizeWindow(608, 448);  // the window says preview, the image does not
    stage->SetPresentTarget(stage->GetOwnWindow(), 152, 112);
    stage->Redraw();
    EXPECT_EQ(host.LastFrame()->kind, platform::HeadlessFrame::Kind::Stretched);
}

}  // namespace
}  // namespace quellmoor::testing
