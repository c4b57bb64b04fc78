// The configure dialog's choices: skins and engines as the content folder
// offers them, and the three settings written and read back as the saver reads them.
#include "saver/SaverChoices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/headless/HeadlessPlatform.h"
#include "saver/CommandLine.h"
#include "saver/Screensaver.h"
#include "scenes/Control.h"
#include "scenes/Report.h"

namespace quellmoor {
namespace {

namespace fs = std::filesystem;

class ContentFolder : public ::testing::Test {
protected:
    ContentFolder() {
        fs::create_directories(dir / "Skins");
        fs::create_directories(dir / "Sounds");
    }
    ~ContentFolder() override { fs::remove_all(dir); }
    void Touch(const fs::path& relative) { std::ofstream(dir / relative) << "x"; }

    fs::path dir = fs::temp_directory_path() /
                   ("vexmon-choices-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(ContentFolder, SkinsAreTheBitmapsSortedIgnoringCase) {
    Touch("Skins/Tiger.bmp");
    Touch("Skins/classic.BMP");
    Touch("Skins/Moo.bmp");
    Touch("Skins/notes.txt");
    Touch("Skins/.bmp");
    fs::create_directories(dir / "Skins/Folder.bmp");
    EXPECT_EQ((std::vector<std::string>{"classic", "Moo", "Tiger"}), ListSkins(dir.string()));
}

TEST_F(ContentFolder, EnginesAreTheMotorSoundsInNumberOrder) {
    Touch("Sounds/motor2.wav");
    Touch("Sounds/MOTOR10.WAV");
    Touch("Sounds/motor1.wav");
    Touch("Sounds/motor.wav");
    Touch("Sounds/motor01.wav");
    Touch("Sounds/motorx.wav");
    Touch("Sounds/brax1.wav");
    EXPECT_EQ((std::vector<std::string>{"1", "2", "10"}), ListEngines(dir.string()));
}

TEST_F(ContentFolder, WithoutContentThereIsEngineOneAndNoSkin) {
    EXPECT_TRUE(ListSkins((dir / "missing").string()).empty());
    EXPECT_EQ((std::vector<std::string>{"1"}), ListEngines((dir / "missing").string()));
    EXPECT_EQ((std::vector<std::string>{"1"}), ListEngines(""));
}

class ChoicesFile : public ::testing::Test {
protected:
    ChoicesFile() { platform::SetCurrentPlatform(&host); }
    ~ChoicesFile() override {
        platform::SetCurrentPlatform(nullptr);
        ForgetReports();
    }
    platform::HeadlessPlatform host{{}};
};

TEST_F(ChoicesFile, WithoutAFileTheDefaultsAreOffered) { EXPECT_EQ(SaverChoices{}, ReadChoices()); }

TEST_F(ChoicesFile, WrittenChoicesAreWhatTheSaverReads) {
    ASSERT_TRUE(WriteChoices({.skin = "Tiger", .engine = "2", .sound = false}));
    EXPECT_EQ((SaverChoices{.skin = "Tiger", .engine = "2", .sound = false}), ReadChoices());
    const SaverSettings settings = ReadSaverSettings(CommandLine{}, "/opt/vexmon");
    EXPECT_EQ("Tiger", settings.skin);
    EXPECT_EQ("2", settings.engine);
    EXPECT_FALSE(settings.sound);
}

TEST_F(ChoicesFile, OtherSettingsAndScenesSurviveAWrite) {
    ASSERT_EQ(ControlWrite::Written, WriteControl("Dir", "C:\\Vexmon"));
    ASSERT_EQ(ControlWrite::Written, WriteControl("Moon.RCS", "3"));
    ASSERT_TRUE(WriteChoices({.skin = "", .engine = "1", .sound = true}));
    EXPECT_EQ("C:\\Vexmon", ReadControl("Dir", ""));
    EXPECT_EQ("3", ReadControl("Moon.RCS", ""));
}

TEST_F(ChoicesFile, NamesThatLeaveTheirFolderReadAsDefaults) {
    ASSERT_EQ(ControlWrite::Written, WriteControl("Skin", "..\\..\\evil"));
    ASSERT_EQ(ControlWrite::Written, WriteControl("Engine", "../2"));
    EXPECT_EQ(SaverChoices{}, ReadChoices());
}

}  // namespace
}  // namespace quellmoor
