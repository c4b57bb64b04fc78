// Needs a display: CTest runs it under xvfb-run.
#include "platform/sdl/SdlPlatform.h"

#include "tests/platform/headless/PlatformConformance.h"

namespace quellmoor::testing {
namespace {

std::unique_ptr<platform::Platform> MakeSdl() { return std::make_unique<platform::SdlPlatform>(); }

INSTANTIATE_TEST_SUITE_P(Sdl, PlatformConformance, ::testing::Values(&MakeSdl),
                         [](const auto&) { return std::string("Window"); });

TEST(SdlPresenterTest, OnlyChangedBandsAreConverted) {
    platform::SdlPlatform sdl;
    platform::WindowSpec spec;
    spec.rect = {0, 0, 256, 128};
    sdl.OpenWindow(spec);
    sdl.ShowWindow(true);
    TestImage image(256, 128);
    sdl.PresentStretched(image.Image(), {0, 0, 256, 128});
    EXPECT_EQ(sdl.UploadedPixels(), 256u * 128u);
    sdl.PresentStretched(image.Image(), {0, 0, 256, 128});
    EXPECT_EQ(sdl.UploadedPixels(), 256u * 128u);  // nothing changed, nothing converted
    image.bits[static_cast<std::size_t>(127 - 40) * image.stride + 70] = 3;  // pixel (70, 40)
    sdl.PresentStretched(image.Image(), {0, 0, 256, 128});
    EXPECT_EQ(sdl.UploadedPixels(), 256u * 128u + 64u * 16u);  // one tile column of one band
    image.palette[1].red = 7;  // a new palette converts everything
    sdl.PresentStretched(image.Image(), {0, 0, 256, 128});
    EXPECT_EQ(sdl.UploadedPixels(), 2u * 256u * 128u + 64u * 16u);
}

TEST(SdlPlatformTest, ClockIsSixtyFourBit) {
    platform::SdlPlatform sdl;
    const std::int64_t a = sdl.NowMs();
    EXPECT_GE(sdl.NowMs(), a);
    EXPECT_FALSE(sdl.GetProgramPath().empty());
}

}  // namespace
}  // namespace quellmoor::testing
