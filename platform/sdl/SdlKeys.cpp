#include "platform/sdl/SdlKeys.h"

#include <utility>

namespace quellmoor::platform {

namespace {

constexpr std::pair<SDL_Keycode, std::uint32_t> kNamedKeys[] = {
    {SDLK_BACKSPACE, 0x08}, {SDLK_TAB, 0x09},       {SDLK_RETURN, 0x0D},     {SDLK_KP_ENTER, 0x0D},
    {SDLK_PAUSE, 0x13},     {SDLK_CAPSLOCK, 0x14},  {SDLK_ESCAPE, 0x1B},     {SDLK_SPACE, 0x20},
    {SDLK_PAGEUP, 0x21},    {SDLK_PAGEDOWN, 0x22},  {SDLK_END, 0x23},        {SDLK_HOME, 0x24},
    {SDLK_LEFT, 0x25},      {SDLK_UP, 0x26},        {SDLK_RIGHT, 0x27},      {SDLK_DOWN, 0x28},
    {SDLK_PRINTSCREEN, 0x2C}, {SDLK_INSERT, 0x2D},  {SDLK_DELETE, 0x2E},     {SDLK_LGUI, 0x5B},
    {SDLK_RGUI, 0x5C},      {SDLK_APPLICATION, 0x5D}, {SDLK_KP_0, 0x60},     {SDLK_KP_1, 0x61},
    {SDLK_KP_2, 0x62},      {SDLK_KP_3, 0x63},      {SDLK_KP_4, 0x64},       {SDLK_KP_5, 0x65},
    {SDLK_KP_6, 0x66},      {SDLK_KP_7, 0x67},      {SDLK_KP_8, 0x68},       {SDLK_KP_9, 0x69},
    {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B}, {SDLK_KP_MINUS, 0x6D},   {SDLK_KP_PERIOD, 0x6E},
    {SDLK_KP_DIVIDE, 0x6F}, {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91}, {SDLK_LSHIFT, 0x10},
    {SDLK_RSHIFT, 0x10},    {SDLK_LCTRL, 0x11},     {SDLK_RCTRL, 0x11},      {SDLK_LALT, 0x12},
    {SDLK_RALT, 0x12},      {SDLK_MINUS, 0xBD},
};

}  // namespace

std::uint32_t VirtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint32_t>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<std::uint32_t>(0x70 + (key - SDLK_F1));
    if (key >= SDLK_F13 && key <= SDLK_F24) return static_cast<std::uint32_t>(0x7C + (key - SDLK_F13));
    for (const auto& [sdl, vk] : kNamedKeys)
        if (sdl == key) return vk;
    return 0;
}

int ButtonFromSdl(std::uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        default: return sdlButton - 1;  // extra buttons keep their order after the three
    }
}

}  // namespace quellmoor::platform
