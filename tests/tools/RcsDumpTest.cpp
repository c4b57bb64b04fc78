// rcs dump gives the engine's verdict: every hostile stream the program would
// refuse fails the dump with the program's exact message, and streams it loads
// pass. Dump and decompile quote the same bytes the same way.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/imaging/BmpBuilder.h"
#include "tests/model/StreamBuilder.h"
#include "tools/rcs/EngineCheck.h"
#include "tools/rcs/SourceParser.h"
#include "tools/rcs/SourceWriter.h"
#include "tools/rcs/StreamCodec.h"
#include "tools/rcs/StreamDump.h"

namespace quellmoor {
namespace {

using testing::Object;
using testing::Pair;
using testing::Stream;
using testing::Token;

std::string Bitmap() { return test::BuildBmp({}); }

// A bitmap with one header field changed.
template <class Field, class Value>
std::string BitmapWith(Field test::BmpSpec::*field, Value value) {
    test::BmpSpec spec;
    spec.*field = value;
    return test::BuildBmp(spec);
}

// A picture whose Surface value is `value` (a bitmap's length header and bytes).
std::string PictureWith(const std::string& value) {
    return Stream("", Object("RPicture", "Sky", Token("Surface") + value));
}

// A sprite with one frame list: `count` frames announced, one frame record.
std::string SpriteWith(const std::string& count, const std::string& bitmap = Bitmap(),
                       const std::string& recordLength = "") {
    const std::string pairs = Pair("Name", "a") + Pair("Transparent", "RGB24:00FF00") + Pair("HotSpotX", "0") +
                              Pair("HotSpotY", "0") + Token("Surface") + Token(bitmap);
    const std::string record = (recordLength.empty() ? std::to_string(pairs.size()) : recordLength) + "#" + pairs;
    return Stream("", Object("RSprite", "Star", Token("FrameList") + Token(count + "#" + record)));
}

std::string SpriteWithSequences(const std::string& count) {
    return Stream("", Object("RSprite", "Star", Token("SequenceList") + Token(count + "#")));
}

std::string Cut(const std::string& bytes, std::size_t dropped) { return bytes.substr(0, bytes.size() - dropped); }

struct HostileCase {
    const char* name;
    std::string bytes;
    std::string message;
    friend void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<HostileCase> HostileStreams() {
    const std::string objects = Object("RPicture", "Sky", Pair("XPos", "3"));
    return {
        {"EmptyFile", "", "AddComponentStream encountered an invalid header."},
        {"WrongMagic", "RCX0#", "AddComponentStream encountered an invalid header."},
        {"CutWhereHeaderIsDue", "RCS", "LoadStringFromStream started at end of stream."},
        {"CutInHeaderLength", "RCS12", "LoadStringFromStream reached unexpected end of stream."},
        {"CutInHeaderContent", "RCS10#abc", "LoadStringFromStream reached unexpected end of stream."},
        {"HeaderLengthFieldTooLong", "RCS1234567890123456#",
         "LoadStringFromStream encountered a length field that is too long."},
        {"CutInClassNameLength", Stream("", "12"), "LoadStringFromStream reached unexpected end of stream."},
        {"LetterInObjectNameLength", Stream("", Token("RPicture") + "1x#Sky0#"),
         "LoadStringFromStream encountered an invalid length field."},
        {"CutWhereBodyLengthIsDue", Stream("", Token("RPicture") + Token("Sky")),
         "LoadLongIntFromStream started at end of stream."},
        {"CutWhereUnknownBodyLengthIsDue", Stream("", Token("RThing") + Token("x")),
         "LoadLongIntFromStream started at end of stream."},
        {"CutInBodyLength", Stream("", Token("RPicture") + Token("Sky") + "12"),
         "LoadLongIntFromStream reached unexpected end of stream."},
        {"LetterInBodyLength", Stream("", Token("RPicture") + Token("Sky") + "1x#a"),
         "Invalid char encountered in function LoadLongIntFromStream."},
        {"NegativeBodyLength", Stream("", Token("RPicture") + Token("Sky") + "-5#abcde"),
         "LoadFromStream encountered a negative body length."},
        {"NegativeUnknownBodyLength", Stream("", Token("RThing") + Token("x") + "-5#abcde"),
         "LoadComponent encountered a negative body length."},
        {"HugeBodyLength", Stream("", Token("RPicture") + Token("Sky") + "12345678901#"),
         "LoadLongIntFromStream read a number that is too large."},
        {"CutInsideUnknownBody", Stream("", Token("RThing") + Token("x") + "50#abc"),
         "Component stream ends inside a skipped body."},
        {"LetterInCoordinate", Stream("", Object("RPicture", "Sky", Pair("XPos", "1a"))),
         "Invalid char encountered in function LoadCooFromStream."},
        {"CutInsideCoordinate", Cut(Stream("", objects), 1), "LoadCooFromStream reached unexpected end of stream."},
        {"LetterInFrameCount", SpriteWith("1x"), "Invalid char encountered in function LoadLongIntFromStream."},
        {"NegativeFrameRecordLength", SpriteWith("1", Bitmap(), "-3"),
         "FrameList holds a record with a negative length."},
        // Ends straight after the "HotSpotY" name: its coordinate and the surface are missing.
        {"CutInsideFrameRecord", Cut(SpriteWith("1"), Token(Bitmap()).size() + Token("Surface").size() + 3),
         "FrameList reached unexpected end of stream."},
        {"LetterInSequenceCount", SpriteWithSequences("z"),
         "Invalid char encountered in function LoadLongIntFromStream."},
        {"TwentyFourBitBitmapInPicture", PictureWith(Token(BitmapWith(&test::BmpSpec::bitCount, std::uint16_t{24}))), "Only 8 bit DIBs are supported"},
        {"TwentyFourBitBitmapInFrame", SpriteWith("1", BitmapWith(&test::BmpSpec::bitCount, std::uint16_t{24})), "Only 8 bit DIBs are supported"},
        {"CompressedBitmapInPicture", PictureWith(Token(BitmapWith(&test::BmpSpec::compression, 1u))), "Only 8 bit DIBs are supported"},
        {"UnknownBitmapHeaderInPicture", PictureWith(Token(BitmapWith(&test::BmpSpec::headerSize, 124u))),
         " File is not Windows or PM DIB format"},
        {"NotABitmapInPicture", PictureWith(Token("PNG is not a bitmap file at all, but long enough")),
         "Not a bitmap file"},
        {"BitmapShorterThanDeclared", PictureWith(std::to_string(Bitmap().size() + 8) + "#" + Bitmap() + "8 extras"),
         "LoadPropFromStream; Invalid length."},
    };
}

class HostileStream : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileStream, DumpFailsWithTheEngineMessage) {
    const HostileCase& c = GetParam();
    // The engine's own verdict first: the table must hold only streams it refuses.
    const auto refusal = rcs::EngineRefusal(c.bytes);
    ASSERT_TRUE(refusal.has_value()) << "the engine loads this stream";
    EXPECT_EQ(*refusal, c.message);

    std::ostringstream out, err;
    EXPECT_EQ(rcs::RunDump(c.bytes, out, err), 1);
    EXPECT_EQ(err.str(), c.message + "\n");
    EXPECT_EQ(out.str().find("object(s)"), std::string::npos) << out.str();
}

INSTANTIATE_TEST_SUITE_P(Table, HostileStream, ::testing::ValuesIn(HostileStreams()),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(RcsDump, StreamsTheEngineLoadsPass) {
    for (const std::string& bytes :
         {Stream("", ""), Stream("Version=0.1b\n", Object("RPicture", "Sky", Pair("XPos", "3"))),
          PictureWith(Token(Bitmap())), SpriteWith("1"), SpriteWithSequences("0"),
          Stream("", Object("RThing", "x", Pair("Anything", "at all")))}) {
        SCOPED_TRACE(bytes.substr(0, 60));
        EXPECT_EQ(rcs::EngineRefusal(bytes), std::nullopt);
        std::ostringstream out, err;
        EXPECT_EQ(rcs::RunDump(bytes, out, err), 0);
        EXPECT_EQ(err.str(), "");
        EXPECT_TRUE(out.str().ends_with(" object(s)\n")) << out.str();
    }
}

TEST(RcsDump, ShowsWhatItReadBeforeTheRefusal) {
    std::ostringstream out, err;
    EXPECT_EQ(rcs::RunDump(PictureWith(Token(BitmapWith(&test::BmpSpec::bitCount, std::uint16_t{24}))), out, err), 1);
    EXPECT_NE(out.str().find("object RPicture \"Sky\""), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Surface: bitmap 2x2, 24 bit"), std::string::npos) << out.str();
}

// --- Quoting: dump and decompile write the same bytes the same way.

TEST(RcsQuoting, DumpAndDecompileAgree) {
    using namespace std::string_literals;
    const std::string odd = "tab\there\rcr\x80\xFF \"q\" back\\slash nul\0"s;
    const std::string quoted = "\"tab\\there\\rcr\\x80\\xFF \\\"q\\\" back\\\\slash nul\\x00\"";
    ASSERT_EQ(rcs::QuoteText(odd), quoted);

    const std::string bytes = Stream(odd + "\n", Object("RThing", odd, Pair("Caption", odd)));
    std::istringstream in(bytes);
    std::ostringstream dump;
    rcs::DumpStream(in, dump);
    const std::string source = rcs::WriteSource(rcs::DecodeStream(bytes), ::testing::TempDir(), "quoting_bitmaps");
    for (const std::string& text : {dump.str(), source}) {
        SCOPED_TRACE(text);
        std::size_t uses = 0;
        for (auto at = text.find(quoted); at != std::string::npos; at = text.find(quoted, at + 1)) ++uses;
        EXPECT_EQ(uses, 3u);  // the header line, the object's name, the caption
    }
}

// A name far longer than a file name may be still decompiles: the bitmaps'
// file names are cut short, kept apart, and compile back to the same stream.
TEST(RcsDecompile, LongObjectNamesGiveShortBitmapFileNames) {
    const std::string longName(300, 'C');
    const std::string bytes = Stream("", Object("RPicture", longName, Token("Surface") + Token(Bitmap())) +
                                             Object("RPicture", longName + "2", Token("Surface") + Token(Bitmap())));
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "long_names";
    std::filesystem::remove_all(dir);
    const std::string source = rcs::WriteSource(rcs::DecodeStream(bytes), dir, "bitmaps");
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "bitmaps"))
        files.push_back(entry.path().filename().string());
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& file : files) EXPECT_LE(file.size(), 255u) << file;
    EXPECT_NE(files[0], files[1]);
    EXPECT_EQ(rcs::EncodeStream(rcs::ParseSource(source, "long.rcsrc", {.baseDir = dir, .searchDirs = {}})), bytes);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quellmoor
