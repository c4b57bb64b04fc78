// The screensaver behaviour on a windowless stage loaded with the built main
// stream: which input ends the run, the sound keys, window mode, the window
// set-up per mode, the single-instance rule and errors in the quiet modes.
#include "tests/saver/SaverStage.h"

namespace quellmoor::testing {
namespace {


TEST_F(SaverStage, FirstMouseEventOnlyRecords) {
    Make(SaverMode::Fullscreen);
    stage.MouseMove(500, 500);
    EXPECT_FALSE(stage.IsQuitting());
    EXPECT_EQ(checks, 0);
}

TEST_F(SaverStage, FivePixelsFromTheFirstPositionDoNotEndTheRunSixDo) {
    Make(SaverMode::Fullscreen);
    stage.MouseMove(100, 100);
    stage.MouseMove(103, 104);  // exactly 5
    stage.MouseMove(100, 95);   // exactly 5
    EXPECT_FALSE(stage.IsQuitting());
    EXPECT_EQ(checks, 0);
    stage.MouseMove(106, 100);
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(checks, 1);
}

TEST_F(SaverStage, SlowDriftAddsUpFromTheFirstPosition) {
    Make(SaverMode::Fullscreen);
    for (int x = 100; x <= 105; ++x) stage.MouseMove(static_cast<float>(x), 100);
    EXPECT_FALSE(stage.IsQuitting());
    stage.MouseMove(106, 100);  // one pixel per event, six from where it began
    EXPECT_TRUE(stage.IsQuitting());
}

TEST_F(SaverStage, RefusedPasswordKeepsRunningAndReArmsTheMouseWatch) {
    Make(SaverMode::Fullscreen);
    accept = false;
    stage.MouseMove(100, 100);
    stage.MouseMove(120, 100);
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(stage.IsQuitting());
    stage.MouseMove(200, 200);  // records afresh: no check
    stage.MouseMove(204, 203);  // 5 from there: no check
    EXPECT_EQ(checks, 1);
    accept = true;
    stage.MouseMove(206, 200);
    EXPECT_EQ(checks, 2);
    EXPECT_TRUE(stage.IsQuitting());
}

struct KeyCase {
    const char* name;
    std::uint32_t key;
    bool quits;
};

class SaverKeyTest : public SaverStage, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(SaverKeyTest, KeyPressEndsTheRunExceptTheSoundKeys) {
    Make(SaverMode::Fullscreen);
    stage.KeyDown(GetParam().key, GetParam().key);
    EXPECT_EQ(stage.IsQuitting(), GetParam().quits);
}

INSTANTIATE_TEST_SUITE_P(Keys, SaverKeyTest,
                         ::testing::Values(KeyCase{"S", kKeyS, false}, KeyCase{"F4", kKeyF4, false},
                                           KeyCase{"Space", 0x20, true}, KeyCase{"A", 0x41, true},
                                           KeyCase{"Escape", kKeyEscape, true}, KeyCase{"F2", 0x71, true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(SaverStage, ReleasingSOrF4TogglesTheSound) {
    Make(SaverMode::Fullscreen);
    ASSERT_TRUE(stage.IsSoundEnabled());
    stage.KeyDown(kKeyS, kKeyS);
    EXPECT_TRUE(stage.IsSoundEnabled());  // the press changes nothing
    stage.KeyUp(kKeyS, kKeyS);
    EXPECT_FALSE(stage.IsSoundEnabled());
    stage.KeyUp(kKeyF4, kKeyF4);
    EXPECT_TRUE(stage.IsSoundEnabled());
    stage.KeyUp(0x41, 0x41);
    EXPECT_TRUE(stage.IsSoundEnabled());
    EXPECT_FALSE(stage.IsQuitting());
}

TEST_F(SaverStage, ClickEndsTheRun) {
    Make(SaverMode::Fullscreen);
    stage.MouseDown(10, 10);
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(checks, 1);
}

TEST_F(SaverStage, WindowModeIgnoresInputButEscape) {
    Make(SaverMode::Window, true);
    stage.MouseMove(0, 0);
    stage.MouseMove(300, 300);
    stage.MouseDown(300, 300);
    stage.KeyDown(0x41, 0x41);
    stage.KeyDown(0x20, 0x20);
    EXPECT_FALSE(stage.IsQuitting());
    stage.KeyUp(kKeyS, kKeyS);
    EXPECT_FALSE(stage.IsSoundEnabled());
    stage.KeyDown(kKeyEscape, kKeyEscape);
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(checks, 0);
}

TEST_F(SaverStage, DebugModeIgnoresTheMouseButNotAClick) {
    Make(SaverMode::Debug);
    stage.MouseMove(0, 0);
    stage.MouseMove(300, 300);
    EXPECT_FALSE(stage.IsQuitting());
    const double rate = stage.GetRate();
    stage.KeyDown(kKeyPlus, kKeyPlus);
    EXPECT_DOUBLE_EQ(stage.GetRate(), rate * 0.8);
    EXPECT_FALSE(stage.IsQuitting());
    stage.MouseDown(1, 1);
    EXPECT_TRUE(stage.IsQuitting());
}

TEST_F(SaverStage, WindowModeMakesAFramedWindowWithTheCursor) {
    Make(SaverMode::Window, true);
    const RStageSetup& setup = stage.GetSetup();
    EXPECT_FALSE(setup.fullScreen);
    EXPECT_TRUE(setup.hasFrame);
    EXPECT_TRUE(setup.showCursor);
    EXPECT_EQ(stage.GetCaption(), "Vexmon");
    EXPECT_EQ(setup.windowRect.width, 800);
    EXPECT_EQ(setup.windowRect.height, 600);
}

TEST_F(SaverStage, FullscreenIsABorderlessWindowAtTheDisplayTopmostWithoutCursor) {
    Make(SaverMode::Fullscreen);
    const RStageSetup& setup = stage.GetSetup();
    EXPECT_FALSE(setup.fullScreen);
    EXPECT_FALSE(setup.hasFrame);
    EXPECT_FALSE(setup.showCursor);
    EXPECT_EQ(setup.windowRect.width, 1024);
    EXPECT_EQ(setup.windowRect.height, 768);
    EXPECT_TRUE(stage.IsTopmost());
    EXPECT_TRUE(Host().HoldsInstanceLock());
}

TEST_F(SaverStage, ASecondFullscreenInstanceGivesWayAndLeavesTheLockAlone) {
    platform::HeadlessPlatform first;
    ASSERT_TRUE(first.AcquireInstanceLock(kInstanceLockName));
    Make(SaverMode::Fullscreen);
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(Host().WindowsCreated(), 0);
    EXPECT_FALSE(Host().HoldsInstanceLock());
    stage.Stop();  // "OnExit": the run ends
    EXPECT_TRUE(first.HoldsInstanceLock());
    EXPECT_FALSE(Host().AcquireInstanceLock(kInstanceLockName));
    first.ReleaseInstanceLock();
}

TEST_F(SaverStage, QuietModesReportAnErrorOnceInsteadOfABox) {
    Make(SaverMode::Fullscreen);
    stage.ReportException("The scene went wrong.");
    stage.ReportException("The scene went wrong.");
    EXPECT_EQ(reports, std::vector<std::string>{"The scene went wrong."});
    EXPECT_TRUE(Host().MessageBoxes().empty());
}

TEST_F(SaverStage, ARunBuildsTheShowAndEndsAtTheFirstKey) {
    Make(SaverMode::Fullscreen);
    Host().QueueInput(500, {.type = InputEvent::Type::KeyDown, .virtualKey = 0x41});
    stage.Run();
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(saver->Error(), "");
    EXPECT_EQ(reports, std::vector<std::string>{});
    ASSERT_NE(saver->GetShow().manager, nullptr);
    EXPECT_GE(stage.GetTime(), 500.0);
    EXPECT_LT(stage.GetTime(), 600.0);
}

TEST_F(SaverStage, AHackDrawsIntoTheHostWindowAtItsSize) {
    const platform::NativeWindow hostWindow = Host().AddForeignWindow({0, 0, 640, 480});
    Make(HackLine(hostWindow), true);
    ASSERT_FALSE(stage.IsQuitting());
    EXPECT_EQ(stage.GetSetup().windowRect.width, 640);
    EXPECT_EQ(stage.GetSetup().windowRect.height, 480);
    EXPECT_FALSE(stage.IsPreviewMode());
    EXPECT_NE(stage.GetTargetWindow(), stage.GetOwnWindow());
    EXPECT_FALSE(Host().IsWindowVisible());  // the own window stays hidden
    Host().QueueInput(300, {.type = InputEvent::Type::KeyDown, .virtualKey = 0x41});
    Host().QueueInput(400, {.type = InputEvent::Type::MouseDown, .x = 5, .y = 5});
    stage.SetSoundEnabled(true);
    auto* stop = MakeOwned<RTimer>("Stop", &stage, 1000.0, true);
    stop->AddEventHandler("OnTimer", [](RComponent*, REvent*, RObject*) { CurrentStage()->Quit(); }, nullptr);
    stage.Run();
    EXPECT_GE(stage.GetTime(), 1000.0);  // input never ends a hack
    ASSERT_NE(Host().LastFrame(), nullptr);
    EXPECT_EQ(Host().LastFrame()->target, stage.GetTargetWindow());
    EXPECT_EQ(Host().LastFrame()->width, 640);
}

TEST_F(SaverStage, ASmallHostIsAPreviewComposedLargerAndShrunk) {
    const platform::NativeWindow hostWindow = Host().AddForeignWindow({0, 0, 200, 150});
    Make(HackLine(hostWindow), true);
    EXPECT_EQ(stage.GetSetup().windowRect.width, 608);
    EXPECT_EQ(stage.GetSetup().windowRect.height, 448);
    EXPECT_TRUE(stage.IsPreviewMode());
    EXPECT_NE(stage.GetTargetWindow(), stage.GetOwnWindow());
}

TEST_F(SaverStage, AHackWithoutItsWindowMakesNoWindowAndEnds) {
    const platform::NativeWindow hostWindow = Host().AddForeignWindow();
    Host().RemoveForeignWindow(hostWindow);
    Make(HackLine(hostWindow), true);
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(Host().WindowsCreated(), 0);
}

// Closing the window is input: in full screen and debug it asks the password check.
struct CloseCase {
    const char* name;
    SaverMode mode;
    bool windowMode;
    bool accept;
    bool ends;
    int checks;
};

class SaverCloseTest : public SaverStage, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(SaverCloseTest, ClosingTheWindowGoesThroughThePasswordCheck) {
    const CloseCase& c = GetParam();
    Make(c.mode, c.windowMode);
    accept = c.accept;
    Host().QueueInput(200, {.type = InputEvent::Type::Close});
    auto* stop = MakeOwned<RTimer>("Stop", &stage, 1000.0, true);
    stop->AddEventHandler("OnTimer", [](RComponent*, REvent*, RObject*) { CurrentStage()->Quit(); }, nullptr);
    stage.Run();
    EXPECT_EQ(stage.GetTime() < 1000.0, c.ends);
    EXPECT_EQ(checks, c.checks);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SaverCloseTest,
    ::testing::Values(CloseCase{"FullscreenAccepted", SaverMode::Fullscreen, false, true, true, 1},
                      CloseCase{"FullscreenRefused", SaverMode::Fullscreen, false, false, false, 1},
                      CloseCase{"DebugRefused", SaverMode::Debug, false, false, false, 1},
                      CloseCase{"WindowEndsWithoutCheck", SaverMode::Window, true, false, true, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SaverStage, F2EndsTheRunThenOpensThePageOnceForAllItsRepeats) {
    Make(SaverMode::Fullscreen);
    for (int repeat = 0; repeat < 3; ++repeat) stage.KeyDown(kKeyF2, kKeyF2);
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(checks, 1);
    ASSERT_EQ(Host().WebPagesOpened().Total(), 1u);
    EXPECT_EQ(Host().WebPagesOpened().Recent().front(), "https://vexmon.example.org/");
    EXPECT_EQ(Host().FilesReplaced().Total(), 0u);
}

TEST_F(SaverStage, F2RefusedByThePasswordOpensNothingUntilPressedAgain) {
    Make(SaverMode::Debug);
    accept = false;
    stage.KeyDown(kKeyF2, kKeyF2);
    stage.KeyDown(kKeyF2, kKeyF2);  // a repeat of the same press
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(stage.IsQuitting());
    EXPECT_EQ(Host().WebPagesOpened().Total(), 0u);
    stage.KeyUp(kKeyF2, kKeyF2);
    accept = true;
    stage.KeyDown(kKeyF2, kKeyF2);
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_EQ(Host().WebPagesOpened().Total(), 1u);
}

TEST_F(SaverStage, F2AfterTheRunEndedOtherwiseOpensNothing) {
    Make(SaverMode::Fullscreen);
    stage.KeyDown(0x41, 0x41);
    ASSERT_TRUE(stage.IsQuitting());
    stage.KeyDown(kKeyF2, kKeyF2);
    EXPECT_EQ(Host().WebPagesOpened().Total(), 0u);
}

TEST_F(SaverStage, F2InWindowOrHackModeOpensNothing) {
    Make(SaverMode::Window, true);
    stage.KeyDown(kKeyF2, kKeyF2);
    EXPECT_FALSE(stage.IsQuitting());
    EXPECT_EQ(Host().WebPagesOpened().Total(), 0u);
}

// The 152 x 112 reduction of a 608 x 448 picture, as the preview shows it.
std::vector<std::uint8_t> Reduced(const RSurface& surface) {
    const RDib& dib = *surface.GetDib();
    const platform::PaletteEntry* palette = dib.GetPaletteEntries();
    std::vector<std::uint8_t> rgb;
    for (int by = 0; by < 112; ++by) {
        for (int bx = 0; bx < 152; ++bx) {
            unsigned sum[3] = {0, 0, 0};
            for (int y = by * 4; y < by * 4 + 4; ++y) {
                for (int x = bx * 4; x < bx * 4 + 4; ++x) {
                    const platform::PaletteEntry& e = palette[*dib.GetPixelAddr(x, y)];
                    sum[0] += e.red;
                    sum[1] += e.green;
                    sum[2] += e.blue;
                }
            }
            for (unsigned channel : sum) rgb.push_back(static_cast<std::uint8_t>((channel + 8) / 16));
        }
    }
    return rgb;
}

struct ShownFrame {
    std::int64_t timeMs;
    std::vector<std::uint8_t> rgb;
};

class PreviewOpening : public SaverStage {
protected:
    void MakePreview() {
        Make(HackLine(Host().AddForeignWindow({0, 0, 152, 112})), true);
        ASSERT_TRUE(stage.IsPreviewMode());
        Host().SetFrameCallback([this](const platform::HeadlessFrame& frame) {
            if (frame.kind == platform::HeadlessFrame::Kind::Rgb) frames.push_back({frame.timeMs, frame.rgb});
        });
    }
    void RunFor(double ms) {
        auto* stop = MakeOwned<RTimer>("Stop", &stage, ms, true);
        stop->AddEventHandler("OnTimer", [](RComponent*, REvent*, RObject*) { CurrentStage()->Quit(); }, nullptr);
        stage.Run();
    }
    // The time of the first (or last) frame showing `rgb`; -1 when none does.
    std::int64_t Shown(const std::vector<std::uint8_t>& rgb, bool last = false) const {
        std::int64_t at = -1;
        for (const ShownFrame& frame : frames) {
            if (frame.rgb != rgb) continue;
            at = frame.timeMs;
            if (!last) break;
        }
        return at;
    }
    std::vector<ShownFrame> frames;
};

TEST_F(PreviewOpening, ShowsScreen1ForTwoSecondsThenFadesToScreen2AndGivesTheStageItsScreensBack) {
    MakePreview();
    const auto screen1 = Reduced(*stage.FindComponentAs<RPicture>("Screen1").GetSurface());
    const auto screen2 = Reduced(*stage.FindComponentAs<RPicture>("Screen2").GetSurface());
    ASSERT_NE(screen1, screen2);
    const RSurface* background = stage.GetBackground();
    const RSurface* image = stage.GetStageImage();
    RunFor(4000);
    const std::int64_t first1 = Shown(screen1), last1 = Shown(screen1, true), first2 = Shown(screen2);
    ASSERT_GE(first1, 0);
    ASSERT_GE(first2, 0);
    // Held two seconds of the clock, not skipped through, then the fade to the second screen.
    const auto after = std::find_if(frames.begin(), frames.end(), [&](const ShownFrame& f) { return f.timeMs > last1; });
    ASSERT_NE(after, frames.end());
    EXPECT_GE(after->timeMs - first1, 2000);
    EXPECT_NE(after->rgb, screen2);  // the fade begins from the first screen
    EXPECT_GT(first2, after->timeMs);
    EXPECT_EQ(stage.GetBackground(), background);
    EXPECT_EQ(stage.GetStageImage(), image);
    EXPECT_EQ(reports, std::vector<std::string>{});
}

TEST_F(PreviewOpening, AMissingScreenSkipsTheOpeningWithItsMessage) {
    MakePreview();
    const auto screen1 = Reduced(*stage.FindComponentAs<RPicture>("Screen1").GetSurface());
    stage.UnregisterComponent(&stage.FindComponentAs<RPicture>("Screen2"));
    RunFor(1000);
    EXPECT_EQ(Shown(screen1), -1);
    EXPECT_EQ(reports, std::vector<std::string>{"component Screen2 not found."});
}

TEST_F(PreviewOpening, TheHostClosingTheWindowEndsTheWaitAtOnce) {
    MakePreview();
    Host().QueueInput(500, {.type = InputEvent::Type::Close});
    RunFor(10000);
    EXPECT_LT(stage.GetTime(), 1000.0);
}

}  // namespace
}  // namespace quellmoor::testing
