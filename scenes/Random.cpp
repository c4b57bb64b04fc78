#include "scenes/Random.h"

#include <cmath>

namespace quellmoor {

namespace {

constexpr double kTopDraw = 32767.0;

std::uint32_t state = 1;

}  // namespace

void SeedRandom(std::uint32_t seed) { state = seed; }

int RandomDraw() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

double Random(double x) {
    const double fraction = RandomDraw() / kTopDraw;
    // Infinity times a zero draw is NaN, and either would spread into positions.
    return std::isfinite(x) ? fraction * x : 0.0;
}

int RandomInt(int n) {
    // |Random(n)| <= |n|, so the floor always fits an int again.
    return static_cast<int>(std::floor(Random(n)));
}

double RandomRange(double a, double b) {
    const double value = a + Random(b - a);
    if (std::isfinite(value)) return value;
    return std::isfinite(a) ? a : 0.0;
}

}  // namespace quellmoor
