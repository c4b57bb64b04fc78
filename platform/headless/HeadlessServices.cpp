// The headless backend's services beyond windows: files, sound, lock,
// programs, time. Each records what was asked so tests can assert it.
#include <chrono>
#include <filesystem>
#include <set>
#include <system_error>

#include "model/Exceptions.h"
#include "platform/headless/HeadlessPlatform.h"

namespace quellmoor::platform {

namespace {

constexpr const char* kMemorySettings = "headless:settings/";

// Locks held by every headless backend of this process, so a test can play two instances.
std::set<std::string>& HeldLocks() {
    static std::set<std::string> held;
    return held;
}

}  // namespace

bool HeadlessPlatform::Supports(Feature feature) const {
    if (feature == Feature::Sound) return soundAvailable_;
    return feature != Feature::DrawingContexts || static_cast<bool>(options_.drawingContexts);
}

LocalDateTime HeadlessPlatform::LocalTimeNow() {
    using namespace std::chrono;
    if (options_.realClock) return Platform::LocalTimeNow();
    const sys_time<milliseconds> at{milliseconds(options_.localEpochMsAtStart + (NowMs() - options_.startMs))};
    const sys_days day = floor<days>(at);
    const year_month_day date(day);
    const hh_mm_ss<milliseconds> time(at - day);
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()),
            static_cast<int>(time.subseconds().count()), static_cast<int>(weekday(day).c_encoding())};
}

bool HeadlessPlatform::AcquireInstanceLock(std::string_view name) {
    if (lockName_ == name) return true;
    ReleaseInstanceLock();
    if (!HeldLocks().insert(std::string(name)).second) return false;
    lockName_ = name;
    return true;
}

void HeadlessPlatform::ReleaseInstanceLock() {
    if (lockName_.empty()) return;
    HeldLocks().erase(lockName_);
    lockName_.clear();
}

bool HeadlessPlatform::StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
    programs_.Add({program, arguments});
    return startResult_;
}

bool HeadlessPlatform::OpenWebPage(const std::string& url) {
    pages_.Add(url);
    return startResult_;
}

void HeadlessPlatform::PlaySoundFile(const std::string& path) {
    std::error_code error;
    const bool there = files_.count(path) != 0 || std::filesystem::is_regular_file(path, error);
    const bool played = soundAvailable_ && there;
    // A sound that cannot play does nothing at all: the one before plays on.
    if (played) currentSound_ = path;
    sounds_.Add({path, NowMs(), played});
}

void HeadlessPlatform::StopSound() {
    currentSound_.clear();
    sounds_.Add({std::string(), NowMs(), false});
}

std::string HeadlessPlatform::SettingsFilePath(std::string_view fileName) {
    if (options_.settingsFolder.empty()) return kMemorySettings + std::string(fileName);
    std::error_code error;
    std::filesystem::create_directories(options_.settingsFolder, error);
    return (std::filesystem::path(options_.settingsFolder) / fileName).string();
}

std::optional<std::string> HeadlessPlatform::ReadFile(const std::string& path) {
    if (auto found = files_.find(path); found != files_.end()) return found->second;
    if (path.rfind(kMemorySettings, 0) == 0) return std::nullopt;
    return Platform::ReadFile(path);
}

void HeadlessPlatform::ReplaceFileAtomically(const std::string& path, std::string_view contents) {
    writes_.Add(path);
    if (writesFail_) throw RException("The file " + path + " could not be written: no space left on the device.");
    if (options_.settingsFolder.empty() || files_.count(path) != 0) {
        files_[path] = std::string(contents);
        return;
    }
    Platform::ReplaceFileAtomically(path, contents);
}

std::unique_ptr<DrawingContext> HeadlessPlatform::CreateDrawingContext(const IndexedCanvas& canvas) {
    if (!options_.drawingContexts) return Platform::CreateDrawingContext(canvas);
    return options_.drawingContexts(canvas);
}

}  // namespace quellmoor::platform
