// Arbitrary bytes into RDib::LoadFromStream, then a copy of whatever loaded.
// Anything but an RException escaping, a crash, a hang or a huge allocation is a bug.
#include <cstdint>
#include <sstream>
#include <string>

#include "imaging/Dib.h"
#include "model/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    quellmoor::RDib dib(3, 2);
    try {
        int consumed = 0;
        dib.LoadFromStream(in, consumed);
        if (consumed < 0 || static_cast<std::size_t>(consumed) > size) __builtin_trap();
        quellmoor::RDib copy(1, 1);
        copy = dib;
        // Draw the loaded bitmap into a small one, scaled and mirrored, with a key.
        dib.CopyBits(&copy, quellmoor::RRect{0, 0, 0, 0}, quellmoor::RRect{-1, -1, -5, 7},
                     size > 2 ? data[size / 2] : -1, 0, 0, 0);
    } catch (const quellmoor::RException&) {
    }
    return 0;
}
