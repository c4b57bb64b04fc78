// SDL input translated to what the stage expects: Windows virtual-key codes
// and mouse button numbers (0 left, 1 right, 2 middle).
//
// Letters and digits map to their upper-case ASCII codes ('A' 0x41, '0' 0x30),
// function keys to 0x70 onwards (F2 is 0x71), and the usual editing, arrow and
// modifier keys to their VK_ values. Keys without a Windows equivalent give 0.
#pragma once

#include <cstdint>

#include <SDL.h>

namespace quellmoor::platform {

std::uint32_t VirtualKeyFromSdl(SDL_Keycode key);
int ButtonFromSdl(std::uint8_t sdlButton);

}  // namespace quellmoor::platform
