// The settings file on a real disk going wrong: a folder where the file should
// be, and a process killed between writing the temporary file and renaming it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"
#include "scenes/Control.h"
#include "scenes/Report.h"

namespace quellmoor {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void Spill(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

class ControlOnDisk : public testing::Test {
protected:
    void SetUp() override {
        // Each test runs in a process of its own, and addresses repeat between
        // processes: the folder's name must not come from one.
        std::string name = "vexmon-control-";
        name += std::to_string(std::random_device{}());
        folder = fs::temp_directory_path() / name;
        fs::remove_all(folder);
        fs::create_directories(folder);
        host = std::make_unique<platform::HeadlessPlatform>(platform::HeadlessOptions{.settingsFolder = folder.string()});
        platform::SetCurrentPlatform(host.get());
        ForgetReports();
        SetReportSink([this](const std::string& message) { reports.push_back(message); });
    }
    void TearDown() override {
        SetReportSink({});
        ForgetReports();
        platform::SetCurrentPlatform(nullptr);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path File() const { return folder / std::string(kControlFileName); }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
        return names;
    }

    fs::path folder;
    std::unique_ptr<platform::HeadlessPlatform> host;
    std::vector<std::string> reports;
};

TEST_F(ControlOnDisk, AFolderInThePlaceOfTheFileGivesDefaultsAndIsLeftAlone) {
    fs::create_directory(File());
    Spill(File() / "keep.txt", "mine");
    EXPECT_EQ(ReadControl("Sound", "1"), "1");
    EXPECT_EQ(WriteControl("Sound", "0"), ControlWrite::Failed);
    EXPECT_EQ(WriteControl("Skin", "Tiger"), ControlWrite::Failed);
    EXPECT_TRUE(fs::is_directory(File()));
    EXPECT_EQ(Slurp(File() / "keep.txt"), "mine");
    EXPECT_EQ(Entries(), (std::set<std::string>{std::string(kControlFileName)}));  // no temporary left
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind("Settings could not be saved: The file " + File().string() + " could not be ", 0), 0u)
        << reports[0];
}

// A kill after the temporary file was written and before the rename leaves
// the old file whole beside a half-written temporary one.
TEST_F(ControlOnDisk, AKillBeforeTheRenameLosesNothing) {
    const std::string old = "[Vexmon]\nSkin=Tiger\nPlanet-Ice.RCS=1\n";
    Spill(File(), old);
    fs::path temporary = File();
    temporary += ".tmp";
    Spill(temporary, "[Vexmon]\nSkin=Ti");

    EXPECT_EQ(ReadControl("Skin", ""), "Tiger");
    EXPECT_EQ(ReadControl("Planet-Ice.RCS", "0"), "1");
    EXPECT_EQ(Slurp(File()), old);

    ASSERT_EQ(WriteControl("Sound", "0"), ControlWrite::Written);
    EXPECT_EQ(ReadControl("Skin", ""), "Tiger");
    EXPECT_EQ(ReadControl("Planet-Ice.RCS", "0"), "1");
    EXPECT_EQ(ReadControl("Sound", "1"), "0");
    EXPECT_EQ(Entries(), (std::set<std::string>{std::string(kControlFileName)}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(ControlOnDisk, AFullDiskKeepsTheOldFileWhole) {
    const std::string old = "[Vexmon]\nSkin=Tiger\n";
    Spill(File(), old);
    host->SetWritesFail(true);
    EXPECT_EQ(WriteControl("Skin", "Gold"), ControlWrite::Failed);
    EXPECT_EQ(Slurp(File()), old);
    EXPECT_EQ(ReadControl("Skin", ""), "Tiger");
    EXPECT_EQ(reports, std::vector<std::string>{"Settings could not be saved: The file " + File().string() +
                                                " could not be written: no space left on the device."});
}

}  // namespace
}  // namespace quellmoor
