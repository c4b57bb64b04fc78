// Where the Windows programs say what happened: the debugger's output always,
// and the file named by the environment variable VEXMON_LOG when it is set
// (lines end in CRLF). The tests read that file; users never see either.
//
//   LogLine("preview in window 1234");
#pragma once

#include <string>

namespace quellmoor {

void LogLine(const std::string& line);

}  // namespace quellmoor
