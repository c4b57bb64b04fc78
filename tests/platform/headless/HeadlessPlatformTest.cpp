#include "platform/headless/HeadlessPlatform.h"

#include <chrono>
#include <filesystem>
#include <fstream>

#include "model/Exceptions.h"
#include "platform/text/FontDrawingContext.h"
#include "tests/platform/headless/PlatformConformance.h"

namespace quellmoor::testing {
namespace {

using platform::HeadlessPlatform;
using platform::InputEvent;
using Type = InputEvent::Type;

class HeadlessForeign final : public ForeignWindows {
public:
    explicit HeadlessForeign(platform::Platform& backend) : host_(dynamic_cast<HeadlessPlatform&>(backend)) {}
    platform::NativeWindow Make(int width, int height) override { return host_.AddForeignWindow({0, 0, width, height}); }
    void Resize(platform::NativeWindow window, int width, int height) override {
        host_.ResizeForeignWindow(window, width, height);
    }
    void Remove(platform::NativeWindow window) override { host_.RemoveForeignWindow(window); }

private:
    HeadlessPlatform& host_;
};

BackendUnderTest Headless(std::string name, bool realClock) {
    return {std::move(name),
            [realClock] {
                return std::make_unique<HeadlessPlatform>(
                    platform::HeadlessOptions{.realClock = realClock, .drawingContexts = CreateFontDrawingContext});
            },
            [](platform::Platform& backend) { return std::make_unique<HeadlessForeign>(backend); }};
}

INSTANTIATE_TEST_SUITE_P(Headless, PlatformConformance,
                         ::testing::Values(Headless("VirtualClock", false), Headless("RealClock", true)), BackendName);

TEST(HeadlessPlatformTest, VirtualWaitsJumpWithoutSleeping) {
    HeadlessPlatform host({.startMs = 100});
    const auto before = std::chrono::steady_clock::now();
    host.WaitUntil(100 + 3'600'000);  // an hour
    EXPECT_EQ(host.NowMs(), 3'600'100);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(200));
    host.WaitUntil(5);  // the past: the clock never goes back
    EXPECT_EQ(host.NowMs(), 3'600'100);
    EXPECT_EQ(host.WaitDeadlines(), (std::vector<std::int64_t>{3'600'100, 5}));
}

TEST(HeadlessPlatformTest, RealClockBlocksForReal) {
    HeadlessPlatform host({.realClock = true});
    const auto before = std::chrono::steady_clock::now();
    host.WaitUntil(host.NowMs() + 30);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(29));
}

TEST(HeadlessPlatformTest, QueuedInputArrivesAtItsTimeAndEndsWaits) {
    HeadlessPlatform host;
    host.QueueInput(50, {.type = Type::KeyUp, .virtualKey = 2});
    host.QueueInput(20, {.type = Type::KeyDown, .virtualKey = 1});
    host.QueueInput(20, {.type = Type::MouseMove, .x = 3});
    InputEvent event;
    EXPECT_FALSE(host.PollEvent(event));
    host.WaitUntil(1000);
    EXPECT_EQ(host.NowMs(), 20);
    host.WaitUntil(1000);  // input is waiting: no time passes
    EXPECT_EQ(host.NowMs(), 20);
    ASSERT_TRUE(host.PollEvent(event));
    EXPECT_EQ(event.virtualKey, 1u);
    ASSERT_TRUE(host.PollEvent(event));
    EXPECT_EQ(event.type, Type::MouseMove);
    EXPECT_FALSE(host.PollEvent(event));
    host.WaitUntil(1000);
    EXPECT_EQ(host.NowMs(), 50);
    ASSERT_TRUE(host.PollEvent(event));
    EXPECT_EQ(event.type, Type::KeyUp);
}

TEST(HeadlessPlatformTest, MessageBoxesTakeScriptedAnswersThenOk) {
    HeadlessPlatform host;
    host.QueueMessageBoxAnswer(platform::MessageBoxButton::Cancel);
    EXPECT_EQ(host.ShowMessageBox("T", "first"), platform::MessageBoxButton::Cancel);
    EXPECT_EQ(host.ShowMessageBox("T", "second"), platform::MessageBoxButton::Ok);
    ASSERT_EQ(host.MessageBoxes().size(), 2u);
    EXPECT_EQ(host.MessageBoxes()[1].text, "second");
}

TEST(HeadlessPlatformTest, FramesKeepIndicesTopRowFirstAndTheScreenShowsColours) {
    HeadlessPlatform host;
    platform::WindowSpec spec;
    spec.rect = {0, 0, 8, 4};
    host.OpenWindow(spec);
    TestImage image(4, 2);
    int callbacks = 0;
    host.SetFrameCallback([&](const platform::HeadlessFrame&) { ++callbacks; });
    host.PresentStretched(host.Window(), image.Image(), {0, 0, 8, 4});
    const auto* frame = host.LastFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->IndexAt(1, 0), 1);
    EXPECT_EQ(frame->IndexAt(3, 1), 0);
    EXPECT_EQ(frame->palette[3].blue, 255);
    // Doubled in both directions, nearest neighbour.
    EXPECT_EQ(host.ScreenPixel(0, 0), 0x000000u);
    EXPECT_EQ(host.ScreenPixel(2, 0), 0xFF0000u);
    EXPECT_EQ(host.ScreenPixel(3, 1), 0xFF0000u);
    EXPECT_EQ(host.ScreenPixel(2, 2), 0x00FF00u);
    EXPECT_EQ(host.ScreenPixel(7, 3), 0x000000u);  // source (3, 1): index 0
    EXPECT_EQ(callbacks, 1);
}

TEST(HeadlessPlatformTest, RectsOnlyTouchTheirPixels) {
    HeadlessPlatform host;
    platform::WindowSpec spec;
    spec.rect = {0, 0, 4, 4};
    host.OpenWindow(spec);
    TestImage image(4, 4);
    const platform::PixelRect rects[] = {{1, 1, 1, 1}, {3, 3, 5, 5}};
    host.PresentRects(host.Window(), image.Image(), rects);
    EXPECT_EQ(host.ScreenPixel(1, 1), 0x00FF00u);
    EXPECT_EQ(host.ScreenPixel(2, 1), 0u);
    EXPECT_EQ(host.ScreenPixel(3, 3), 0x00FF00u);
    EXPECT_EQ(host.LastFrame()->rects.size(), 2u);
}

TEST(HeadlessPlatformTest, RgbFramesLandAtTheirPlace) {
    HeadlessPlatform host;
    platform::WindowSpec spec;
    spec.rect = {0, 0, 4, 4};
    host.OpenWindow(spec);
    const std::uint8_t rgb[] = {1, 2, 3, 4, 5, 6};
    host.PresentRgb(host.Window(), {rgb, 2, 1}, 2, 3);
    EXPECT_EQ(host.ScreenPixel(2, 3), 0x010203u);
    EXPECT_EQ(host.ScreenPixel(3, 3), 0x040506u);
    EXPECT_EQ(host.LastFrame()->kind, platform::HeadlessFrame::Kind::Rgb);
}

TEST(HeadlessPlatformTest, ForeignWindowsExistUntilRemovedAndKeepTheirOwnScreens) {
    HeadlessPlatform host;
    platform::WindowSpec spec;
    spec.rect = {0, 0, 4, 4};
    const platform::WindowId own = host.OpenWindow(spec);
    const auto parent = host.AddForeignWindow({0, 0, 2, 2});
    const platform::WindowId attached = host.AttachWindow(parent);
    EXPECT_TRUE(host.WindowExists(attached));
    EXPECT_NE(attached, own);
    TestImage image(2, 2);
    host.PresentStretched(attached, image.Image(), {0, 0, 2, 2});
    EXPECT_EQ(host.LastFrame()->target, attached);
    EXPECT_EQ(host.ReadPresentedPixels(attached).At(1, 0), 0xFF0000u);
    EXPECT_EQ(host.ScreenPixel(1, 0), 0u);  // the own window saw nothing
    host.RemoveForeignWindow(parent);
    EXPECT_FALSE(host.WindowExists(attached));
    EXPECT_FALSE(host.WindowExists(0));
    EXPECT_TRUE(host.WindowExists(own));
}

TEST(HeadlessPlatformTest, FullScreenWindowCoversTheDesktop) {
    HeadlessPlatform host({.desktop = {0, 0, 800, 600}});
    platform::WindowSpec spec;
    spec.style = platform::WindowStyle::FullScreen;
    host.OpenWindow(spec);
    EXPECT_EQ(host.GetWindowRect(host.Window()).width, 800);
    EXPECT_EQ(host.Screen().size(), 800u * 600u);
}

}  // namespace
}  // namespace quellmoor::testing
