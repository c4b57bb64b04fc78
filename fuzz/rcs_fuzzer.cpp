// Arbitrary text into the rcs source compiler. It must compile or throw an
// RException; a compiled stream must decode and encode to the same bytes, and
// decompiling it and compiling the source again must give the same bytes too.
// The sources may name two bitmaps, written by this program at start: tiny.bmp
// (Windows header, two colours) and os2.bmp (the 12-byte OS/2 header).
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "model/Exceptions.h"
#include "tests/imaging/BmpBuilder.h"
#include "tools/rcs/SourceParser.h"
#include "tools/rcs/SourceWriter.h"
#include "tools/rcs/StreamCodec.h"

namespace {

namespace fs = std::filesystem;

// Where decompiled bitmaps go: one folder per process, gone at exit.
const fs::path& ScratchDir() {
    static const fs::path dir = [] {
        fs::path made = fs::temp_directory_path() / ("rcs-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(made);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(fs::temp_directory_path() / ("rcs-fuzz-" + std::to_string(::getpid())), ignored);
        });
        return made;
    }();
    return dir;
}

// Where the bitmaps the sources name are found.
const fs::path& BitmapDir() {
    static const fs::path dir = [] {
        fs::path made = ScratchDir() / "named";
        fs::create_directories(made);
        std::ofstream(made / "tiny.bmp", std::ios::binary)
            << quellmoor::test::BuildBmp({.colorsUsed = 2, .paletteEntries = 2});
        std::ofstream(made / "os2.bmp", std::ios::binary) << quellmoor::test::BuildBmp({.os2 = true});
        return made;
    }();
    return dir;
}

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string bytes;
    try {
        bytes = rcs::EncodeStream(rcs::ParseSource(text, "fuzz.rcsrc", {.baseDir = BitmapDir(), .searchDirs = {}}));
    } catch (const quellmoor::RException&) {
        return 0;
    }
    // From here every step is promised to work: an exception is a finding too.
    try {
        const rcs::Stream decoded = rcs::DecodeStream(bytes);
        Check(rcs::EncodeStream(decoded) == bytes);
        const std::string source = rcs::WriteSource(decoded, ScratchDir(), "bitmaps");
        const rcs::Stream again = rcs::ParseSource(source, "decompiled.rcsrc", {.baseDir = ScratchDir(), .searchDirs = {}});
        Check(rcs::EncodeStream(again) == bytes);
    } catch (const quellmoor::RException&) {
        std::abort();
    }
    return 0;
}
