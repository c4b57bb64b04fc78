// Reporting a problem once, without stopping the show.
//
// The show never raises a box for what goes wrong while it plays (a scene that
// cannot load, a setting that cannot be saved): each distinct message goes once
// to the report sink, standard error unless the program installs another (on
// Windows the debug output). Repeats of a message are dropped, so a fault hit
// on every 25 ms tick costs one line. At most kMaxReports distinct messages are
// remembered; after that one last line says further ones are dropped.
//
//   ReportOnce("The scene file Moon.RCS could not be read.");
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quellmoor {

using ReportSink = std::function<void(const std::string& message)>;

inline constexpr std::size_t kMaxReports = 1000;

// Sends `message` to the sink unless it was reported before.
void ReportOnce(const std::string& message);

// Installs where reports go; an empty sink restores standard error.
void SetReportSink(ReportSink sink);

// Forgets which messages were reported (a new run, or a test).
void ForgetReports();

}  // namespace quellmoor
