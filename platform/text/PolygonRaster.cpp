#include "platform/text/PolygonRaster.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace quellmoor::text {

namespace {

// Products of two coordinate differences need 66 bits.
__extension__ typedef __int128 Wide;

Wide CeilDiv(Wide numerator, Wide positiveDenominator) {
    const Wide quotient = numerator / positiveDenominator;
    return quotient + ((numerator % positiveDenominator) > 0 ? 1 : 0);
}

Wide FloorDiv(Wide numerator, Wide positiveDenominator) {
    const Wide quotient = numerator / positiveDenominator;
    return quotient - ((numerator % positiveDenominator) < 0 ? 1 : 0);
}

std::int64_t ClampTo(Wide value, std::int64_t low, std::int64_t high) {
    if (value < low) return low;
    if (value > high) return high;
    return static_cast<std::int64_t>(value);
}

std::uint8_t* RowOf(const platform::IndexedCanvas& canvas, std::int64_t yFromTop) {
    return canvas.bits + (canvas.height - 1 - yFromTop) * static_cast<std::ptrdiff_t>(canvas.strideBytes);
}

bool IsEmpty(const platform::IndexedCanvas& canvas) {
    return !canvas.bits || canvas.width <= 0 || canvas.height <= 0;
}

}  // namespace

void FillPolygonOn(const platform::IndexedCanvas& canvas, std::span<const platform::Point> points,
                   std::uint8_t index) {
    if (points.size() < 3 || IsEmpty(canvas)) return;
    const auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                                 [](auto a, auto b) { return a.y < b.y; });
    const std::int64_t firstRow = std::max<std::int64_t>(low->y, 0);
    const std::int64_t endRow = std::min<std::int64_t>(high->y, canvas.height);
    std::vector<std::int64_t> crossings;
    crossings.reserve(points.size());
    for (std::int64_t y = firstRow; y < endRow; ++y) {
        // Doubled coordinates keep the sampling point (the row's centre) an integer.
        const Wide centre2 = 2 * y + 1;
        crossings.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const platform::Point a = points[i];
            const platform::Point b = points[(i + 1) % points.size()];
            const Wide ay2 = 2 * static_cast<Wide>(a.y), by2 = 2 * static_cast<Wide>(b.y);
            if ((ay2 < centre2) == (by2 < centre2)) continue;  // also skips horizontal edges
            // The edge meets the row at X = a.x + num / den (den > 0); the first
            // pixel at or right of it is the smallest px with 2px + 1 >= 2X.
            Wide num = (centre2 - ay2) * (static_cast<Wide>(b.x) - a.x);
            Wide den = by2 - ay2;
            if (den < 0) {
                num = -num;
                den = -den;
            }
            const Wide firstPixel = a.x + CeilDiv(2 * num - den, 2 * den);
            crossings.push_back(ClampTo(firstPixel, 0, canvas.width));
        }
        std::sort(crossings.begin(), crossings.end());
        std::uint8_t* row = RowOf(canvas, y);
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
            std::fill(row + crossings[i], row + crossings[i + 1], index);
    }
}

void DrawSegmentOn(const platform::IndexedCanvas& canvas, platform::Point from, platform::Point to,
                   std::uint8_t index) {
    if (IsEmpty(canvas)) return;
    const std::int64_t dx = static_cast<std::int64_t>(to.x) - from.x;
    const std::int64_t dy = static_cast<std::int64_t>(to.y) - from.y;
    const bool alongX = std::llabs(dx) >= std::llabs(dy);
    // Step t = 0..steps along the major axis; the minor coordinate is the
    // rounded exact one, which gives Bresenham's pixels. Only the steps whose
    // major coordinate is on the canvas are visited.
    const std::int64_t steps = alongX ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t major0 = alongX ? from.x : from.y;
    const std::int64_t minor0 = alongX ? from.y : from.x;
    const std::int64_t majorSign = (alongX ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorDelta = alongX ? dy : dx;
    const std::int64_t majorLimit = alongX ? canvas.width : canvas.height;
    const std::int64_t minorLimit = alongX ? canvas.height : canvas.width;
    std::int64_t tFirst = majorSign > 0 ? -major0 : major0 - (majorLimit - 1);
    std::int64_t tLast = majorSign > 0 ? majorLimit - 1 - major0 : major0;
    tFirst = std::max<std::int64_t>(tFirst, 0);
    tLast = std::min(tLast, steps);
    for (std::int64_t t = tFirst; t <= tLast; ++t) {
        const std::int64_t major = major0 + majorSign * t;
        const Wide minor = steps == 0
            ? static_cast<Wide>(minor0)
            : minor0 + FloorDiv(2 * static_cast<Wide>(t) * minorDelta + steps, 2 * static_cast<Wide>(steps));
        if (minor < 0 || minor >= minorLimit) continue;
        const auto m = static_cast<std::int64_t>(minor);
        if (alongX)
            RowOf(canvas, m)[major] = index;
        else
            RowOf(canvas, major)[m] = index;
    }
}

void OutlinePolygonOn(const platform::IndexedCanvas& canvas, std::span<const platform::Point> points,
                      std::uint8_t index) {
    for (std::size_t i = 0; i < points.size(); ++i)
        DrawSegmentOn(canvas, points[i], points[(i + 1) % points.size()], index);
}

}  // namespace quellmoor::text
