// What `vexmon` prints without showing anything: `--config` (where the
// settings file is and the "Vexmon" keys with their values) and
// `--list-scenes` (every scene of Dir with its class, weight and preferred
// successor, then the files left out and why).
#pragma once

#include "saver/CommandLine.h"

namespace quellmoor {

// Each returns the program's exit status.
int PrintConfig(const CommandLine& line);
int ListScenes(const CommandLine& line);

}  // namespace quellmoor
