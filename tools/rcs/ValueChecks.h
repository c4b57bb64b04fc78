// What each known property accepts, for the checks on bare source values.
//
// Authors get an error at compile time rather than a silent zero at run time:
// a coordinate that the engine's reader would reject, a boolean spelt "yes",
// a colour without "RGB24:", a keyframe assignment with an unknown key.
// CheckValue returns an empty text when the value is fine, else the problem.
#pragma once

#include <string>
#include <string_view>

namespace rcs {

enum class Place { Object, Frame, Header };

std::string CheckValue(Place place, std::string_view property, std::string_view value);
std::string CheckAssignments(std::string_view assignments);
std::string CheckClassName(std::string_view className);
bool IsCoordinate(std::string_view text);
bool IsDuration(std::string_view text);
bool IsInteger(std::string_view text);

}  // namespace rcs
