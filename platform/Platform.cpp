#include "platform/Platform.h"

#include <stdexcept>

namespace quellmoor::platform {

namespace {
Platform* current = nullptr;
}

Platform& CurrentPlatform() {
    if (!current) throw std::logic_error("No platform backend was made current.");
    return *current;
}

void SetCurrentPlatform(Platform* platform) { current = platform; }

bool HasCurrentPlatform() { return current != nullptr; }

}  // namespace quellmoor::platform
