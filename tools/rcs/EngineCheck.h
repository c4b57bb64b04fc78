// rcs dump, and the engine's verdict on a stream.
//
// EngineRefusal loads a stream the way the program does: every animation class
// registered, on a stage without a window (headless drawing underneath), with
// the stage's own set-up events. It answers the message the program would
// show, or nothing when the stream loads. RunDump prints the stream's
// structure and fails (status 1, the engine's exact message on `err`) when the
// engine would refuse it, so an author learns from the tool whether the
// program will load the file.
//
//   if (auto message = rcs::EngineRefusal(bytes)) std::cerr << *message << "\n";
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace rcs {

std::optional<std::string> EngineRefusal(const std::string& bytes);

// Status 0 when the engine loads the stream and the dump could read it all, else 1.
int RunDump(const std::string& bytes, std::ostream& out, std::ostream& err);

}  // namespace rcs
