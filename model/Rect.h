// The engine's shared floating-point rectangle: x, y, width, height in pixels,
// y growing downwards. Empty when its width or height truncates to 0. RPoint
// is a position in the same pixels.
#pragma once

#include <algorithm>
#include <cmath>

namespace quellmoor {

struct RRect {
    float x = 0, y = 0, width = 0, height = 0;

    float Right() const { return x + width; }
    float Bottom() const { return y + height; }

    // A side that truncates to 0 (|side| < 1) or is not a number makes it empty.
    bool IsEmpty() const { return !(std::fabs(width) >= 1.0f) || !(std::fabs(height) >= 1.0f); }

    // Larger left and top, smaller right and bottom; no overlap gives all zeros.
    RRect Intersect(const RRect& other) const {
        const float left = std::max(x, other.x);
        const float top = std::max(y, other.y);
        const float right = std::min(Right(), other.Right());
        const float bottom = std::min(Bottom(), other.Bottom());
        if (right <= left || bottom <= top) return {};
        return {left, top, right - left, bottom - top};
    }

    RRect Offset(float dx, float dy) const { return {x + dx, y + dy, width, height}; }

    friend bool operator==(const RRect&, const RRect&) = default;
};

struct RPoint {
    float x = 0, y = 0;
    friend bool operator==(const RPoint&, const RPoint&) = default;
};

}  // namespace quellmoor
