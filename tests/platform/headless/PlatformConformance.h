// What every backend must do, as one parameterised suite. A backend's test
// file instantiates it with a factory:
//
//   INSTANTIATE_TEST_SUITE_P(Headless, PlatformConformance, ::testing::Values(&MakeHeadless));
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/Platform.h"

namespace quellmoor::testing {

using PlatformFactory = std::unique_ptr<platform::Platform> (*)();

class PlatformConformance : public ::testing::TestWithParam<PlatformFactory> {
protected:
    void SetUp() override { backend = GetParam()(); }
    std::unique_ptr<platform::Platform> backend;
};

// An 8-bit image of w x h, rows bottom-up, pixel (x, y from the top) = (x + y) % 4.
struct TestImage {
    TestImage(int w, int h) : width(w), height(h), stride((w + 3) / 4 * 4), bits(static_cast<std::size_t>(stride) * h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bits[static_cast<std::size_t>(h - 1 - y) * stride + x] = static_cast<std::uint8_t>((x + y) % 4);
        palette[1] = {0, 0, 255, 0};
        palette[2] = {0, 255, 0, 0};
        palette[3] = {255, 0, 0, 0};
    }
    platform::IndexedImage Image() const { return {bits.data(), width, height, stride, palette.data()}; }
    int width, height, stride;
    std::vector<std::uint8_t> bits;
    std::array<platform::PaletteEntry, 256> palette{};
};

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
    platform::WindowSpec spec;
    spec.rect = {0, 0, 64, 48};
    const platform::NativeWindow window = backend->OpenWindow(spec);
    EXPECT_NE(window, 0u);
    EXPECT_TRUE(backend->WindowExists(window));
    backend->ShowWindow(true);
    backend->SetWindowTitle("Conformance");
    const platform::PixelRect rect = backend->GetWindowRect();
    EXPECT_EQ(rect.width, 64);
    EXPECT_EQ(rect.height, 48);
    TestImage image(64, 48);
    backend->PresentStretched(image.Image(), {0, 0, 64, 48});
    backend->PresentStretched(image.Image(), {0, 0, 64, 48});  // unchanged frame
    const platform::PixelRect rects[] = {{0, 0, 8, 8}, {60, 40, 10, 10}};
    backend->PresentRects(image.Image(), rects);
    const std::uint8_t rgb[2 * 2 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
    backend->PresentRgb({rgb, 2, 2}, 1, 1);
    backend->DestroyWindow();
    EXPECT_FALSE(backend->WindowExists(window));
    EXPECT_EQ(backend->GetWindowRect().width, 0);
}

TEST_P(PlatformConformance, DesktopAndProgramAreKnown) {
    EXPECT_GT(backend->GetDesktopRect().width, 0);
    EXPECT_FALSE(backend->GetProgramPath().empty());
    EXPECT_GE(backend->GetRefreshRateHz(), 0);
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
