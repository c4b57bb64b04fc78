#include "saver/CommandLine.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "model/OptionValues.h"
#include "scenes/ContentPaths.h"

namespace quellmoor {

namespace {

std::string Dashed(std::string_view name) { return "--" + std::string(name); }

// The tools' option parser reads numbers and sizes the same way (model/OptionValues.h).
template <typename T>
T ParseInRange(std::string_view option, std::string_view text, T least, T most) {
    return OptionNumber<CommandLineError>(option, text, least, most);
}

// X window ids are 32-bit; 0 is "no window". Decimal, or hex after "0x" in
// either case (the daemon writes upper-case hex).
std::uint32_t ParseWindowId(std::string_view source, std::string_view text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string_view digits = hex ? text.substr(2) : text;
    const auto isDigit = [hex](char c) {
        return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    };
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit))
        throw CommandLineError(std::string(source) + ": " + Quoted(text) + " is not a window id (decimal or 0x hex)");
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
    if (error != std::errc() || end != digits.data() + digits.size() || value == 0 || value > 0xFFFFFFFFu)
        throw CommandLineError(std::string(source) + ": " + std::string(text) + " is out of range (1 to 0xFFFFFFFF)");
    return static_cast<std::uint32_t>(value);
}

std::string BareName(std::string_view option, std::string_view text) {
    if (!IsBareName(text))
        throw CommandLineError(Dashed(option) + ": " + Quoted(text) +
                               " is not a bare name (no \"/\", \"\\\" or \":\", not \".\" or \"..\")");
    return std::string(text);
}

std::string NonEmpty(std::string_view option, std::string_view valueName, std::string_view text) {
    if (text.empty()) throw CommandLineError(Dashed(option) + " needs a value (" + std::string(valueName) + ")");
    return std::string(text);
}

struct ParseState {
    CommandLine line;
    std::optional<SaverMode> mode;
    std::string modeOption;  // the option that chose it, for a conflict's message
    bool root = false;
    std::optional<std::uint32_t> explicitWindow;
    bool secondsGiven = false, atGiven = false;
};

void ChooseMode(ParseState& state, SaverMode mode, std::string_view option) {
    if (state.mode && *state.mode != mode)
        throw CommandLineError(state.modeOption + " and " + Dashed(option) + " cannot be used together");
    if (!state.mode) state.modeOption = Dashed(option);
    state.mode = mode;
}

enum class Section { Mode, Override, Ignored };

struct OptionSpec {
    std::string_view name;       // compared after one or two dashes
    std::string_view alias;      // a second name, or empty
    std::string_view valueName;  // empty for a flag
    Section section;
    std::string_view help;
    void (*apply)(ParseState& state, std::string_view name, std::string_view value);
};

template <SaverMode M>
void Mode(ParseState& state, std::string_view name, std::string_view) {
    ChooseMode(state, M, name);
}

void Ignore(ParseState&, std::string_view, std::string_view) {}

constexpr std::array kOptions{
    OptionSpec{"window", "", "", Section::Mode, "a framed window (the default); Esc or closing it ends the show",
               Mode<SaverMode::Window>},
    OptionSpec{"fullscreen", "s", "", Section::Mode,
               "full screen; a key, a click or a mouse movement ends it",
               Mode<SaverMode::Fullscreen>},
    OptionSpec{"debug", "d", "", Section::Mode, "the debug window", Mode<SaverMode::Debug>},
    OptionSpec{"root", "", "", Section::Mode,
               "as an XScreenSaver hack: draw into the root window, or XSCREENSAVER_WINDOW's",
               [](ParseState& state, std::string_view name, std::string_view) {
                   ChooseMode(state, SaverMode::Hack, name);
                   state.root = true;
               }},
    OptionSpec{"window-id", "", "ID", Section::Mode, "as a hack: draw into the window ID (decimal or 0x hex)",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   ChooseMode(state, SaverMode::Hack, name);
                   state.explicitWindow = ParseWindowId(Dashed(name), value);
               }},
    OptionSpec{"config", "c", "", Section::Mode, "print where the settings file is, and its keys with their values",
               Mode<SaverMode::Config>},
    OptionSpec{"record", "", "FILE.gif", Section::Mode,
               "record the show without a window into an animated GIF (needs --seconds)",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   ChooseMode(state, SaverMode::Record, name);
                   state.line.outputPath = NonEmpty(name, "FILE.gif", value);
               }},
    OptionSpec{"seconds", "", "N", Section::Mode, "with --record: how many seconds of the show to record",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   state.line.recordSeconds = ParseInRange<double>(name, value, 1, 3600);
                   state.secondsGiven = true;
               }},
    OptionSpec{"screenshot", "", "FILE.png", Section::Mode, "save one frame of the show as a PNG file (needs --at)",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   ChooseMode(state, SaverMode::Screenshot, name);
                   state.line.outputPath = NonEmpty(name, "FILE.png", value);
               }},
    OptionSpec{"at", "", "SECONDS", Section::Mode, "with --screenshot: the time of that frame on the show's clock",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   state.line.screenshotSeconds = ParseInRange<double>(name, value, 0, 86400);
                   state.atGiven = true;
               }},
    OptionSpec{"list-scenes", "", "", Section::Mode,
               "every scene found (class, weight, successor) and the ones left out",
               Mode<SaverMode::ListScenes>},
    OptionSpec{"dir", "", "DIR", Section::Override, "the content folder (Dir)",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   state.line.dir = NonEmpty(name, "DIR", value);
               }},
    OptionSpec{"skin", "", "NAME", Section::Override, "the ship's skin, a file in Skins/ without \".bmp\" (Skin)",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   state.line.skin = BareName(name, value);
               }},
    OptionSpec{"engine", "", "N", Section::Override, "the engine's sound (Engine)",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   state.line.engine = BareName(name, value);
               }},
    OptionSpec{"sound", "", "on|off", Section::Override, "sound on or off (Sound)",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   if (value != "on" && value != "off")
                       throw CommandLineError(Dashed(name) + ": " + Quoted(value) + " is not one of on, off");
                   state.line.sound = value == "on";
               }},
    OptionSpec{"seed", "", "S", Section::Override, "seed the random numbers with S instead of the time",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   state.line.seed =
                       static_cast<std::uint32_t>(ParseInRange<std::int64_t>(name, value, 0, 4294967295LL));
               }},
    OptionSpec{"size", "", "WxH", Section::Override, "the window's or the recording's size",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   const OptionSizeValue size = OptionSize<CommandLineError>(name, value, 8192);
                   state.line.width = size.width;
                   state.line.height = size.height;
               }},
    OptionSpec{"scale", "", "N", Section::Override, "show each composed pixel N times as wide and high",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   state.line.scale = ParseInRange<int>(name, value, 1, 8);
               }},
    OptionSpec{"scene", "", "FILE", Section::Override, "play only this scene file; give it again for more, in turn",
               [](ParseState& state, std::string_view name, std::string_view value) {
                   state.line.scenes.push_back(NonEmpty(name, "FILE", value));
               }},
    OptionSpec{"install", "", "", Section::Ignored, "", Ignore},
    OptionSpec{"noinstall", "", "", Section::Ignored, "", Ignore},
    OptionSpec{"visual", "", "ID", Section::Ignored, "", Ignore},
    OptionSpec{"fps", "", "", Section::Ignored, "", Ignore},
    OptionSpec{"no-fps", "", "", Section::Ignored, "", Ignore},
    OptionSpec{"mono", "", "", Section::Ignored, "", Ignore},
    OptionSpec{"pair", "", "", Section::Ignored, "", Ignore},
    OptionSpec{"display", "", "D", Section::Ignored, "", Ignore},
    OptionSpec{"geometry", "", "G", Section::Ignored, "", Ignore},
};

const OptionSpec* FindOption(std::string_view name) {
    const auto found = std::find_if(kOptions.begin(), kOptions.end(), [name](const OptionSpec& option) {
        return option.name == name || (!option.alias.empty() && option.alias == name);
    });
    return found == kOptions.end() ? nullptr : &*found;
}

bool IsHelp(std::string_view name) { return name == "help" || name == "h"; }

void Finish(ParseState& state, std::optional<std::string_view> xscreensaverWindow) {
    CommandLine& line = state.line;
    if (state.mode == SaverMode::Record && !state.secondsGiven) throw CommandLineError("--record needs --seconds N");
    if (state.secondsGiven && state.mode != SaverMode::Record)
        throw CommandLineError("--seconds goes with --record FILE.gif");
    if (state.mode == SaverMode::Screenshot && !state.atGiven)
        throw CommandLineError("--screenshot needs --at SECONDS");
    if (state.atGiven && state.mode != SaverMode::Screenshot)
        throw CommandLineError("--at goes with --screenshot FILE.png");

    // The daemon's variable names the window for "-root" and for a bare start;
    // a window id given on the command line is the caller's explicit choice.
    const bool variableSet = xscreensaverWindow && !xscreensaverWindow->empty();
    if (state.explicitWindow) {
        line.windowId = state.explicitWindow;
    } else if (variableSet && (state.root || !state.mode)) {
        line.windowId = ParseWindowId("XSCREENSAVER_WINDOW", *xscreensaverWindow);
        state.mode = SaverMode::Hack;
    }
    line.mode = state.mode.value_or(SaverMode::Window);
}

// "-s, --fullscreen", "--record FILE.gif"; with dashes a single "-name".
std::string Label(const OptionSpec& option, std::string_view dashes = "--") {
    // Appended piece by piece: GCC 12 misreads "-" + std::string(...) (-Wrestrict).
    std::string label;
    if (!option.alias.empty()) label.append("-").append(option.alias).append(", ");
    label.append(dashes).append(option.name);
    if (!option.valueName.empty()) label.append(" ").append(option.valueName);
    return label;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string_view> arguments,
                             std::optional<std::string_view> xscreensaverWindow) {
    ParseState state;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--") {
            if (i + 1 < arguments.size()) throw CommandLineError("unexpected argument " + Quoted(arguments[i + 1]));
            break;
        }
        if (argument.size() < 2 || argument.front() != '-')
            throw CommandLineError("unexpected argument " + Quoted(argument));
        std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
        std::optional<std::string_view> value;
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (IsHelp(name) && !value) {
            CommandLine help;
            help.mode = SaverMode::Help;
            return help;
        }
        const OptionSpec* option = FindOption(name);
        if (!option) throw CommandLineError("unknown option " + Quoted(argument));
        if (option->valueName.empty()) {
            if (value) throw CommandLineError(Dashed(option->name) + " takes no value");
            option->apply(state, option->name, "");
            continue;
        }
        if (!value) {
            if (i + 1 == arguments.size())
                throw CommandLineError(Dashed(option->name) + " needs a value (" + std::string(option->valueName) + ")");
            value = arguments[++i];
        }
        option->apply(state, option->name, *value);
    }
    Finish(state, xscreensaverWindow);
    return state.line;
}

CommandLine ParseCommandLine(int argc, const char* const* argv, const char* xscreensaverWindow) {
    std::vector<std::string_view> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    std::optional<std::string_view> variable;
    if (xscreensaverWindow) variable = xscreensaverWindow;
    return ParseCommandLine(arguments, variable);
}

std::string CommandLineHelp() {
    std::size_t column = 0;
    for (const OptionSpec& option : kOptions)
        if (option.section != Section::Ignored) column = std::max(column, Label(option).size());
    const auto rows = [&](Section section) {
        std::string text;
        for (const OptionSpec& option : kOptions)
            if (option.section == section)
                text += "  " + Label(option) + std::string(column - Label(option).size() + 2, ' ') +
                        std::string(option.help) + "\n";
        return text;
    };
    std::string ignored;
    for (const OptionSpec& option : kOptions)
        if (option.section == Section::Ignored)
            ignored.append(ignored.empty() ? "" : ", ").append(Label(option, "-"));

    std::string text = "usage: vexmon [mode] [options]\n";
    text += "Vexmon, an animated screensaver: a space ship, a sky of stars drifting past, and scenes.\n\n";
    text += "Modes (one at a time; without one, a window):\n" + rows(Section::Mode);
    text += "  -h, --help" + std::string(column - 10 + 2, ' ') + "this text\n\n";
    text += "For one run (the settings file stays as it is):\n" + rows(Section::Override);
    text += "\nEvery option takes one dash or two; a value follows as the next argument or after \"=\".\n";
    text += "XSCREENSAVER_WINDOW in the environment names the window to draw into with -root or\n"
            "without a mode; -window-id wins over it.\n";
    text += "Accepted and ignored, as XScreenSaver passes them to every hack:\n  " + ignored + ".\n";
    return text;
}

}  // namespace quellmoor
