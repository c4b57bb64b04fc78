// A platform whose files live in a map, for the settings tests: it counts
// whole-file replacements and can be told to fail them, as a full disk or a
// folder the user may not write would.
#pragma once

#include <map>
#include <string>

#include "model/Exceptions.h"
#include "tests/imaging/FakePlatform.h"

namespace quellmoor::test {

class FakeFilesPlatform : public FakePlatform {
public:
    std::string SettingsFilePath(std::string_view fileName) override {
        return settingsFolder.empty() ? std::string() : settingsFolder + "/" + std::string(fileName);
    }
    std::optional<std::string> ReadFile(const std::string& path) override {
        const auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second;
    }
    void ReplaceFileAtomically(const std::string& path, std::string_view contents) override {
        if (failWrites) throw RException("The file " + path + " could not be written: the disk is full.");
        files[path] = std::string(contents);
        ++replacements;
    }

    std::string settingsFolder = "/home/ada/.config/vexmon";  // empty: no settings file on this system
    std::map<std::string, std::string> files;
    bool failWrites = false;
    int replacements = 0;
};

}  // namespace quellmoor::test
