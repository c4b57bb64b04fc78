// Where vexmon finds its content: the build's program, an installed or
// unpacked package, the hack's own folder, a stray copy, and nothing at all.
#include "app/vexmon/ContentPlace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quellmoor {
namespace {

namespace fs = std::filesystem;

// Paths are relative to a scratch root; "" is no place at all.
struct PlaceCase {
    std::string name;
    std::vector<std::string> folders;  // made before the lookup
    std::string program;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const PlaceCase& c) { return out << c.name; }

const std::vector<std::string> kBuildAndPackage = {"src/build/app/vexmon", "src/build/content/Vexmon",
                                                   "root/usr/bin", "root/usr/share/vexmon",
                                                   "root/usr/libexec/xscreensaver"};

class ContentPlaceTest : public ::testing::TestWithParam<PlaceCase> {
protected:
    ContentPlaceTest()
        : root_(fs::temp_directory_path() / ("qm-content-place-" + std::to_string(::getpid()) + "-" + GetParam().name)) {
        fs::remove_all(root_);
        for (const std::string& folder : GetParam().folders) fs::create_directories(root_ / folder);
    }
    ~ContentPlaceTest() override { fs::remove_all(root_); }

    std::string At(const std::string& relative) const { return relative.empty() ? "" : (root_ / relative).string(); }

    fs::path root_;
};

TEST_P(ContentPlaceTest, FindsTheContentForWhereTheProgramIs) {
    const PlaceCase& c = GetParam();
    const BuildPlaces build{.programDir = At("src/build/app/vexmon"), .contentDir = At("src/build/content/Vexmon")};
    EXPECT_EQ(At(c.expected), FindContentDir(At(c.program), build));
}

INSTANTIATE_TEST_SUITE_P(
    Places, ContentPlaceTest,
    ::testing::Values(
        PlaceCase{"BuildProgramUsesTheBuildsContent", kBuildAndPackage, "src/build/app/vexmon/vexmon",
                  "src/build/content/Vexmon"},
        PlaceCase{"InstalledProgramUsesItsShareFolderThoughTheBuildExists", kBuildAndPackage, "root/usr/bin/vexmon",
                  "root/usr/share/vexmon"},
        PlaceCase{"HackCopiedIntoLibexecUsesTheSameShareFolder", kBuildAndPackage,
                  "root/usr/libexec/xscreensaver/vexmon", "root/usr/share/vexmon"},
        PlaceCase{"InstalledProgramWithoutTheBuild", {"root/usr/bin", "root/usr/share/vexmon"}, "root/usr/bin/vexmon",
                  "root/usr/share/vexmon"},
        PlaceCase{"CopyOfTheBuildsProgramElsewhereUsesTheBuildsContent",
                  {"src/build/content/Vexmon", "home/bin"}, "home/bin/vexmon", "src/build/content/Vexmon"},
        PlaceCase{"BuildProgramWhoseContentIsGoneLooksBesideItself", {"src/build/app/vexmon"},
                  "src/build/app/vexmon/vexmon", "src/build/app/vexmon"},
        PlaceCase{"NothingFoundIsTheProgramsOwnFolder", {"home/bin"}, "home/bin/vexmon", "home/bin"},
        PlaceCase{"UnknownProgramPathStillFindsTheBuildsContent", {"src/build/content/Vexmon"}, "",
                  "src/build/content/Vexmon"}),
    [](const ::testing::TestParamInfo<PlaceCase>& param) { return param.param.name; });

TEST(ContentPlace, AFileCalledVexmonInShareIsNoContentFolder) {
    const fs::path root = fs::temp_directory_path() / ("qm-content-file-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "usr/share");
    { std::ofstream(root / "usr/share/vexmon") << "not a folder"; }
    EXPECT_EQ((root / "usr/bin").string(), FindContentDir((root / "usr/bin/vexmon").string(), {}));
    fs::remove_all(root);
}

}  // namespace
}  // namespace quellmoor
