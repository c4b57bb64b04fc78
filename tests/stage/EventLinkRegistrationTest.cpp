// Links declared in a static library reach the stage when the program calls
// the library's registration function: nothing else in this binary refers to
// the library, so a static declaration object there would have been dropped.
#include "tests/stage/StageFixture.h"
#include "tests/stage/links/ModuleLinks.h"

namespace quellmoor::testing {
namespace {

class EventLinkRegistrationTest : public StageTest {
protected:
    EventLinkRegistrationTest() { ModuleLinkCalls().clear(); }
    ~EventLinkRegistrationTest() override { ClearPendingEventLinks(); }
};

TEST_F(EventLinkRegistrationTest, RegisteredLinksBindAndFire) {
    ASSERT_TRUE(PendingEventLinks().empty());
    RegisterModuleEventLinks();
    ASSERT_EQ(PendingEventLinks().size(), 2u);
    LoadBackground(8, 8, 1);
    EXPECT_TRUE(PendingEventLinks().empty());
    stage->KeyUp(0x53, 0x53);
    EXPECT_EQ(ModuleLinkCalls(), (std::vector<std::string>{"Stage:OnBeforeEverything", "Stage:OnKeyUp"}));
}

TEST_F(EventLinkRegistrationTest, RegisteringTwiceBindsOnce) {
    RegisterModuleEventLinks();
    RegisterModuleEventLinks();
    EXPECT_EQ(PendingEventLinks().size(), 2u);
    LoadBackground(8, 8, 1);
    stage->KeyUp(0x53, 0x53);
    EXPECT_EQ(ModuleLinkCalls(), (std::vector<std::string>{"Stage:OnBeforeEverything", "Stage:OnKeyUp"}));
}

}  // namespace
}  // namespace quellmoor::testing
