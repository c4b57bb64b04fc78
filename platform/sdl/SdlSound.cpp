#include "platform/sdl/SdlSound.h"

#include <filesystem>
#include <system_error>

#include <SDL.h>

namespace quellmoor::platform {

SdlSound::~SdlSound() {
    CloseDevice();
    if (start_ == Start::Started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSound::Available() {
    if (start_ == Start::NotTried) start_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 ? Start::Started : Start::Failed;
    return start_ == Start::Started;
}

void SdlSound::CloseDevice() {
    if (device_) SDL_CloseAudioDevice(device_);
    device_ = 0;
}

void SdlSound::Play(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || !Available()) return;
    SDL_AudioSpec wav{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &wav, &samples, &length)) return;
    const bool sameFormat = device_ && wav.freq == spec_.freq && wav.format == spec_.format &&
                            wav.channels == spec_.channels;
    if (sameFormat) {
        SDL_ClearQueuedAudio(device_);
    } else {
        CloseDevice();
        wav.callback = nullptr;  // queued, not pulled
        wav.userdata = nullptr;
        // No changes allowed: SDL converts to the device, so queued bytes stay in the file's format.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wav, &spec_, 0);
    }
    if (device_) {
        SDL_QueueAudio(device_, samples, length);
        SDL_PauseAudioDevice(device_, 0);
    }
    SDL_FreeWAV(samples);
}

void SdlSound::Stop() {
    if (!device_) return;
    SDL_ClearQueuedAudio(device_);
    SDL_PauseAudioDevice(device_, 1);
}

bool SdlSound::Playing() const {
    return device_ && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_PLAYING && SDL_GetQueuedAudioSize(device_) > 0;
}

}  // namespace quellmoor::platform
