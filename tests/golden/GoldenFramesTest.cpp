#include "tests/golden/GoldenFrames.h"

#include <gtest/gtest.h>

#include <fstream>

#include "model/Exceptions.h"

namespace quellmoor::golden {
namespace {

// A 4 x 3 frame: index = x + 4y, entry i a grey of level 10 i.
Frame Small() {
    Frame frame{"small", 40, 4, 3, {}, {}};
    for (std::uint8_t i = 0; i < 12; ++i) frame.indices.push_back(i);
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(i * 10);
        frame.palette[static_cast<std::size_t>(i)] = {level, level, level, 0};
    }
    return frame;
}

TEST(GoldenFrames, CaptureReadsRowsFromTheTop) {
    RDib dib(3, 2);
    *dib.GetPixelAddr(0, 0) = 7;   // top left
    *dib.GetPixelAddr(2, 1) = 9;   // bottom right
    const Frame frame = CaptureFrame(dib, "f", 25);
    EXPECT_EQ(frame.indices, (std::vector<std::uint8_t>{7, 0, 0, 0, 0, 9}));
    EXPECT_EQ(frame.timeMs, 25);
}

TEST(GoldenFrames, TheHashSeesIndicesColoursAndSizeButNotTheReservedByte) {
    const Frame base = Small();
    const std::string hash = FrameHash(base);
    EXPECT_EQ(hash.size(), 16u);
    Frame reserved = base;
    reserved.palette[3].reserved = 99;
    EXPECT_EQ(FrameHash(reserved), hash);
    Frame index = base;
    index.indices[5] = 200;
    EXPECT_NE(FrameHash(index), hash);
    Frame colour = base;
    colour.palette[255].red = 1;
    EXPECT_NE(FrameHash(colour), hash);
    Frame turned = base;
    turned.width = 3;
    turned.height = 4;
    EXPECT_NE(FrameHash(turned), hash);
}

TEST(GoldenFrames, ManifestRoundTrips) {
    const std::vector<ManifestLine> lines{{"frame_00", 0, 480, 360, "0123456789abcdef"},
                                          {"frame_01", 2000, 480, 360, "fedcba9876543210"}};
    const std::string text = FormatManifest("first\nsecond", lines);
    EXPECT_EQ(text,
              "# first\n# second\n"
              "frame_00 0 480x360 0123456789abcdef\n"
              "frame_01 2000 480x360 fedcba9876543210\n");
    EXPECT_EQ(ParseManifest(text), lines);
}

struct BadLine {
    const char* name;
    const char* line;
};

void PrintTo(const BadLine& bad, std::ostream* os) { *os << bad.name; }

class ManifestBadLineTest : public ::testing::TestWithParam<BadLine> {};

TEST_P(ManifestBadLineTest, IsRefusedWithItsNumber) {
    const std::string line = GetParam().line;
    try {
        ParseManifest("# heading\n\n" + line + "\n");
        ADD_FAILURE() << "accepted " << line;
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), "manifest line 3 is not \"name time WxH hash\": " + line);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ManifestBadLineTest,
    ::testing::Values(BadLine{"MissingHash", "frame_00 0 480x360"},
                      BadLine{"ExtraField", "frame_00 0 480x360 0123456789abcdef more"},
                      BadLine{"SizeWithoutX", "frame_00 0 480 0123456789abcdef"},
                      BadLine{"SizeWithTrailingText", "frame_00 0 480x360px 0123456789abcdef"},
                      BadLine{"ZeroSize", "frame_00 0 0x360 0123456789abcdef"},
                      BadLine{"TimeNotANumber", "frame_00 soon 480x360 0123456789abcdef"},
                      BadLine{"ShortHash", "frame_00 0 480x360 0123"},
                      BadLine{"UpperCaseHash", "frame_00 0 480x360 0123456789ABCDEF"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(GoldenFrames, FirstDifferenceIsTheFirstInReadingOrderAndCountsAll) {
    const Frame expected = Small();
    Frame actual = expected;
    EXPECT_EQ(FirstDifference(expected, actual), std::nullopt);
    actual.indices[2 * 4 + 1] = 100;  // (1, 2)
    actual.indices[1 * 4 + 3] = 101;  // (3, 1)
    const auto d = FirstDifference(expected, actual);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->x, 3);
    EXPECT_EQ(d->y, 1);
    EXPECT_EQ(d->count, 2);
}

TEST(GoldenFrames, FirstDifferenceComparesColoursNotIndices) {
    const Frame expected = Small();
    Frame actual = expected;
    actual.indices[0] = 200;                      // another entry ...
    actual.palette[200] = expected.palette[0];    // ... of the same colour
    EXPECT_EQ(FirstDifference(expected, actual), std::nullopt);
}

TEST(GoldenFrames, DifferenceImageMarksOnlyTheChangedPixelsRed) {
    const Frame expected = Small();
    Frame actual = expected;
    actual.indices[6] = 0;
    const Frame diff = DifferenceImage(expected, actual);
    for (int y = 0; y < diff.height; ++y)
        for (int x = 0; x < diff.width; ++x)
            EXPECT_EQ(diff.RgbAt(x, y) == 0xFF0000, x == 2 && y == 1) << x << "," << y;
}

TEST(GoldenFrames, RawFramesRoundTripAndDamagedOnesAreNotLoaded) {
    const auto folder = std::filesystem::path(QM_GOLDEN_OUTPUT) / "unit";
    std::filesystem::create_directories(folder);
    const Frame frame = Small();
    SaveRawFrame(frame, folder / "small.frame");
    const auto loaded = LoadRawFrame(folder / "small.frame");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->indices, frame.indices);
    EXPECT_EQ(FrameHash(*loaded), FrameHash(frame));

    std::filesystem::resize_file(folder / "small.frame", std::filesystem::file_size(folder / "small.frame") - 1);
    EXPECT_EQ(LoadRawFrame(folder / "small.frame"), std::nullopt);
    EXPECT_EQ(LoadRawFrame(folder / "missing.frame"), std::nullopt);
    std::ofstream(folder / "other.frame") << "not a frame at all";
    EXPECT_EQ(LoadRawFrame(folder / "other.frame"), std::nullopt);
}

}  // namespace
}  // namespace quellmoor::golden
