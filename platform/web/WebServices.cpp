// Settings in local storage, sound through WebAudio, message boxes on the console.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>

#include "model/Exceptions.h"
#include "platform/web/WebPlatform.h"

namespace quellmoor::platform {

namespace {

constexpr std::string_view kSettingsFolder = "/settings/";

// clang-format off
// Local storage holds strings; the settings files are text, kept byte for byte as Latin-1 characters.
EM_JS(char*, qm_storage_get, (const char* key, int* length), {
    var value = null;
    try { value = window.localStorage.getItem(UTF8ToString(key)); } catch (e) {}
    if (value === null) return 0;
    var bytes = _malloc(value.length + 1);
    for (var i = 0; i < value.length; ++i) HEAPU8[bytes + i] = value.charCodeAt(i) & 255;
    HEAP32[length >> 2] = value.length;
    return bytes;
});
EM_JS(int, qm_storage_set, (const char* key, const char* bytes, int length), {
    var value = "";
    for (var i = 0; i < length; ++i) value += String.fromCharCode(HEAPU8[bytes + i]);
    try { window.localStorage.setItem(UTF8ToString(key), value); return 1; } catch (e) { return 0; }
});
EM_JS(void, qm_sound_play, (const void* bytes, int length), {
    if (!Module.qmAudio) {
        var Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        Module.qmAudio = new Context();
    }
    var audio = Module.qmAudio;
    if (audio.state === 'suspended') audio.resume();
    var data = HEAPU8.slice(bytes, bytes + length).buffer;
    var ticket = (Module.qmSoundTicket = (Module.qmSoundTicket || 0) + 1);
    audio.decodeAudioData(data, function(buffer) {
        if (ticket !== Module.qmSoundTicket) return;  // a later sound replaced this one
        if (Module.qmSource) try { Module.qmSource.stop(); } catch (e) {}
        var source = audio.createBufferSource();
        source.buffer = buffer;
        source.connect(audio.destination);
        source.start();
        Module.qmSource = source;
        Module.vexmonSoundsPlayed = (Module.vexmonSoundsPlayed || 0) + 1;
    }, function() { console.warn('vexmon: a sound could not be decoded'); });
});
EM_JS(void, qm_sound_stop, (), {
    Module.qmSoundTicket = (Module.qmSoundTicket || 0) + 1;
    if (Module.qmSource) try { Module.qmSource.stop(); } catch (e) {}
    Module.qmSource = null;
});
// clang-format on

bool IsSettingsPath(const std::string& path) { return path.starts_with(kSettingsFolder); }

std::string StorageKey(const std::string& path) { return "vexmon:" + path.substr(kSettingsFolder.size()); }

}  // namespace

std::string WebPlatform::SettingsFilePath(std::string_view fileName) {
    return std::string(kSettingsFolder) + std::string(fileName);
}

std::optional<std::string> WebPlatform::ReadFile(const std::string& path) {
    if (!IsSettingsPath(path)) return Platform::ReadFile(path);
    int length = 0;
    char* bytes = qm_storage_get(StorageKey(path).c_str(), &length);
    if (!bytes) return std::nullopt;
    std::string contents(bytes, static_cast<std::size_t>(length));
    std::free(bytes);
    return contents;
}

void WebPlatform::ReplaceFileAtomically(const std::string& path, std::string_view contents) {
    if (!IsSettingsPath(path)) return Platform::ReplaceFileAtomically(path, contents);
    // One setItem replaces the whole value or nothing: the old settings stay whole on failure.
    if (!qm_storage_set(StorageKey(path).c_str(), contents.data(), static_cast<int>(contents.size())))
        throw RException("The file " + path + " could not be written.");
}

void WebPlatform::SetSoundOn(bool on) {
    soundOn_ = on;
    if (!on) StopSound();
}

void WebPlatform::PlaySoundFile(const std::string& path) {
    if (!soundOn_) return;
    const std::optional<std::string> bytes = Platform::ReadFile(path);
    if (!bytes || bytes->empty()) return;
    qm_sound_play(bytes->data(), static_cast<int>(bytes->size()));
}

void WebPlatform::StopSound() { qm_sound_stop(); }

MessageBoxButton WebPlatform::ShowMessageBox(std::string_view title, std::string_view text) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(), static_cast<int>(text.size()),
                 text.data());
    return MessageBoxButton::Ok;
}

}  // namespace quellmoor::platform
