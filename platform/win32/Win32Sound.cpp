// The Win32 backend's sound: WAV files through sndPlaySoundA, asynchronously.
// A file that is not there plays nothing: without SND_NODEFAULT the system
// would ring its default sound in its place.
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

namespace quellmoor::platform {

void Win32Platform::PlaySoundFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NODEFAULT);
}

void Win32Platform::StopSound() { sndPlaySoundA(nullptr, 0); }

}  // namespace quellmoor::platform
