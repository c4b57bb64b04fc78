// Builds component streams byte by byte for tests.
#pragma once

#include <sstream>
#include <string>
#include <string_view>

namespace quellmoor::testing {

inline std::string Token(std::string_view content) {
    return std::to_string(content.size()) + "#" + std::string(content);
}

// A body token from already-encoded pairs.
inline std::string Body(std::string_view pairs) { return Token(pairs); }

inline std::string Pair(std::string_view name, std::string_view value) {
    return Token(name) + Token(value);
}

inline std::string Object(std::string_view className, std::string_view name, std::string_view pairs) {
    return Token(className) + Token(name) + Body(pairs);
}

inline std::string Stream(std::string_view headerLines, std::string_view objects) {
    return "RCS" + Token(headerLines) + std::string(objects);
}

}  // namespace quellmoor::testing
