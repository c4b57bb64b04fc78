// Decompiling a stream and compiling the source again gives the same bytes:
// for odd hand-made streams and for every stream the build makes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/Exceptions.h"
#include "tests/content/ContentFiles.h"
#include "tools/rcs/Commands.h"
#include "tools/rcs/SourceParser.h"
#include "tools/rcs/SourceWriter.h"
#include "tools/rcs/StreamCodec.h"

namespace quellmoor {
namespace {

namespace fs = std::filesystem;

std::string Token(const std::string& s) { return std::to_string(s.size()) + "#" + s; }
std::string Pair(const std::string& n, const std::string& v) { return Token(n) + Token(v); }

// Bytes -> source file (and bitmaps) -> bytes, through the files an author would see.
std::string RoundTrip(const std::string& bytes, const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("rcs-round-trip-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string source = rcs::WriteSource(rcs::DecodeStream(bytes), dir, name + "_bitmaps");
    std::ofstream(dir / (name + ".rcsrc"), std::ios::binary) << source;
    const std::string again = rcs::EncodeStream(rcs::ParseSourceFile(dir / (name + ".rcsrc"), {}));
    fs::remove_all(dir);
    return again;
}

std::string TinyBitmap() {
    std::string bmp(54 + 1024 + 4, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[14] = 40;
    bmp[18] = 1;
    bmp[22] = 1;
    bmp[26] = 1;
    bmp[28] = 8;
    bmp[54 + 4] = 7;  // a palette entry that is not black
    return bmp;
}

struct OddCase {
    const char* name;
    std::string bytes;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const OddCase& c, std::ostream* out) { *out << c.name; }

std::vector<OddCase> OddStreams() {
    const std::string bmp = TinyBitmap();
    const std::string oddFrame = Pair("Name", "x y") + Pair("Transparent", "RGB24:FF0000") + Pair("Surface", bmp) +
                                 Pair("Extra", "?");
    const std::string oddStep = Token("FrameRef") + Token(Pair("Name", "a") + Token("DeltaX") + "--3#" + Token("DeltaY") +
                                                          "0#" + Token("DeltaZ") + "0#" + Pair("Time", "S:1"));
    return {
        {"HeaderWithoutFinalLineFeed", "RCS" + Token("Key=Value")},
        {"EmptyStream", "RCS" + Token("")},
        {"BodyThatIsNoPairList", "RCS" + Token("A=1\n") + Token("RPicture") + Token("odd") + Token("hello")},
        {"ControlBytesAndQuotes",
         "RCS" + Token("") + Token("RStage") + Token("Stage") +
             Token(Pair("Caption", std::string("a\"b\\c\0\x01\xff", 8)) + Pair("XPos", "1a") + Pair("Visible", "") +
                   Pair("Tag", "2#0#x") + Pair("Contents", Token("no final line feed")) + Pair("end", "lines"))},
        {"UnknownClassAndOddNames",
         "RCS" + Token("") + Token("R Weird") + Token("two words") + Token(Pair("auto", "frames") + Pair("#x", "y"))},
        {"NonCanonicalFramesAndSteps",
         "RCS" + Token("") + Token("RSprite") + Token("S") +
             Token(Pair("FrameList", "1#" + Token(oddFrame)) + Pair("SequenceList", "1#" + Token(Token("A") + "1#" + oddStep)) +
                   Pair("Tupels", Token("a;") + "3#" + Token("x")) + Pair("Surface", bmp))},
        {"LinesWithEdges",
         "RCS" + Token(" lead\ntrail \n|bar\n\"q\n#hash\nend\n\n") + Token("RText") + Token("T") +
             Token(Pair("Contents", Token("\n***\n (1,2)x\n#x\n\tTab\n")))},
    };
}

std::string CaseName(const ::testing::TestParamInfo<OddCase>& param) { return param.param.name; }

class OddStreamsRoundTrip : public ::testing::TestWithParam<OddCase> {};

TEST_P(OddStreamsRoundTrip, GiveTheSameBytes) {
    EXPECT_EQ(RoundTrip(GetParam().bytes, GetParam().name), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, OddStreamsRoundTrip, ::testing::ValuesIn(OddStreams()),
                         CaseName);

TEST(RoundTrip, MalformedStreamsAreRefusedWithAMessage) {
    EXPECT_THROW(rcs::DecodeStream("XYZ0#"), RStreamException);
    EXPECT_THROW(rcs::DecodeStream("RCS" + Token("") + Token("RPicture") + "99#abc"), RStreamException);
    EXPECT_THROW(rcs::DecodeStream("RCS5#ab"), RStreamException);
}

TEST(RoundTrip, EveryBuiltStreamComesBackByteForByte) {
    const auto streams = contenttest::AllStreams();
    ASSERT_GE(streams.size(), 13u);
    for (const auto& path : streams) {
        SCOPED_TRACE(path.string());
        const std::string bytes = contenttest::ReadBytes(path);
        ASSERT_FALSE(bytes.empty());
        EXPECT_TRUE(RoundTrip(bytes, path.stem().string()) == bytes);
    }
}

TEST(RoundTrip, DecompileCommandWritesSourceAndBitmapsThatCompileBack) {
    const fs::path dir = fs::temp_directory_path() / "rcs-decompile-command";
    fs::remove_all(dir);
    const fs::path scene = contenttest::ContentDir() / "Planet-Dunes.RCS";
    std::ostringstream err;
    ASSERT_EQ(rcs::Decompile(scene, dir / "Planet-Dunes.rcsrc", err), 0) << err.str();
    EXPECT_TRUE(fs::exists(dir / "Planet-Dunes_bitmaps" / "Sky_Surface.bmp"));
    ASSERT_EQ(rcs::Compile({dir / "Planet-Dunes.rcsrc", dir / "again.RCS", {}, {}}, err), 0) << err.str();
    EXPECT_TRUE(contenttest::ReadBytes(dir / "again.RCS") == contenttest::ReadBytes(scene));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace quellmoor
