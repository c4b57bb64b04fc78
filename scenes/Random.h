// Random numbers of the show.
//
// One generator for the whole program, with the C library's constants
// (state = state * 214013 + 2531011, value = (state >> 16) & 0x7FFF) kept here
// rather than borrowed from the system, so a seed gives the same show on every
// platform. Start-up seeds it once with SeedRandom; before that the state is 1,
// as the C library's is. Single-threaded, like the rest of the show.
//
//   SeedRandom(12345);
//   double y = Random(height);        // [0, height]
//   int pick = RandomInt(total);      // [0, total]; total only on the top draw
//
// Every call draws exactly once, whatever its arguments, so the order of draws
// (and so the show) does not depend on the values passed.
#pragma once

#include <cstdint>

namespace quellmoor {

// Restarts the sequence (the C library's srand).
void SeedRandom(std::uint32_t seed);

// The next raw draw in [0, 32767] (the C library's rand).
int RandomDraw();

// draw / 32767 * x: in [0, x], or [x, 0] for a negative x; 0 for a non-finite x.
double Random(double x);

// floor(Random(n)): in [0, n] (n only on the top draw), or [n, 0] for a negative n.
int RandomInt(int n);

// a + Random(b - a): between a and b, in either order. When b - a is not finite
// the result is a; when a is not finite it is 0.
double RandomRange(double a, double b);

}  // namespace quellmoor
