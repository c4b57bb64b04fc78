// The show written to files: `vexmon --record FILE.gif --seconds N` and
// `vexmon --screenshot FILE.png --at S`. Both run headless on the virtual
// clock, so the seconds are show time and a run with the same --seed and
// --size writes the same file.
#pragma once

#include "saver/CommandLine.h"

namespace quellmoor {

// One GIF frame every kRecordFrameMs of show time.
inline constexpr double kRecordFrameMs = 40.0;

// Each returns the program's exit status.
int RecordShow(const CommandLine& line);
int TakeScreenshot(const CommandLine& line);

}  // namespace quellmoor
