// RDib: creation, layout, palette look-ups, pixel access, fills, copies, and
// the drawing-context and presenting hand-offs to the platform.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FakePlatform.h"
#include "imaging/Dib.h"
#include "model/Exceptions.h"

namespace quellmoor {
namespace {

template <typename Exception, typename F>
void ExpectThrowWithMessage(F&& f, const std::string& message) {
    try {
        f();
        FAIL() << "expected \"" << message << "\"";
    } catch (const Exception& e) {
        EXPECT_EQ(message, e.GetMessage());
    }
}

std::int32_t Colour(int red, int green, int blue) { return red | green << 8 | blue << 16; }

struct StrideCase {
    int width, stride;
};
void PrintTo(const StrideCase& c, std::ostream* out) { *out << "width " << c.width << ", stride " << c.stride; }

class DibStride : public ::testing::TestWithParam<StrideCase> {};

TEST_P(DibStride, RowsArePaddedToFourBytes) {
    const RDib dib(GetParam().width, 3);
    EXPECT_EQ(GetParam().stride, dib.GetStride());
    EXPECT_EQ(static_cast<std::uint32_t>(GetParam().stride * 3), dib.GetHeader().sizeImage);
}

INSTANTIATE_TEST_SUITE_P(Widths, DibStride,
                         ::testing::Values(StrideCase{1, 4}, StrideCase{4, 4}, StrideCase{5, 8}, StrideCase{8, 8},
                                           StrideCase{9, 12}, StrideCase{640, 640}),
                         [](const auto& testInfo) { return "Width" + std::to_string(testInfo.param.width); });

TEST(Dib, CreateGivesGreyRampWithoutPaletteAndZeroPixels) {
    const RDib dib(5, 2);
    EXPECT_FALSE(dib.HasPalette());
    EXPECT_EQ(nullptr, dib.GetPalette());
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = dib.GetPaletteEntries()[i];
        EXPECT_EQ(i, e.red);
        EXPECT_EQ(i, e.green);
        EXPECT_EQ(i, e.blue);
        EXPECT_EQ(0, e.reserved);
    }
    for (int i = 0; i < dib.GetStride() * 2; ++i) EXPECT_EQ(0, dib.GetBits()[i]);
    const BitmapInfoHeader& h = dib.GetHeader();
    EXPECT_EQ(40u, h.size);
    EXPECT_EQ(3780, h.xPelsPerMeter);
    EXPECT_EQ(256u, h.colorsUsed);
    EXPECT_EQ(RRect(0, 0, 5, 2), dib.GetRect());
    int l = -1, t = -1, r = -1, b = -1;
    dib.GetBounds(l, t, r, b);
    EXPECT_EQ(0, l);
    EXPECT_EQ(0, t);
    EXPECT_EQ(5, r);
    EXPECT_EQ(2, b);
}

struct BadSize {
    int width, height;
};
void PrintTo(const BadSize& c, std::ostream* out) { *out << c.width << " x " << c.height; }
// "5xMinus7": test names take only letters, digits and '_'.
std::string SizeName(const ::testing::TestParamInfo<BadSize>& testInfo) {
    const auto side = [](int v) { return v < 0 ? "Minus" + std::to_string(-static_cast<long long>(v)) : std::to_string(v); };
    return side(testInfo.param.width) + "x" + side(testInfo.param.height);
}

class DibBadSize : public ::testing::TestWithParam<BadSize> {};

TEST_P(DibBadSize, IsRefusedAndLeavesTheBitmapAsItWas) {
    ExpectThrowWithMessage<RException>([&] { RDib(GetParam().width, GetParam().height); },
                                       "Out of memory while creating new DIB");
    RDib dib(3, 3);
    dib.Fill(7);
    ExpectThrowWithMessage<RException>([&] { dib.Create(GetParam().width, GetParam().height); },
                                       "Out of memory while creating new DIB");
    EXPECT_EQ(3, dib.GetWidth());
    EXPECT_EQ(7, dib.GetPixelIndex(2, 2));
}

INSTANTIATE_TEST_SUITE_P(Sizes, DibBadSize,
                         ::testing::Values(BadSize{0, 5}, BadSize{5, 0}, BadSize{-1, 5}, BadSize{5, -7},
                                           BadSize{std::numeric_limits<int>::max(), 1},
                                           BadSize{60000, 60000}, BadSize{65536, 4096}),
                         SizeName);

TEST(Dib, TopLeftPixelIsStoredInTheLastRow) {
    RDib dib(3, 2);
    Palette palette{};
    palette[4] = {30, 20, 10, 0};
    dib.SetPalette(palette);
    dib.GetBits()[dib.GetStride() * 1 + 0] = 4;  // last row in memory
    EXPECT_EQ(4, dib.GetPixelIndex(0, 0));
    EXPECT_EQ(Colour(10, 20, 30), dib.GetPixel(0, 0));
    EXPECT_EQ(dib.GetBits() + dib.GetStride(), dib.GetPixelAddr(0, 0));
    EXPECT_EQ(dib.GetBits() + 2, dib.GetPixelAddr(2, 1));
}

TEST(Dib, PixelAccessOutsideFails) {
    const RDib dib(3, 2);
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}})
        ExpectThrowWithMessage<RParamException>([&] { dib.GetPixelAddr(x, y); },
                                                "Attempt to get out of range pixel addr");
    ExpectThrowWithMessage<RParamException>([&] { dib.GetPixel(3, 0); }, "Attempt to get out of range pixel addr");
}

TEST(Dib, MovedFromBitmapHasNoPixels) {
    RDib dib(3, 2);
    RDib other(std::move(dib));
    EXPECT_EQ(3, other.GetWidth());
    EXPECT_EQ(nullptr, dib.GetBits());  // NOLINT(bugprone-use-after-move): the empty state is the point
    ExpectThrowWithMessage<RException>([&] { dib.GetPixel(0, 0); }, "GetPixel: Invalid Pointer");
    ExpectThrowWithMessage<RException>([&] { dib.GetDC(); }, "Cannot get DC when no bitmap exists.");
    dib.Fill(3);
    dib.FillRect({0, 0, 10, 10}, 3);
}

TEST(Dib, PaletteIndexNeedsAPalette) {
    const RDib dib(2, 2);
    ExpectThrowWithMessage<RParamException>([&] { dib.GetPaletteIndex(0, true); },
                                            "RDib::GetPaletteIndex : No source palette.");
}

TEST(Dib, PaletteIndexLowestWinsAndExactSearch) {
    RDib dib(2, 2);
    Palette palette{};
    for (auto& e : palette) e = {200, 200, 200, 0};
    palette[5] = {3, 2, 1, 0};
    palette[9] = {3, 2, 1, 0};
    palette[20] = {100, 100, 100, 0};
    dib.SetPalette(palette);
    EXPECT_EQ(5, dib.GetPaletteIndex(Colour(1, 2, 3), true));
    EXPECT_EQ(5, dib.GetPaletteIndex(Colour(1, 2, 3), false));
    EXPECT_EQ(-1, dib.GetPaletteIndex(Colour(1, 2, 4), false));
    EXPECT_EQ(5, dib.GetPaletteIndex(Colour(1, 2, 4), true));
    EXPECT_EQ(20, dib.GetPaletteIndex(Colour(90, 90, 90), true));
    EXPECT_EQ(0, dib.GetPaletteIndex(Colour(190, 190, 190), true));  // ties: lowest index
}

TEST(Dib, WhiteOnAllBlackPaletteFindsNothingButNearestIndexDoes) {
    RDib dib(2, 2);
    dib.SetPalette(Palette{});
    EXPECT_EQ(-1, dib.GetPaletteIndex(Colour(255, 255, 255), true));
    EXPECT_EQ(0, dib.GetNearestIndex(Colour(255, 255, 255)));
    Palette palette{};
    palette[17] = {1, 1, 1, 0};
    dib.SetPalette(palette);
    EXPECT_EQ(17, dib.GetNearestIndex(Colour(255, 255, 255)));
}

TEST(Dib, FillSetsEveryByteIncludingPadding) {
    RDib dib(5, 3);
    dib.Fill(9);
    for (int i = 0; i < dib.GetStride() * 3; ++i) EXPECT_EQ(9, dib.GetBits()[i]);
}

TEST(Dib, FillRectClipsAndCountsRowsFromTheTop) {
    RDib dib(4, 3);
    dib.FillRect({-2.0f, 1.0f, 4.0f, 9.0f}, 6);  // columns 0-1, rows 1-2 (from the top)
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ((x < 2 && y >= 1) ? 6 : 0, dib.GetPixelIndex(x, y)) << x << "," << y;
    dib.FillRect({1.0f, 0.0f, 0.5f, 3.0f}, 8);  // empty: width truncates to 0
    dib.FillRect({std::nanf(""), 0.0f, 2.0f, 2.0f}, 8);
    dib.FillRect({5.0f, 0.0f, 2.0f, 2.0f}, 8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_NE(8, dib.GetPixelIndex(x, y));
}

TEST(Dib, CopyAssignmentCopiesPixelsEvenWithoutPalette) {
    RDib source(3, 2);
    source.Fill(4);
    RDib target(1, 1);
    target = source;
    EXPECT_EQ(3, target.GetWidth());
    EXPECT_FALSE(target.HasPalette());
    EXPECT_EQ(4, target.GetPixelIndex(2, 1));

    Palette palette{};
    palette[4] = {1, 2, 3, 0};
    source.SetPalette(palette);
    target = source;
    EXPECT_TRUE(target.HasPalette());
    EXPECT_EQ(Colour(3, 2, 1), target.GetPixel(0, 0));
}

TEST(Dib, SelfAssignmentKeepsEverything) {
    RDib dib(3, 2);
    dib.Fill(5);
    dib.SetPalette(Palette{});
    RDib& alias = dib;
    dib = alias;
    EXPECT_EQ(5, dib.GetPixelIndex(1, 1));
    EXPECT_TRUE(dib.HasPalette());
}

TEST(Dib, SaveToStreamIsNotSupported) {
    const RDib dib(1, 1);
    std::ostringstream out;
    ExpectThrowWithMessage<RException>([&] { dib.SaveToStream(out); }, "RDib:SaveToStream");
}

TEST(DibDrawingContext, NestedGetsShareOneContext) {
    test::FakePlatform platform;
    RDib dib(6, 4);
    platform::DrawingContext* first = dib.GetDC();
    platform::DrawingContext* second = dib.GetDC();
    EXPECT_EQ(first, second);
    EXPECT_EQ(1, platform.contextsMade);
    EXPECT_EQ(dib.GetBits(), platform.lastCanvas.bits);
    EXPECT_EQ(6, platform.lastCanvas.width);
    EXPECT_EQ(8, platform.lastCanvas.strideBytes);
    dib.ReleaseDC();
    EXPECT_EQ(1, platform.contextsAlive);
    dib.ReleaseDC();
    EXPECT_EQ(0, platform.contextsAlive);
}

TEST(DibDrawingContext, ReleaseWithoutGetFailsAndDoesNotPoisonTheCount) {
    test::FakePlatform platform;
    RDib dib(2, 2);
    ExpectThrowWithMessage<RException>([&] { dib.ReleaseDC(); }, "Get/ReleaseDC stack: pops exceed pushes");
    EXPECT_EQ(0, dib.GetDCCount());
    dib.GetDC();
    EXPECT_EQ(1, platform.contextsMade);
    dib.ReleaseDC();
    EXPECT_EQ(0, platform.contextsAlive);
}

TEST(DibDrawingContext, RecreatingReleasesTheContext) {
    test::FakePlatform platform;
    RDib dib(2, 2);
    dib.GetDC();
    dib.GetDC();
    dib.Create(4, 4);
    EXPECT_EQ(0, platform.contextsAlive);
    EXPECT_EQ(0, dib.GetDCCount());
    {
        RDib other(2, 2);
        other.GetDC();
    }
    EXPECT_EQ(0, platform.contextsAlive);
}

TEST(DibPaint, NaturalSizeStandsForTheBitmapSize) {
    test::FakePlatform platform;
    RDib dib(7, 5);
    dib.Paint(5, 3, 4, -99999, -99999);
    ASSERT_EQ(1u, platform.stretched.size());
    EXPECT_EQ(platform::WindowId(5), platform.lastTarget);
    EXPECT_EQ(3, platform.stretched[0].x);
    EXPECT_EQ(4, platform.stretched[0].y);
    EXPECT_EQ(7, platform.stretched[0].width);
    EXPECT_EQ(5, platform.stretched[0].height);
    EXPECT_EQ(dib.GetBits(), platform.lastImage.bits);
    EXPECT_EQ(dib.GetPaletteEntries(), platform.lastImage.palette);
    dib.Paint(5, 0, 0, 14, 10);
    EXPECT_EQ(14, platform.stretched[1].width);
}

TEST(DibPaint, RectsAreTruncatedAndKeptInsideTheBitmap) {
    test::FakePlatform platform;
    RDib dib(10, 8);
    const std::vector<RRect> rects{{1.7f, 2.2f, 3.9f, 2.0f}, {8, 6, 5, 5}, {20, 20, 4, 4}, {-3, -3, 5, 5}};
    dib.PaintRects(6, 0, 0, 0, 0, &rects);
    EXPECT_EQ(platform::WindowId(6), platform.lastTarget);
    ASSERT_EQ(1u, platform.rectCalls.size());
    const auto& got = platform.rectCalls[0];
    ASSERT_EQ(3u, got.size());
    EXPECT_EQ(1, got[0].x);
    EXPECT_EQ(2, got[0].y);
    EXPECT_EQ(3, got[0].width);
    EXPECT_EQ(2, got[0].height);
    EXPECT_EQ(2, got[1].width);
    EXPECT_EQ(2, got[1].height);
    EXPECT_EQ(0, got[2].x);
    EXPECT_EQ(2, got[2].width);

    dib.PaintRects(6, 2, 1, -99999, -99999, nullptr);
    ASSERT_EQ(2u, platform.rectCalls.size());
    EXPECT_EQ(2, platform.rectCalls[1][0].x);
    EXPECT_EQ(8, platform.rectCalls[1][0].width);
    EXPECT_EQ(7, platform.rectCalls[1][0].height);
}

}  // namespace
}  // namespace quellmoor
