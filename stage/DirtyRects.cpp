// The stage's dirty set: rectangles kept pairwise disjoint, integer aligned and
// inside the stage image, covering exactly what was invalidated.
#include <cmath>
#include <vector>

#include "imaging/Surface.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

bool Overlap(const RRect& a, const RRect& b) {
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

// Appends the parts of `piece` outside `taken`: a band above, a band below,
// and the left and right parts of the rows they share.
void AppendOutside(const RRect& piece, const RRect& taken, std::vector<RRect>& out) {
    if (piece.y < taken.y) out.push_back({piece.x, piece.y, piece.width, taken.y - piece.y});
    if (piece.Bottom() > taken.Bottom())
        out.push_back({piece.x, taken.Bottom(), piece.width, piece.Bottom() - taken.Bottom()});
    const float top = std::max(piece.y, taken.y);
    const float height = std::min(piece.Bottom(), taken.Bottom()) - top;
    if (piece.x < taken.x) out.push_back({piece.x, top, taken.x - piece.x, height});
    if (piece.Right() > taken.Right())
        out.push_back({taken.Right(), top, piece.Right() - taken.Right(), height});
}

}  // namespace

void RStage::InvalidRect(const RRect& rect) {
    if (rect.IsEmpty() || !stageImage_) return;
    // Whole pixels that touch the rectangle: floor the corner, one more pixel each way.
    const RRect aligned{std::floor(rect.x), std::floor(rect.y), std::floor(rect.width) + 1,
                        std::floor(rect.height) + 1};
    const RRect clipped = aligned.Intersect(stageImage_->GetRect());
    if (clipped.IsEmpty()) return;

    // Only the new rectangle is split, against every rectangle already in the
    // set, so the set stays disjoint and covers exactly the union.
    std::vector<RRect> pieces{clipped};
    std::vector<RRect> next;
    for (const RRect& known : dirty_) {
        next.clear();
        for (const RRect& piece : pieces) {
            if (Overlap(piece, known))
                AppendOutside(piece, known, next);
            else
                next.push_back(piece);
        }
        pieces.swap(next);
        if (pieces.empty()) return;
    }
    dirty_.insert(dirty_.end(), pieces.begin(), pieces.end());
}

}  // namespace quellmoor
