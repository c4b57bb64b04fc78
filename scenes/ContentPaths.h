// Where the show's files are: every path to a scene, sound, skin or program in
// the content directory (the `Dir` setting) is made here.
//
// Paths join with the system's separator, and each part is looked up first as
// written, then without regard to ASCII case among the folder's entries, so
// content authored as "Sounds\Brax1.WAV" is found on a case-sensitive file
// system too (of two entries differing only in case, the byte-wise smaller
// wins). Names handed in from settings or content must be bare names: no
// separators, never "." or "..", so nothing reaches outside the content
// directory. An empty dir names no content directory. Lookups never throw; a
// missing or unreadable file is nullopt.
//
//   auto wave = FindSound(dir, "brax3");     // dir/Sounds/brax3 or .../brax3.wav
//   for (const SceneFile& file : ListSceneFiles(dir)) Load(file.path);
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellmoor {

// Not empty; no "/", "\", ":" or control characters; not "." or "..".
bool IsBareName(std::string_view name);

// dir joined with each part in turn, each found as described above; the last
// part must be a file (or a link to one), the others folders.
std::optional<std::string> FindContentFile(std::string_view dir, std::initializer_list<std::string_view> parts);

// dir/Sounds/name, else dir/Sounds/name.wav: sounds are named without extension.
std::optional<std::string> FindSound(std::string_view dir, std::string_view name);

// dir/Skins/skin.bmp.
std::optional<std::string> FindSkin(std::string_view dir, std::string_view skin);

struct SceneFile {
    std::string name;  // the file's name, as listed: also the scene's name
    std::string path;  // dir joined with name
};

// The files of dir whose names end in ".rcs" in any case, sorted by name
// compared byte-wise after ASCII lower-casing (ties: byte-wise as written), so
// the scenes load in the same order on every system. Empty when dir cannot be read.
std::vector<SceneFile> ListSceneFiles(std::string_view dir);

}  // namespace quellmoor
