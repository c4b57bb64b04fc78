// Windows has no FreeType here: tests written against the Linux drawing
// context get GDI's, which keeps the same contract (platform/Platform.h).
#include "platform/text/FontDrawingContext.h"
#include "platform/win32/Win32DrawingContext.h"

namespace quellmoor {

std::unique_ptr<platform::DrawingContext> CreateFontDrawingContext(const platform::IndexedCanvas& canvas) {
    return platform::CreateWin32DrawingContext(canvas);
}

}  // namespace quellmoor
