// The rcs commands other than dump, as functions the tests can call.
//
// Each returns the process status (0 success, 1 failure the user must fix,
// 2 usage) and writes messages to `err`. Errors in sources read
// "FILE:LINE: what is wrong"; palette errors name the bitmap's place.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace rcs {

struct CompileRequest {
    std::filesystem::path source;
    std::filesystem::path output;
    std::vector<std::filesystem::path> searchDirs;
    std::filesystem::path palette;  // empty: no palette check
};

int Compile(const CompileRequest& request, std::ostream& err);
// Writes SOURCE and its bitmaps (in SOURCE's stem + "_bitmaps").
int Decompile(const std::filesystem::path& stream, const std::filesystem::path& source, std::ostream& err);
// Streams (every bitmap inside) and .bmp files against the palette of `reference`.
int CheckPalette(const std::filesystem::path& reference, const std::vector<std::filesystem::path>& files,
                 std::ostream& err);
// A C++ source defining `std::span<const unsigned char> quellmoor::FUNCTION()` over the file's bytes.
int Embed(const std::filesystem::path& file, const std::filesystem::path& output, const std::string& function,
          std::ostream& err);

std::string ReadFileBytes(const std::filesystem::path& path);  // throws RException when unreadable

}  // namespace rcs
