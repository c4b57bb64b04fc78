#include "saver/WindowsCommandLine.h"

#include <limits>

namespace quellmoor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The program path: up to the closing quote when it starts with one (no escapes
// there), else up to the first blank.
std::size_t ProgramPathEnd(std::string_view line, std::string& path) {
    std::size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        path.assign(line.substr(1, end - 1));
        return close == std::string_view::npos ? line.size() : close + 1;
    }
    while (i < line.size() && !IsBlank(line[i])) ++i;
    path.assign(line.substr(0, i));
    return i;
}

// One argument starting at `i` (not a blank): 2n backslashes before a quote
// give n and the quote groups; 2n+1 give n and a literal quote.
std::string NextArgument(std::string_view line, std::size_t& i) {
    std::string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
        std::size_t slashes = 0;
        while (i < line.size() && line[i] == '\\') {
            ++slashes;
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            argument.append(slashes / 2, '\\');
            if (slashes % 2 == 1) {
                argument.push_back('"');
            } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                argument.push_back('"');  // "" inside quotes is one quote
                ++i;
            } else {
                quoted = !quoted;
            }
            ++i;
            continue;
        }
        argument.append(slashes, '\\');
        if (i < line.size() && (quoted || !IsBlank(line[i]))) argument.push_back(line[i++]);
    }
    return argument;
}

struct Switch {
    char letter = 0;
    std::optional<std::string_view> value;  // what followed ":"
};

// "/x", "-x", "/x:value", "-X:value"; anything else is no switch.
std::optional<Switch> ReadSwitch(std::string_view argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return std::nullopt;
    if (argument.size() > 2 && argument[2] != ':') return std::nullopt;
    Switch found{Lower(argument[1]), std::nullopt};
    if (argument.size() > 2) found.value = argument.substr(3);
    return found;
}

bool LooksLikeSwitch(std::string_view argument) { return ReadSwitch(argument).has_value(); }

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The handle after ":" or in the next argument. `required` switches fail without one.
std::optional<std::uint32_t> HandleOf(const Switch& found, std::span<const std::string> arguments, std::size_t& next,
                                      bool required) {
    const std::string name = std::string("/") + found.letter;
    std::optional<std::string_view> text = found.value;
    if (!text && next < arguments.size() && !LooksLikeSwitch(arguments[next])) text = arguments[next++];
    if (!text || text->empty()) {
        if (required) throw WindowsCommandLineError(name + ": a window handle is needed.");
        return std::nullopt;
    }
    const std::optional<std::uint32_t> handle = ParseWindowHandle(*text);
    if (!handle) throw WindowsCommandLineError(name + ": " + Quoted(*text) + " is not a window handle.");
    return handle;
}

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine) {
    std::vector<std::string> parts(1);
    std::size_t i = ProgramPathEnd(commandLine, parts[0]);
    while (true) {
        while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
        if (i >= commandLine.size()) break;
        parts.push_back(NextArgument(commandLine, i));
    }
    return parts;
}

std::optional<std::uint32_t> ParseWindowHandle(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    }
    if (value == 0) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

WindowsCommandLine ParseWindowsArguments(std::span<const std::string> arguments) {
    // Windows asks for configuration by starting the saver with nothing at all.
    if (arguments.empty()) return {};
    for (std::size_t i = 0; i < arguments.size();) {
        const std::optional<Switch> found = ReadSwitch(arguments[i++]);
        if (!found) continue;
        switch (found->letter) {
            case 's': return {WinSaverMode::Run, std::nullopt};
            case 'd': return {WinSaverMode::Debug, std::nullopt};
            case 'p': return {WinSaverMode::Preview, HandleOf(*found, arguments, i, true)};
            case 'c': return {WinSaverMode::Config, HandleOf(*found, arguments, i, false)};
            case 'a': return {WinSaverMode::ChangePassword, HandleOf(*found, arguments, i, false)};
            default: break;
        }
    }
    return {WinSaverMode::Run, std::nullopt};
}

WindowsCommandLine ParseWindowsCommandLine(std::string_view commandLine) {
    const std::vector<std::string> parts = SplitWindowsCommandLine(commandLine);
    return ParseWindowsArguments(std::span<const std::string>(parts).subspan(1));
}

}  // namespace quellmoor
