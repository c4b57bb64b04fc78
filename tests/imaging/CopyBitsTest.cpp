// CopyBits: the order of its checks, clipping, scaling, mirroring, the
// transparent index and palette adoption, one small case at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "imaging/Dib.h"
#include "model/Exceptions.h"

namespace quellmoor {
namespace {

using Row = std::vector<int>;

// A one-row bitmap holding `values`, with a palette.
RDib RowDib(const Row& values) {
    RDib dib(static_cast<int>(values.size()), 1);
    dib.SetPalette(Palette{});
    for (std::size_t i = 0; i < values.size(); ++i)
        *dib.GetPixelAddr(static_cast<int>(i), 0) = static_cast<std::uint8_t>(values[i]);
    return dib;
}

Row RowOf(const RDib& dib, int y) {
    Row row;
    for (int x = 0; x < dib.GetWidth(); ++x) row.push_back(dib.GetPixelIndex(x, y));
    return row;
}

// Rows from the top, as the eye reads them.
std::vector<Row> Rows(const RDib& dib) {
    std::vector<Row> rows;
    for (int y = 0; y < dib.GetHeight(); ++y) rows.push_back(RowOf(dib, y));
    return rows;
}

// A bitmap whose pixel (x, y from the top) holds 10 * y + x + 1.
RDib Numbered(int width, int height) {
    RDib dib(width, height);
    dib.SetPalette(Palette{});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) *dib.GetPixelAddr(x, y) = static_cast<std::uint8_t>(10 * y + x + 1);
    return dib;
}

std::string Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const RParamException& e) {
        return e.GetMessage();
    }
    return "no exception";
}

TEST(CopyBits, TransparentIndexKeepsTheDestination) {
    const RDib source = RowDib({0, 5, 0, 7});
    RDib dest = RowDib({1, 1, 1, 1});
    source.CopyBits(&dest, 0, 0, 4, 1, 0, 0, 0);
    EXPECT_EQ(Row({1, 5, 1, 7}), RowOf(dest, 0));
}

TEST(CopyBits, TransparentComparesTheLowByte) {
    const RDib source = RowDib({0, 5, 0, 7});
    RDib dest = RowDib({1, 1, 1, 1});
    source.CopyBits(&dest, 0, 0, 4, 1, 0, 0, 256 + 5);
    EXPECT_EQ(Row({0, 1, 0, 7}), RowOf(dest, 0));
    source.CopyBits(&dest, 0, 0, 4, 1, 0, 0, -7);  // any negative: opaque
    EXPECT_EQ(Row({0, 5, 0, 7}), RowOf(dest, 0));
}

TEST(CopyBits, NegativeDestinationWidthMirrors) {
    const RDib source = RowDib({1, 2, 3, 4});
    RDib dest = RowDib({0, 0, 0, 0});
    source.CopyBits(&dest, RRect{0, 0, 4, 1}, RRect{0, 0, -4, 1}, -1);
    EXPECT_EQ(Row({4, 3, 2, 1}), RowOf(dest, 0));
}

TEST(CopyBits, NegativeSourceWidthDoesNotMirror) {
    const RDib source = RowDib({1, 2, 3, 4});
    RDib dest = RowDib({0, 0, 0, 0});
    source.CopyBits(&dest, RRect{0, 0, -4, 1}, RRect{0, 0, 4, 1}, -1);
    EXPECT_EQ(Row({1, 2, 3, 4}), RowOf(dest, 0));
}

TEST(CopyBits, NegativeDestinationHeightTurnsUpsideDown) {
    const RDib source = Numbered(2, 3);
    RDib dest(2, 3);
    source.CopyBits(&dest, RRect{0, 0, 2, 3}, RRect{0, 0, 2, -3}, -1);
    EXPECT_EQ((std::vector<Row>{{21, 22}, {11, 12}, {1, 2}}), Rows(dest));
}

struct ScaleCase {
    Row source;
    int destWidth;
    Row expected;
};
void PrintTo(const ScaleCase& c, std::ostream* out) { *out << c.source.size() << " pixels to " << c.destWidth; }

class CopyBitsScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(CopyBitsScale, SamplesByBresenhamSteps) {
    const RDib source = RowDib(GetParam().source);
    RDib dest(GetParam().destWidth, 1);
    const auto sw = static_cast<float>(GetParam().source.size());
    source.CopyBits(&dest, RRect{0, 0, sw, 1}, RRect{0, 0, static_cast<float>(GetParam().destWidth), 1}, -1);
    EXPECT_EQ(GetParam().expected, RowOf(dest, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyBitsScale,
    ::testing::Values(ScaleCase{{1, 2, 3, 4}, 2, {1, 3}}, ScaleCase{{1, 2, 3}, 2, {1, 2}},
                      ScaleCase{{1, 2}, 4, {1, 1, 1, 2}}, ScaleCase{{1, 2, 3}, 5, {1, 1, 2, 2, 3}},
                      ScaleCase{{1, 2, 3, 4, 5}, 3, {1, 2, 4}}, ScaleCase{{1, 2, 3, 4, 5, 6, 7}, 3, {1, 3, 5}},
                      ScaleCase{{1, 2}, 1, {1}}, ScaleCase{{9}, 3, {9, 9, 9}}),
    [](const auto& testInfo) {
        return "From" + std::to_string(testInfo.param.source.size()) + "To" + std::to_string(testInfo.param.destWidth);
    });

TEST(CopyBits, VerticalScalingCountsRowsFromTheBottom) {
    const RDib source = Numbered(1, 3);  // rows from the top: 1, 11, 21
    RDib dest(1, 2);
    source.CopyBits(&dest, RRect{0, 0, 1, 3}, RRect{0, 0, 1, 2}, -1);
    // Bottom-anchored: storage rows 0 and 1 of the source, i.e. 21 at the bottom, 11 above.
    EXPECT_EQ((std::vector<Row>{{11}, {21}}), Rows(dest));
}

TEST(CopyBits, EmptyDestinationRectangleMeansTheWholeDestination) {
    const RDib source = RowDib({1, 2});
    for (const RRect& empty : {RRect{5, 5, 0, 7}, RRect{0, 0, 0.5f, 1}, RRect{3, 0, 3, -0.9f}}) {
        RDib dest = RowDib({0, 0, 0, 0});
        source.CopyBits(&dest, RRect{0, 0, 2, 1}, empty, -1);
        EXPECT_EQ(Row({1, 1, 1, 2}), RowOf(dest, 0));
    }
}

TEST(CopyBits, EmptySourceRectangleMeansTheWholeSource) {
    const RDib source = RowDib({1, 2, 3});
    RDib dest = RowDib({0, 0, 0, 0});
    source.CopyBits(&dest, RRect{2, 0, 0, 0}, RRect{1, 0, 3, 1}, -1);
    EXPECT_EQ(Row({0, 1, 2, 3}), RowOf(dest, 0));
}

TEST(CopyBits, ClippingOnTheLeftMovesTheSource) {
    const RDib source = RowDib({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    RDib dest = RowDib({0, 0, 0, 0, 0, 0, 0, 0});
    source.CopyBits(&dest, -3, 0, 10, 1, 0, 0, -1);
    EXPECT_EQ(Row({4, 5, 6, 7, 8, 9, 10, 0}), RowOf(dest, 0));
    RDib mirrored = RowDib({0, 0, 0, 0, 0});
    source.CopyBits(&mirrored, RRect{0, 0, 10, 1}, RRect{-3, 0, -10, 1}, -1);
    EXPECT_EQ(Row({7, 6, 5, 4, 3}), RowOf(mirrored, 0));
}

TEST(CopyBits, ClippingVerticallyFollowsTheMirroring) {
    const RDib source = Numbered(1, 4);  // from the top: 1, 11, 21, 31
    RDib dest(1, 2);
    source.CopyBits(&dest, RRect{0, 0, 1, 4}, RRect{0, -2, 1, 4}, -1);  // top two rows cut
    EXPECT_EQ((std::vector<Row>{{21}, {31}}), Rows(dest));
    source.CopyBits(&dest, RRect{0, 0, 1, 4}, RRect{0, -2, 1, -4}, -1);
    EXPECT_EQ((std::vector<Row>{{11}, {1}}), Rows(dest));
    source.CopyBits(&dest, RRect{0, 0, 1, 4}, RRect{0, 0, 1, 4}, -1);  // bottom two rows cut
    EXPECT_EQ((std::vector<Row>{{1}, {11}}), Rows(dest));
}

TEST(CopyBits, DestinationPositionIsRoundedDown) {
    const RDib source = RowDib({1, 2});
    RDib dest = RowDib({0, 0, 0, 0});
    source.CopyBits(&dest, RRect{0, 0, 2, 1}, RRect{1.9f, 0.7f, 2, 1}, -1);
    EXPECT_EQ(Row({0, 1, 2, 0}), RowOf(dest, 0));
    RDib other = RowDib({0, 0, 0, 0});
    source.CopyBits(&other, RRect{0, 0, 2, 1}, RRect{-0.5f, 0, 2, 1}, -1);
    EXPECT_EQ(Row({2, 0, 0, 0}), RowOf(other, 0));
}

TEST(CopyBits, ChecksComeInOrder) {
    RDib noPalette(2, 2);
    RDib dest(2, 2);
    const RDib source = RowDib({1, 2});
    const RRect r{0, 0, 1, 1};
    EXPECT_EQ("RDib::CopyBits : Alpha blending not yet implemented.",
              Message([&] { noPalette.CopyBits(nullptr, r, r, -1, 3, 0.0f, 0.5f); }));
    EXPECT_EQ("RDib::CopyBits : Destination DIB nonexistent.",
              Message([&] { noPalette.CopyBits(nullptr, r, r, -1, 3, 0.0f, 0.0f); }));
    EXPECT_EQ("RDib::CopyBits : Internal source DIB doesn't contain a palette.",
              Message([&] { noPalette.CopyBits(&dest, r, r, -1, 3, 0.0f, 0.0f); }));
    EXPECT_EQ("RDib::CopyBits : Only copy mode srcCopy supported yet.",
              Message([&] { source.CopyBits(&dest, r, r, -1, 3, 0.0f, 0.0f); }));
    EXPECT_FALSE(dest.HasPalette());
}

TEST(CopyBits, SourceOutOfBoundsEvenWhenClippedAway) {
    const RDib source = RowDib({1, 2, 3});
    RDib dest(2, 1);
    for (const RRect& bad : {RRect{1, 0, 3, 1}, RRect{-1, 0, 2, 1}, RRect{0, -0.5f, 2, 1}, RRect{0, 0.5f, 2, 1}})
        EXPECT_EQ("RDib::CopyBits : Source rect out of bounds",
                  Message([&] { source.CopyBits(&dest, bad, RRect{50, 0, 3, 1}, -1); }));
    EXPECT_FALSE(dest.HasPalette());
}

TEST(CopyBits, DestinationAdoptsThePaletteEvenWhenNothingLands) {
    RDib source = RowDib({1, 2});
    Palette palette{};
    palette[2] = {1, 2, 3, 4};
    source.SetPalette(palette);
    RDib dest(2, 2);
    source.CopyBits(&dest, RRect{0, 0, 2, 1}, RRect{10, 10, 2, 1}, -1);
    EXPECT_TRUE(dest.HasPalette());
    EXPECT_EQ(3, dest.GetPaletteEntries()[2].red);
    EXPECT_EQ(0, dest.GetPixelIndex(0, 0));

    RDib own = RowDib({0, 0});
    Palette ownPalette{};
    ownPalette[2] = {9, 9, 9, 0};
    own.SetPalette(ownPalette);
    source.CopyBits(&own, 0, 0, 2, 1, 0, 0, -1);
    EXPECT_EQ(9, own.GetPaletteEntries()[2].red);
}

TEST(CopyBits, SixtyThousandIsTheLimit) {
    RDib wide(60001, 1);
    wide.SetPalette(Palette{});
    RDib dest(60001, 1);
    EXPECT_EQ("RDib::CopyBits : Rectangle too large.",
              Message([&] { wide.CopyBits(&dest, RRect{0, 0, 60001, 1}, RRect{0, 0, 60001, 1}, -1); }));
    EXPECT_TRUE(dest.HasPalette());  // adoption happened first
    *wide.GetPixelAddr(60000, 0) = 5;
    *wide.GetPixelAddr(1, 0) = 4;
    // Clipped to exactly 60000 columns: accepted.
    wide.CopyBits(&dest, RRect{0, 0, 60001, 1}, RRect{-1, 0, 60001, 1}, -1);
    EXPECT_EQ(5, dest.GetPixelIndex(59999, 0));
    EXPECT_EQ(4, dest.GetPixelIndex(0, 0));
}

TEST(CopyBits, NonFiniteRectanglesDrawNothing) {
    const RDib source = RowDib({1, 2});
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const auto& [s, d] : {std::pair{RRect{0, 0, 2, 1}, RRect{inf, 0, 2, 1}},
                               std::pair{RRect{0, 0, 2, 1}, RRect{0, nan, 2, 1}},
                               std::pair{RRect{0, 0, 2, 1}, RRect{0, 0, inf, 1}},
                               std::pair{RRect{0, 0, 2, 1}, RRect{0, 0, -inf, -inf}},
                               std::pair{RRect{nan, 0, 2, 1}, RRect{0, 0, 2, 1}},
                               std::pair{RRect{0, 0, inf, 1}, RRect{0, 0, 2, 1}}}) {
        RDib dest = RowDib({0, 0});
        source.CopyBits(&dest, s, d, -1);
        EXPECT_EQ(Row({0, 0}), RowOf(dest, 0));
    }
}

TEST(CopyBits, HugeFiniteDestinationsAreClipped) {
    const RDib source = RowDib({1, 2});
    RDib dest = RowDib({0, 0, 0});
    source.CopyBits(&dest, RRect{0, 0, 2, 1}, RRect{-1e30f, -1e30f, 3e30f, 3e30f}, -1);
    source.CopyBits(&dest, RRect{0, 0, 2, 1}, RRect{1e30f, 0, 2, 1}, -1);
    source.CopyBits(&dest, RRect{0, 0, 2, 1}, RRect{-3e9f, 0, 2, 1}, -1);
    EXPECT_EQ(Row({0, 0, 0}), RowOf(dest, 0));
}

TEST(CopyBits, OntoItselfOverlapping) {
    RDib dib = RowDib({1, 2, 3, 4, 5, 6});
    dib.CopyBits(&dib, 2, 0, 4, 1, 0, 0, -1);
    EXPECT_EQ(Row({1, 2, 1, 2, 3, 4}), RowOf(dib, 0));
    dib.CopyBits(&dib, 0, 0, 4, 1, 2, 0, -1);
    EXPECT_EQ(Row({1, 2, 3, 4, 3, 4}), RowOf(dib, 0));

    RDib tall = Numbered(2, 4);  // from the top: 1 2 / 11 12 / 21 22 / 31 32
    tall.CopyBits(&tall, 0, 0, 2, 3, 0, 0, -1);  // bottom three rows moved up one
    EXPECT_EQ((std::vector<Row>{{11, 12}, {21, 22}, {31, 32}, {31, 32}}), Rows(tall));
    RDib other = Numbered(2, 4);
    other.CopyBits(&other, 0, 1, 2, 3, 0, 1, -1);  // top three rows moved down one
    EXPECT_EQ((std::vector<Row>{{1, 2}, {1, 2}, {11, 12}, {21, 22}}), Rows(other));
    RDib flipped = Numbered(1, 3);
    flipped.CopyBits(&flipped, RRect{0, 0, 1, 3}, RRect{0, 0, 1, -3}, -1);
    EXPECT_EQ((std::vector<Row>{{21}, {11}, {1}}), Rows(flipped));
}

TEST(CopyBits, RotationByAHalfTurnFlipsBothAxes) {
    const RDib source = Numbered(2, 2);
    RDib dest(2, 2);
    source.CopyBits(&dest, RRect{0, 0, 2, 2}, RRect{0, 0, 2, 2}, -1, 0, std::numbers::pi_v<float>, 0.0f);
    EXPECT_EQ((std::vector<Row>{{12, 11}, {2, 1}}), Rows(dest));
    EXPECT_EQ("RDib::CopyBits_Rotation: internal error",
              Message([&] { source.CopyBits(&dest, RRect{0, 0, 2, 2}, RRect{0, 0, 2, 2}, -1, 0, NAN, 0.0f); }));
}

}  // namespace
}  // namespace quellmoor
