// The source compiler takes a bitmap only when the engine can draw it: 8 bits
// per pixel, read where the file's own header keeps it, and a file too short
// to say is refused with its name, never read past its end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "model/Exceptions.h"
#include "tests/imaging/BmpBuilder.h"
#include "tools/rcs/SourceParser.h"

namespace quellmoor {
namespace {

namespace fs = std::filesystem;

class RcsSourceBitmapTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("rcs-bitmap-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Compiles a picture whose surface is `bytes`, saved as pic.bmp.
    rcs::Stream CompilePicture(const std::string& bytes) {
        std::ofstream(dir_ / "pic.bmp", std::ios::binary) << bytes;
        const std::string source = "header\n  Type=RFloatLib\nend\nobject RPicture Sky\n  Surface = bitmap pic.bmp\nend\n";
        return rcs::ParseSource(source, "sky.rcsrc", {.baseDir = dir_, .searchDirs = {}});
    }

    std::string RefusalOf(const std::string& bytes) {
        try {
            CompilePicture(bytes);
        } catch (const RException& e) {
            return e.GetMessage();
        }
        return "(compiled)";
    }

    fs::path dir_;
};

TEST_F(RcsSourceBitmapTest, AnEightBitOs2BitmapCompilesWithItsBytes) {
    test::BmpSpec spec;
    spec.os2 = true;
    const std::string bytes = test::BuildBmp(spec);
    const rcs::Stream stream = CompilePicture(bytes);
    ASSERT_EQ(stream.objects.size(), 1u);
    EXPECT_EQ(stream.objects[0].pairs.at(0).Get().bytes, bytes);
}

TEST_F(RcsSourceBitmapTest, AnOs2BitmapOfOtherDepthIsRefusedWithItsDepth) {
    test::BmpSpec spec;
    spec.os2 = true;
    spec.bitCount = 4;
    spec.paletteEntries = 16;
    EXPECT_EQ(RefusalOf(test::BuildBmp(spec)), "sky.rcsrc:5: 'pic.bmp' has 4 bits per pixel; the engine needs 8");
}

TEST_F(RcsSourceBitmapTest, AWindowsBitmapOfOtherDepthIsRefusedWithItsDepth) {
    test::BmpSpec spec;
    spec.bitCount = 24;
    EXPECT_EQ(RefusalOf(test::BuildBmp(spec)), "sky.rcsrc:5: 'pic.bmp' has 24 bits per pixel; the engine needs 8");
}

TEST_F(RcsSourceBitmapTest, AFileEndingBeforeItsDepthIsRefusedAsTruncated) {
    const std::string whole = test::BuildBmp({});
    EXPECT_EQ(RefusalOf(whole.substr(0, 27)), "sky.rcsrc:5: 'pic.bmp' is a truncated BMP file");
}

}  // namespace
}  // namespace quellmoor
