#include "saver/SaverChoices.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "model/Text.h"
#include "scenes/ContentPaths.h"
#include "scenes/Control.h"

namespace quellmoor {

namespace fs = std::filesystem;

namespace {

std::string Lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool EndsWithIgnoringCase(const std::string& text, std::string_view suffix) {
    return text.size() > suffix.size() && Lowered(text.substr(text.size() - suffix.size())) == suffix;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The names of the regular files in dir/sub; empty when it cannot be read.
std::vector<std::string> FilesIn(std::string_view dir, const char* sub) {
    std::vector<std::string> names;
    if (dir.empty()) return names;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(dir) / sub, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error)) names.push_back(it->path().filename().string());
    return names;
}

bool IsWritten(ControlWrite result) { return result == ControlWrite::Written || result == ControlWrite::Unchanged; }

}  // namespace

std::vector<std::string> ListSkins(std::string_view dir) {
    std::vector<std::string> skins;
    for (const std::string& name : FilesIn(dir, "Skins")) {
        if (!EndsWithIgnoringCase(name, ".bmp")) continue;
        std::string skin = name.substr(0, name.size() - 4);
        if (IsBareName(skin)) skins.push_back(std::move(skin));
    }
    std::sort(skins.begin(), skins.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lowered(a), lb = Lowered(b);
        return la != lb ? la < lb : a < b;
    });
    return skins;
}

std::vector<std::string> ListEngines(std::string_view dir) {
    std::vector<std::string> engines;
    for (const std::string& name : FilesIn(dir, "Sounds")) {
        const std::string lower = Lowered(name);
        if (lower.size() <= 9 || lower.rfind("motor", 0) != 0 || !EndsWithIgnoringCase(lower, ".wav")) continue;
        const std::string number = lower.substr(5, lower.size() - 9);
        if (AllDigits(number) && number != "0" && number[0] != '0') engines.push_back(number);
    }
    std::sort(engines.begin(), engines.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    engines.erase(std::unique(engines.begin(), engines.end()), engines.end());
    if (engines.empty()) engines.push_back("1");
    return engines;
}

SaverChoices ReadChoices() {
    SaverChoices choices;
    std::string skin = ReadControl("Skin", "");
    if (IsBareName(skin)) choices.skin = std::move(skin);
    std::string engine = ReadControl("Engine", "1");
    if (IsBareName(engine)) choices.engine = std::move(engine);
    choices.sound = TextToInt(ReadControl("Sound", "1")) == 1;
    return choices;
}

bool WriteChoices(const SaverChoices& choices) {
    const bool skin = IsWritten(WriteControl("Skin", choices.skin));
    const bool engine = IsWritten(WriteControl("Engine", choices.engine));
    const bool sound = IsWritten(WriteControl("Sound", choices.sound ? "1" : "0"));
    return skin && engine && sound;
}

}  // namespace quellmoor
