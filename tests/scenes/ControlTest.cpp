#include "scenes/Control.h"

#include <gtest/gtest.h>

#include <vector>

#include "scenes/Report.h"
#include "tests/scenes/FakeFilesPlatform.h"

namespace quellmoor {
namespace {

using namespace std::string_literals;

#ifdef _WIN32
const std::string kNl = "\r\n";
#else
const std::string kNl = "\n";
#endif

const std::string kPath = "/home/ada/.config/vexmon/control.ini";

class Control : public testing::Test {
protected:
    void SetUp() override {
        ForgetReports();
        SetReportSink([this](const std::string& message) { reports.push_back(message); });
    }
    void TearDown() override {
        SetReportSink({});
        ForgetReports();
    }
    std::string File() { return platform.files[kPath]; }

    test::FakeFilesPlatform platform;
    std::vector<std::string> reports;
};

TEST_F(Control, MissingFileGivesDefaults) {
    EXPECT_EQ(ReadControl("Sound", "1"), "1");
    EXPECT_EQ(ReadControl("Dir", ""), "");
    EXPECT_TRUE(reports.empty());
}

TEST_F(Control, ReadsTheVexmonSectionIgnoringCase) {
    platform.files[kPath] = "[Other]\nSkin=red\n[vexmon]\nSKIN=gold\n";
    EXPECT_EQ(ReadControl("Skin", ""), "gold");
    EXPECT_EQ(ReadControl("Engine", "1"), "1");
}

TEST_F(Control, WriteCreatesTheFileAndReadsBack) {
    EXPECT_EQ(WriteControl("Moon.RCS", "1"), ControlWrite::Written);
    EXPECT_EQ(File(), "[Vexmon]" + kNl + "Moon.RCS=1" + kNl);
    EXPECT_EQ(ReadControl("moon.rcs", "0"), "1");
}

TEST_F(Control, WritesOnlyWhenTheValueChanges) {
    EXPECT_EQ(WriteControl("Moon.RCS", "1"), ControlWrite::Written);
    EXPECT_EQ(WriteControl("MOON.rcs", "1"), ControlWrite::Unchanged);
    EXPECT_EQ(platform.replacements, 1);
    EXPECT_EQ(WriteControl("Moon.RCS", "0"), ControlWrite::Written);
    EXPECT_EQ(platform.replacements, 2);
}

TEST_F(Control, KeepsWhatOthersWroteBetweenWrites) {
    platform.files[kPath] = "; mine\r\n[Vexmon]\r\nDir=C:\\Vexmon\r\n\r\n[Tools]\r\nEditor=vi\r\n";
    WriteControl("Moon.RCS", "1");
    // The configure dialog saves a skin meanwhile; the saver's next write keeps it.
    platform.files[kPath] += "[Extra]\r\nA=1\r\n";
    platform.files[kPath].replace(platform.files[kPath].find("Dir="), 0, "Skin=gold\r\n");
    WriteControl("Fly.RCS", "1");
    EXPECT_EQ(File(),
              "; mine\r\n[Vexmon]\r\nSkin=gold\r\nDir=C:\\Vexmon\r\nMoon.RCS=1\r\nFly.RCS=1\r\n\r\n"
              "[Tools]\r\nEditor=vi\r\n[Extra]\r\nA=1\r\n");
}

struct BadKeyCase {
    const char* name;
    std::string key;
};
void PrintTo(const BadKeyCase& c, std::ostream* out) { *out << c.name; }

class ControlBadKey : public Control, public testing::WithParamInterface<BadKeyCase> {};

TEST_P(ControlBadKey, IsSkippedAndTheFileLeftAlone) {
    const std::string before = "[Vexmon]\nDir=/srv/vexmon\n";
    platform.files[kPath] = before;
    EXPECT_EQ(WriteControl(GetParam().key, "1"), ControlWrite::Skipped);
    EXPECT_EQ(WriteControl(GetParam().key, "1"), ControlWrite::Skipped);
    EXPECT_EQ(File(), before);
    EXPECT_EQ(platform.replacements, 0);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(ReadControl(GetParam().key, "0"), "0");
}

INSTANTIATE_TEST_SUITE_P(Keys, ControlBadKey,
                         testing::Values(BadKeyCase{"Equals", "a=b.RCS"}, BadKeyCase{"Semicolon", ";a.RCS"},
                                         BadKeyCase{"OpeningBracket", "[Vexmon].RCS"},
                                         BadKeyCase{"ClosingBracket", "a].RCS"}, BadKeyCase{"LineFeed", "a\nDir"},
                                         BadKeyCase{"CarriageReturn", "a\rDir"}, BadKeyCase{"Empty", ""},
                                         BadKeyCase{"Nul", std::string("a\0b", 3)}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(Control, BadKeyReportSaysWhy) {
    WriteControl("x=y\n.RCS", "1");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              "The setting \"x=y?.RCS\" was not saved: a setting's name cannot be empty, start or end with a blank, "
              "or hold \"=\", \";\", \"[\", \"]\" or line breaks.");
}

TEST_F(Control, ValueWithLineBreakIsSkipped) {
    platform.files[kPath] = "[Vexmon]\nSkin=red\n";
    EXPECT_EQ(WriteControl("Skin", "gold\n[Evil]\nA=1"), ControlWrite::Skipped);
    EXPECT_EQ(File(), "[Vexmon]\nSkin=red\n");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              "The setting \"Skin\" was not saved: its value cannot start or end with a blank, sit in quotes, or "
              "hold line breaks.");
}

TEST_F(Control, FailedWriteKeepsTheOldFileReportsOnceAndTriesAgainLater) {
    platform.files[kPath] = "[Vexmon]\nMoon.RCS=0\n";
    platform.failWrites = true;
    EXPECT_EQ(WriteControl("Moon.RCS", "1"), ControlWrite::Failed);
    EXPECT_EQ(WriteControl("Fly.RCS", "1"), ControlWrite::Failed);
    EXPECT_EQ(File(), "[Vexmon]\nMoon.RCS=0\n");
    EXPECT_EQ(ReadControl("Moon.RCS", "0"), "0");  // what the file holds, nothing imagined
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              "Settings could not be saved: The file " + kPath + " could not be written: the disk is full.");

    platform.failWrites = false;
    EXPECT_EQ(WriteControl("Moon.RCS", "1"), ControlWrite::Written);
    EXPECT_EQ(File(), "[Vexmon]\nMoon.RCS=1\n");
}

TEST_F(Control, OversizedFileIsIgnoredAndNeverRewritten) {
    const std::string huge = "[Vexmon]\nSkin=gold\n" + std::string(kMaxControlFileBytes, ';');
    platform.files[kPath] = huge;
    EXPECT_EQ(ReadControl("Skin", "none"), "none");
    EXPECT_EQ(WriteControl("Skin", "red"), ControlWrite::Failed);
    EXPECT_EQ(File(), huge);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "The settings file " + kPath +
                              " is larger than 1 MB, so it cannot be this program's; it is ignored and left as it is.");
}

TEST_F(Control, BinaryFileIsReadAndKeptWhole) {
    const std::string junk = "\x7f" "ELF\0\0[\xff\n=\r\r\x01"s;
    platform.files[kPath] = junk;
    EXPECT_EQ(ReadControl("Dir", "d"), "d");
    EXPECT_EQ(WriteControl("Dir", "/srv"), ControlWrite::Written);
    EXPECT_EQ(File().substr(0, junk.size()), junk);
    EXPECT_EQ(ReadControl("Dir", "d"), "/srv");
}

TEST_F(Control, SystemWithoutSettingsFileUsesDefaults) {
    platform.settingsFolder.clear();
    EXPECT_EQ(ReadControl("Sound", "1"), "1");
    EXPECT_EQ(WriteControl("Sound", "0"), ControlWrite::Failed);
    EXPECT_EQ(WriteControl("Sound", "0"), ControlWrite::Failed);
    EXPECT_TRUE(platform.files.empty());
    EXPECT_EQ(reports, std::vector<std::string>{"This system keeps no settings file, so settings are not saved."});
}

TEST(ControlWithoutPlatform, GivesDefaults) {
    ASSERT_FALSE(platform::HasCurrentPlatform());
    EXPECT_EQ(ReadControl("Engine", "1"), "1");
}

}  // namespace
}  // namespace quellmoor
