#include "scenes/Report.h"

#include <gtest/gtest.h>

#include <vector>

namespace quellmoor {
namespace {

class Reporting : public testing::Test {
protected:
    void SetUp() override {
        ForgetReports();
        SetReportSink([this](const std::string& message) { lines.push_back(message); });
    }
    void TearDown() override {
        SetReportSink({});
        ForgetReports();
    }
    std::vector<std::string> lines;
};

TEST_F(Reporting, EachMessageOnce) {
    for (int tick = 0; tick < 100; ++tick) {
        ReportOnce("The scene Moon.RCS could not start.");
        ReportOnce("The sound brax3 is missing.");
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"The scene Moon.RCS could not start.", "The sound brax3 is missing."}));
}

TEST_F(Reporting, ForgettingReportsAgain) {
    ReportOnce("Once.");
    ForgetReports();
    ReportOnce("Once.");
    EXPECT_EQ(lines.size(), 2u);
}

TEST_F(Reporting, RemembersABoundedNumberOfMessages) {
    for (std::size_t i = 0; i < kMaxReports + 50; ++i) ReportOnce("Problem " + std::to_string(i) + ".");
    ASSERT_EQ(lines.size(), kMaxReports + 1);
    EXPECT_EQ(lines.back(), "Too many different problems; further ones are not reported.");
    ReportOnce("Problem 0.");
    ReportOnce("Another problem.");
    EXPECT_EQ(lines.size(), kMaxReports + 1);
}

}  // namespace
}  // namespace quellmoor
