// Values of command-line options, read the same way by the saver's command
// line and the tools' option parser, so both take the same texts and refuse
// the rest in the same words.
//
// A number is the whole text: an optional "+", digits, for fractions a point;
// no blanks, no locale, nothing after it. A size is "WxH". A refusal names the
// option as "--name", quotes a bad value and writes a range as a person does
// ("0 to 10000000", never "1e+07"). Each reader throws `Error`, the caller's
// own exception (its constructor takes the message).
//
//   const double seconds = OptionNumber<CommandLineError>("seconds", "5", 0.0, 1e7);
//   const OptionSizeValue size = OptionSize<OptionError>("size", "640x480", 8192);
#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace quellmoor {

// Built by appending: GCC 12 wrongly warns (-Wrestrict) about "\"" + std::string(...) once inlined.
inline std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

// The whole text as a number; nullopt for anything else.
template <typename T>
std::optional<T> ParseWholeNumber(std::string_view text) {
    T value{};
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && text.front() == '+') {
        ++first;
        if (first != last && *first == '-') return std::nullopt;  // "+-1" is no number
    }
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc() || end != last) return std::nullopt;
    return value;
}

// Fixed notation for fractions, so a limit reads as it was written.
template <typename T>
std::string ShowNumber(T value) {
    char buffer[512];
    std::to_chars_result result{};
    if constexpr (std::is_floating_point_v<T>)
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    else
        result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// `text` as a number from `least` to `most`; "--option: ..." as `Error` otherwise.
template <typename Error, typename T>
T OptionNumber(std::string_view option, std::string_view text, T least, T most) {
    const std::string name = "--" + std::string(option);
    const std::optional<T> value = ParseWholeNumber<T>(text);
    if (!value)
        throw Error(name + ": " + Quoted(text) + " is not " +
                    (std::is_floating_point_v<T> ? "a number" : "a whole number"));
    if (!(*value >= least && *value <= most))
        throw Error(name + ": " + std::string(text) + " is out of range (" + ShowNumber(least) + " to " +
                    ShowNumber(most) + ")");
    return *value;
}

struct OptionSizeValue {
    int width = 0, height = 0;
};

// "WxH", each side from 1 to `most`; "--option: ..." as `Error` otherwise.
template <typename Error>
OptionSizeValue OptionSize(std::string_view option, std::string_view text, int most) {
    const std::string name = "--" + std::string(option);
    const auto x = text.find('x');
    const auto w = x == std::string_view::npos ? std::nullopt : ParseWholeNumber<int>(text.substr(0, x));
    const auto h = x == std::string_view::npos ? std::nullopt : ParseWholeNumber<int>(text.substr(x + 1));
    if (!w || !h) throw Error(name + ": " + Quoted(text) + " is not a size like 640x480");
    if (*w < 1 || *h < 1 || *w > most || *h > most)
        throw Error(name + ": " + std::string(text) + " is out of range (1x1 to " + ShowNumber(most) + "x" +
                    ShowNumber(most) + ")");
    return {*w, *h};
}

}  // namespace quellmoor
