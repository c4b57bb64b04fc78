// The backends this build has, listed and made in one place, so every program
// offers the same names and a new backend is added here once.
//
//   for (std::string_view name : BackendNames()) ...       // "headless", "sdl", ...
//   auto backend = CreateBackend("headless", {.content = bytes});
//   SetCurrentPlatform(backend.get());
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace quellmoor::platform {

struct BackendOptions {
    std::vector<std::uint8_t> content;    // the embedded main component stream
    bool realClock = false;               // headless: the steady clock instead of the virtual one
    PixelRect desktop{0, 0, 1024, 768};   // headless: the desktop it reports
};

// Names of the backends built in, the windowless one first.
std::vector<std::string_view> BackendNames();
// The backend that shows a window when this build has one, else "headless".
std::string_view DefaultBackendName();
// Throws RParamException for a name not in BackendNames(); a backend that
// cannot start (no display) throws what it throws.
std::unique_ptr<Platform> CreateBackend(std::string_view name, BackendOptions options);

}  // namespace quellmoor::platform
