// The settings preview's opening: before the show starts in a small host
// window, the picture "Screen1" is shown for two seconds of the stage's clock,
// then the frame fades to "Screen2". The stage keeps its own background and
// image meanwhile and gets them back however the opening ends; the opening
// shows copies of the pictures, never surfaces the pictures own. Messages keep
// flowing while it waits, so a host that closes the window is heard at once.
// Without either picture the opening is skipped and the missing one reported
// once ("component Screen2 not found.").
//
//   if (stage.IsPreviewMode()) PlayPreviewOpening(stage);
#pragma once

namespace quellmoor {

class RDibStage;

inline constexpr double kPreviewOpeningHoldMs = 2000.0;

// Returns false when the opening was skipped or the stage began quitting.
bool PlayPreviewOpening(RDibStage& stage);

}  // namespace quellmoor
