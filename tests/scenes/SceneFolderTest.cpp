// A content folder of only the scene files named: what it holds, what it
// refuses with which words, and that it goes with the object.
#include "scenes/SceneFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "model/Exceptions.h"

namespace quellmoor {
namespace {

namespace fs = std::filesystem;

class SceneFolderTest : public testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        root = fs::temp_directory_path() / ("vexmon-scene-folder-" + std::to_string(seed()) + std::to_string(seed()));
        content = root / "content";
        fs::create_directories(content / "Sounds");
        fs::create_directories(content / "Skins");
        Write(content / "Planet-Ice.RCS", "ice");
        Write(content / "Meet-Zib.RCS", "zib");
        Write(content / "Notes.txt", "not a scene");
        Write(content / "Sounds" / "brax1.wav", "RIFF");
        fs::create_directories(root / "elsewhere");
        Write(root / "elsewhere" / "Moon.rcs", "moon");
    }
    void TearDown() override { fs::remove_all(root); }

    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path root, content;
};

TEST_F(SceneFolderTest, HoldsTheNamedScenesAndTheSharedFolders) {
    fs::path made;
    {
        const SceneFolder only(content.string(), {"Planet-Ice.RCS", (root / "elsewhere" / "Moon.rcs").string()});
        made = only.Path();
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(made))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ((std::vector<std::string>{"Moon.rcs", "Planet-Ice.RCS", "Skins", "Sounds"}), names);
        EXPECT_EQ("ice", Read(made / "Planet-Ice.RCS"));
        EXPECT_EQ("moon", Read(made / "Moon.rcs"));
        EXPECT_EQ("RIFF", Read(made / "Sounds" / "brax1.wav"));
    }
    EXPECT_FALSE(fs::exists(made));
    EXPECT_TRUE(fs::exists(content / "Sounds" / "brax1.wav"));  // a link went, not what it pointed at
}

TEST_F(SceneFolderTest, TwoFoldersOfTheSameSceneAreApart) {
    const SceneFolder first(content.string(), {"Meet-Zib.RCS"});
    const SceneFolder second(content.string(), {"Meet-Zib.RCS"});
    EXPECT_NE(first.Path(), second.Path());
}

struct Refusal {
    const char* name;
    std::string scene;
    std::string message;
};

class SceneFolderRefusal : public SceneFolderTest, public testing::WithParamInterface<Refusal> {};

TEST_P(SceneFolderRefusal, NamesTheSceneAndWhy) {
    try {
        const SceneFolder only(content.string(), {"Planet-Ice.RCS", GetParam().scene});
        FAIL() << "made " << only.Path();
    } catch (const RException& e) {
        EXPECT_EQ(GetParam().message, e.what());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, SceneFolderRefusal,
    testing::Values(Refusal{"Missing", "Nowhere.RCS", "The scene file Nowhere.RCS was not found."},
                    Refusal{"NotASceneFile", "Notes.txt",
                            "The scene file Notes.txt is not named like a scene file (*.RCS)."},
                    Refusal{"OutsideTheContentByName", "../content/Meet-Zib.RCS",
                            "The scene file ../content/Meet-Zib.RCS was not found."},
                    Refusal{"AFolder", "Sounds", "The scene file Sounds was not found."}),
    [](const testing::TestParamInfo<Refusal>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace quellmoor
