// What Vexmon says about itself: the configure program's dialog, and the box
// the screensaver shows instead when that program is not beside it.
#pragma once

namespace quellmoor {

inline constexpr const char* kAboutTitle = "About Vexmon";
inline constexpr const char* kAboutText =
    "Vexmon is a screensaver: a space ship hangs in the middle of the screen while "
    "stars drift by, and from time to time the mascot lands on a planet, meets a "
    "visitor, or sits inside the ship and talks.\r\n\r\n"
    "Press S while it runs to switch the sounds off or on; any other key, a click "
    "or a mouse movement ends it.";

}  // namespace quellmoor
