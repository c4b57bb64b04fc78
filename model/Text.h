// Text helpers shared by the component model.
//
// Names in the engine compare ignoring ASCII letter case. The numeric
// conversions follow the C library's forgiving rules (leading blanks, optional
// sign, stop at the first stray character, never an error) but parse in 64 bits
// and saturate, so "FFFFFFFF" gives the same value on every platform.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quellmoor {

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);

// Returns the part of `text` before the first `separator` and removes that part
// and the separator from `text`; without a separator returns all and empties it.
std::string SplitOff(std::string& text, std::string_view separator);

bool TextToBool(std::string_view text);                     // "True", any case
std::int32_t TextToInt(std::string_view text);              // atoi rules
std::int32_t TextToLong(std::string_view text, int base = 10);  // strtol rules
double TextToFloat(std::string_view text);                  // atof rules, C locale

}  // namespace quellmoor
