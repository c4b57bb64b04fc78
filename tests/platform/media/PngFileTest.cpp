// PNG files through libpng: read back with libpng's own reader, index for
// index and colour for colour, and far smaller than the engine's stored-block
// writer for a real picture of the show.
#include "platform/media/PngFile.h"

#include <png.h>
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "imaging/PngWriter.h"
#include "model/Exceptions.h"
#include "tests/platform/media/TempFile.h"

namespace quellmoor::media {
namespace {

struct DecodedPng {
    int width = 0, height = 0, bitDepth = 0, colourType = 0;
    std::vector<png_color> palette;
    std::vector<std::uint8_t> pixels;  // top-down, packed
};

// libpng reports errors by longjmp: everything that needs freeing is made
// before the jump point and freed after it, whichever way it is reached.
bool ReadPng(std::FILE* file, DecodedPng& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows;
    bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_read_info(png, info);
        png_uint_32 width = 0, height = 0;
        int interlace = 0, compression = 0, filter = 0;
        png_get_IHDR(png, info, &width, &height, &out.bitDepth, &out.colourType, &interlace, &compression, &filter);
        out.width = static_cast<int>(width);
        out.height = static_cast<int>(height);
        png_colorp palette = nullptr;
        int entries = 0;
        if (png_get_PLTE(png, info, &palette, &entries) == PNG_INFO_PLTE) out.palette.assign(palette, palette + entries);
        out.pixels.resize(static_cast<std::size_t>(width) * height);
        if (out.bitDepth == 8) {
            rows.resize(height);
            for (png_uint_32 y = 0; y < height; ++y) rows[y] = out.pixels.data() + static_cast<std::size_t>(y) * width;
            png_read_image(png, rows.data());
            png_read_end(png, nullptr);
            ok = true;
        }
    }
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    return ok;
}

std::optional<DecodedPng> Decode(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    DecodedPng decoded;
    const bool ok = ReadPng(file, decoded);
    std::fclose(file);
    if (!ok) return std::nullopt;
    return decoded;
}

RDib Sample(int width, int height) {
    RDib dib(width, height);
    Palette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 5),
                                                static_cast<std::uint8_t>(i), 0};
    dib.SetPalette(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) *dib.GetPixelAddr(x, y) = static_cast<std::uint8_t>(x * 7 + y * 31);
    return dib;
}

void ExpectSamePicture(const RDib& dib, const DecodedPng& png) {
    EXPECT_EQ(PNG_COLOR_TYPE_PALETTE, png.colourType);
    EXPECT_EQ(8, png.bitDepth);
    ASSERT_EQ(dib.GetWidth(), png.width);
    ASSERT_EQ(dib.GetHeight(), png.height);
    ASSERT_EQ(256u, png.palette.size());
    for (std::size_t i = 0; i < 256; ++i) {
        const PaletteEntry& entry = dib.GetPaletteEntries()[i];
        EXPECT_EQ(entry.red, png.palette[i].red) << "entry " << i;
        EXPECT_EQ(entry.green, png.palette[i].green) << "entry " << i;
        EXPECT_EQ(entry.blue, png.palette[i].blue) << "entry " << i;
    }
    int wrong = 0;
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x)
            if (dib.GetPixelIndex(x, y) != png.pixels[static_cast<std::size_t>(y * png.width + x)] && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(0, wrong);
}

TEST(PngFile, ReadsBackTheSameIndicesAndPalette) {
    // An odd width, so the bitmap's rows are padded and bottom-up in memory.
    for (const auto& [width, height] : {std::pair{37, 23}, std::pair{1, 1}, std::pair{64, 3}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const RDib dib = Sample(width, height);
        TempFile file(".png");
        SavePngFile(dib, file.path());
        const auto decoded = Decode(file.path());
        ASSERT_TRUE(decoded);
        ExpectSamePicture(dib, *decoded);
    }
}

TEST(PngFile, RealPictureIsFarSmallerThanStoredBlocks) {
#ifndef QM_CONTENT_GEN
    GTEST_SKIP() << "built without the content";
#else
    RDib frame(1, 1);
    frame.LoadFromFile(std::string(QM_CONTENT_GEN) + "/images/sky/Screen1.bmp");
    TempFile ours(".png"), stored(".png");
    SavePngFile(frame, ours.path());
    SavePng(frame, stored.path());
    const auto decoded = Decode(ours.path());
    ASSERT_TRUE(decoded);
    ExpectSamePicture(frame, *decoded);
    const auto oursBytes = std::filesystem::file_size(ours.path());
    const auto storedBytes = std::filesystem::file_size(stored.path());
    RecordProperty("libpng_bytes", std::to_string(oursBytes));
    RecordProperty("stored_bytes", std::to_string(storedBytes));
    std::printf("%dx%d frame: %ju bytes through libpng, %ju stored\n", frame.GetWidth(), frame.GetHeight(),
                static_cast<std::uintmax_t>(oursBytes), static_cast<std::uintmax_t>(storedBytes));
    EXPECT_LT(oursBytes * 5, storedBytes);
#endif
}

TEST(PngFile, ImpossiblePathSaysSo) {
    try {
        SavePngFile(Sample(2, 2), "/nonexistent-dir/frame.png");
        FAIL() << "written";
    } catch (const RException& e) {
        EXPECT_EQ("Cannot create the PNG file /nonexistent-dir/frame.png: No such file or directory.", e.GetMessage());
    }
}

TEST(PngFile, FullDiskSaysSo) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    try {
        SavePngFile(Sample(8, 8), "/dev/full");
        FAIL() << "written";
    } catch (const RException& e) {
        EXPECT_EQ("Cannot write the PNG file /dev/full: No space left on device.", e.GetMessage());
    }
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));  // a failed file is reported, never removed
}

}  // namespace
}  // namespace quellmoor::media
