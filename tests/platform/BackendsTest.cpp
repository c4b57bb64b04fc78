#include "platform/Backends.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/Exceptions.h"
#include "platform/headless/HeadlessPlatform.h"

namespace quellmoor::platform {
namespace {

TEST(Backends, TheWindowlessOneIsAlwaysThereAndFirst) {
    const auto names = BackendNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "headless");
    EXPECT_NE(std::find(names.begin(), names.end(), DefaultBackendName()), names.end());
}

TEST(Backends, HeadlessGetsTheContentAndTheDesktop) {
    auto backend = CreateBackend("headless", {.content = {'R', 'C', 'S'}, .desktop = {0, 0, 480, 360}});
    auto* headless = dynamic_cast<HeadlessPlatform*>(backend.get());
    ASSERT_NE(headless, nullptr);
    EXPECT_EQ(headless->GetEmbeddedContent(), (std::vector<std::uint8_t>{'R', 'C', 'S'}));
    EXPECT_EQ(headless->GetDesktopRect().width, 480);
    EXPECT_EQ(headless->GetDesktopRect().height, 360);
    // The virtual clock: waiting a simulated minute takes no time.
    headless->WaitUntil(60000);
    EXPECT_EQ(headless->NowMs(), 60000);
}

TEST(Backends, AnUnknownNameIsRefusedWithTheKnownOnes) {
    std::string known;
    for (std::string_view name : BackendNames()) known += (known.empty() ? "" : ", ") + std::string(name);
    try {
        CreateBackend("amiga", {});
        ADD_FAILURE() << "made a backend for an unknown name";
    } catch (const RParamException& e) {
        EXPECT_EQ(e.GetMessage(), "unknown backend \"amiga\" (this build has " + known + ")");
    }
}

}  // namespace
}  // namespace quellmoor::platform
