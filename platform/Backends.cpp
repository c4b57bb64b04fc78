#include "platform/Backends.h"

#include <string>

#include "model/Exceptions.h"
#include "platform/headless/HeadlessPlatform.h"
#if QM_HAVE_SDL
#include "platform/sdl/SdlPlatform.h"
#endif
#if QM_HAVE_TEXT
#include "platform/text/FontDrawingContext.h"
#endif
#if QM_HAVE_WIN32
#include "platform/win32/Win32DrawingContext.h"
#include "platform/win32/Win32Platform.h"
#endif

namespace quellmoor::platform {

std::vector<std::string_view> BackendNames() {
    return {"headless",
#if QM_HAVE_SDL
            "sdl",
#endif
#if QM_HAVE_WIN32
            "win32",
#endif
    };
}

std::string_view DefaultBackendName() { return BackendNames().back(); }

std::unique_ptr<Platform> CreateBackend(std::string_view name, BackendOptions options) {
    if (name == "headless") {
        // Programs never read Screen(); converting every frame to 24 bits would be wasted.
        auto headless = std::make_unique<HeadlessPlatform>(
            HeadlessOptions{.realClock = options.realClock,
                            .desktop = options.desktop,
                            .keepScreen = false,
#if QM_HAVE_TEXT
                            .drawingContexts = CreateFontDrawingContext
#elif QM_HAVE_WIN32
                            .drawingContexts = CreateWin32DrawingContext
#endif
            });
        headless->SetEmbeddedContent(std::move(options.content));
        return headless;
    }
#if QM_HAVE_SDL
    if (name == "sdl") return std::make_unique<SdlPlatform>(SdlOptions{.content = std::move(options.content)});
#endif
#if QM_HAVE_WIN32
    // Empty content: the program's own resource is read.
    if (name == "win32") return std::make_unique<Win32Platform>(Win32Options{.content = std::move(options.content)});
#endif
    std::string names;
    for (std::string_view known : BackendNames()) names += (names.empty() ? "" : ", ") + std::string(known);
    throw RParamException("unknown backend \"" + std::string(name) + "\" (this build has " + names + ")");
}

}  // namespace quellmoor::platform
