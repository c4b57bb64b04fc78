// Draws a real balloon through the headless backend's text and polygons and
// checks its pixels; the frame is saved as balloon.png in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "animation/Balloon.h"
#include "imaging/PngWriter.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "tests/animation/TestStage.h"

namespace quellmoor {
namespace {

using namespace testing;

constexpr int kWidth = 240, kHeight = 140;
constexpr std::uint8_t kSky = 9;

class BalloonDrawing : public ::testing::Test {
protected:
    void SetUp() override { platform::SetCurrentPlatform(&host); }
    void TearDown() override { platform::SetCurrentPlatform(nullptr); }
    platform::HeadlessPlatform host{{.drawingContexts = CreateFontDrawingContext}};
};

TEST_F(BalloonDrawing, InkAndPaperOnlyInsideTheBalloon) {
    TestStage stage(kWidth, kHeight);
    auto* balloon = MakeOwned<RBalloon>("Balloon", &stage);
    stage.RegisterComponent(balloon);
    balloon->Say({"Hello! Ready for a trip", "to the rings of Zorblax?"}, 120, 130, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(balloon->GetVisible());
    stage.Redraw();

    const RDib& image = *stage.GetStageImage()->GetDib();
    if (const char* dir = std::getenv("QM_BUILD_DIR")) SavePng(image, std::string(dir) + "/balloon.png");

    int ink = 0, paper = 0, left = kWidth, right = -1, top = kHeight, bottom = -1;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t index = image.GetPixelIndex(x, y);
            if (index == kSky) continue;
            ASSERT_TRUE(index == 0 || index == 255) << "pixel " << x << "," << y << " is " << int(index);
            (index == 0 ? ink : paper)++;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    // The tail's tip is the balloon's position; the box ends 50 pixels above it.
    EXPECT_EQ(image.GetPixelIndex(120, 130), 0);
    EXPECT_EQ(bottom, 130);
    EXPECT_LE(top, 130 - 50 - 19);
    EXPECT_LT(left, 120);
    EXPECT_GT(right, 120);
    EXPECT_GT(paper, ink);   // mostly white, with text and outline in black
    EXPECT_GT(ink, 150);     // the outline alone is well over 150 pixels... and the text adds more
    // Nothing changed outside the box and tail.
    EXPECT_EQ(image.GetPixelIndex(0, 0), kSky);
    EXPECT_EQ(image.GetPixelIndex(kWidth - 1, kHeight - 1), kSky);
    EXPECT_TRUE(balloon->UpdateBounds());
    EXPECT_EQ(stage.GetDirtyRects().size(), 1u);
}

TEST_F(BalloonDrawing, PreviewFontIsLarger) {
    auto boxHeight = [](bool preview) {
        TestStage stage(kWidth, kHeight);
        auto* balloon = MakeOwned<RBalloon>("Balloon", &stage);
        stage.RegisterComponent(balloon);
        stage.SetPreviewMode(preview);
        balloon->Say({"Hi!"}, 120, 130, nullptr, nullptr, nullptr, nullptr);
        stage.Redraw();
        const RDib& image = *stage.GetStageImage()->GetDib();
        int top = kHeight;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (image.GetPixelIndex(x, y) != kSky) top = std::min(top, y);
        return 130 - top;
    };
    EXPECT_EQ(boxHeight(false), 50 + 19 + 5);
    EXPECT_EQ(boxHeight(true), 50 + 32 + 5);
}

}  // namespace
}  // namespace quellmoor
