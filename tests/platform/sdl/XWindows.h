// Windows made the way another program makes them: through its own X
// connection. Kept apart so Xlib's macros (None, Bool, ...) never meet GoogleTest.
#pragma once

#include <memory>

#include "tests/platform/headless/ForeignWindows.h"

namespace quellmoor::testing {

std::unique_ptr<ForeignWindows> MakeXForeignWindows();

}  // namespace quellmoor::testing
