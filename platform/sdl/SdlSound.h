// WAV sound for the SDL backend, on SDL's audio subsystem started on its own.
//
// Audio is initialised apart from video: on a machine without a sound device
// SDL's audio start fails, and asked together with video it would fail the
// whole program. Then, and whenever a file is missing or unreadable or no
// device opens, playing does nothing at all. A new sound replaces the one
// playing (its queue is cleared); the device is reopened only when the new
// file's format differs.
#pragma once

#include <string>

#include <SDL_audio.h>

namespace quellmoor::platform {

class SdlSound {
public:
    SdlSound();
    ~SdlSound();
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    bool Available() const { return started_; }
    void Play(const std::string& path);
    void Stop();
    // Whether queued sound is left to be heard.
    bool Playing() const;

private:
    void CloseDevice();

    bool started_ = false;
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
};

}  // namespace quellmoor::platform
