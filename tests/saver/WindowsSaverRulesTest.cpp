// The Windows saver's instance rule and password flag: who gives way, who
// sets the running flag, and which registry values ask for a password.
#include "saver/WindowsSaverRules.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quellmoor {
namespace {

struct InstanceCase {
    const char* name;
    WinSaverMode mode;
    bool runExists, previewExists;
    bool giveWay, bringRunToFront, closePreview, setRunningFlag, publishPreview;
};

void PrintTo(const InstanceCase& c, std::ostream* os) { *os << c.name; }

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

class InstanceRuleTest : public ::testing::TestWithParam<InstanceCase> {};

TEST_P(InstanceRuleTest, Decides) {
    const InstanceCase& c = GetParam();
    const InstanceDecision d = DecideInstance(c.mode, c.runExists, c.previewExists);
    EXPECT_EQ(c.giveWay, d.giveWay);
    EXPECT_EQ(c.bringRunToFront, d.bringRunToFront);
    EXPECT_EQ(c.closePreview, d.closePreview);
    EXPECT_EQ(c.setRunningFlag, d.setRunningFlag);
    EXPECT_EQ(c.publishPreview, d.publishPreview);
}

using M = WinSaverMode;

INSTANTIATE_TEST_SUITE_P(
    Modes, InstanceRuleTest,
    ::testing::Values(
        InstanceCase{"RunAlone", M::Run, false, false, false, false, false, true, false},
        InstanceCase{"RunClosesPreview", M::Run, false, true, false, false, true, true, false},
        // The one that gives way never touches the flag the first one set.
        InstanceCase{"SecondRunGivesWay", M::Run, true, true, true, true, false, false, false},
        InstanceCase{"DebugSetsNoFlag", M::Debug, false, true, false, false, true, false, false},
        InstanceCase{"DebugGivesWayToRun", M::Debug, true, false, true, true, false, false, false},
        InstanceCase{"PreviewAlonePublishes", M::Preview, false, false, false, false, false, false, true},
        InstanceCase{"NewPreviewReplacesOld", M::Preview, false, true, false, false, false, false, true},
        InstanceCase{"PreviewGivesWayToRun", M::Preview, true, false, true, false, false, false, false},
        InstanceCase{"ConfigureLeavesAllAlone", M::Config, true, true, false, false, false, false, false},
        InstanceCase{"PasswordLeavesAllAlone", M::ChangePassword, true, true, false, false, false, false, false}),
    CaseName<InstanceCase>);

TEST(InstanceTitles, AreTheProgramNameWithTheModesSuffix) {
    EXPECT_EQ("Vexmon_RUN", RunTitle("Vexmon"));
    EXPECT_EQ("Vexmon_PREVIEW", PreviewTitle("Vexmon"));
}

struct FlagCase {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
    bool set;
};

void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.name; }

class PasswordFlagTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(PasswordFlagTest, ReadsOnlyWellFormedValues) {
    EXPECT_EQ(GetParam().set, PasswordFlagSet(GetParam().type, GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Values, PasswordFlagTest,
    ::testing::Values(FlagCase{"DwordOne", kRegDword, {1, 0, 0, 0}, true},
                      FlagCase{"DwordZero", kRegDword, {0, 0, 0, 0}, false},
                      FlagCase{"DwordHighByte", kRegDword, {0, 0, 0, 1}, true},
                      FlagCase{"DwordTooShort", kRegDword, {1, 0}, false},
                      FlagCase{"DwordNoBytes", kRegDword, {}, false},
                      FlagCase{"BinaryOne", kRegBinary, {1, 0, 0, 0}, true},
                      FlagCase{"BinaryTooLong", kRegBinary, {1, 0, 0, 0, 0}, false},
                      FlagCase{"StringOne", kRegString, {'1', 0}, true},
                      FlagCase{"StringZero", kRegString, {'0', 0}, false},
                      FlagCase{"StringUnterminated", kRegString, {'1'}, true},
                      FlagCase{"StringEmpty", kRegString, {0}, false},
                      FlagCase{"StringNotANumber", kRegString, {'y', 'e', 's', 0}, false},
                      FlagCase{"OtherType", 7, {1, 0, 0, 0}, false}),
    CaseName<FlagCase>);

}  // namespace
}  // namespace quellmoor
