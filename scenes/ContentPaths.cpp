#include "scenes/ContentPaths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "model/Text.h"

namespace quellmoor {

namespace fs = std::filesystem;

namespace {

enum class Kind { Folder, File };

bool IsKind(const fs::path& path, Kind kind) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return kind == Kind::Folder ? fs::is_directory(status) : fs::is_regular_file(status);
}

// `name` inside `folder`: as written if it is there, else the byte-wise smallest
// entry of the right kind that equals it without regard to ASCII case.
std::optional<fs::path> FindEntry(const fs::path& folder, std::string_view name, Kind kind) {
    const fs::path exact = folder / fs::path(std::string(name));
    if (IsKind(exact, kind)) return exact;
    std::optional<std::string> best;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (!EqualsIgnoreCase(entry, name) || (best && *best <= entry)) continue;
        if (IsKind(it->path(), kind)) best = std::move(entry);
    }
    if (!best) return std::nullopt;
    return folder / fs::path(*best);
}

}  // namespace

bool IsBareName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

std::optional<std::string> FindContentFile(std::string_view dir, std::initializer_list<std::string_view> parts) {
    if (dir.empty() || parts.size() == 0 || !std::all_of(parts.begin(), parts.end(), IsBareName)) return std::nullopt;
    try {
        fs::path found = fs::path(std::string(dir));
        std::size_t index = 0;
        for (const std::string_view part : parts) {
            const Kind kind = ++index == parts.size() ? Kind::File : Kind::Folder;
            const auto entry = FindEntry(found, part, kind);
            if (!entry) return std::nullopt;
            found = *entry;
        }
        return found.string();
    } catch (const std::exception&) {
        // A name the system cannot convert to 8-bit text; to the show it is missing.
        return std::nullopt;
    }
}

std::optional<std::string> FindSound(std::string_view dir, std::string_view name) {
    if (!IsBareName(name)) return std::nullopt;
    if (auto path = FindContentFile(dir, {"Sounds", name})) return path;
    const std::string wave = std::string(name) + ".wav";
    return FindContentFile(dir, {"Sounds", wave});
}

std::optional<std::string> FindSkin(std::string_view dir, std::string_view skin) {
    if (!IsBareName(skin)) return std::nullopt;
    const std::string file = std::string(skin) + ".bmp";
    return FindContentFile(dir, {"Skins", file});
}

std::vector<SceneFile> ListSceneFiles(std::string_view dir) {
    struct Keyed {
        std::string key;  // the name, ASCII lower-cased
        SceneFile file;
    };
    std::vector<Keyed> found;
    if (dir.empty()) return {};
    const fs::path folder = fs::path(std::string(dir));
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        try {
            std::string name = it->path().filename().string();
            if (name.size() < 4 || !EqualsIgnoreCase(std::string_view(name).substr(name.size() - 4), ".rcs")) continue;
            if (!IsKind(it->path(), Kind::File)) continue;
            found.push_back({ToLowerAscii(name), {name, (folder / it->path().filename()).string()}});
        } catch (const std::exception&) {
            // A name the system cannot convert to 8-bit text cannot be a scene's.
        }
    }
    std::sort(found.begin(), found.end(), [](const Keyed& a, const Keyed& b) {
        return a.key != b.key ? a.key < b.key : a.file.name < b.file.name;
    });
    std::vector<SceneFile> files;
    files.reserve(found.size());
    for (Keyed& keyed : found) files.push_back(std::move(keyed.file));
    return files;
}

}  // namespace quellmoor
