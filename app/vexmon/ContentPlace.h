// Where vexmon looks for its content directory (scenes, Sounds/, Skins/) when
// the settings name none.
//
//   std::string dir = FindContentDir(host.GetProgramPath(), {.programDir = "/src/build/app/vexmon",
//                                                           .contentDir = "/src/build/content/Vexmon"});
//
// The build's own program uses the build's content. An installed program
// (/usr/bin/vexmon, or the hack in /usr/libexec/xscreensaver) uses the
// share/vexmon folder of the tree it was installed or unpacked into, so a
// package unpacked anywhere finds its own content. A copy of the build's
// program elsewhere falls back to the build's content; failing all that, the
// program's own folder.
#pragma once

#include <string>

namespace quellmoor {

// Where the build put its program and its content (absolute paths; either may be empty).
struct BuildPlaces {
    std::string programDir;
    std::string contentDir;
};

std::string FindContentDir(const std::string& programPath, const BuildPlaces& build);

}  // namespace quellmoor
