#include "platform/Platform.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "model/Exceptions.h"

namespace quellmoor::platform {

namespace {
Platform* current = nullptr;
}

Platform& CurrentPlatform() {
    if (!current) throw std::logic_error("No platform backend was made current.");
    return *current;
}

void SetCurrentPlatform(Platform* platform) { current = platform; }

bool HasCurrentPlatform() { return current != nullptr; }

std::string Platform::SettingsFilePath(std::string_view) { return {}; }

std::optional<std::string> Platform::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(contents).str();
}

void Platform::ReplaceFile(const std::string& path, std::string_view) {
    throw RException("This system cannot write the file " + path + ".");
}

}  // namespace quellmoor::platform
