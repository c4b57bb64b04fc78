// The rcs source format: what it compiles to, and what it says about mistakes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/Exceptions.h"
#include "tools/rcs/Commands.h"
#include "tools/rcs/SourceParser.h"
#include "tools/rcs/StreamCodec.h"

namespace quellmoor {
namespace {

namespace fs = std::filesystem;

std::string Compile(const std::string& source, const rcs::SourceOptions& options = {}) {
    return rcs::EncodeStream(rcs::ParseSource(source, "scene.rcsrc", options));
}

std::string Token(const std::string& s) { return std::to_string(s.size()) + "#" + s; }
std::string Pair(const std::string& n, const std::string& v) { return Token(n) + Token(v); }

TEST(SourceFormat, CompilesHeaderObjectsAndPlainValues) {
    const std::string source =
        "# a comment\n"
        "header\n"
        "  Type=RPlanetScene\n"
        "  | Frequency=30\n"
        "end\n"
        "object RPicture Sky\n"
        "  XPos = 12.5\n"
        "  Visible = False\n"
        "  TransColor = RGB24:00FF00\n"
        "  Caption = \"two words\"\n"
        "end\n";
    const std::string body = Pair("XPos", "12.5") + Pair("Visible", "False") + Pair("TransColor", "RGB24:00FF00") +
                             Pair("Caption", "two words");
    EXPECT_EQ(Compile(source), "RCS" + Token("Type=RPlanetScene\nFrequency=30\n") + Token("RPicture") + Token("Sky") +
                                   Token(body));
}

TEST(SourceFormat, CompilesLinesNestedPairsSequencesAndTupels) {
    const std::string source =
        "header\nend\n"
        "object RSprite Star\n"
        "  Tag = lines\n    Sterretje=True\n    |  indented\n    \"tab\\there\"\n  end\n"
        "  WindowRect = pairs\n    X = 0\n  end\n"
        "  SequenceList = sequences\n    sequence TW\n      step a MS:100\n      step b MS:120 -12 1 0\n    end\n  end\n"
        "end\n"
        "object RDirector GetOut\n"
        "  Tupels = tupels auto\n    1 Vexmon Visible=True;XPos=3;\n    4 deur1 Visible=False;\n    2 Vexmon XPos=5;\n  end\n"
        "  OrrinSpecific = \" ;800;251;\"\n"
        "end\n";
    const std::string step1 = Token("FrameRef") + Token(Pair("Name", "a") + Token("DeltaX") + "0#" + Token("DeltaY") +
                                                        "0#" + Token("DeltaZ") + "0#" + Pair("Time", "MS:100"));
    const std::string step2 = Token("FrameRef") + Token(Pair("Name", "b") + Token("DeltaX") + "-12#" + Token("DeltaY") +
                                                        "1#" + Token("DeltaZ") + "0#" + Pair("Time", "MS:120"));
    const std::string sequences = "1#" + Token(Token("TW") + "2#" + step1 + step2);
    const std::string sprite = Token("Tag") + Token(Token("Sterretje=True\n indented\ntab\there\n")) +
                               Token("WindowRect") + Token(Pair("X", "0")) + Token("SequenceList") + Token(sequences);
    const std::string records = Token(Token("1") + Token("Vexmon") + Token("Visible=True;XPos=3;")) +
                                Token(Token("4") + Token("deur1") + Token("Visible=False;")) +
                                Token(Token("2") + Token("Vexmon") + Token("XPos=5;"));
    const std::string tupels = Token("Vexmon;deur1;") + std::to_string(records.size()) + "#" + records;
    const std::string director = Token("Tupels") + Token(tupels) + Pair("OrrinSpecific", " ;800;251;");
    EXPECT_EQ(Compile(source), "RCS" + Token("") + Token("RSprite") + Token("Star") + Token(sprite) +
                                   Token("RDirector") + Token("GetOut") + Token(director));
}

TEST(SourceFormat, FramesReadTheirBitmapsAndTextsKeepTheirLines) {
    const fs::path dir = fs::temp_directory_path() / "rcs-source-format-frames";
    fs::create_directories(dir);
    std::string bmp(54 + 1024 + 4, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[14] = 40;
    bmp[18] = 1;
    bmp[22] = 1;
    bmp[26] = 1;
    bmp[28] = 8;
    std::ofstream(dir / "dot.bmp", std::ios::binary) << bmp;
    rcs::SourceOptions options;
    options.searchDirs = {dir};
    const std::string source =
        "header\nend\n"
        "object RSprite Dot\n  FrameList = frames\n    frame d1 dot.bmp\n    frame d2 dot.bmp 3 4\n  end\nend\n"
        "object RText Intro\n  Contents = lines\n    Hello there!\n    ***\n    (40,-60)Who are you?\n  end\nend\n";
    const std::string frame1 = Pair("Name", "d1") + Pair("Transparent", "RGB24:00FF00") + Pair("HotSpotX", "0") +
                               Pair("HotSpotY", "0") + Pair("Surface", bmp);
    const std::string frame2 = Pair("Name", "d2") + Pair("Transparent", "RGB24:00FF00") + Pair("HotSpotX", "3") +
                               Pair("HotSpotY", "4") + Pair("Surface", bmp);
    const std::string sprite = Token("FrameList") + Token("2#" + Token(frame1) + Token(frame2));
    const std::string text = Token("Contents") + Token(Token("Hello there!\n***\n(40,-60)Who are you?\n"));
    EXPECT_EQ(Compile(source, options),
              "RCS" + Token("") + Token("RSprite") + Token("Dot") + Token(sprite) + Token("RText") + Token("Intro") + Token(text));
    fs::remove_all(dir);
}

struct ErrorCase {
    const char* name;
    const char* source;
    const char* message;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

const ErrorCase kErrors[] = {
    {"BadCoordinate", "header\nend\nobject RPicture Sky\n  XPos = 1a\nend\n",
     "scene.rcsrc:4: XPos expects a coordinate (digits, one '.', '-'), found '1a'"},
    {"BadBoolean", "header\nend\nobject RPicture Sky\n  Visible = yes\nend\n",
     "scene.rcsrc:4: Visible expects True or False, found 'yes'"},
    {"BadColour", "header\nend\nobject RPicture Sky\n\n  TransColor = 00FF00\nend\n",
     "scene.rcsrc:5: TransColor expects a colour such as RGB24:00FF00, found '00FF00'"},
    {"UnknownClass", "header\nend\nobject RPictur Sky\nend\n",
     "scene.rcsrc:3: unknown class 'RPictur' (RStage, RPicture, RSprite, RTimer, RText, RDirector; quote it to keep it "
     "anyway)"},
    {"MissingEnd", "header\nend\nobject RPicture Sky\n  XPos = 1\n",
     "scene.rcsrc:4: file ends inside object 'Sky'; 'end' is missing"},
    {"MissingBitmap", "header\nend\nobject RPicture Sky\n  Surface = bitmap nope.bmp\nend\n",
     "scene.rcsrc:4: bitmap file 'nope.bmp' not found"},
    {"StepTime", "header\nend\nobject RSprite S\n  SequenceList = sequences\n    sequence A\n      step f 110\n",
     "scene.rcsrc:6: a step's time looks like MS:110, found '110'"},
    {"AssignmentKey", "header\nend\nobject RDirector D\n  Tupels = tupels auto\n    1 Vexmon Xpos2=3;\n  end\nend\n",
     "scene.rcsrc:5: assignment 'Xpos2=3' has an unknown key (XPos, YPos, ZPos, Visible, CurFrameName)"},
    {"AssignmentNumber", "header\nend\nobject RDirector D\n  Tupels = tupels auto\n    1 Vexmon XPos=left;\n",
     "scene.rcsrc:5: assignment 'XPos=left' needs a number"},
    {"SceneType", "header\n  Type=RPlanet\nend\n",
     "scene.rcsrc:2: unknown Type 'RPlanet' (RPlanetScene, RMeetingScene, RMovingScene, RInShipScene, RFloatLib)"},
    {"Spaces", "header\nend\nobject RStage Stage\n  Caption = Hello world\nend\n",
     "scene.rcsrc:4: Caption: a value with spaces must be in double quotes"},
    {"OpenQuote", "header\nend\nobject RStage Stage\n  Caption = \"Hello\nend\n",
     "scene.rcsrc:4: a quoted text is not closed on its line"},
    {"NoEquals", "header\nend\nobject RPicture Sky\n  XPos 3\nend\n",
     "scene.rcsrc:4: expected 'Name = value', found 'XPos 3'"},
    {"Stray", "hello\n", "scene.rcsrc:1: expected 'header' or 'object', found 'hello'"},
    {"SurfaceText", "header\nend\nobject RPicture Sky\n  Surface = sky.bmp\nend\n",
     "scene.rcsrc:4: Surface expects 'bitmap FILE', found 'sky.bmp'"},
    {"FrameHotSpot", "header\nend\nobject RSprite S\n  FrameList = frames\n    frame a a.bmp x 1\n",
     "scene.rcsrc:5: a frame's hot spot needs two coordinates"},
    {"KeyframeStep", "header\nend\nobject RDirector D\n  Tupels = tupels auto\n    one Vexmon XPos=1;\n",
     "scene.rcsrc:5: a keyframe's step is a whole number, found 'one'"},
};

std::string CaseName(const ::testing::TestParamInfo<ErrorCase>& param) { return param.param.name; }

class SourceErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SourceErrors, NameTheFileTheLineAndTheProblem) {
    try {
        Compile(GetParam().source);
        FAIL() << "no error for " << GetParam().name;
    } catch (const RParamException& e) {
        EXPECT_EQ(e.GetMessage(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SourceErrors, ::testing::ValuesIn(kErrors),
                         CaseName);

TEST(SourceFormat, QuotedValuesAreKeptExactlyAndNotChecked) {
    const std::string source = "header\nend\nobject RPicture Sky\n  XPos = \"1a\\x00\\n\"\nend\n";
    EXPECT_EQ(Compile(source), "RCS" + Token("") + Token("RPicture") + Token("Sky") + Token(Pair("XPos", std::string("1a\0\n", 4))));
}

TEST(SourceFormat, CompileCommandReportsTheSourcesErrorAndWritesNothing) {
    const fs::path dir = fs::temp_directory_path() / "rcs-compile-command";
    fs::create_directories(dir);
    std::ofstream(dir / "bad.rcsrc") << "header\nend\nobject RPicture Sky\n  ZPos = deep\nend\n";
    std::ostringstream err;
    EXPECT_EQ(rcs::Compile({dir / "bad.rcsrc", dir / "bad.RCS", {}, {}}, err), 1);
    EXPECT_EQ(err.str(), (dir / "bad.rcsrc").string() + ":4: ZPos expects a coordinate (digits, one '.', '-'), found 'deep'\n");
    EXPECT_FALSE(fs::exists(dir / "bad.RCS"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace quellmoor
