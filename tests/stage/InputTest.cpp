#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

using Type = platform::InputEvent::Type;

std::vector<std::string>* firedLog = nullptr;

void Record(RComponent*, REvent* event, RObject*) {
    RStage* stage = CurrentStage();
    std::ostringstream entry;
    entry << event->GetName();
    if (event->GetName().starts_with("OnMouse"))
        entry << ' ' << stage->GetMousePosition().value().x << ',' << stage->GetMousePosition().value().y;
    if (event->GetName() == "OnKeyDown")
        entry << ' ' << int{stage->GetKeyDownCode()} << '/' << stage->GetKeyDownData();
    if (event->GetName() == "OnKeyUp") entry << ' ' << int{stage->GetKeyUpCode()} << '/' << stage->GetKeyUpData();
    if (event->GetName() == "OnActivate") entry << (stage->IsActive() ? " on" : " off");
    firedLog->push_back(entry.str());
}

class InputTest : public StageTest {
protected:
    InputTest() {
        firedLog = &log;
        for (const char* name : {"OnMouseMove", "OnMouseDown", "OnMouseUp", "OnKeyDown", "OnKeyUp", "OnActivate", "OnExit"})
            stage->AddEventHandler(name, &Record, nullptr);
        LoadBackground(16, 16, 1);
    }
    ~InputTest() override { firedLog = nullptr; }
    std::vector<std::string> log;
};

TEST_F(InputTest, EventsBecomeStageOperationsInOrder) {
    host.QueueInput(10, {.type = Type::MouseMove, .x = 12, .y = 7});
    host.QueueInput(20, {.type = Type::MouseDown, .x = 3, .y = 4, .button = 0});
    host.QueueInput(20, {.type = Type::MouseUp, .x = 5, .y = 6, .button = 0});
    host.QueueInput(30, {.type = Type::MouseDown, .x = 9, .y = 9, .button = 1});  // only the left button counts
    host.QueueInput(40, {.type = Type::KeyDown, .virtualKey = 0x71});
    host.QueueInput(50, {.type = Type::KeyUp, .virtualKey = 0x153});
    host.QueueInput(60, {.type = Type::Activate, .active = true});
    CloseAt(70);
    stage->Run();
    EXPECT_EQ(log, (std::vector<std::string>{"OnMouseMove 12,7", "OnMouseDown 3,4", "OnMouseUp 5,6",
                                             "OnKeyDown 113/113", "OnKeyUp 83/339", "OnActivate on", "OnExit"}));
}

TEST_F(InputTest, TheMousePositionIsUnsetUntilTheMouseMoves) {
    EXPECT_FALSE(stage->GetMousePosition().has_value());
    stage->MouseMove(3, 4);
    EXPECT_EQ(stage->GetMousePosition(), (RPoint{3, 4}));
}

TEST_F(InputTest, InputWakesTheWaitEarly) {
    host.QueueInput(7, {.type = Type::KeyDown, .virtualKey = 0x41});
    std::int64_t handledAt = -1;
    static std::int64_t* at = nullptr;
    static platform::HeadlessPlatform* clock = nullptr;
    at = &handledAt;
    clock = &host;
    stage->AddEventHandler("OnKeyDown", [](RComponent*, REvent*, RObject*) { *at = clock->NowMs(); }, nullptr);
    CloseAt(100);
    stage->Run();
    EXPECT_EQ(handledAt, 7);  // not at the end of a 50 ms wait
}

TEST_F(InputTest, CloseFiresExitOnceAndStoppingIsIdempotent) {
    CloseAt(5);
    CloseAt(6);
    stage->Run();
    stage->Stop();
    stage->DispatchInput({.type = Type::Close});
    EXPECT_EQ(std::count(log.begin(), log.end(), "OnExit"), 1);
    EXPECT_TRUE(stage->IsQuitting());
}

TEST_F(InputTest, ExceptionInAnInputHandlerIsReportedAndTheLoopGoesOn) {
    stage->AddEventHandler("OnKeyDown", [](RComponent*, REvent*, RObject*) { throw RException("Key trouble."); }, nullptr);
    host.QueueInput(5, {.type = Type::KeyDown, .virtualKey = 0x41});
    host.QueueInput(9, {.type = Type::KeyUp, .virtualKey = 0x41});
    CloseAt(20);
    stage->Run();
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, "Key trouble.");
    EXPECT_EQ(log.back(), "OnExit");
    EXPECT_NE(std::find(log.begin(), log.end(), "OnKeyUp 65/65"), log.end());
}

}  // namespace
}  // namespace quellmoor::testing
