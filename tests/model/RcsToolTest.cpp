// Runs the rcs tool as an author would, on streams written by the test.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/model/StreamBuilder.h"

namespace quellmoor {
namespace {

using testing::Object;
using testing::Pair;
using testing::Stream;
using testing::Token;

struct Result {
    int status;
    std::string output;
};

Result RunRcs(const std::string& bytes) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("rcs-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".rcs");
    std::ofstream(path, std::ios::binary) << bytes;
    const std::string command = std::string(RCS_TOOL) + " dump " + path.string() + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    std::array<char, 4096> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), n);
    const int status = pclose(pipe);
    std::filesystem::remove(path);
    return {WEXITSTATUS(status), output};
}

TEST(RcsTool, DumpsHeaderObjectsAndNestedLists) {
    const std::string stage = Pair("BackColor", "RGB24:FFFFFF") + Pair("ShowCursor", "True") +
                              Pair("Tag", Token("")) +
                              Pair("WindowRect", Pair("X", "0") + Pair("Y", "0") + Pair("Width", "0") + Pair("Height", "0"));
    const Result r = RunRcs(Stream("Notice=ours\nVersion=0.1b\n", Object("RStage", "Stage", stage)));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output,
              "header: 2 line(s)\n"
              "  \"Notice=ours\"\n"
              "  \"Version=0.1b\"\n"
              "object RStage \"Stage\" (" + std::to_string(stage.size()) + " bytes)\n"
              "  BackColor: \"RGB24:FFFFFF\"\n"
              "  ShowCursor: \"True\"\n"
              "  Tag: 0 line(s)\n"
              "  WindowRect:\n"
              "    X: \"0\"\n"
              "    Y: \"0\"\n"
              "    Width: \"0\"\n"
              "    Height: \"0\"\n"
              "1 object(s)\n");
}

TEST(RcsTool, ShowsBitmapsBySizeAndDepth) {
    // A whole 8-bit file: 14 + 40 header bytes, 256 colours, 16 rows of 32 pixels.
    std::string bmp(54 + 1024 + 32 * 16, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[10] = static_cast<char>((54 + 1024) & 0xFF);
    bmp[11] = static_cast<char>((54 + 1024) >> 8);
    bmp[14] = 40;
    bmp[18] = 32;  // width 32
    bmp[22] = 16;  // height 16
    bmp[26] = 1;   // planes
    bmp[28] = 8;   // 8 bit
    const Result r = RunRcs(Stream("", Object("RPicture", "Sky", Token("Surface") + Token(bmp))));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("  Surface: bitmap 32x16, 8 bit, 1590 bytes\n"), std::string::npos) << r.output;
}

// The 54 header bytes of a 24-bit file, enough for the loader to refuse it.
std::string TwentyFourBitHeader() {
    std::string bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[14] = 40;
    bmp[18] = 1;  // width 1
    bmp[22] = 1;  // height 1
    bmp[26] = 1;  // planes
    bmp[28] = 24;
    return bmp;
}

TEST(RcsTool, MalformedStreamsPrintTheEngineMessageAndFail) {
    struct Case { std::string bytes; std::string message; };
    const std::vector<Case> cases{
        {"XYZ0#", "AddComponentStream encountered an invalid header.\n"},
        {Stream("", Token("RPicture") + Token("x") + "12345678901#"),
         "LoadLongIntFromStream read a number that is too large.\n"},
        {Stream("", Token("RPicture") + Token("x") + "-5#abcde"),
         "LoadFromStream encountered a negative body length.\n"},
        {Stream("", Token("RThing") + Token("x") + "99#abc"), "Component stream ends inside a skipped body.\n"},
        // Reads as bytes, but the program cannot take a 24-bit picture.
        {Stream("", Object("RPicture", "x", Token("Surface") + Token(TwentyFourBitHeader()))),
         "Only 8 bit DIBs are supported\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const auto start = std::chrono::steady_clock::now();
        const Result r = RunRcs(c.bytes);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.output.ends_with(c.message)) << r.output;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
}

}  // namespace
}  // namespace quellmoor
