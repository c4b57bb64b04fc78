#include "scenes/IniDocument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace quellmoor {
namespace {

using namespace std::string_literals;

// What a document without a line ending of its own gets.
#ifdef _WIN32
const std::string kNl = "\r\n";
#else
const std::string kNl = "\n";
#endif

struct GetCase {
    const char* name;
    std::string document;
    const char* key;
    std::optional<std::string> expected;
};
void PrintTo(const GetCase& c, std::ostream* out) { *out << c.name; }

const GetCase kGets[] = {
    {"Plain", "[Vexmon]\nDir=/usr/share/vexmon\n", "Dir", "/usr/share/vexmon"},
    {"KeyIgnoresCase", "[Vexmon]\nSKIN=gold\n", "skin", "gold"},
    {"SectionIgnoresCase", "[VEXMON]\nSkin=gold\n", "Skin", "gold"},
    {"BlanksAroundNamesAndValues", "  [ Vexmon ]  \r\n  Skin  =  gold leaf \t\r\n", "Skin", "gold leaf"},
    {"QuotesStripped", "[Vexmon]\nDir=\"C:\\Program Files\\Vexmon\"\n", "Dir", "C:\\Program Files\\Vexmon"},
    {"UnmatchedQuotesKept", "[Vexmon]\nDir=\"half\n", "Dir", "\"half"},
    {"EmptyValue", "[Vexmon]\nSkin=\n", "Skin", ""},
    {"ValueMayHoldEquals", "[Vexmon]\nA=b=c\n", "A", "b=c"},
    {"FirstKeyWins", "[Vexmon]\nSound=0\nSound=1\n", "Sound", "0"},
    {"FirstSectionOnly", "[Vexmon]\nA=1\n[vexmon]\nB=2\n", "B", std::nullopt},
    {"OtherSectionNotRead", "[Other]\nSkin=red\n[Vexmon]\n", "Skin", std::nullopt},
    {"KeyBeforeAnySection", "Skin=red\n[Vexmon]\n", "Skin", std::nullopt},
    {"CommentedOut", "[Vexmon]\n;Skin=red\n", "Skin", std::nullopt},
    {"LastLineWithoutEnding", "[Vexmon]\nEngine=2", "Engine", "2"},
    {"ByteOrderMark", "\xEF\xBB\xBF[Vexmon]\nEngine=3\n", "Engine", "3"},
    {"HeaderWithTrailingText", "[Vexmon] ; ours\nEngine=3\n", "Engine", "3"},
    {"UnclosedHeaderIsNoSection", "[Vexmon\nEngine=3\n", "Engine", std::nullopt},
    {"BinaryValue", "[Vexmon]\nA=x\0\xff\n"s, "A", "x\0\xff"s},
    {"Empty", "", "Dir", std::nullopt},
};

class IniGet : public testing::TestWithParam<GetCase> {};

TEST_P(IniGet, ReadsLikeTheProfileFunctions) {
    EXPECT_EQ(IniDocument::Parse(GetParam().document).Get("Vexmon", GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Documents, IniGet, testing::ValuesIn(kGets),
                         [](const auto& param) { return std::string(param.param.name); });

struct SetCase {
    const char* name;
    const char* before;
    const char* key;
    const char* value;
    std::optional<std::string> after;  // nullopt: unchanged
};
void PrintTo(const SetCase& c, std::ostream* out) { *out << c.name; }

const SetCase kSets[] = {
    {"NewFile", "", "Moon.RCS", "1", "[Vexmon]" + kNl + "Moon.RCS=1" + kNl},
    {"ReplaceValue", "[Vexmon]\nSkin=red\nSound=1\n", "Skin", "gold", "[Vexmon]\nSkin=gold\nSound=1\n"},
    {"ReplaceKeepsKeySpellingAndBlanks", "[Vexmon]\n  SKIN = red  \r\n", "skin", "gold", "[Vexmon]\n  SKIN = gold\r\n"},
    {"ReplaceQuoted", "[Vexmon]\nDir=\"/a b\"\n", "Dir", "/c", "[Vexmon]\nDir=/c\n"},
    {"SameValueUnchanged", "[Vexmon]\nSound=1\n", "sound", "1", std::nullopt},
    {"SameValueQuotedUnchanged", "[Vexmon]\nSkin='gold'\n", "Skin", "gold", std::nullopt},
    {"AddAfterLastKeyBeforeBlankLines", "[Vexmon]\nA=1\n\n[Other]\nB=2\n", "C", "3",
     "[Vexmon]\nA=1\nC=3\n\n[Other]\nB=2\n"},
    {"AddAfterCommentInSection", "[Vexmon]\nA=1\n; the end\n\n", "C", "3", "[Vexmon]\nA=1\n; the end\nC=3\n\n"},
    {"AddToHeaderWithoutEnding", "[Vexmon]", "C", "3", "[Vexmon]" + kNl + "C=3" + kNl},
    {"AddAfterLastLineWithoutEnding", "[Vexmon]\r\nA=1", "C", "3", "[Vexmon]\r\nA=1\r\nC=3\r\n"},
    {"AddKeepsCrLf", "[Other]\r\nB=2\r\n", "C", "3", "[Other]\r\nB=2\r\n\r\n[Vexmon]\r\nC=3\r\n"},
    {"AddSectionAfterBlankLine", "; settings\n\n", "C", "3", "; settings\n\n[Vexmon]\nC=3\n"},
    {"AddSectionClosesLastLine", "[Other]\nB=2", "C", "3", "[Other]\nB=2\n\n[Vexmon]\nC=3\n"},
    {"AddSectionKeepsByteOrderMark", "\xEF\xBB\xBF", "C", "3", "\xEF\xBB\xBF[Vexmon]" + kNl + "C=3" + kNl},
    {"OnlyFirstOfDuplicateKeys", "[Vexmon]\nA=1\nA=2\n", "a", "3", "[Vexmon]\nA=3\nA=2\n"},
    {"EmptyValue", "[Vexmon]\nSkin=red\n", "Skin", "", "[Vexmon]\nSkin=\n"},
    {"KeyWithEquals", "[Vexmon]\n", "a=b.RCS", "1", std::nullopt},
    {"KeyWithSemicolon", "[Vexmon]\n", ";x.RCS", "1", std::nullopt},
    {"KeyWithBracket", "[Vexmon]\n", "[x].RCS", "1", std::nullopt},
    {"KeyWithLineBreak", "[Vexmon]\n", "a\nb", "1", std::nullopt},
    {"KeyWithBlankAtEnd", "[Vexmon]\n", "a ", "1", std::nullopt},
    {"EmptyKey", "[Vexmon]\n", "", "1", std::nullopt},
    {"ValueWithLineBreak", "[Vexmon]\nSkin=red\n", "Skin", "gold\n[Evil]", std::nullopt},
    {"ValueWithCarriageReturn", "[Vexmon]\nSkin=red\n", "Skin", "gold\r", std::nullopt},
    {"ValueWithBlankAtEnd", "[Vexmon]\nSkin=red\n", "Skin", "gold ", std::nullopt},
    {"ValueInQuotes", "[Vexmon]\nSkin=red\n", "Skin", "\"gold\"", std::nullopt},
};

class IniSet : public testing::TestWithParam<SetCase> {};

TEST_P(IniSet, ChangesOneValueAndKeepsEverythingElse) {
    IniDocument document = IniDocument::Parse(GetParam().before);
    const bool changed = document.Set("Vexmon", GetParam().key, GetParam().value);
    const std::string expected = GetParam().after.value_or(GetParam().before);
    EXPECT_EQ(changed, GetParam().after.has_value());
    EXPECT_EQ(document.Serialise(), expected);
    if (changed) {
        EXPECT_EQ(IniDocument::Parse(document.Serialise()).Get("Vexmon", GetParam().key), GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, IniSet, testing::ValuesIn(kSets),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(IniDocument, ValueWithNulIsRefused) {
    IniDocument document = IniDocument::Parse("[Vexmon]\n");
    EXPECT_FALSE(document.Set("Vexmon", "Skin", std::string_view("a\0b", 3)));
    EXPECT_EQ(document.Serialise(), "[Vexmon]\n");
}

TEST(IniDocument, AnyBytesParseAndSerialiseUnchangedAndTakeAWrite) {
    std::mt19937 generator(5);
    constexpr char kAlphabet[] = "[]=;\r\n \tVexmonABC\"\0\xff";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
    for (int round = 0; round < 500; ++round) {
        std::string bytes;
        const int length = static_cast<int>(generator() % 200);
        for (int i = 0; i < length; ++i) bytes += alphabet[generator() % alphabet.size()];
        SCOPED_TRACE(testing::PrintToString(bytes));
        IniDocument document = IniDocument::Parse(bytes);
        ASSERT_EQ(document.Serialise(), bytes);
        document.Get("Vexmon", "A");
        document.Set("Vexmon", "A", "42");
        const IniDocument reread = IniDocument::Parse(document.Serialise());
        ASSERT_EQ(reread.Get("Vexmon", "A"), "42");
    }
}

TEST(IniDocument, OtherSectionsKeysAndCommentsSurviveManyWrites) {
    const std::string before =
        "; written by hand\r\n[Display]\r\nMode=full\r\n\r\n[Vexmon]\r\nDir=C:\\Vexmon\r\n# mine\r\n\r\n[Last]\r\nX=1";
    IniDocument document = IniDocument::Parse(before);
    for (const char* scene : {"Moon.RCS", "Meet.rcs", "Moon.rcs", "Fly.RCS"}) document.Set("Vexmon", scene, "1");
    EXPECT_EQ(document.Serialise(),
              "; written by hand\r\n[Display]\r\nMode=full\r\n\r\n[Vexmon]\r\nDir=C:\\Vexmon\r\n# mine\r\n"
              "Moon.RCS=1\r\nMeet.rcs=1\r\nFly.RCS=1\r\n\r\n[Last]\r\nX=1");
}

TEST(IniDocument, ALargeDocumentIsHandledInLinearTime) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes.append("k").append(std::to_string(i)).append("=v\n");
    const auto start = std::chrono::steady_clock::now();
    IniDocument document = IniDocument::Parse("[Vexmon]\n" + bytes);
    EXPECT_TRUE(document.Set("Vexmon", "k199999", "w"));
    EXPECT_TRUE(document.Set("Vexmon", "new", "1"));
    EXPECT_EQ(document.Get("Vexmon", "new"), "1");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace quellmoor
