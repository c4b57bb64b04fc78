// The vexmon command line: every mode, the daemon's window variable, window
// ids, conflicts, overrides, and the exact messages a user reads.
#include "saver/CommandLine.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace quellmoor {

void PrintTo(const CommandLine& c, std::ostream* os) {
    *os << "{mode " << static_cast<int>(c.mode);
    if (c.windowId) *os << ", window " << *c.windowId;
    if (!c.outputPath.empty()) *os << ", output " << c.outputPath;
    *os << ", seconds " << c.recordSeconds << ", at " << c.screenshotSeconds;
    if (c.dir) *os << ", dir " << *c.dir;
    if (c.skin) *os << ", skin " << *c.skin;
    if (c.engine) *os << ", engine " << *c.engine;
    if (c.sound) *os << ", sound " << *c.sound;
    if (c.seed) *os << ", seed " << *c.seed;
    if (c.width && c.height) *os << ", size " << *c.width << "x" << *c.height;
    if (c.scale) *os << ", scale " << *c.scale;
    for (const std::string& scene : c.scenes) *os << ", scene " << scene;
    *os << "}";
}

namespace {

struct LineCase {
    const char* name;
    std::vector<std::string_view> arguments;
    std::optional<std::string_view> variable;  // XSCREENSAVER_WINDOW
    std::function<void(CommandLine&)> expect;  // applied to a default line; empty when it must fail
    std::string error;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

LineCase Ok(const char* name, std::vector<std::string_view> arguments, std::function<void(CommandLine&)> expect,
            std::optional<std::string_view> variable = std::nullopt) {
    return {name, std::move(arguments), variable, std::move(expect), ""};
}

LineCase Fails(const char* name, std::vector<std::string_view> arguments, std::string error,
               std::optional<std::string_view> variable = std::nullopt) {
    return {name, std::move(arguments), variable, {}, std::move(error)};
}

std::function<void(CommandLine&)> InMode(SaverMode mode) {
    return [mode](CommandLine& c) { c.mode = mode; };
}

std::function<void(CommandLine&)> Hack(std::optional<std::uint32_t> window) {
    return [window](CommandLine& c) {
        c.mode = SaverMode::Hack;
        c.windowId = window;
    };
}

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, ParsesOrSaysWhatIsWrong) {
    const LineCase& c = GetParam();
    if (c.expect) {
        CommandLine expected;
        c.expect(expected);
        EXPECT_EQ(expected, ParseCommandLine(c.arguments, c.variable));
        return;
    }
    try {
        const CommandLine parsed = ParseCommandLine(c.arguments, c.variable);
        ADD_FAILURE() << "parsed without complaint: " << ::testing::PrintToString(parsed);
    } catch (const CommandLineError& e) {
        EXPECT_EQ(c.error, e.GetMessage());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CommandLineTest,
    ::testing::Values(
        Ok("NoArgumentsIsAWindow", {}, InMode(SaverMode::Window)),
        Ok("Window", {"--window"}, InMode(SaverMode::Window)),
        Ok("FullscreenShort", {"-s"}, InMode(SaverMode::Fullscreen)),
        Ok("FullscreenShortTwoDashes", {"--s"}, InMode(SaverMode::Fullscreen)),
        Ok("FullscreenLong", {"--fullscreen"}, InMode(SaverMode::Fullscreen)),
        Ok("FullscreenLongOneDash", {"-fullscreen"}, InMode(SaverMode::Fullscreen)),
        Ok("SameModeTwice", {"-s", "--fullscreen"}, InMode(SaverMode::Fullscreen)),
        Ok("DebugShort", {"-d"}, InMode(SaverMode::Debug)),
        Ok("DebugLong", {"--debug"}, InMode(SaverMode::Debug)),
        Ok("ConfigShort", {"-c"}, InMode(SaverMode::Config)),
        Ok("ConfigLong", {"--config"}, InMode(SaverMode::Config)),
        Ok("RootOneDash", {"-root"}, Hack(std::nullopt)),
        Ok("RootTwoDashes", {"--root"}, Hack(std::nullopt)),
        Ok("WindowIdDecimal", {"-window-id", "44040199"}, Hack(44040199)),
        Ok("WindowIdHex", {"--window-id", "0x2a00007"}, Hack(0x2A00007)),
        Ok("WindowIdUpperHex", {"-window-id", "0X2A00007"}, Hack(0x2A00007)),
        Ok("WindowIdAfterEquals", {"--window-id=0x10"}, Hack(16)),
        Ok("WindowIdLargest", {"-window-id", "0xFFFFFFFF"}, Hack(0xFFFFFFFFu)),
        Ok("WindowIdLargestDecimal", {"-window-id", "4294967295"}, Hack(0xFFFFFFFFu)),
        Ok("RootAndWindowIdAreOneMode", {"--root", "--window-id", "0x400001"}, Hack(0x400001)),
        Ok("Record", {"--record", "show.gif", "--seconds", "20"},
           [](CommandLine& c) {
               c.mode = SaverMode::Record;
               c.outputPath = "show.gif";
               c.recordSeconds = 20;
           }),
        Ok("RecordSecondsFirstWithEquals", {"-seconds=2.5", "-record=out/a b.gif"},
           [](CommandLine& c) {
               c.mode = SaverMode::Record;
               c.outputPath = "out/a b.gif";
               c.recordSeconds = 2.5;
           }),
        Ok("RecordToAFileNamedLikeAnOption", {"--record", "-s", "--seconds", "1"},
           [](CommandLine& c) {
               c.mode = SaverMode::Record;
               c.outputPath = "-s";
               c.recordSeconds = 1;
           }),
        Ok("Screenshot", {"--screenshot", "frame.png", "--at", "3.5"},
           [](CommandLine& c) {
               c.mode = SaverMode::Screenshot;
               c.outputPath = "frame.png";
               c.screenshotSeconds = 3.5;
           }),
        Ok("ScreenshotAtTheStart", {"--screenshot=f.png", "--at=0"},
           [](CommandLine& c) {
               c.mode = SaverMode::Screenshot;
               c.outputPath = "f.png";
           }),
        Ok("ListScenes", {"--list-scenes"}, InMode(SaverMode::ListScenes)),
        Ok("ListScenesOneDash", {"-list-scenes"}, InMode(SaverMode::ListScenes)),
        Ok("Help", {"--help"}, InMode(SaverMode::Help)),
        Ok("HelpOneDash", {"-help"}, InMode(SaverMode::Help)),
        Ok("HelpShort", {"-h"}, InMode(SaverMode::Help)),
        Ok("HelpWinsOverAMode", {"-s", "--help"}, InMode(SaverMode::Help)),
        Ok("HelpBeforeABadValue", {"--help", "--seconds", "x"}, InMode(SaverMode::Help)),
        Ok("DoubleDashEndsTheOptions", {"-d", "--"}, InMode(SaverMode::Debug))),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

INSTANTIATE_TEST_SUITE_P(
    DaemonVariable, CommandLineTest,
    ::testing::Values(
        Ok("AloneIsAHack", {}, Hack(0x2A00007), "0x2A00007"),
        Ok("WithRoot", {"-root"}, Hack(0x2A00007), "0x2A00007"),
        Ok("WithRootTwoDashes", {"--root"}, Hack(0x2A00007), "0x2A00007"),
        Ok("LowerCaseHex", {"-root"}, Hack(0xABCDEF), "0xabcdef"),
        Ok("Decimal", {"-root"}, Hack(1234), "1234"),
        Ok("WithOnlyOverrides", {"--seed", "7"},
           [](CommandLine& c) {
               Hack(0x2A00007)(c);
               c.seed = 7;
           },
           "0x2A00007"),
        Ok("WithIgnoredHackFlags", {"-install", "-visual", "0x21", "-fps"}, Hack(0x2A00007), "0x2A00007"),
        Ok("ExplicitWindowIdWins", {"-root", "-window-id", "0x400001"}, Hack(0x400001), "0x2A00007"),
        Ok("ExplicitWindowIdWinsOverGarbage", {"-window-id", "17"}, Hack(17), "garbage"),
        Ok("IgnoredByFullscreen", {"-s"}, InMode(SaverMode::Fullscreen), "0x2A00007"),
        Ok("IgnoredByWindow", {"--window"}, InMode(SaverMode::Window), "0x2A00007"),
        Ok("IgnoredByDebug", {"-d"}, InMode(SaverMode::Debug), "0x2A00007"),
        Ok("IgnoredByConfig", {"-c"}, InMode(SaverMode::Config), "garbage"),
        Ok("IgnoredByRecord", {"--record", "a.gif", "--seconds", "1"},
           [](CommandLine& c) {
               c.mode = SaverMode::Record;
               c.outputPath = "a.gif";
               c.recordSeconds = 1;
           },
           "0x2A00007"),
        Ok("EmptyIsNotSet", {}, InMode(SaverMode::Window), ""),
        Ok("EmptyWithRootIsTheRootWindow", {"-root"}, Hack(std::nullopt), ""),
        Fails("Garbage", {}, "XSCREENSAVER_WINDOW: \"garbage\" is not a window id (decimal or 0x hex)", "garbage"),
        Fails("GarbageWithRoot", {"-root"}, "XSCREENSAVER_WINDOW: \"0xWINDOW\" is not a window id (decimal or 0x hex)",
              "0xWINDOW"),
        Fails("Overflow", {"-root"}, "XSCREENSAVER_WINDOW: 0x100000000 is out of range (1 to 0xFFFFFFFF)",
              "0x100000000"),
        Fails("Zero", {}, "XSCREENSAVER_WINDOW: 0x0 is out of range (1 to 0xFFFFFFFF)", "0x0"),
        Fails("TrailingSpace", {}, "XSCREENSAVER_WINDOW: \"0x2A00007 \" is not a window id (decimal or 0x hex)",
              "0x2A00007 ")),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

INSTANTIATE_TEST_SUITE_P(
    WindowIds, CommandLineTest,
    ::testing::Values(
        Fails("Letters", {"-window-id", "abc"}, "--window-id: \"abc\" is not a window id (decimal or 0x hex)"),
        Fails("HexWithoutDigits", {"-window-id", "0x"}, "--window-id: \"0x\" is not a window id (decimal or 0x hex)"),
        Fails("HexWithBadDigits", {"-window-id", "0x12G"},
              "--window-id: \"0x12G\" is not a window id (decimal or 0x hex)"),
        Fails("DecimalWithHexDigits", {"-window-id", "12a"},
              "--window-id: \"12a\" is not a window id (decimal or 0x hex)"),
        Fails("Negative", {"-window-id", "-5"}, "--window-id: \"-5\" is not a window id (decimal or 0x hex)"),
        Fails("Signed", {"-window-id", "+5"}, "--window-id: \"+5\" is not a window id (decimal or 0x hex)"),
        Fails("Empty", {"-window-id="}, "--window-id: \"\" is not a window id (decimal or 0x hex)"),
        Fails("Zero", {"-window-id", "0"}, "--window-id: 0 is out of range (1 to 0xFFFFFFFF)"),
        Fails("JustOverDecimal", {"-window-id", "4294967296"},
              "--window-id: 4294967296 is out of range (1 to 0xFFFFFFFF)"),
        Fails("JustOverHex", {"-window-id", "0x100000000"},
              "--window-id: 0x100000000 is out of range (1 to 0xFFFFFFFF)"),
        Fails("BeyondSixtyFourBits", {"-window-id", "99999999999999999999999"},
              "--window-id: 99999999999999999999999 is out of range (1 to 0xFFFFFFFF)"),
        Fails("Missing", {"-root", "-window-id"}, "--window-id needs a value (ID)")),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Conflicts, CommandLineTest,
    ::testing::Values(
        Fails("FullscreenAndRecord", {"-s", "--record", "a.gif", "--seconds", "2"},
              "--fullscreen and --record cannot be used together"),
        Fails("RootAndFullscreen", {"-root", "-s"}, "--root and --fullscreen cannot be used together"),
        Fails("WindowIdAndDebug", {"-window-id", "5", "-d"}, "--window-id and --debug cannot be used together"),
        Fails("ConfigAndDebug", {"-c", "-d"}, "--config and --debug cannot be used together"),
        Fails("WindowAndFullscreen", {"--window", "--fullscreen"}, "--window and --fullscreen cannot be used together"),
        Fails("RecordAndScreenshot", {"--record", "a.gif", "--screenshot", "b.png"},
              "--record and --screenshot cannot be used together"),
        Fails("ListScenesAndConfig", {"--list-scenes", "--config"},
              "--list-scenes and --config cannot be used together"),
        Fails("ThirdModeNamesTheFirst", {"-s", "-s", "-c"}, "--fullscreen and --config cannot be used together"),
        Fails("RecordWithoutSeconds", {"--record", "a.gif"}, "--record needs --seconds N"),
        Fails("SecondsWithoutRecord", {"--seconds", "5"}, "--seconds goes with --record FILE.gif"),
        Fails("SecondsWithScreenshot", {"--screenshot", "a.png", "--at", "1", "--seconds", "5"},
              "--seconds goes with --record FILE.gif"),
        Fails("ScreenshotWithoutAt", {"--screenshot", "a.png"}, "--screenshot needs --at SECONDS"),
        Fails("AtWithoutScreenshot", {"-s", "--at", "3"}, "--at goes with --screenshot FILE.png")),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Overrides, CommandLineTest,
    ::testing::Values(
        Ok("Every", {"--dir", "/opt/show", "--skin", "Tiger", "--engine", "2", "--sound", "off", "--seed", "7",
                     "--size", "640x480", "--scale", "2", "--scene", "a.RCS", "--scene", "b.RCS"},
           [](CommandLine& c) {
               c.dir = "/opt/show";
               c.skin = "Tiger";
               c.engine = "2";
               c.sound = false;
               c.seed = 7;
               c.width = 640;
               c.height = 480;
               c.scale = 2;
               c.scenes = {"a.RCS", "b.RCS"};
           }),
        Ok("OneDashAndEquals", {"-skin=Moo", "-sound=on", "-scene=x/y.RCS"},
           [](CommandLine& c) {
               c.skin = "Moo";
               c.sound = true;
               c.scenes = {"x/y.RCS"};
           }),
        Ok("WithARecording", {"--record", "s.gif", "--seconds", "20", "--seed", "7", "--size", "320x200"},
           [](CommandLine& c) {
               c.mode = SaverMode::Record;
               c.outputPath = "s.gif";
               c.recordSeconds = 20;
               c.seed = 7;
               c.width = 320;
               c.height = 200;
           }),
        Ok("LastSkinCounts", {"--skin", "Moo", "--skin", "Tiger"}, [](CommandLine& c) { c.skin = "Tiger"; }),
        Ok("SeedZero", {"--seed", "0"}, [](CommandLine& c) { c.seed = 0; }),
        Ok("SeedLargest", {"--seed", "4294967295"}, [](CommandLine& c) { c.seed = 4294967295u; }),
        Ok("IgnoredHackFlags",
           {"-root", "-install", "-noinstall", "-visual", "default", "-fps", "-no-fps", "-mono", "-pair", "-display",
            ":0", "--geometry", "800x600+0+0"},
           Hack(std::nullopt)),
        Fails("SkinWithAFolder", {"--skin", "../Skins/Moo"},
              "--skin: \"../Skins/Moo\" is not a bare name (no \"/\", \"\\\" or \":\", not \".\" or \"..\")"),
        Fails("SkinWithABackslash", {"--skin", "a\\b"},
              "--skin: \"a\\b\" is not a bare name (no \"/\", \"\\\" or \":\", not \".\" or \"..\")"),
        Fails("EngineParent", {"--engine", ".."},
              "--engine: \"..\" is not a bare name (no \"/\", \"\\\" or \":\", not \".\" or \"..\")"),
        Fails("EngineEmpty", {"--engine="},
              "--engine: \"\" is not a bare name (no \"/\", \"\\\" or \":\", not \".\" or \"..\")"),
        Fails("SoundMaybe", {"--sound", "maybe"}, "--sound: \"maybe\" is not one of on, off"),
        Fails("SeedNegative", {"--seed", "-1"}, "--seed: -1 is out of range (0 to 4294967295)"),
        Fails("SeedTooLarge", {"--seed", "4294967296"}, "--seed: 4294967296 is out of range (0 to 4294967295)"),
        Fails("SeedWord", {"--seed", "lucky"}, "--seed: \"lucky\" is not a whole number"),
        Fails("SizeWithoutX", {"--size", "640"}, "--size: \"640\" is not a size like 640x480"),
        Fails("SizeZero", {"--size", "0x480"}, "--size: 0x480 is out of range (1x1 to 8192x8192)"),
        Fails("SizeTooLarge", {"--size", "9000x480"}, "--size: 9000x480 is out of range (1x1 to 8192x8192)"),
        Fails("ScaleZero", {"--scale", "0"}, "--scale: 0 is out of range (1 to 8)"),
        Fails("ScaleFraction", {"--scale", "1.5"}, "--scale: \"1.5\" is not a whole number"),
        Fails("DirEmpty", {"--dir="}, "--dir needs a value (DIR)"),
        Fails("SceneEmpty", {"--scene", ""}, "--scene needs a value (FILE)")),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Errors, CommandLineTest,
    ::testing::Values(
        Fails("SecondsNotANumber", {"--record", "a.gif", "--seconds", "x"}, "--seconds: \"x\" is not a number"),
        Fails("SecondsDecimalComma", {"--record", "a.gif", "--seconds", "2,5"}, "--seconds: \"2,5\" is not a number"),
        Fails("SecondsZero", {"--record", "a.gif", "--seconds", "0"}, "--seconds: 0 is out of range (1 to 3600)"),
        Fails("SecondsTooMany", {"--record", "a.gif", "--seconds", "3601"},
              "--seconds: 3601 is out of range (1 to 3600)"),
        Fails("AtNegative", {"--screenshot", "a.png", "--at", "-1"}, "--at: -1 is out of range (0 to 86400)"),
        Fails("RecordWithoutFile", {"--record"}, "--record needs a value (FILE.gif)"),
        Fails("RecordEmptyFile", {"--record=", "--seconds", "1"}, "--record needs a value (FILE.gif)"),
        Fails("ScreenshotEmptyFile", {"--screenshot", "", "--at", "1"}, "--screenshot needs a value (FILE.png)"),
        Fails("FlagGivenAValue", {"-s=yes"}, "--fullscreen takes no value"),
        Fails("UnknownOneDash", {"-x"}, "unknown option \"-x\""),
        Fails("UnknownTwoDashes", {"--frobnicate"}, "unknown option \"--frobnicate\""),
        Fails("NoSubstringOfAMode", {"-sd"}, "unknown option \"-sd\""),
        Fails("NoPrefixOfAMode", {"--root-window"}, "unknown option \"--root-window\""),
        Fails("CaseMatters", {"-S"}, "unknown option \"-S\""),
        Fails("WindowsGrammarIsNotOurs", {"/s"}, "unexpected argument \"/s\""),
        Fails("Positional", {"show.gif"}, "unexpected argument \"show.gif\""),
        Fails("LoneDash", {"-"}, "unexpected argument \"-\""),
        Fails("AfterDoubleDash", {"--", "-s"}, "unexpected argument \"-s\""),
        Fails("IgnoredFlagStillNeedsItsValue", {"-root", "-visual"}, "--visual needs a value (ID)")),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(CommandLine, ProgramPathIsNeverRead) {
    // An install path full of mode letters changes nothing.
    const char* const argv[] = {"/opt/a-d-c-s/-s", "--record", "x.gif", "--seconds", "3"};
    const CommandLine line = ParseCommandLine(5, argv, nullptr);
    EXPECT_EQ(SaverMode::Record, line.mode);
    EXPECT_EQ("x.gif", line.outputPath);

    const char* const alone[] = {"-d"};
    EXPECT_EQ(SaverMode::Window, ParseCommandLine(1, alone, nullptr).mode);
}

TEST(CommandLine, MainArgumentsSeeTheDaemonVariable) {
    const char* const argv[] = {"vexmon", "-root"};
    const CommandLine line = ParseCommandLine(2, argv, "0x2A00007");
    EXPECT_EQ(SaverMode::Hack, line.mode);
    EXPECT_EQ(std::optional<std::uint32_t>(0x2A00007), line.windowId);
    EXPECT_FALSE(ParseCommandLine(2, argv, nullptr).windowId.has_value());
}

TEST(CommandLine, HelpListsEveryMode) {
    const std::string help = CommandLineHelp();
    for (const char* label :
         {"--window", "-s, --fullscreen", "-d, --debug", "--root", "--window-id ID", "-c, --config",
          "--record FILE.gif", "--seconds N", "--screenshot FILE.png", "--at SECONDS", "--list-scenes", "-h, --help",
          "--dir DIR", "--skin NAME", "--engine N", "--sound on|off", "--seed S", "--size WxH", "--scale N",
          "--scene FILE", "XSCREENSAVER_WINDOW", "-install, -noinstall, -visual ID, -fps, -no-fps, -mono, -pair, "
                                                 "-display D, -geometry G."})
        EXPECT_NE(std::string::npos, help.find(label)) << label;
}

TEST(CommandLine, EveryOptionTheHelpListsIsAccepted) {
    // Rows are "  [-x, ]--name [VALUE]  text", then the ignored flags as
    // "  -name[ VALUE], ...": the parser must know every name the help shows.
    const auto known = [](const std::string& option, const std::string& row) {
        const std::vector<std::string_view> arguments{option, "1"};
        try {
            ParseCommandLine(arguments, std::nullopt);
        } catch (const CommandLineError& e) {
            EXPECT_EQ(std::string::npos, e.GetMessage().find("unknown option")) << row;
        }
    };
    std::istringstream rows(CommandLineHelp());
    std::string row;
    int checked = 0;
    while (std::getline(rows, row)) {
        if (!row.starts_with("  -")) continue;
        if (const std::size_t start = row.find("--"); start != std::string::npos) {
            known(row.substr(start, row.find(' ', start) - start), row);
            ++checked;
            continue;
        }
        std::istringstream words(row);
        for (std::string word; words >> word;)
            if (word.starts_with("-")) {
                if (word.ends_with(",") || word.ends_with(".")) word.pop_back();
                known(word, row);
                ++checked;
            }
    }
    EXPECT_EQ(20 + 9, checked);
}

}  // namespace
}  // namespace quellmoor
