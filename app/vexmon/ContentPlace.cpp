#include "app/vexmon/ContentPlace.h"

#include <filesystem>
#include <system_error>

namespace quellmoor {

namespace fs = std::filesystem;

namespace {

// Relative to the program's folder: /usr/bin, and a copy of the hack in
// /usr/libexec/xscreensaver rather than a link to it.
constexpr const char* kInstalledPlaces[] = {"../share/vexmon", "../../share/vexmon"};

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code error;
    const bool same = fs::equivalent(a, b, error);
    return error ? a.lexically_normal() == b.lexically_normal() : same;
}

}  // namespace

std::string FindContentDir(const std::string& programPath, const BuildPlaces& build) {
    const fs::path programDir = fs::path(programPath).parent_path();
    const fs::path built = build.contentDir;
    // Decided by where the program is, not by whether the build folder
    // exists: an installed copy on a machine with a build must use its own.
    if (SameFolder(programDir, build.programDir) && IsFolder(built)) return built.string();
    if (!programDir.empty())
        for (const char* place : kInstalledPlaces) {
            const fs::path candidate = (programDir / place).lexically_normal();
            if (IsFolder(candidate)) return candidate.string();
        }
    if (IsFolder(built)) return built.string();
    return programDir.string();
}

}  // namespace quellmoor
