// The Windows screensaver command line as GetCommandLineA gives it: the
// program path never switches a mode, switches are whole arguments, and a bad
// window handle is refused with its message.
#include "saver/WindowsCommandLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quellmoor {

void PrintTo(const WindowsCommandLine& c, std::ostream* os) {
    *os << "{mode " << static_cast<int>(c.mode);
    if (c.window) *os << ", window " << *c.window;
    *os << "}";
}

namespace {

struct WinLineCase {
    const char* name;
    std::string line;
    std::optional<WindowsCommandLine> expected;  // none: it must fail with `error`
    std::string error;
};

void PrintTo(const WinLineCase& c, std::ostream* os) { *os << c.name; }

WinLineCase Ok(const char* name, std::string line, WinSaverMode mode,
               std::optional<std::uint32_t> window = std::nullopt) {
    return {name, std::move(line), WindowsCommandLine{mode, window}, ""};
}

WinLineCase Fails(const char* name, std::string line, std::string error) {
    return {name, std::move(line), std::nullopt, std::move(error)};
}

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

class WindowsCommandLineTest : public ::testing::TestWithParam<WinLineCase> {};

TEST_P(WindowsCommandLineTest, ParsesOrSaysWhatIsWrong) {
    const WinLineCase& c = GetParam();
    if (c.expected) {
        EXPECT_EQ(*c.expected, ParseWindowsCommandLine(c.line));
        return;
    }
    try {
        const WindowsCommandLine parsed = ParseWindowsCommandLine(c.line);
        ADD_FAILURE() << "parsed without complaint: " << ::testing::PrintToString(parsed);
    } catch (const WindowsCommandLineError& e) {
        EXPECT_EQ(c.error, e.GetMessage());
    }
}

using M = WinSaverMode;

INSTANTIATE_TEST_SUITE_P(
    Lines, WindowsCommandLineTest,
    ::testing::Values(
        Ok("NothingIsConfigure", "Vexmon.scr", M::Config),
        Ok("EmptyLineIsConfigure", "", M::Config),
        Ok("QuotedPathAloneIsConfigure", "\"C:\\Program Files\\Vexmon\\Vexmon.scr\"", M::Config),
        Ok("TrailingBlanksAreNoArguments", "Vexmon.scr   \t ", M::Config),
        Ok("RunLower", "Vexmon.scr /s", M::Run),
        Ok("RunUpper", "C:\\WINDOWS\\Vexmon.SCR /S", M::Run),
        Ok("RunWithDash", "Vexmon.scr -s", M::Run),
        Ok("UnknownArgumentsRun", "Vexmon.scr /x", M::Run),
        Ok("SwitchMustBeWhole", "Vexmon.scr /cfoo", M::Run),
        Ok("PreviewNextArgument", "Vexmon.scr /p 1234", M::Preview, 1234u),
        Ok("PreviewAfterColon", "Vexmon.scr /P:1234", M::Preview, 1234u),
        Ok("PreviewDash", "Vexmon.scr -p 77", M::Preview, 77u),
        Ok("PreviewLargestHandle", "Vexmon.scr /p 4294967295", M::Preview, 4294967295u),
        Ok("PreviewHandleQuoted", "Vexmon.scr /p \"1234\"", M::Preview, 1234u),
        Ok("ConfigureSwitch", "Vexmon.scr /c", M::Config),
        Ok("ConfigureUpperDash", "Vexmon.scr -C", M::Config),
        Ok("ConfigureWithParent", "Vexmon.scr /c:3301", M::Config, 3301u),
        Ok("ConfigureEmptyValue", "Vexmon.scr /c:", M::Config),
        Ok("ChangePassword", "Vexmon.scr /a 99", M::ChangePassword, 99u),
        Ok("ChangePasswordNoParent", "Vexmon.scr /a", M::ChangePassword),
        Ok("Debug", "Vexmon.scr /d", M::Debug),
        Ok("DebugUpperDash", "Vexmon.scr -D", M::Debug),
        Ok("FirstSwitchDecides", "Vexmon.scr /d /s", M::Debug),
        Ok("TabsSeparate", "Vexmon.scr\t/p\t42", M::Preview, 42u),
        // The install path is never searched for switches.
        Ok("QuotedPathWithDashC", "\"C:\\Games\\Space-c\\Vexmon.scr\" /s", M::Run),
        Ok("QuotedPathWithSlashD", "\"C:\\saver /d here\\Vexmon.scr\"", M::Config),
        Ok("PlainPathWithDashP", "C:\\x-p\\Vexmon.scr /s", M::Run),
        Ok("PathWithDashAAlone", "C:\\tools-a\\Vexmon.scr", M::Config),
        Ok("UnquotedPathWithBlankRuns", "C:\\Program Files\\Vexmon.scr /s", M::Run),
        Ok("QuotedArgumentHoldingSwitchText", "Vexmon.scr \"/p 5\"", M::Run),
        Fails("PreviewWithoutHandle", "Vexmon.scr /p", "/p: a window handle is needed."),
        Fails("PreviewFollowedBySwitch", "Vexmon.scr /p /s", "/p: a window handle is needed."),
        Fails("PreviewNotANumber", "Vexmon.scr /p abc", "/p: \"abc\" is not a window handle."),
        Fails("PreviewTrailingLetters", "Vexmon.scr /p 12x", "/p: \"12x\" is not a window handle."),
        Fails("PreviewZero", "Vexmon.scr /p 0", "/p: \"0\" is not a window handle."),
        Fails("PreviewTooLarge", "Vexmon.scr /p:4294967296", "/p: \"4294967296\" is not a window handle."),
        Fails("PreviewHex", "Vexmon.scr /p 0x10", "/p: \"0x10\" is not a window handle."),
        Fails("PreviewEmptyAfterColon", "Vexmon.scr /p:", "/p: a window handle is needed."),
        Fails("ConfigureBadParent", "Vexmon.scr /c:zz", "/c: \"zz\" is not a window handle."),
        Fails("ChangePasswordBadParent", "Vexmon.scr /a 9a", "/a: \"9a\" is not a window handle.")),
    CaseName<WinLineCase>);

struct SplitCase {
    const char* name;
    std::string line;
    std::vector<std::string> parts;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitWindowsCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitWindowsCommandLineTest, SplitsAsTheRuntimeDoes) {
    EXPECT_EQ(GetParam().parts, SplitWindowsCommandLine(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitWindowsCommandLineTest,
    ::testing::Values(
        SplitCase{"Empty", "", {""}},
        SplitCase{"QuotedProgramKeepsBackslashes", "\"C:\\a b\\\" /s", {"C:\\a b\\", "/s"}},
        SplitCase{"UnclosedQuotedProgram", "\"C:\\a b", {"C:\\a b"}},
        SplitCase{"QuotesGroup", "x \"a b\" c", {"x", "a b", "c"}},
        SplitCase{"EscapedQuote", "x a\\\"b", {"x", "a\"b"}},
        SplitCase{"EvenBackslashesBeforeQuote", "x \"a\\\\\" b", {"x", "a\\", "b"}},
        SplitCase{"BackslashesElsewhereKept", "x a\\\\b\\", {"x", "a\\\\b\\"}},
        SplitCase{"DoubledQuoteInsideQuotes", "x \"a\"\"b\"", {"x", "a\"b"}},
        SplitCase{"EmptyQuotedArgument", "x \"\" y", {"x", "", "y"}}),
    CaseName<SplitCase>);

}  // namespace
}  // namespace quellmoor
