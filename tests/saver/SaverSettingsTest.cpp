// The saver's settings for one run: the settings file's "Vexmon" section, its
// defaults, names that would leave their folder, and the command line winning.
#include <gtest/gtest.h>

#include "platform/headless/HeadlessPlatform.h"
#include "saver/CommandLine.h"
#include "saver/Screensaver.h"
#include "scenes/Control.h"
#include "scenes/Report.h"

namespace quellmoor {
namespace {

class SaverSettingsTest : public ::testing::Test {
protected:
    SaverSettingsTest() { platform::SetCurrentPlatform(&host); }
    ~SaverSettingsTest() override {
        platform::SetCurrentPlatform(nullptr);
        ForgetReports();
    }
    void Set(const char* key, const char* value) { ASSERT_EQ(WriteControl(key, value), ControlWrite::Written); }
    SaverSettings Read(std::vector<std::string_view> arguments = {}) {
        return ReadSaverSettings(ParseCommandLine(arguments, std::nullopt), "/opt/vexmon");
    }

    platform::HeadlessPlatform host{{.randomSeed = 4242}};
};

TEST_F(SaverSettingsTest, WithoutSettingsTheDefaultsHold) {
    const SaverSettings settings = Read();
    EXPECT_EQ(settings.dir, "/opt/vexmon");
    EXPECT_EQ(settings.engine, "1");
    EXPECT_EQ(settings.skin, "");
    EXPECT_TRUE(settings.sound);
    EXPECT_EQ(settings.seed, 4242u);  // the platform's, new on every real run
}

TEST_F(SaverSettingsTest, TheSettingsFileIsRead) {
    Set("Dir", "/home/me/vexmon");
    Set("Engine", "3");
    Set("Skin", "Tiger");
    Set("Sound", "0");
    const SaverSettings settings = Read();
    EXPECT_EQ(settings.dir, "/home/me/vexmon");
    EXPECT_EQ(settings.engine, "3");
    EXPECT_EQ(settings.skin, "Tiger");
    EXPECT_FALSE(settings.sound);
}

struct SoundCase {
    const char* name;
    const char* value;
    bool on;
};

class SoundSettingTest : public SaverSettingsTest, public ::testing::WithParamInterface<SoundCase> {};

TEST_P(SoundSettingTest, SoundIsOnExactlyWhenTheValueReadsOne) {
    Set("Sound", GetParam().value);
    EXPECT_EQ(Read().sound, GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(Values, SoundSettingTest,
                         ::testing::Values(SoundCase{"One", "1", true}, SoundCase{"OneAndText", "1 yes", true},
                                           SoundCase{"Zero", "0", false}, SoundCase{"Two", "2", false},
                                           SoundCase{"Word", "on", false}),
                         [](const auto& test) { return std::string(test.param.name); });

struct NameCase {
    const char* name;
    const char* value;
};

class UnsafeNameTest : public SaverSettingsTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(UnsafeNameTest, EngineAndSkinMustBeBareNames) {
    Set("Engine", GetParam().value);
    Set("Skin", GetParam().value);
    const SaverSettings settings = Read();
    EXPECT_EQ(settings.engine, "1");
    EXPECT_EQ(settings.skin, "");
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeNameTest,
                         ::testing::Values(NameCase{"Parent", ".."}, NameCase{"UpAndOver", "../../etc/passwd"},
                                           NameCase{"Slash", "a/b"}, NameCase{"Absolute", "/tmp/skin"},
                                           NameCase{"Backslash", "a\\b"}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(SaverSettingsTest, TheCommandLineWins) {
    Set("Dir", "/home/me/vexmon");
    Set("Engine", "3");
    Set("Skin", "Tiger");
    Set("Sound", "1");
    const SaverSettings settings =
        Read({"--dir", "/tmp/show", "--engine", "2", "--skin", "Zebra", "--sound", "off", "--seed", "7"});
    EXPECT_EQ(settings.dir, "/tmp/show");
    EXPECT_EQ(settings.engine, "2");
    EXPECT_EQ(settings.skin, "Zebra");
    EXPECT_FALSE(settings.sound);
    EXPECT_EQ(settings.seed, 7u);
}

}  // namespace
}  // namespace quellmoor
