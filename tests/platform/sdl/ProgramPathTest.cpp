// The program's own path, asked before any SDL starts (as vexmon's windowless
// modes ask it to find their content).
#include "platform/sdl/SdlPlatform.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace quellmoor::testing {
namespace {

TEST(SdlProgramPath, TheRunningProgramIsThisTestWithoutSdlStarted) {
    const std::string path = platform::SdlPlatform::RunningProgramPath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(std::filesystem::path(path).is_absolute());
    EXPECT_EQ("platform_sdl_tests", std::filesystem::path(path).filename().string());
}

}  // namespace
}  // namespace quellmoor::testing
