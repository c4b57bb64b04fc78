#include "app/scr/ContentResource.h"

#include "platform/win32/WindowsApi.h"

namespace quellmoor {

std::vector<std::uint8_t> ReadContentResource() {
    HRSRC found = FindResourceA(nullptr, "QUELLMOOR", "QUELLMOOR");
    if (!found) return {};
    const DWORD size = SizeofResource(nullptr, found);
    HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* bytes = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes || size == 0) return {};
    // Resources stay mapped for the program's life; a copy keeps the stream's owner simple.
    return {bytes, bytes + size};
}

}  // namespace quellmoor
