// Large displays and hosts that change: composing at a fraction of the window's
// size, the mouse threshold in screen pixels, the root window as the hack's
// host and a host window that resizes under a running hack.
#include "tests/saver/SaverStage.h"

namespace quellmoor::testing {
namespace {

void StopAt(RDibStage& stage, double ms) {
    auto* stop = MakeOwned<RTimer>("Stop", &stage, ms, true);
    stop->AddEventHandler("OnTimer", [](RComponent*, REvent*, RObject*) { CurrentStage()->Quit(); }, nullptr);
}

CommandLine WindowLine(int width, int height, std::optional<int> scale = {}) {
    CommandLine line = Line(SaverMode::Window);
    line.width = width;
    line.height = height;
    line.scale = scale;
    return line;
}

struct ScaleCase {
    const char* name;
    int windowWidth, windowHeight;
    std::optional<int> scale;
    int composedWidth, composedHeight;
};

class ComposeScaleTest : public SaverStage, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(ComposeScaleTest, TheShowIsComposedSmallerAndShownAtTheWindowsSize) {
    const ScaleCase& c = GetParam();
    Make(WindowLine(c.windowWidth, c.windowHeight, c.scale), true);
    StopAt(stage, 300);
    stage.Run();
    ASSERT_NE(stage.GetStageImage(), nullptr);
    EXPECT_EQ(stage.GetStageImage()->GetWidth(), static_cast<float>(c.composedWidth));
    EXPECT_EQ(stage.GetStageImage()->GetHeight(), static_cast<float>(c.composedHeight));
    EXPECT_EQ(stage.GetWindowRect().width, static_cast<float>(c.composedWidth));
    const platform::HeadlessFrame* frame = Host().LastFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, c.composedWidth);
    if (c.composedWidth != c.windowWidth) {
        ASSERT_EQ(frame->kind, platform::HeadlessFrame::Kind::Stretched);
        EXPECT_EQ(frame->destination.width, c.windowWidth);
        EXPECT_EQ(frame->destination.height, c.windowHeight);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ComposeScaleTest,
    ::testing::Values(ScaleCase{"Ordinary", 800, 600, {}, 800, 600},
                      ScaleCase{"Exactly2000", 2000, 1000, {}, 2000, 1000},
                      ScaleCase{"WiderThan2000", 2560, 1440, {}, 1280, 720},
                      ScaleCase{"AskedForThree", 900, 600, 3, 300, 200},
                      ScaleCase{"AskedForOneOnALargeWindow", 2560, 1440, 1, 2560, 1440}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SaverStage, TheMouseThresholdStaysFiveScreenPixelsAtDoubleSize) {
    CommandLine line = Line(SaverMode::Fullscreen);
    line.scale = 2;
    Make(line);
    // The platform reports screen pixels; the stage sees composed ones.
    stage.DispatchInput({.type = InputEvent::Type::MouseMove, .x = 100, .y = 100});
    stage.DispatchInput({.type = InputEvent::Type::MouseMove, .x = 103, .y = 104});  // 5 screen pixels
    EXPECT_FALSE(stage.IsQuitting());
    stage.DispatchInput({.type = InputEvent::Type::MouseMove, .x = 106, .y = 100});  // 6
    EXPECT_TRUE(stage.IsQuitting());
}

TEST_F(SaverStage, AHackWithoutAWindowIdDrawsIntoTheRootWindow) {
    const platform::NativeWindow root = Host().AddForeignWindow({0, 0, 1024, 768});
    Host().SetRootWindow(root);
    Make(Line(SaverMode::Hack), true);
    ASSERT_FALSE(stage.IsQuitting());
    EXPECT_NE(stage.GetTargetWindow(), stage.GetOwnWindow());
    EXPECT_EQ(stage.GetSetup().windowRect.width, 1024);
}

TEST_F(SaverStage, AHackWithoutAnyWindowEndsQuietly) {
    Make(Line(SaverMode::Hack), true);
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(Host().WindowsCreated(), 0);
}

TEST_F(SaverStage, AHackFollowsItsHostWindowsNewSize) {
    const platform::NativeWindow hostWindow = Host().AddForeignWindow({0, 0, 640, 480});
    Make(HackLine(hostWindow), true);
    bool resized = false;
    Host().SetWaitCallback([&](std::int64_t) {
        if (resized || Host().NowMs() < 500) return;
        resized = true;
        Host().ResizeForeignWindow(hostWindow, 1000, 700);
    });
    StopAt(stage, 1500);
    stage.Run();
    EXPECT_EQ(stage.GetStageImage()->GetWidth(), 1000.0f);
    EXPECT_EQ(stage.GetStageImage()->GetHeight(), 700.0f);
    EXPECT_EQ(stage.GetWindowRect().width, 1000.0f);
    const platform::HeadlessFrame* frame = Host().LastFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, 1000);
    EXPECT_EQ(frame->height, 700);
}

TEST_F(SaverStage, AHackOnA4kHostComposesAtHalfSize) {
    const platform::NativeWindow hostWindow = Host().AddForeignWindow({0, 0, 3840, 2160});
    Make(HackLine(hostWindow), true);
    StopAt(stage, 200);
    stage.Run();
    EXPECT_EQ(stage.GetStageImage()->GetWidth(), 1920.0f);
    const platform::HeadlessFrame* frame = Host().LastFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->target, stage.GetTargetWindow());
    EXPECT_EQ(frame->destination.width, 3840);
    EXPECT_EQ(frame->destination.height, 2160);
}

}  // namespace
}  // namespace quellmoor::testing
