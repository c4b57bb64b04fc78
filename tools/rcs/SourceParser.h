// Reads the rcs source format into the structured form of a stream.
//
// The format is line based: "header" and "object CLASS NAME" blocks that end
// with "end", one "Name = value" pair per line inside an object, "#" comment
// lines. A value is a bare word (checked against the property's syntax: XPos
// wants a coordinate, Visible a boolean, TransColor "RGB24:RRGGBB" ...), a
// "quoted text" (kept exactly, never checked), "bitmap FILE", or a block:
// "lines", "pairs", "frames", "sequences", "tupels ACTORS" ... "end".
// docs/authoring.md describes it for authors.
//
// Every error throws quellmoor::RParamException with "FILE:LINE: what is wrong".
// Bitmap files are found next to the source first, then in the search dirs.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tools/rcs/SourceModel.h"

namespace rcs {

struct SourceOptions {
    std::filesystem::path baseDir;                    // where relative bitmap paths start
    std::vector<std::filesystem::path> searchDirs;    // tried after baseDir
};

Stream ParseSource(std::string_view text, const std::string& fileName, const SourceOptions& options);

// Reads and parses a source file; bitmap paths start at the file's directory.
Stream ParseSourceFile(const std::filesystem::path& path, std::vector<std::filesystem::path> searchDirs);

}  // namespace rcs
