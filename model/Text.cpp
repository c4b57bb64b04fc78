#include "model/Text.h"

#include <cctype>
#include <cstdlib>
#include <limits>

namespace quellmoor {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

std::int32_t Saturate(std::int64_t value) {
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value < lo ? lo : (value > hi ? hi : value));
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

std::string SplitOff(std::string& text, std::string_view separator) {
    const auto at = text.find(separator);
    if (at == std::string::npos || separator.empty()) {
        std::string all = std::move(text);
        text.clear();
        return all;
    }
    std::string head = text.substr(0, at);
    text.erase(0, at + separator.size());
    return head;
}

bool TextToBool(std::string_view text) { return EqualsIgnoreCase(text, "True"); }

std::int32_t TextToLong(std::string_view text, int base) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (base == 16 && i + 1 < text.size() && text[i] == '0' && LowerAscii(text[i + 1]) == 'x' &&
        i + 2 < text.size() && DigitValue(text[i + 2]) < 16)
        i += 2;
    // Accumulate with a ceiling so absurdly long digit runs cannot overflow.
    constexpr std::int64_t ceiling = std::int64_t{1} << 40;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base) break;
        if (value < ceiling) value = value * base + digit;
    }
    return Saturate(negative ? -value : value);
}

std::int32_t TextToInt(std::string_view text) { return TextToLong(text, 10); }

double TextToFloat(std::string_view text) {
    const std::string copy(text);  // strtod needs a terminated string
    return std::strtod(copy.c_str(), nullptr);
}

}  // namespace quellmoor
