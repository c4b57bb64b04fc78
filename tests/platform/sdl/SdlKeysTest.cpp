#include "platform/sdl/SdlKeys.h"

#include <gtest/gtest.h>

namespace quellmoor::testing {
namespace {

struct KeyCase {
    SDL_Keycode sdl;
    std::uint32_t vk;
};
void PrintTo(const KeyCase& c, std::ostream* out) { *out << "SDL key " << c.sdl << " to Windows code " << c.vk; }
// "Vk1B": the Windows code in hexadecimal.
std::string KeyName(const ::testing::TestParamInfo<KeyCase>& testInfo) {
    static const char* hex = "0123456789ABCDEF";
    const std::uint32_t vk = testInfo.param.vk;
    return std::string("Vk") + hex[(vk >> 4) & 15] + hex[vk & 15];
}

class SdlKeysTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SdlKeysTest, MapsToTheWindowsCode) { EXPECT_EQ(platform::VirtualKeyFromSdl(GetParam().sdl), GetParam().vk); }

INSTANTIATE_TEST_SUITE_P(Keys, SdlKeysTest,
                         ::testing::Values(KeyCase{SDLK_a, 0x41}, KeyCase{SDLK_s, 0x53}, KeyCase{SDLK_z, 0x5A},
                                           KeyCase{SDLK_0, 0x30}, KeyCase{SDLK_9, 0x39}, KeyCase{SDLK_F1, 0x70},
                                           KeyCase{SDLK_F2, 0x71}, KeyCase{SDLK_F12, 0x7B},
                                           KeyCase{SDLK_ESCAPE, 0x1B}, KeyCase{SDLK_RETURN, 0x0D},
                                           KeyCase{SDLK_SPACE, 0x20}, KeyCase{SDLK_LEFT, 0x25},
                                           KeyCase{SDLK_DOWN, 0x28}, KeyCase{SDLK_LSHIFT, 0x10},
                                           KeyCase{SDLK_RCTRL, 0x11}, KeyCase{SDLK_KP_PLUS, 0x6B},
                                           KeyCase{SDLK_UNKNOWN, 0}),
                         KeyName);

TEST(SdlButtonsTest, LeftRightMiddle) {
    EXPECT_EQ(platform::ButtonFromSdl(SDL_BUTTON_LEFT), 0);
    EXPECT_EQ(platform::ButtonFromSdl(SDL_BUTTON_RIGHT), 1);
    EXPECT_EQ(platform::ButtonFromSdl(SDL_BUTTON_MIDDLE), 2);
}

}  // namespace
}  // namespace quellmoor::testing
