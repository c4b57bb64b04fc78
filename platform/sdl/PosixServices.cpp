// The SDL backend's services that SDL does not offer, done the POSIX way:
// settings under $XDG_CONFIG_HOME, atomic replacement with fsync, a flock
// lock file in $XDG_RUNTIME_DIR, programs started with posix_spawn, the
// program's path from /proc/self/exe.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "model/Exceptions.h"
#include "platform/sdl/SdlPlatform.h"

extern char** environ;

namespace quellmoor::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSettingsFolder = "vexmon";

// An environment variable holding an absolute path; empty otherwise (the XDG rule).
std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

std::string SdlPlatform::SettingsFilePath(std::string_view fileName) {
    fs::path base = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (base.empty()) {
        const std::string home = AbsoluteFromEnvironment("HOME");
        if (home.empty()) return {};
        base = fs::path(home) / ".config";
    }
    const fs::path folder = base / kSettingsFolder;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return {};
    return (folder / fileName).string();
}

void SdlPlatform::ReplaceFileAtomically(const std::string& path, std::string_view contents) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string hidden(".");
    hidden += target.filename().string();
    hidden += ".XXXXXX";
    std::string temporary = (folder / hidden).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) throw RException("The file " + path + " could not be written: " + std::strerror(errno) + ".");
    // The old file stays until the new one is whole and on the disk; only then does the name move.
    const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int cause = !written ? writeError : errno;
        ::unlink(temporary.c_str());
        throw RException("The file " + path + " could not be written: " + std::strerror(cause) + ".");
    }
    // The rename itself is made durable by syncing the folder; failing that is no loss of the file.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::string SdlPlatform::RunningProgramPath() {
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string SdlPlatform::LockFilePath(std::string_view name) {
    std::string folder = AbsoluteFromEnvironment("XDG_RUNTIME_DIR");
    if (folder.empty()) return "/tmp/" + std::string(name) + "-" + std::to_string(::getuid()) + ".lock";
    return folder + "/" + std::string(name) + ".lock";
}

bool SdlPlatform::AcquireInstanceLock(std::string_view name) {
    ReleaseInstanceLock();
    const std::string path = LockFilePath(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file no other instance can be seen either: run.
    if (fd < 0) return true;
    // The kernel drops the lock when the process ends, however it ends.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

void SdlPlatform::ReleaseInstanceLock() {
    if (lockFd_ < 0) return;
    ::flock(lockFd_, LOCK_UN);
    ::close(lockFd_);
    lockFd_ = -1;
}

bool SdlPlatform::StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
    // Children that ended are reaped here, so a long run leaves no zombies behind.
    std::erase_if(children_, [](pid_t child) { return ::waitpid(child, nullptr, WNOHANG) != 0; });
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    // posix_spawnp reports a program that cannot be run as an error (glibc waits for the exec).
    if (::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    children_.push_back(child);
    return true;
}

bool SdlPlatform::OpenWebPage(const std::string& url) { return StartProgram("xdg-open", {url}); }

}  // namespace quellmoor::platform
