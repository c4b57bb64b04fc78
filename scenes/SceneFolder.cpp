#include "scenes/SceneFolder.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <system_error>

#include "model/Exceptions.h"
#include "model/Text.h"
#include "scenes/ContentPaths.h"

namespace quellmoor {

namespace fs = std::filesystem;

namespace {

// The entry of `dir` called `name` without regard to case, as ContentPaths finds them.
std::optional<fs::path> FindEntry(const fs::path& dir, const std::string& name) {
    std::error_code error;
    if (fs::exists(dir / name, error)) return dir / name;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, error))
        if (EqualsIgnoreCase(entry.path().filename().string(), name)) return entry.path();
    return std::nullopt;
}

// A link where the system allows one, a copy otherwise.
void LinkOrCopyFolder(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::create_directory_symlink(fs::absolute(from), to, error);
    if (error) fs::copy(from, to, fs::copy_options::recursive);
}

fs::path NewFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = fs::temp_directory_path() /
                                ("vexmon-scenes-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        if (fs::create_directory(folder)) return folder;
    }
    throw RException("No temporary folder could be made for the scenes.");
}

fs::path FindSceneFile(const std::string& contentDir, const std::string& scene) {
    fs::path file = scene;
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        const std::optional<std::string> inContent =
            IsBareName(scene) ? FindContentFile(contentDir, {scene}) : std::nullopt;
        if (!inContent) throw RException("The scene file " + scene + " was not found.");
        file = *inContent;
    }
    // The manager loads only files named *.RCS, in any case.
    if (!EqualsIgnoreCase(file.extension().string(), ".rcs"))
        throw RException("The scene file " + scene + " is not named like a scene file (*.RCS).");
    return file;
}

}  // namespace

SceneFolder::SceneFolder(const std::string& contentDir, const std::vector<std::string>& scenes) {
    std::vector<fs::path> files;
    for (const std::string& scene : scenes) files.push_back(FindSceneFile(contentDir, scene));
    folder_ = NewFolder();
    std::error_code error;
    try {
        for (const fs::path& file : files)
            fs::copy_file(file, folder_ / file.filename(), fs::copy_options::overwrite_existing);
        for (const char* shared : {"Sounds", "Skins"})
            if (auto found = FindEntry(contentDir, shared)) LinkOrCopyFolder(*found, folder_ / shared);
    } catch (const fs::filesystem_error& e) {
        fs::remove_all(folder_, error);
        throw RException(std::string("The scene folder could not be made: ") + e.what());
    }
}

SceneFolder::~SceneFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

}  // namespace quellmoor
