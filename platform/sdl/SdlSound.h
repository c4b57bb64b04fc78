// WAV sound for the SDL backend, on SDL's audio subsystem started on its own.
//
// Audio is initialised apart from video, and only when a sound is first played
// (or whether sound works is asked): a show with sound off never starts it, so
// it neither talks to a sound server nor leaves that server's folder in a
// fresh runtime folder. On a machine without a sound device SDL's audio start
// fails, and asked together with video it would fail the whole program. Then,
// and whenever a file is missing or unreadable or no device opens, playing
// does nothing at all; a start that failed is not tried again. A new sound
// replaces the one playing (its queue is cleared); the device is reopened only
// when the new file's format differs.
#pragma once

#include <string>

#include <SDL_audio.h>

namespace quellmoor::platform {

class SdlSound {
public:
    SdlSound() = default;
    ~SdlSound();
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    // Starts the audio subsystem when nothing tried yet.
    bool Available();
    void Play(const std::string& path);
    void Stop();
    // Whether queued sound is left to be heard.
    bool Playing() const;

private:
    void CloseDevice();

    enum class Start { NotTried, Started, Failed };
    Start start_ = Start::NotTried;
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
};

}  // namespace quellmoor::platform
