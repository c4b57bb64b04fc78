// The show's settings: section "Vexmon" of the settings file "control.ini".
//
// The platform says where the file lives (SettingsFilePath; per user) and reads
// and replaces it. Each call reads the file afresh, so a value another program
// (the configure dialog) wrote meanwhile is seen and never overwritten, and
// nothing is cached that could drift from the file. A write changes one key and
// keeps every other section, key, comment and line ending (IniDocument), goes
// out only when the value changes, and replaces the file atomically, so a saver
// killed mid-write leaves the old file whole.
//
// Nothing here throws: the show goes on without its settings. ReadControl falls
// back to the default; a write that cannot happen is reported once (ReportOnce)
// and leaves the file as it was, and the next write of that key tries again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quellmoor {

inline constexpr std::string_view kControlFileName = "control.ini";
inline constexpr std::string_view kControlSection = "Vexmon";
// Larger files are not ours: they are ignored for reading and never rewritten.
inline constexpr std::size_t kMaxControlFileBytes = 1024 * 1024;

enum class ControlWrite {
    Written,    // the file now holds the value
    Unchanged,  // it held it already; nothing was written
    Skipped,    // the key or value cannot be stored (see IsValidKey, IsValidValue)
    Failed,     // no settings file, too large, or the platform could not write it
};

std::string ReadControl(std::string_view key, std::string_view defaultValue);
ControlWrite WriteControl(std::string_view key, std::string_view value);

}  // namespace quellmoor
