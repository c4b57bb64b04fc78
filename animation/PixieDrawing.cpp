#include "animation/PixieDrawing.h"

#include "imaging/Surface.h"
#include "stage/Pixie.h"
#include "stage/Stage.h"

namespace quellmoor {

std::unique_ptr<RSurface> MakeSurface(float width, float height) {
    if (RStage* stage = CurrentStage()) return stage->CreateSurface(width, height);
    return std::make_unique<RDibSurface>(width, height);
}

bool UpdateCoveredArea(RPixie& pixie, RRect& bounds, float width, float height) {
    const RRect now{pixie.GetXPos(), pixie.GetYPos(), width, height};
    // A pixie hidden in place must still repaint the area it covered.
    if (now == bounds && pixie.GetVisible()) return false;
    RStage* stage = CurrentStage();
    if (stage && bounds.width != 0) stage->InvalidRect(bounds);
    if (pixie.GetVisible()) {
        if (stage) stage->InvalidRect(now);
        bounds = now;
    } else {
        bounds.width = 0;
    }
    return true;
}

void DrawSurfaceAt(RSurface& destination, RSurface& source, float x, float y,
                   const std::vector<RRect>* clipRects, bool mirrorHorizontal, bool mirrorVertical) {
    const float width = source.GetWidth();
    const float height = source.GetHeight();
    // Copying an empty rectangle would mean "the whole destination".
    if (width < 1 || height < 1) return;
    if (!clipRects || width * height <= 256) {
        destination.CopyFrom(&source, 0, 0, width, height, x, y, width, height, mirrorHorizontal, mirrorVertical);
        return;
    }
    const RRect area{x, y, width, height};
    for (const RRect& clip : *clipRects) {
        const RRect part = clip.Intersect(area);
        if (part.IsEmpty()) continue;
        // Source rows count from the bottom of the image.
        const float sourceY = height - (part.y - y) - part.height;
        destination.CopyFrom(&source, part.x - x, sourceY, part.width, part.height, part.x, part.y, part.width,
                             part.height, false, false);
    }
}

}  // namespace quellmoor
