// Windows another program makes, as a backend's system knows them; the
// conformance suite drives them to test attaching, resizing and vanishing.
#pragma once

#include "platform/Platform.h"

namespace quellmoor::testing {

class ForeignWindows {
public:
    virtual ~ForeignWindows() = default;
    virtual platform::NativeWindow Make(int width, int height) = 0;
    virtual void Resize(platform::NativeWindow window, int width, int height) = 0;
    virtual void Remove(platform::NativeWindow window) = 0;
};

}  // namespace quellmoor::testing
