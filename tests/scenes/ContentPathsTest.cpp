#include "scenes/ContentPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace quellmoor {
namespace {

namespace fs = std::filesystem;

// A fresh content folder under the system's temporary folder, removed afterwards.
class ContentFolder : public testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        root = fs::temp_directory_path() / ("vexmon-paths-" + std::to_string(seed()) + std::to_string(seed()));
        fs::create_directories(root);
        std::ofstream(root / "probe");
        caseSensitive = !fs::exists(root / "PROBE");
        fs::remove(root / "probe");
    }
    void TearDown() override { fs::remove_all(root); }

    // "Sounds/brax1.wav" makes a file, "Sounds/brax1.wav/" a folder.
    void Make(const std::vector<std::string>& entries) {
        for (const std::string& entry : entries) {
            const fs::path path = root / fs::path(entry).relative_path();
            if (entry.ends_with('/')) {
                fs::create_directories(path);
            } else {
                fs::create_directories(path.parent_path());
                std::ofstream(path) << "RIFF";
            }
        }
    }

    std::string Dir() const { return root.string(); }

    fs::path root;
    bool caseSensitive = true;
};

struct LookupCase {
    const char* name;
    std::vector<std::string> entries;
    const char* lookedFor;
    const char* expected;  // nullptr: not found
    bool onlyWhereCaseMatters = false;
};
void PrintTo(const LookupCase& c, std::ostream* out) { *out << c.name; }

const LookupCase kSounds[] = {
    {"WaveExtensionAdded", {"Sounds/brax1.wav"}, "brax1", "Sounds/brax1.wav"},
    {"NameAsGivenFirst", {"Sounds/brax1", "Sounds/brax1.wav"}, "brax1", "Sounds/brax1"},
    {"FolderAndFileInAnyCase", {"sounds/BRAX1.WAV"}, "brax1", "sounds/BRAX1.WAV"},
    {"NameInAnyCase", {"Sounds/Motor2.Wav"}, "motor2", "Sounds/Motor2.Wav"},
    {"FolderIsNoSound", {"Sounds/brax3/", "Sounds/brax3.wav"}, "brax3", "Sounds/brax3.wav"},
    {"OnlyFolders", {"Sounds/brax3.wav/"}, "brax3", nullptr},
    {"Missing", {"Sounds/brax1.wav"}, "brax2", nullptr},
    {"NoSoundsFolder", {"brax1.wav"}, "brax1", nullptr},
    {"SoundsIsAFile", {"Sounds"}, "brax1", nullptr},
    {"ParentRefused", {"secret.wav", "Sounds/"}, "../secret", nullptr},
    {"SeparatorRefused", {"Sounds/deep/brax1.wav"}, "deep/brax1", nullptr},
    {"EmptyRefused", {"Sounds/.wav"}, "", nullptr},
    {"ExactCaseBeatsOtherCase", {"SOUNDS/brax1.wav", "Sounds/brax1.wav"}, "brax1", "Sounds/brax1.wav", true},
    {"SmallestOfCaseVariants", {"Sounds/brax2.WAV", "Sounds/Brax2.wav"}, "brax2", "Sounds/Brax2.wav", true},
};

class SoundLookup : public ContentFolder, public testing::WithParamInterface<LookupCase> {};

TEST_P(SoundLookup, FindsTheFileAsAuthored) {
    if (GetParam().onlyWhereCaseMatters && !caseSensitive) GTEST_SKIP() << "file names ignore case here";
    Make(GetParam().entries);
    const auto found = FindSound(Dir(), GetParam().lookedFor);
    if (!GetParam().expected) {
        EXPECT_EQ(found, std::nullopt);
        return;
    }
    ASSERT_TRUE(found);
    const fs::path expected = root / fs::path(GetParam().expected).make_preferred();
    EXPECT_TRUE(fs::equivalent(*found, expected)) << *found;
    if (caseSensitive) {
        EXPECT_EQ(*found, expected.string());
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, SoundLookup, testing::ValuesIn(kSounds),
                         [](const auto& param) { return std::string(param.param.name); });

const LookupCase kSkins[] = {
    {"Plain", {"Skins/gold.bmp"}, "gold", "Skins/gold.bmp"},
    {"AnyCase", {"skins/Gold.BMP"}, "gold", "skins/Gold.BMP"},
    {"ExtensionIsAlwaysAdded", {"Skins/gold"}, "gold", nullptr},
    {"ParentRefused", {"Skins/", "x.bmp"}, "../x", nullptr},
    {"BackslashRefused", {"Skins/a/x.bmp"}, "a\\x", nullptr},
    {"DriveRefused", {"Skins/x.bmp"}, "C:x", nullptr},
};

class SkinLookup : public ContentFolder, public testing::WithParamInterface<LookupCase> {};

TEST_P(SkinLookup, FindsTheBitmap) {
    Make(GetParam().entries);
    const auto found = FindSkin(Dir(), GetParam().lookedFor);
    if (!GetParam().expected) {
        EXPECT_EQ(found, std::nullopt);
        return;
    }
    ASSERT_TRUE(found);
    EXPECT_TRUE(fs::equivalent(*found, root / fs::path(GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(Folders, SkinLookup, testing::ValuesIn(kSkins),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ContentFolder, PathsUseTheSystemSeparator) {
    Make({"Sounds/brax1.wav"});
    EXPECT_EQ(FindSound(Dir(), "brax1"), (root / "Sounds" / "brax1.wav").string());
}

TEST_F(ContentFolder, ProgramInTheContentFolder) {
    Make({"vexmonabout.EXE"});
    const auto found = FindContentFile(Dir(), {"VexmonAbout.exe"});
    ASSERT_TRUE(found);
    EXPECT_TRUE(fs::equivalent(*found, root / "vexmonabout.EXE"));
}

TEST_F(ContentFolder, NoContentFolderFindsNothing) {
    Make({"Sounds/brax1.wav", "Skins/gold.bmp", "Moon.RCS"});
    EXPECT_EQ(FindSound("", "brax1"), std::nullopt);
    EXPECT_EQ(FindSkin((root / "missing").string(), "gold"), std::nullopt);
    EXPECT_TRUE(ListSceneFiles("").empty());
    EXPECT_TRUE(ListSceneFiles((root / "missing").string()).empty());
    EXPECT_TRUE(ListSceneFiles((root / "Moon.RCS").string()).empty());
}

std::vector<std::string> Names(const std::vector<SceneFile>& files) {
    std::vector<std::string> names;
    for (const SceneFile& file : files) names.push_back(file.name);
    return names;
}

TEST_F(ContentFolder, SceneFilesSortedByLowerCasedName) {
    // "[" and "_" sit between the upper- and lower-case letters: lower-casing
    // puts them before every letter, upper-casing would put them after.
    Make({"b.RCS", "A.rcs", "c.Rcs", "_z.rcs", "[x].RCS", "notes.txt", "Moon.RCS.bak", "rcs", "Folder.RCS/",
          "Sounds/deep.RCS"});
    const std::vector<SceneFile> files = ListSceneFiles(Dir());
    EXPECT_EQ(Names(files), (std::vector<std::string>{"[x].RCS", "_z.rcs", "A.rcs", "b.RCS", "c.Rcs"}));
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files[0].path, (root / "[x].RCS").string());
}

TEST_F(ContentFolder, SceneFilesDifferingOnlyInCaseSortByBytes) {
    if (!caseSensitive) GTEST_SKIP() << "file names ignore case here";
    Make({"moon.rcs", "Moon.RCS", "MOON.rcs"});
    EXPECT_EQ(Names(ListSceneFiles(Dir())), (std::vector<std::string>{"MOON.rcs", "Moon.RCS", "moon.rcs"}));
}

TEST(ContentPaths, BareNames) {
    for (const char* name : {"gold", "motor1", "brax 9", "gold..old", ".hidden", "Zonnestelsel.RCS"})
        EXPECT_TRUE(IsBareName(name)) << name;
    for (const char* name : {"", ".", "..", "../gold", "a/b", "a\\b", "/etc", "C:gold", "gold\n", "\tgold"})
        EXPECT_FALSE(IsBareName(name)) << name;
    EXPECT_FALSE(IsBareName(std::string_view("go\0ld", 5)));
}

}  // namespace
}  // namespace quellmoor
