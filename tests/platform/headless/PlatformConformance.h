// What every backend must do, as one parameterised suite. Frames are read back
// from the window (ReadPresentedPixels) and checked pixel by pixel. A backend's
// test file instantiates it with a description of itself:
//
//   INSTANTIATE_TEST_SUITE_P(All, PlatformConformance, ::testing::Values(BackendUnderTest{...}),
//                            BackendName);
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "tests/platform/headless/ForeignWindows.h"

namespace quellmoor::testing {

struct BackendUnderTest {
    std::string name;
    std::function<std::unique_ptr<platform::Platform>()> make;
    // Made for each test over the backend in use.
    std::function<std::unique_ptr<ForeignWindows>(platform::Platform&)> foreign;
};
inline void PrintTo(const BackendUnderTest& c, std::ostream* out) { *out << c.name; }

inline std::string BackendName(const ::testing::TestParamInfo<BackendUnderTest>& info) { return info.param.name; }

class PlatformConformance : public ::testing::TestWithParam<BackendUnderTest> {
protected:
    void SetUp() override {
        backend = GetParam().make();
        foreign = GetParam().foreign(*backend);
    }
    void TearDown() override {
        backend.reset();
        foreign.reset();
    }
    // Lets the system deliver what it owes (resizes, maps) before the next question.
    void Settle() {
        platform::InputEvent event;
        for (int i = 0; i < 5; ++i) {
            backend->WaitUntil(backend->NowMs() + 10);
            while (backend->PollEvent(event)) {
            }
        }
    }
    platform::WindowId OpenShown(int width, int height) {
        platform::WindowSpec spec;
        spec.rect = {0, 0, width, height};
        spec.style = platform::WindowStyle::Borderless;
        const platform::WindowId window = backend->OpenWindow(spec);
        backend->ShowWindow(true);
        Settle();
        return window;
    }
    std::unique_ptr<platform::Platform> backend;
    std::unique_ptr<ForeignWindows> foreign;
};

// An 8-bit image of w x h, rows bottom-up, pixel (x, y from the top) = (x + y) % 4.
struct TestImage {
    TestImage(int w, int h) : width(w), height(h), stride((w + 3) / 4 * 4), bits(static_cast<std::size_t>(stride) * h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Set(x, y, static_cast<std::uint8_t>((x + y) % 4));
        palette[1] = {0, 0, 255, 0};
        palette[2] = {0, 255, 0, 0};
        palette[3] = {255, 0, 0, 0};
        palette[4] = {0x40, 0x80, 0xC0, 0};
    }
    platform::IndexedImage Image() const { return {bits.data(), width, height, stride, palette.data()}; }
    void Set(int x, int y, std::uint8_t index) { bits[static_cast<std::size_t>(height - 1 - y) * stride + x] = index; }
    std::uint8_t At(int x, int y) const { return bits[static_cast<std::size_t>(height - 1 - y) * stride + x]; }
    std::uint32_t Colour(int x, int y) const {
        const platform::PaletteEntry& e = palette[At(x, y)];
        return (std::uint32_t{e.red} << 16) | (std::uint32_t{e.green} << 8) | e.blue;
    }
    int width, height, stride;
    std::vector<std::uint8_t> bits;
    std::array<platform::PaletteEntry, 256> palette{};
};

// The first pixel of `shown` (inside `area`) that differs from `expected(x, y)`; empty when all match.
inline std::string FirstDifference(const platform::ScreenPixels& shown, platform::PixelRect area,
                                   const std::function<std::uint32_t(int, int)>& expected) {
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            if (shown.At(x, y) != expected(x, y)) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d) shows %06X, expected %06X", x, y, shown.At(x, y),
                              expected(x, y));
                return text;
            }
    return {};
}

TEST_P(PlatformConformance, ClockIsMonotonicAndWaitsReachTheDeadline) {
    const std::int64_t start = backend->NowMs();
    backend->WaitUntil(start + 20);
    // No input is queued, so the wait lasts until the deadline (the loop may call again).
    for (int i = 0; i < 100 && backend->NowMs() < start + 20; ++i) backend->WaitUntil(start + 20);
    EXPECT_GE(backend->NowMs(), start + 20);
    EXPECT_LT(backend->NowMs(), start + 1000);
    backend->WaitUntil(start);  // a past deadline returns at once
}

TEST_P(PlatformConformance, WindowHasTheRequestedClientRectangle) {
    const platform::WindowId window = OpenShown(64, 48);
    EXPECT_NE(window, 0u);
    EXPECT_TRUE(backend->WindowExists(window));
    backend->SetWindowTitle("Conformance");
    backend->SetTopmost(window, true);
    const platform::PixelRect rect = backend->GetWindowRect(window);
    EXPECT_EQ(rect.width, 64);
    EXPECT_EQ(rect.height, 48);
    backend->DestroyWindow();
    EXPECT_FALSE(backend->WindowExists(window));
    EXPECT_EQ(backend->GetWindowRect(window).width, 0);
    EXPECT_TRUE(backend->ReadPresentedPixels(window).pixels.empty());
}

TEST_P(PlatformConformance, AWholeFrameReadsBackPixelForPixel) {
    ASSERT_TRUE(backend->Supports(platform::Feature::ReadBack));
    const platform::WindowId window = OpenShown(64, 48);
    TestImage image(64, 48);
    backend->PresentStretched(window, image.Image(), {0, 0, 64, 48});
    const platform::ScreenPixels shown = backend->ReadPresentedPixels(window);
    ASSERT_EQ(shown.width, 64);
    ASSERT_EQ(shown.height, 48);
    EXPECT_EQ(FirstDifference(shown, {0, 0, 64, 48}, [&](int x, int y) { return image.Colour(x, y); }), "");
}

TEST_P(PlatformConformance, StretchingIsNearestNeighbourAndAPaletteChangeShowsEverywhere) {
    const platform::WindowId window = OpenShown(64, 48);
    TestImage image(32, 24);
    backend->PresentStretched(window, image.Image(), {0, 0, 64, 48});
    platform::ScreenPixels shown = backend->ReadPresentedPixels(window);
    ASSERT_EQ(shown.width, 64);
    EXPECT_EQ(FirstDifference(shown, {0, 0, 64, 48}, [&](int x, int y) { return image.Colour(x / 2, y / 2); }), "");
    image.palette[1] = {0x11, 0x22, 0x33, 0};  // the same indices, a new colour
    backend->PresentStretched(window, image.Image(), {0, 0, 64, 48});
    shown = backend->ReadPresentedPixels(window);
    ASSERT_EQ(shown.width, 64);
    EXPECT_EQ(FirstDifference(shown, {0, 0, 64, 48}, [&](int x, int y) { return image.Colour(x / 2, y / 2); }), "");
    EXPECT_EQ(shown.At(2, 0), 0x332211u);
}

TEST_P(PlatformConformance, RectanglesChangeOnlyTheirPixels) {
    const platform::WindowId window = OpenShown(64, 48);
    TestImage before(64, 48);
    backend->PresentStretched(window, before.Image(), {0, 0, 64, 48});
    TestImage after = before;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) after.Set(x, y, 4);
    const platform::PixelRect rects[] = {{8, 4, 10, 6}, {60, 40, 10, 10}};
    backend->PresentRects(window, after.Image(), rects);
    const platform::ScreenPixels shown = backend->ReadPresentedPixels(window);
    ASSERT_EQ(shown.width, 64);
    const auto inside = [&](int x, int y) {
        return (x >= 8 && x < 18 && y >= 4 && y < 10) || (x >= 60 && y >= 40);
    };
    EXPECT_EQ(FirstDifference(shown, {0, 0, 64, 48},
                              [&](int x, int y) { return inside(x, y) ? after.Colour(x, y) : before.Colour(x, y); }),
              "");
}

TEST_P(PlatformConformance, RgbImagesLandAtTheirPlace) {
    const platform::WindowId window = OpenShown(16, 16);
    TestImage black(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) black.Set(x, y, 0);
    backend->PresentStretched(window, black.Image(), {0, 0, 16, 16});
    const std::uint8_t rgb[2 * 2 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
    backend->PresentRgb(window, {rgb, 2, 2}, 1, 1);
    const platform::ScreenPixels shown = backend->ReadPresentedPixels(window);
    ASSERT_EQ(shown.width, 16);
    EXPECT_EQ(shown.At(0, 0), 0u);
    EXPECT_EQ(shown.At(1, 1), 0xFF0000u);
    EXPECT_EQ(shown.At(2, 1), 0x00FF00u);
    EXPECT_EQ(shown.At(1, 2), 0x0000FFu);
    EXPECT_EQ(shown.At(2, 2), 0x090909u);
    EXPECT_EQ(shown.At(3, 3), 0u);
}

TEST_P(PlatformConformance, AForeignWindowIsDrawnIntoFollowedAndReportedGone) {
    ASSERT_TRUE(backend->Supports(platform::Feature::ForeignWindows));
    EXPECT_FALSE(backend->AttachWindow(platform::NativeWindow(0x7FFFFFF0)));  // no such window
    const platform::NativeWindow native = foreign->Make(40, 30);
    const platform::WindowId window = backend->AttachWindow(native);
    ASSERT_TRUE(window);
    EXPECT_TRUE(backend->WindowExists(window));
    EXPECT_EQ(backend->GetWindowRect(window).width, 40);
    TestImage image(40, 30);
    backend->PresentStretched(window, image.Image(), {0, 0, 40, 30});
    platform::ScreenPixels shown = backend->ReadPresentedPixels(window);
    ASSERT_EQ(shown.width, 40);
    EXPECT_EQ(FirstDifference(shown, {0, 0, 40, 30}, [&](int x, int y) { return image.Colour(x, y); }), "");

    foreign->Resize(native, 80, 50);
    Settle();
    const platform::PixelRect grown = backend->GetWindowRect(window);
    EXPECT_EQ(grown.width, 80);
    EXPECT_EQ(grown.height, 50);
    TestImage bigger(80, 50);
    backend->PresentStretched(window, bigger.Image(), {0, 0, 80, 50});
    shown = backend->ReadPresentedPixels(window);
    ASSERT_EQ(shown.width, 80);
    EXPECT_EQ(FirstDifference(shown, {0, 0, 80, 50}, [&](int x, int y) { return bigger.Colour(x, y); }), "");

    foreign->Remove(native);
    Settle();
    EXPECT_FALSE(backend->WindowExists(window));
    backend->PresentStretched(window, bigger.Image(), {0, 0, 80, 50});  // nothing, and no end of the process
    EXPECT_TRUE(backend->ReadPresentedPixels(window).pixels.empty());
    backend->DetachWindow(window);
}

TEST_P(PlatformConformance, ScreensAndProgramAreKnown) {
    const platform::PixelRect desktop = backend->GetDesktopRect();
    EXPECT_GT(desktop.width, 0);
    const std::vector<platform::PixelRect> monitors = backend->GetMonitorRects();
    ASSERT_FALSE(monitors.empty());
    for (const platform::PixelRect& m : monitors) {
        EXPECT_GE(m.x, desktop.x);
        EXPECT_LE(m.x + m.width, desktop.x + desktop.width);
    }
    EXPECT_FALSE(backend->GetProgramPath().empty());
    EXPECT_GE(backend->GetRefreshRateHz(), 0);
    const platform::LocalDateTime now = backend->LocalTimeNow();
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_LE(now.weekday, 6);
}

TEST_P(PlatformConformance, SettingsFilesAreReplacedWhole) {
    ASSERT_TRUE(backend->Supports(platform::Feature::Settings));
    const std::string path = backend->SettingsFilePath("conformance.ini");
    ASSERT_FALSE(path.empty());
    backend->ReplaceFileAtomically(path, "[Vexmon]\nSound=1\n");
    EXPECT_EQ(backend->ReadFile(path), "[Vexmon]\nSound=1\n");
    backend->ReplaceFileAtomically(path, "[Vexmon]\n");
    EXPECT_EQ(backend->ReadFile(path), "[Vexmon]\n");
    EXPECT_EQ(backend->ReadFile(path + ".missing"), std::nullopt);
}

TEST_P(PlatformConformance, MissingSoundsPlayNothingAndNeverThrow) {
    backend->PlaySoundFile("/nonexistent/brax1.wav");
    backend->StopSound();
    backend->StopSound();
}

TEST_P(PlatformConformance, DrawingContextDrawsInsideTheCanvas) {
    std::vector<std::uint8_t> bits(16 * 16, 0);
    std::array<platform::PaletteEntry, 256> palette{};
    const platform::IndexedCanvas canvas{bits.data(), 16, 16, 16, palette.data()};
    auto context = backend->CreateDrawingContext(canvas);
    ASSERT_NE(context, nullptr);
    const platform::Point triangle[] = {{-5, -5}, {40, 2}, {3, 40}};
    context->FillPolygon(triangle, 7);
    context->DrawLine("Hi", 2, 2, 9);
    for (std::uint8_t b : bits) EXPECT_TRUE(b == 0 || b == 7 || b == 9);
}

}  // namespace quellmoor::testing
