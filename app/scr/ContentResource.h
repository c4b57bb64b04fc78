// The main component stream the program carries as its resource of type and
// name "QUELLMOOR" (compiled in by windres from the build's Vexmon.rc).
//
//   std::vector<std::uint8_t> bytes = ReadContentResource();  // empty when missing
#pragma once

#include <cstdint>
#include <vector>

namespace quellmoor {

std::vector<std::uint8_t> ReadContentResource();

}  // namespace quellmoor
