// The BMP and PNG writers: a written bitmap reads back the same, and a PNG's
// chunks, checksums and stored rows are what a viewer expects.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "imaging/BmpWriter.h"
#include "imaging/PngWriter.h"
#include "model/Exceptions.h"

namespace quellmoor {
namespace {

RDib Sample(int width, int height) {
    RDib dib(width, height);
    Palette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3),
                                                static_cast<std::uint8_t>(255 - i), 0};
    dib.SetPalette(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) *dib.GetPixelAddr(x, y) = static_cast<std::uint8_t>(x * 7 + y * 31);
    return dib;
}

TEST(BmpWriter, ReadsBackTheSame) {
    const RDib dib = Sample(5, 3);
    std::stringstream file;
    SaveBmp(dib, file);
    EXPECT_EQ(14 + 40 + 1024 + 8 * 3, static_cast<int>(file.str().size()));
    RDib loaded(1, 1);
    int consumed = 0;
    loaded.LoadFromStream(file, consumed);
    EXPECT_EQ(static_cast<int>(file.str().size()), consumed);
    ASSERT_EQ(5, loaded.GetWidth());
    ASSERT_EQ(3, loaded.GetHeight());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(dib.GetPixelIndex(x, y), loaded.GetPixelIndex(x, y));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(dib.GetPaletteEntries()[i].green, loaded.GetPaletteEntries()[i].green);
}

TEST(BmpWriter, UnwritableFileFails) {
    try {
        SaveBmp(Sample(1, 1), "/nonexistent-dir/x.bmp");
        FAIL();
    } catch (const RException& e) {
        EXPECT_EQ("Cannot create the bitmap file /nonexistent-dir/x.bmp.", e.GetMessage());
    }
}

std::uint32_t Big32(const std::string& s, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3]));
}

std::uint32_t Crc(const std::string& bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (char ch : bytes) {
        c ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

TEST(PngWriter, ChunksChecksumsAndRows) {
    const RDib dib = Sample(70000 / 200, 200);  // enough rows for two stored blocks
    const auto path = std::filesystem::temp_directory_path() / "quellmoor_png_writer_test.png";
    SavePng(dib, path.string());
    std::string png;
    {
        // Closed before the removal: Windows does not remove a file that is open.
        std::ifstream file(path, std::ios::binary);
        png.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove(path);
    ASSERT_EQ(std::string("\x89PNG\r\n\x1a\n", 8), png.substr(0, 8));

    std::vector<std::string> types;
    std::string idat;
    for (std::size_t at = 8; at < png.size();) {
        const std::uint32_t length = Big32(png, at);
        const std::string typeAndData = png.substr(at + 4, 4 + length);
        EXPECT_EQ(Crc(typeAndData), Big32(png, at + 8 + length)) << typeAndData.substr(0, 4);
        types.push_back(typeAndData.substr(0, 4));
        if (types.back() == "IHDR") {
            EXPECT_EQ(static_cast<std::uint32_t>(dib.GetWidth()), Big32(typeAndData, 4));
            EXPECT_EQ(200u, Big32(typeAndData, 8));
            EXPECT_EQ(8, typeAndData[12]);
            EXPECT_EQ(3, typeAndData[13]);
        }
        if (types.back() == "PLTE") {
            ASSERT_EQ(768u, length);
            EXPECT_EQ(255 - 9, static_cast<unsigned char>(typeAndData[4 + 9 * 3]));  // red of entry 9
        }
        if (types.back() == "IDAT") idat += typeAndData.substr(4);
        at += 12 + length;
    }
    EXPECT_EQ((std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}), types);

    // Unwrap the stored deflate blocks and compare every row, top first.
    std::string raw;
    std::size_t at = 2;
    for (bool last = false; !last;) {
        last = (idat[at] & 1) != 0;
        const std::size_t size = static_cast<unsigned char>(idat[at + 1]) |
                                 static_cast<std::size_t>(static_cast<unsigned char>(idat[at + 2])) << 8;
        raw += idat.substr(at + 5, size);
        at += 5 + size;
    }
    ASSERT_EQ(static_cast<std::size_t>((dib.GetWidth() + 1) * 200), raw.size());
    for (int y = 0; y < 200; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(dib.GetWidth() + 1);
        ASSERT_EQ(0, raw[row]);
        for (int x = 0; x < dib.GetWidth(); ++x)
            ASSERT_EQ(dib.GetPixelIndex(x, y), static_cast<unsigned char>(raw[row + 1 + static_cast<std::size_t>(x)]));
    }
    std::uint32_t a = 1, b = 0;
    for (char ch : raw) {
        a = (a + static_cast<unsigned char>(ch)) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(b << 16 | a, Big32(idat, at));
}

}  // namespace
}  // namespace quellmoor
