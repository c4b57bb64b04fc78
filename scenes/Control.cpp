#include "scenes/Control.h"

#include <exception>
#include <optional>

#include "platform/Platform.h"
#include "scenes/IniDocument.h"
#include "scenes/Report.h"

namespace quellmoor {

namespace {

// Line breaks in a rejected name would split the report line.
std::string Printable(std::string_view text) {
    std::string shown(text);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    return shown;
}

std::optional<std::string> ControlPath() {
    if (!platform::HasCurrentPlatform()) return std::nullopt;
    try {
        std::string path = platform::CurrentPlatform().SettingsFilePath(kControlFileName);
        if (!path.empty()) return path;
    } catch (const std::exception& error) {
        ReportOnce(std::string("The settings file cannot be found: ") + error.what());
    }
    return std::nullopt;
}

// The document as the file holds it: empty when the file is missing, nullopt
// when it is too large to be ours or cannot be read.
std::optional<IniDocument> LoadControl(const std::string& path) {
    std::optional<std::string> bytes;
    try {
        bytes = platform::CurrentPlatform().ReadFile(path);
    } catch (const std::exception& error) {
        ReportOnce("The settings file " + path + " cannot be read: " + error.what());
        return std::nullopt;
    }
    if (!bytes) return IniDocument::Parse("");
    if (bytes->size() > kMaxControlFileBytes) {
        ReportOnce("The settings file " + path +
                   " is larger than 1 MB, so it cannot be this program's; it is ignored and left as it is.");
        return std::nullopt;
    }
    return IniDocument::Parse(*bytes);
}

}  // namespace

std::string ReadControl(std::string_view key, std::string_view defaultValue) {
    if (!IsValidKey(key)) return std::string(defaultValue);
    const auto path = ControlPath();
    const auto document = path ? LoadControl(*path) : std::nullopt;
    const auto value = document ? document->Get(kControlSection, key) : std::nullopt;
    return value ? *value : std::string(defaultValue);
}

ControlWrite WriteControl(std::string_view key, std::string_view value) {
    if (!IsValidKey(key)) {
        ReportOnce("The setting \"" + Printable(key) +
                   "\" was not saved: a setting's name cannot be empty, start or end with a blank, or hold "
                   "\"=\", \";\", \"[\", \"]\" or line breaks.");
        return ControlWrite::Skipped;
    }
    if (!IsValidValue(value)) {
        ReportOnce("The setting \"" + std::string(key) +
                   "\" was not saved: its value cannot start or end with a blank, sit in quotes, or hold line breaks.");
        return ControlWrite::Skipped;
    }
    const auto path = ControlPath();
    if (!path) {
        ReportOnce("This system keeps no settings file, so settings are not saved.");
        return ControlWrite::Failed;
    }
    auto document = LoadControl(*path);
    if (!document) return ControlWrite::Failed;
    if (!document->Set(kControlSection, key, value)) return ControlWrite::Unchanged;
    try {
        platform::CurrentPlatform().ReplaceFileAtomically(*path, document->Serialise());
    } catch (const std::exception& error) {
        ReportOnce(std::string("Settings could not be saved: ") + error.what());
        return ControlWrite::Failed;
    }
    return ControlWrite::Written;
}

}  // namespace quellmoor
