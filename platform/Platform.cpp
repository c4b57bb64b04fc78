#include "platform/Platform.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

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

bool Platform::Supports(Feature) const { return false; }

LocalDateTime Platform::LocalTimeNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm parts{};
#if defined(_WIN32)
    localtime_s(&parts, &seconds);
#else
    localtime_r(&seconds, &parts);
#endif
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min,
            parts.tm_sec, static_cast<int>(ms), parts.tm_wday};
}

std::uint32_t Platform::RandomSeed() {
    // random_device may be deterministic on some systems; the clock still differs between runs.
    std::random_device device;
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return device() ^ static_cast<std::uint32_t>(ticks) ^ static_cast<std::uint32_t>(ticks >> 32);
}

void Platform::SetTopmost(WindowId, bool) {}

WindowId Platform::AttachWindow(NativeWindow) { return {}; }

void Platform::DetachWindow(WindowId) {}

NativeWindow Platform::RootWindow() { return {}; }

std::vector<PixelRect> Platform::GetMonitorRects() { return {GetDesktopRect()}; }

std::optional<Point> Platform::CursorScreenPosition() { return std::nullopt; }

ScreenPixels Platform::ReadPresentedPixels(WindowId) { return {}; }

bool Platform::AcquireInstanceLock(std::string_view) { return true; }

void Platform::ReleaseInstanceLock() {}

bool Platform::StartProgram(const std::string&, const std::vector<std::string>&) { return false; }

bool Platform::OpenWebPage(const std::string&) { return false; }

void Platform::PlaySoundFile(const std::string&) {}

void Platform::StopSound() {}

std::string Platform::SettingsFilePath(std::string_view) { return {}; }

std::optional<std::string> Platform::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(contents).str();
}

void Platform::ReplaceFileAtomically(const std::string& path, std::string_view contents) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        if (out) out.flush();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw RException("The file " + path + " could not be written.");
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw RException("The file " + path + " could not be replaced: " + error.message() + ".");
    }
}

std::unique_ptr<DrawingContext> Platform::CreateDrawingContext(const IndexedCanvas&) {
    throw RException("This system cannot draw text.");
}

}  // namespace quellmoor::platform
