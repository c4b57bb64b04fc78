#include "tools/common/Options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace quellmoor::tools {
namespace {

// What the table's parser fills in.
struct Values {
    bool headless = false;
    int every = 4;
    long frames = 0;
    double seconds = 0;
    int width = 800, height = 600;
    std::string record, backend = "sdl", output, extra;
};

std::unique_ptr<OptionParser> MakeParser(Values& v) {
    auto parser = std::make_unique<OptionParser>("demo", "A program with a few options.");
    parser->Flag("headless", "run without a window", v.headless);
    parser->Integer("every", "N", "one frame per N ticks", v.every, 1, 1000);
    parser->Integer("frames", "N", "stop after N frames", v.frames, 0, 1000000L);
    parser->Number("seconds", "S", "stop after S seconds", v.seconds, 0, 1e7);
    parser->Size("size", "window size", v.width, v.height, 8192);
    parser->Text("record", "DIR", "save frames into DIR", v.record);
    parser->Choice("backend", "NAME", "where to show it", v.backend, {"headless", "sdl"});
    parser->Positional("OUTPUT", "the file to write", v.output);
    parser->Positional("EXTRA", "something more", v.extra, false);
    return parser;
}

struct ParseCase {
    const char* name;
    std::vector<std::string_view> arguments;
    std::string error;                     // empty: parses
    std::function<bool(const Values&)> holds = [](const Values&) { return true; };
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class OptionParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(OptionParseTest, ParsesOrSaysWhatIsWrong) {
    const ParseCase& c = GetParam();
    Values values;
    auto parser = MakeParser(values);
    if (c.error.empty()) {
        EXPECT_EQ(parser->Parse(c.arguments), OptionParser::Outcome::Run);
        EXPECT_TRUE(c.holds(values));
    } else {
        try {
            parser->Parse(c.arguments);
            ADD_FAILURE() << "parsed without complaint";
        } catch (const OptionError& e) {
            EXPECT_EQ(e.GetMessage(), c.error);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, OptionParseTest,
    ::testing::Values(
        ParseCase{"OnlyThePositional", {"out.png"}, "", [](const Values& v) {
                      return v.output == "out.png" && !v.headless && v.every == 4 && v.extra.empty();
                  }},
        ParseCase{"FlagWithTwoDashes", {"--headless", "o"}, "", [](const Values& v) { return v.headless; }},
        ParseCase{"FlagWithOneDash", {"-headless", "o"}, "", [](const Values& v) { return v.headless; }},
        ParseCase{"ValueAsNextArgument", {"--every", "8", "o"}, "", [](const Values& v) { return v.every == 8; }},
        ParseCase{"ValueAfterEquals", {"--every=8", "o"}, "", [](const Values& v) { return v.every == 8; }},
        ParseCase{"OneDashAndEquals", {"-seconds=2.5", "o"}, "", [](const Values& v) { return v.seconds == 2.5; }},
        ParseCase{"LongInteger", {"--frames", "+40", "o"}, "", [](const Values& v) { return v.frames == 40; }},
        ParseCase{"Size", {"--size", "640x480", "o"}, "",
                  [](const Values& v) { return v.width == 640 && v.height == 480; }},
        ParseCase{"TextMayStartWithADash", {"--record", "-dir", "o"}, "",
                  [](const Values& v) { return v.record == "-dir"; }},
        ParseCase{"EmptyTextAfterEquals", {"--record=", "o"}, "", [](const Values& v) { return v.record.empty(); }},
        ParseCase{"Choice", {"--backend", "headless", "o"}, "", [](const Values& v) { return v.backend == "headless"; }},
        ParseCase{"LastOneCounts", {"--every", "2", "--every", "3", "o"}, "",
                  [](const Values& v) { return v.every == 3; }},
        ParseCase{"OptionsAfterPositionals", {"o", "x", "--headless"}, "",
                  [](const Values& v) { return v.output == "o" && v.extra == "x" && v.headless; }},
        ParseCase{"DoubleDashEndsOptions", {"--", "--headless"}, "",
                  [](const Values& v) { return v.output == "--headless" && !v.headless; }},
        ParseCase{"LoneDashIsAnArgument", {"-"}, "", [](const Values& v) { return v.output == "-"; }},
        ParseCase{"UnknownOption", {"--fast", "o"}, "unknown option \"--fast\""},
        ParseCase{"UnknownOneDashOption", {"-x", "o"}, "unknown option \"-x\""},
        ParseCase{"MissingValue", {"o", "--every"}, "--every needs a value (N)"},
        ParseCase{"FlagGivenAValue", {"--headless=yes", "o"}, "--headless takes no value"},
        ParseCase{"NotANumber", {"--every", "eight", "o"}, "--every: \"eight\" is not a whole number"},
        ParseCase{"TrailingLetters", {"--every", "8x", "o"}, "--every: \"8x\" is not a whole number"},
        ParseCase{"FractionForInteger", {"--every", "2.5", "o"}, "--every: \"2.5\" is not a whole number"},
        ParseCase{"EmptyNumber", {"--every=", "o"}, "--every: \"\" is not a whole number"},
        ParseCase{"BelowRange", {"--every", "0", "o"}, "--every: 0 is out of range (1 to 1000)"},
        ParseCase{"AboveRange", {"--every=1001", "o"}, "--every: 1001 is out of range (1 to 1000)"},
        ParseCase{"HugeInteger", {"--frames", "99999999999999999999", "o"},
                  "--frames: \"99999999999999999999\" is not a whole number"},
        ParseCase{"NegativeSeconds", {"--seconds", "-1", "o"}, "--seconds: -1 is out of range (0 to 10000000)"},
        ParseCase{"BothSigns", {"--seconds", "+-1", "o"}, "--seconds: \"+-1\" is not a number"},
        ParseCase{"NotANumberSeconds", {"--seconds", "nan", "o"}, "--seconds: nan is out of range (0 to 10000000)"},
        ParseCase{"DecimalComma", {"--seconds", "2,5", "o"}, "--seconds: \"2,5\" is not a number"},
        ParseCase{"SizeWithoutX", {"--size", "640", "o"}, "--size: \"640\" is not a size like 640x480"},
        ParseCase{"SizeHalfGiven", {"--size", "640x", "o"}, "--size: \"640x\" is not a size like 640x480"},
        ParseCase{"SizeZero", {"--size", "0x480", "o"}, "--size: 0x480 is out of range (1x1 to 8192x8192)"},
        ParseCase{"SizeTooLarge", {"--size", "640x9000", "o"}, "--size: 640x9000 is out of range (1x1 to 8192x8192)"},
        ParseCase{"NotAChoice", {"--backend", "win32", "o"}, "--backend: \"win32\" is not one of headless, sdl"},
        ParseCase{"MissingPositional", {"--headless"}, "missing OUTPUT"},
        ParseCase{"TooManyPositionals", {"a", "b", "c"}, "unexpected argument \"c\""}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(OptionParser, HelpIsAskedForWithOneOrTwoDashes) {
    for (std::string_view help : {"--help", "-help"}) {
        Values values;
        const std::vector<std::string_view> arguments{"--every", "2", help};
        EXPECT_EQ(MakeParser(values)->Parse(arguments), OptionParser::Outcome::Help) << help;
    }
}

TEST(OptionParser, HelpTextIsMadeFromTheTable) {
    Values values;
    EXPECT_EQ(MakeParser(values)->Help(),
              "usage: demo [options] OUTPUT [EXTRA]\n"
              "A program with a few options.\n"
              "\n"
              "  OUTPUT          the file to write\n"
              "  EXTRA           something more\n"
              "  --headless      run without a window\n"
              "  --every N       one frame per N ticks\n"
              "  --frames N      stop after N frames\n"
              "  --seconds S     stop after S seconds\n"
              "  --size WxH      window size\n"
              "  --record DIR    save frames into DIR\n"
              "  --backend NAME  where to show it (headless, sdl)\n"
              "  --help          this text\n");
}

TEST(OptionParser, ParseOrExitWritesTheProblemAndAHint) {
    Values values;
    auto parser = MakeParser(values);
    char program[] = "demo", option[] = "--size", value[] = "big";
    char* argv[] = {program, option, value};
    std::ostringstream out, err;
    EXPECT_EQ(parser->ParseOrExit(3, argv, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "demo: --size: \"big\" is not a size like 640x480\nTry \"demo --help\".\n");
}

TEST(OptionParser, ParseOrExitWritesHelpAndEndsWell) {
    Values values;
    auto parser = MakeParser(values);
    char program[] = "demo", help[] = "--help";
    char* argv[] = {program, help};
    std::ostringstream out, err;
    EXPECT_EQ(parser->ParseOrExit(2, argv, out, err), 0);
    EXPECT_EQ(out.str(), parser->Help());
    EXPECT_EQ(err.str(), "");
}

TEST(OptionParser, ParseOrExitLetsTheProgramGoOn) {
    Values values;
    auto parser = MakeParser(values);
    char program[] = "demo", every[] = "--every=7", output[] = "o.png";
    char* argv[] = {program, every, output};
    std::ostringstream out, err;
    EXPECT_EQ(parser->ParseOrExit(3, argv, out, err), std::nullopt);
    EXPECT_EQ(values.every, 7);
    EXPECT_EQ(values.output, "o.png");
}

TEST(OptionParser, ANameDeclaredTwiceIsRefused) {
    bool a = false, b = false;
    OptionParser parser("demo", "");
    parser.Flag("quiet", "", a);
    try {
        parser.Flag("quiet", "", b);
        ADD_FAILURE() << "declared twice without complaint";
    } catch (const OptionError& e) {
        EXPECT_EQ(e.GetMessage(), "option --quiet is declared twice");
    }
}

}  // namespace
}  // namespace quellmoor::tools
