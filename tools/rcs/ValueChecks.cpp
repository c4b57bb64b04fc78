#include "tools/rcs/ValueChecks.h"

#include <array>
#include <cctype>

#include "model/Text.h"

namespace rcs {

using quellmoor::EqualsIgnoreCase;

namespace {

bool IsNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') digits = true;
        else if (text[i] == '.' && !point) point = true;
        else return false;
    }
    return digits;
}

bool IsBoolean(std::string_view text) { return EqualsIgnoreCase(text, "True") || EqualsIgnoreCase(text, "False"); }

bool IsColour(std::string_view text) {
    if (text.size() != 12 || !EqualsIgnoreCase(text.substr(0, 6), "RGB24:")) return false;
    for (char c : text.substr(6))
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

bool AnyOf(std::string_view name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (EqualsIgnoreCase(name, n)) return true;
    return false;
}

}  // namespace

bool IsCoordinate(std::string_view text) {
    // The engine's coordinate reader: digits, one '.', '-' signs; at least one byte.
    if (text.empty()) return false;
    bool point = false, digits = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') digits = true;
        else if (c == '.' && !point) point = true;
        else if (c != '-') return false;
    }
    return digits;
}

bool IsInteger(std::string_view text) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    if (i >= text.size()) return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

bool IsDuration(std::string_view text) {
    return text.size() > 3 && EqualsIgnoreCase(text.substr(0, 3), "MS:") && IsNumber(text.substr(3));
}

std::string CheckValue(Place place, std::string_view property, std::string_view value) {
    const std::string name(property);
    if (place == Place::Frame) {
        if (EqualsIgnoreCase(property, "Transparent") && !IsColour(value))
            return name + " of a frame expects a colour such as RGB24:00FF00";
        if (AnyOf(property, {"HotSpotX", "HotSpotY"}) && !IsCoordinate(value))
            return name + " expects a coordinate (digits, one '.', '-')";
        if (EqualsIgnoreCase(property, "Surface")) return name + " expects 'bitmap FILE'";
        return {};
    }
    if (AnyOf(property, {"XPos", "YPos", "ZPos", "HotSpotX", "HotSpotY"}) && !IsCoordinate(value))
        return name + " expects a coordinate (digits, one '.', '-')";
    if (AnyOf(property, {"Visible", "Transparent", "ShowCursor", "Fullscreen", "HasFrame", "UseColor", "Enabled"}) &&
        !IsBoolean(value))
        return name + " expects True or False";
    if (AnyOf(property, {"TransColor", "BackColor"}) && !IsColour(value))
        return name + " expects a colour such as RGB24:00FF00";
    if (AnyOf(property, {"FrameLength", "Interval"}) && !IsNumber(value))
        return name + " expects a number of milliseconds";
    if (AnyOf(property, {"Surface", "Background"})) return name + " expects 'bitmap FILE'";
    if (AnyOf(property, {"Tag", "Contents"})) return name + " expects a 'lines' block";
    if (EqualsIgnoreCase(property, "FrameList")) return name + " expects a 'frames' block";
    if (EqualsIgnoreCase(property, "SequenceList")) return name + " expects a 'sequences' block";
    if (EqualsIgnoreCase(property, "Tupels")) return name + " expects a 'tupels' block";
    return {};
}

std::string CheckAssignments(std::string_view assignments) {
    std::string rest(assignments);
    while (!rest.empty()) {
        const std::string piece = quellmoor::SplitOff(rest, ";");
        if (piece.empty()) continue;
        const std::size_t eq = piece.find('=');
        if (eq == std::string::npos) return "assignment '" + piece + "' has no '='";
        const std::string_view key = std::string_view(piece).substr(0, eq);
        const std::string_view value = std::string_view(piece).substr(eq + 1);
        if (AnyOf(key, {"XPos", "YPos", "ZPos"})) {
            if (!IsNumber(value)) return "assignment '" + piece + "' needs a number";
        } else if (EqualsIgnoreCase(key, "Visible")) {
            if (!IsBoolean(value)) return "assignment '" + piece + "' needs True or False";
        } else if (EqualsIgnoreCase(key, "CurFrameName")) {
            if (value.empty()) return "assignment '" + piece + "' needs a frame name";
        } else {
            return "assignment '" + piece + "' has an unknown key (XPos, YPos, ZPos, Visible, CurFrameName)";
        }
    }
    return {};
}

std::string CheckClassName(std::string_view className) {
    static const std::array<const char*, 6> known{"RStage", "RPicture", "RSprite", "RTimer", "RText", "RDirector"};
    for (const char* k : known)
        if (EqualsIgnoreCase(className, k)) return {};
    return "unknown class '" + std::string(className) +
           "' (RStage, RPicture, RSprite, RTimer, RText, RDirector; quote it to keep it anyway)";
}

}  // namespace rcs
