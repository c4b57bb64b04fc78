#include <gtest/gtest.h>

#include "scenes/Floater.h"
#include "tests/scenes/ShowStage.h"

namespace quellmoor::shiptest {
namespace {

TEST(SceneManagerTest, LoadsEveryBuiltSceneFileAndPlaysForTenMinutes) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(ContentDir()))
        if (entry.path().extension() == ".RCS") files.push_back(entry.path().filename().string());
    ShowStage show(files);
    show.Begin();
    EXPECT_EQ(show.manager->GetScenes().size() + show.manager->GetFloatLibraries().size(), files.size());
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
    show.RunUntil(10 * 60 * 1000.0);
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
}

}  // namespace
}  // namespace quellmoor::shiptest
