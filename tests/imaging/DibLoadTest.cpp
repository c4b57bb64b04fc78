// Loading 8-bit Windows and OS/2 bitmap files written by the tests, and every
// kind of broken file the loader must refuse or load only as far as it goes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "BmpBuilder.h"
#include "imaging/Dib.h"
#include "model/Exceptions.h"

namespace quellmoor {
namespace {

using test::BmpSpec;
using test::BuildBmp;

int Load(RDib& dib, const std::string& bytes) {
    std::istringstream in(bytes);
    int consumed = -1;
    dib.LoadFromStream(in, consumed);
    return consumed;
}

std::string LoadError(RDib& dib, const std::string& bytes) {
    try {
        Load(dib, bytes);
    } catch (const RException& e) {
        return e.GetMessage();
    }
    return "loaded";
}

void ExpectPattern(const RDib& dib, int rows) {
    for (int r = 0; r < rows; ++r)
        for (int x = 0; x < dib.GetWidth(); ++x)
            ASSERT_EQ(test::PatternByte(x, r), dib.GetPixelIndex(x, dib.GetHeight() - 1 - r)) << x << "," << r;
}

void ExpectTestPalette(const RDib& dib, int entries) {
    for (int i = 0; i < entries; ++i) {
        const PaletteEntry& e = dib.GetPaletteEntries()[i];
        ASSERT_EQ(test::TestRed(i), e.red) << i;
        ASSERT_EQ(test::TestGreen(i), e.green) << i;
        ASSERT_EQ(test::TestBlue(i), e.blue) << i;
    }
}

TEST(DibLoad, WindowsBitmapGivesPixelsPaletteAndByteCount) {
    BmpSpec spec;
    spec.width = 5;
    spec.height = 3;
    RDib dib(1, 1);
    EXPECT_EQ(14 + 40 + 1024 + 8 * 3, Load(dib, BuildBmp(spec)));
    EXPECT_EQ(5, dib.GetWidth());
    EXPECT_EQ(3, dib.GetHeight());
    EXPECT_EQ(8, dib.GetStride());
    EXPECT_TRUE(dib.HasPalette());
    ExpectPattern(dib, 3);
    ExpectTestPalette(dib, 256);
    const int index = dib.GetPixelIndex(0, 0);
    EXPECT_EQ(test::TestRed(index) | test::TestGreen(index) << 8 | test::TestBlue(index) << 16, dib.GetPixel(0, 0));
}

TEST(DibLoad, SixteenColoursKeepTheOtherEntriesAndReadAs256) {
    BmpSpec spec;
    spec.colorsUsed = 16;
    spec.paletteEntries = 16;
    RDib dib(1, 1);
    Palette before{};
    for (auto& e : before) e = {9, 8, 7, 0};
    dib.SetPalette(before);
    EXPECT_EQ(14 + 40 + 64 + 8, Load(dib, BuildBmp(spec)));
    ExpectTestPalette(dib, 16);
    for (int i = 16; i < 256; ++i) EXPECT_EQ(7, dib.GetPaletteEntries()[i].red) << i;
    EXPECT_EQ(256u, dib.GetHeader().colorsUsed);
}

TEST(DibLoad, Os2BitmapWithThreeByteEntries) {
    BmpSpec spec;
    spec.os2 = true;
    spec.width = 3;
    spec.height = 4;
    RDib dib(1, 1);
    EXPECT_EQ(26 + 3 * 256 + 4 * 4, Load(dib, BuildBmp(spec)));
    EXPECT_EQ(3, dib.GetWidth());
    EXPECT_EQ(4, dib.GetHeight());
    ExpectTestPalette(dib, 256);
    EXPECT_EQ(0, dib.GetPaletteEntries()[200].reserved);
    ExpectPattern(dib, 4);
    EXPECT_EQ(40u, dib.GetHeader().size);
    EXPECT_EQ(0u, dib.GetHeader().compression);
}

TEST(DibLoad, PixelOffsetIsHonoured) {
    for (bool os2 : {false, true}) {
        BmpSpec spec;
        spec.os2 = os2;
        spec.gapBytes = 13;
        RDib dib(1, 1);
        const std::string bytes = BuildBmp(spec);
        EXPECT_EQ(static_cast<int>(bytes.size()), Load(dib, bytes));
        ExpectPattern(dib, 2);
    }
}

TEST(DibLoad, StopsAtTheEndOfTheBitmap) {
    const std::string bytes = BuildBmp({}) + "after";
    std::istringstream in(bytes);
    RDib dib(1, 1);
    int consumed = 0;
    dib.LoadFromStream(in, consumed);
    EXPECT_EQ(static_cast<int>(bytes.size()) - 5, consumed);
    std::string rest;
    in >> rest;
    EXPECT_EQ("after", rest);
}

TEST(DibLoad, MoreThan256ColoursReadsTheFirst256) {
    BmpSpec spec;
    spec.colorsUsed = 300;
    spec.paletteEntries = 300;
    RDib dib(1, 1);
    const std::string bytes = BuildBmp(spec);
    EXPECT_EQ(static_cast<int>(bytes.size()), Load(dib, bytes));
    ExpectTestPalette(dib, 256);
    ExpectPattern(dib, 2);
}

struct BadFile {
    const char* name;
    BmpSpec spec;
    const char* message;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const BadFile& c, std::ostream* out) { *out << c.name; }

BmpSpec With(void (*change)(BmpSpec&)) {
    BmpSpec spec;
    change(spec);
    return spec;
}

const BadFile kBadFiles[] = {
    {"FourBit", With([](BmpSpec& s) { s.bitCount = 4; }), "Only 8 bit DIBs are supported"},
    {"TwentyFourBit", With([](BmpSpec& s) { s.bitCount = 24; }), "Only 8 bit DIBs are supported"},
    {"Os2FourBit", With([](BmpSpec& s) { s.os2 = true, s.bitCount = 4; }), "Only 8 bit DIBs are supported"},
    {"RunLengthEncoded", With([](BmpSpec& s) { s.compression = 1; }), "Only 8 bit DIBs are supported"},
    {"V5Header", With([](BmpSpec& s) { s.headerSize = 124; }), " File is not Windows or PM DIB format"},
    {"HeaderSizeAllOnes", With([](BmpSpec& s) { s.headerSize = 0xFFFFFFFF; }), " File is not Windows or PM DIB format"},
    {"OffsetInsidePalette", With([](BmpSpec& s) { s.pixelOffset = 60; }), "Not a bitmap file"},
    {"OffsetInsideHeader", With([](BmpSpec& s) { s.pixelOffset = 2; }), "Not a bitmap file"},
    {"OffsetHuge", With([](BmpSpec& s) { s.pixelOffset = 0xFFFFFFF0; }), "Not a bitmap file"},
    {"ColoursNegative", With([](BmpSpec& s) { s.colorsUsed = 0xFFFFFFFF; }), "Not a bitmap file"},
    {"ColoursBeyondOffset", With([](BmpSpec& s) { s.colorsUsed = 257; }), "Not a bitmap file"},
    {"ZeroWidth", With([](BmpSpec& s) { s.width = 0; }), "Out of memory while loading new DIB from stream"},
    {"ZeroHeight", With([](BmpSpec& s) { s.height = 0; }), "Out of memory while loading new DIB from stream"},
    {"TopDown", With([](BmpSpec& s) { s.height = -2; }), "Out of memory while loading new DIB from stream"},
    {"NegativeWidth", With([](BmpSpec& s) { s.width = -2; }), "Out of memory while loading new DIB from stream"},
    {"Gigantic", With([](BmpSpec& s) { s.width = 100000, s.height = 100000; }),
     "Out of memory while loading new DIB from stream"},
    {"StrideOverflow", With([](BmpSpec& s) { s.width = 0x7FFFFFFF, s.height = 0x7FFFFFFF; }),
     "Out of memory while loading new DIB from stream"},
    {"Os2Gigantic", With([](BmpSpec& s) { s.os2 = true, s.width = 65535, s.height = 65535; }),
     "Out of memory while loading new DIB from stream"},
};

class DibLoadBad : public ::testing::TestWithParam<BadFile> {};

TEST_P(DibLoadBad, FailsWithItsMessageAndKeepsTheOldBitmap) {
    RDib dib(3, 2);
    dib.Fill(42);
    Palette palette{};
    palette[1] = {1, 2, 3, 0};
    dib.SetPalette(palette);
    EXPECT_EQ(GetParam().message, LoadError(dib, BuildBmp(GetParam().spec)));
    EXPECT_EQ(3, dib.GetWidth());
    EXPECT_EQ(2, dib.GetHeight());
    EXPECT_EQ(42, dib.GetPixelIndex(2, 1));
    EXPECT_EQ(3, dib.GetPaletteEntries()[1].red);
    dib.Fill(1);  // still usable
}

INSTANTIATE_TEST_SUITE_P(Files, DibLoadBad, ::testing::ValuesIn(kBadFiles),
                         [](const ::testing::TestParamInfo<BadFile>& param) { return param.param.name; });

TEST(DibLoad, NotABitmapFile) {
    RDib dib(1, 1);
    EXPECT_EQ("Not a bitmap file", LoadError(dib, ""));
    EXPECT_EQ("Not a bitmap file", LoadError(dib, "MB" + BuildBmp({}).substr(2)));
    EXPECT_EQ("Not a bitmap file", LoadError(dib, "BM"));
}

TEST(DibLoad, FreshBitmapWithoutPaletteKeepsNoPaletteAfterFailure) {
    RDib dib(2, 2);
    EXPECT_EQ("Only 8 bit DIBs are supported", LoadError(dib, BuildBmp(With([](BmpSpec& s) { s.bitCount = 1; }))));
    EXPECT_FALSE(dib.HasPalette());
}

// Every prefix of a valid file either fails with a message or loads with
// exactly the bytes it had reported, never more, so a caller's length check sees it.
void CheckEveryTruncation(const BmpSpec& spec, int headerBytes) {
    const std::string full = BuildBmp(spec);
    for (std::size_t length = 0; length < full.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        RDib dib(1, 1);
        dib.Fill(77);
        std::istringstream in(full.substr(0, length));
        int consumed = -1;
        try {
            dib.LoadFromStream(in, consumed);
        } catch (const RException& e) {
            EXPECT_LT(static_cast<int>(length), headerBytes);
            EXPECT_EQ(-1, consumed);
            EXPECT_EQ(1, dib.GetWidth());
            EXPECT_EQ(77, dib.GetPixelIndex(0, 0));
            const std::string message = e.GetMessage();
            EXPECT_TRUE(message == "Not a bitmap file" || message == "The bitmap file ends inside its header.")
                << message;
            continue;
        }
        EXPECT_GE(static_cast<int>(length), headerBytes);
        EXPECT_EQ(static_cast<int>(length), consumed);
        EXPECT_EQ(spec.width, dib.GetWidth());
    }
}

TEST(DibLoad, EveryTruncationOfAWindowsFile) {
    BmpSpec spec;
    spec.width = 3;
    spec.height = 3;
    spec.colorsUsed = 5;
    spec.paletteEntries = 5;
    CheckEveryTruncation(spec, 54);
}

TEST(DibLoad, EveryTruncationOfAnOs2File) {
    BmpSpec spec;
    spec.os2 = true;
    spec.width = 5;
    spec.height = 2;
    CheckEveryTruncation(spec, 26);
}

TEST(DibLoad, TruncatedPixelsKeepTheRowsThatArrived) {
    BmpSpec spec;
    spec.width = 4;
    spec.height = 3;
    const std::string full = BuildBmp(spec);
    RDib dib(1, 1);
    EXPECT_EQ(static_cast<int>(full.size()) - 6, Load(dib, full.substr(0, full.size() - 6)));
    ExpectPattern(dib, 1);
    EXPECT_EQ(test::PatternByte(1, 1), dib.GetPixelIndex(1, 1));
    EXPECT_EQ(0, dib.GetPixelIndex(3, 0));  // never arrived: zero
}

TEST(DibLoad, FromFile) {
    const auto path = std::filesystem::temp_directory_path() / "quellmoor_dib_load_test.bmp";
    {
        std::ofstream file(path, std::ios::binary);
        file << BuildBmp({});
    }
    RDib dib(1, 1);
    dib.LoadFromFile(path.string());
    EXPECT_EQ(2, dib.GetWidth());
    ExpectPattern(dib, 2);
    std::filesystem::remove(path);
    try {
        dib.LoadFromFile(path.string());
        FAIL();
    } catch (const RException& e) {
        EXPECT_EQ("Not a bitmap file", e.GetMessage());
    }
}

}  // namespace
}  // namespace quellmoor
