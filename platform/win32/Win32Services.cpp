// The Win32 backend's services: the message box, the program file, the
// embedded content resource, the instance lock, starting programs and web
// pages, and settings files.
//
// Settings are per user, in %APPDATA%\Vexmon. They used to lie in the Windows
// directory, where a user on the NT family may not write: every write failed
// without a word and the user's choices were lost at each run. A file still
// there is copied once to the per-user folder, and only that one is used after.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "model/Exceptions.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

namespace quellmoor::platform {

namespace {

constexpr const char* kSettingsFolder = "Vexmon";
constexpr const char* kContentResource = "QUELLMOOR";

// The system's words for `error`, without the line break it ends with.
std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : "error " + std::to_string(error);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.'))
        message.pop_back();
    return message;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string EnvironmentValue(const char* name) {
    char value[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string WindowsDirectory() {
    char folder[MAX_PATH * 2];
    const UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

std::string Joined(const std::string& folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::string path = folder;
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    path.append(name);
    return path;
}

// One argument as the C runtime's command-line parser reads it back.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

}  // namespace

MessageBoxButton Win32Platform::ShowMessageBox(std::string_view title, std::string_view text) {
    const Window* own = Find(own_);
    const HWND owner = own && IsWindow(static_cast<HWND>(own->hwnd)) ? static_cast<HWND>(own->hwnd) : nullptr;
    const int pressed = MessageBoxA(owner, std::string(text).c_str(), std::string(title).c_str(),
                                    MB_OKCANCEL | MB_ICONHAND);
    // A box that could not be shown (0) cannot be answered; carrying on is what OK would do.
    return pressed == IDCANCEL ? MessageBoxButton::Cancel : MessageBoxButton::Ok;
}

std::string Win32Platform::GetProgramPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: ask again with room
    }
}

std::vector<std::uint8_t> Win32Platform::GetEmbeddedContent() {
    if (!options_.content.empty()) return options_.content;
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, kContentResource, kContentResource);
    if (!found) return {};
    const DWORD size = SizeofResource(module, found);
    const HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return {};
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    return {first, first + size};
}

bool Win32Platform::AcquireInstanceLock(std::string_view name) {
    ReleaseInstanceLock();
    // Kernel object names may hold no backslash beyond a namespace prefix.
    std::string objectName(name);
    for (char& c : objectName)
        if (c == '\\') c = '_';
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, objectName.c_str());
    // Without a mutex no other instance can be seen either: run.
    if (!mutex) return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    // The system closes the handle when the process ends, however it ends.
    lock_ = mutex;
    return true;
}

void Win32Platform::ReleaseInstanceLock() {
    if (!lock_) return;
    CloseHandle(static_cast<HANDLE>(lock_));
    lock_ = nullptr;
}

bool Win32Platform::StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::string parameters;
    for (const std::string& argument : arguments) {
        if (!parameters.empty()) parameters += ' ';
        parameters.append(Quoted(argument));
    }
    const HINSTANCE result = ShellExecuteA(nullptr, "open", program.c_str(),
                                           parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success; the type is a handle only for old programs' sake.
    return reinterpret_cast<std::intptr_t>(result) > 32;
}

bool Win32Platform::OpenWebPage(const std::string& url) {
    const HINSTANCE result = ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<std::intptr_t>(result) > 32;
}

std::string Win32Platform::SettingsFilePath(std::string_view fileName) {
    const std::string root = options_.settingsRoot.empty() ? EnvironmentValue("APPDATA") : options_.settingsRoot;
    if (root.empty()) return {};
    const std::string folder = Joined(root, kSettingsFolder);
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    const std::string path = Joined(folder, fileName);
    if (!IsFile(path)) {
        const std::string legacyFolder =
            options_.legacySettingsFolder.empty() ? WindowsDirectory() : options_.legacySettingsFolder;
        const std::string legacy = Joined(legacyFolder, fileName);
        // Failing that, the user starts from the defaults, as on a first run.
        if (!legacyFolder.empty() && IsFile(legacy)) CopyFileA(legacy.c_str(), path.c_str(), TRUE);
    }
    return path;
}

void Win32Platform::ReplaceFileAtomically(const std::string& path, std::string_view contents) {
    const auto failed = [&path](DWORD error) {
        return RException("The file " + path + " could not be written: " + SystemMessage(error) + ".");
    };
    const std::string temporary = path + ".new";
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw failed(GetLastError());
    // The old file stays until the new one is whole and on the disk; only then does the name move.
    bool written = true;
    while (written && !contents.empty()) {
        DWORD done = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 20));
        written = WriteFile(file, contents.data(), chunk, &done, nullptr) && done > 0;
        contents.remove_prefix(done);
    }
    written = written && FlushFileBuffers(file);
    DWORD error = written ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (written && !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    else if (written)
        return;
    DeleteFileA(temporary.c_str());
    throw failed(error);
}

}  // namespace quellmoor::platform
