#include "tools/show-preview/HeadlessShow.h"

#include "animation/Registration.h"
#include "content/EmbeddedContent.h"
#if QM_HAVE_TEXT
#include "platform/text/FontDrawingContext.h"
#endif

namespace quellmoor {

namespace {

platform::HeadlessOptions ShowOptions(int width, int height) {
    return {.desktop = {0, 0, width, height},
            .keepScreen = false,
#if QM_HAVE_TEXT
            // Balloons speak, as in the programs.
            .drawingContexts = CreateFontDrawingContext
#endif
    };
}

}  // namespace

HeadlessShowHost::HeadlessShowHost(int width, int height) : host_(ShowOptions(width, height)) {
    const auto bytes = EmbeddedMainStream();
    host_.SetEmbeddedContent({bytes.begin(), bytes.end()});
    platform::SetCurrentPlatform(&host_);
    RegisterAnimationClasses();
}

HeadlessShowHost::~HeadlessShowHost() { platform::SetCurrentPlatform(nullptr); }

}  // namespace quellmoor
