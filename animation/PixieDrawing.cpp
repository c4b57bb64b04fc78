#include "animation/PixieDrawing.h"

#include <cmath>

#include "imaging/Surface.h"
#include "stage/Pixie.h"
#include "stage/Stage.h"

namespace quellmoor {

std::unique_ptr<RSurface> MakeSurface(float width, float height) {
    if (RStage* stage = CurrentStage()) return stage->CreateSurface(width, height);
    return std::make_unique<RDibSurface>(width, height);
}

bool UpdateCoveredArea(RPixie& pixie, CoveredArea& area, float width, float height, std::uint64_t look) {
    const RRect now{pixie.GetXPos(), pixie.GetYPos(), width, height};
    const float depth = pixie.GetZPos();
    const bool sameDepth = depth == area.depth || (std::isnan(depth) && std::isnan(area.depth));
    // A pixie hidden in place must still repaint the area it covered.
    if (now == area.rect && sameDepth && look == area.look && pixie.GetVisible()) return false;
    RStage* stage = CurrentStage();
    if (stage && area.rect.width != 0) stage->InvalidRect(area.rect);
    if (pixie.GetVisible()) {
        if (stage) stage->InvalidRect(now);
        area.rect = now;
        area.depth = depth;
        area.look = look;
    } else {
        area.rect.width = 0;
    }
    return true;
}

void ReleaseCoveredArea(const CoveredArea& area) {
    RStage* stage = CurrentStage();
    if (stage && area.rect.width != 0) stage->InvalidRect(area.rect);
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
    // Where a whole copy lands: the copy floors the destination corner.
    const float left = std::floor(x), top = std::floor(y);
    const RRect area{left, top, width, height};
    for (const RRect& clip : *clipRects) {
        const RRect part = clip.Intersect(area);
        if (part.IsEmpty()) continue;
        // The part of the image that lands there, found in the mirrored
        // image when mirroring. Source rows count from the bottom.
        const float offsetX = part.x - left, offsetY = part.y - top;
        const float sourceX = mirrorHorizontal ? width - offsetX - part.width : offsetX;
        const float sourceTop = mirrorVertical ? height - offsetY - part.height : offsetY;
        destination.CopyFrom(&source, sourceX, height - sourceTop - part.height, part.width, part.height, part.x,
                             part.y, part.width, part.height, mirrorHorizontal, mirrorVertical);
    }
}

}  // namespace quellmoor
