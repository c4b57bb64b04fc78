#include "model/EventNames.h"
#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

class StageLoadTest : public StageTest {};

std::vector<std::string>* eventLog = nullptr;

void LogEvent(RComponent*, REvent* event, RObject*) {
    if (eventLog) eventLog->push_back(event->GetName());
}

TEST_F(StageLoadTest, StageIsItsOwnFirstComponentAndCurrent) {
    ASSERT_FALSE(stage->GetComponents().empty());
    EXPECT_EQ(stage->GetComponents().front(), stage.get());
    EXPECT_EQ(stage->GetName(), "Stage");
    EXPECT_EQ(CurrentStage(), stage.get());
}

TEST_F(StageLoadTest, SetUpSequenceFiresItsEventsInOrder) {
    std::vector<std::string> log;
    eventLog = &log;
    for (const char* name : {"OnBeforeEverything", "OnSetup", "OnCreated"})
        DeclareEventLink({"Stage", name, &LogEvent, ""});
    Load(Pair("Background", BitmapFile(8, 8, 2)));
    eventLog = nullptr;
    EXPECT_EQ(log, (std::vector<std::string>{"OnBeforeEverything", "OnSetup", "OnCreated"}));
    EXPECT_NE(stage->GetOwnWindow(), 0u);
}

TEST_F(StageLoadTest, QuitBeforeLoadingStopsTheSequence) {
    DeclareEventLink({"Stage", "OnBeforeEverything", [](RComponent*, REvent*, RObject*) { CurrentStage()->Quit(); }, ""});
    Load(Pair("Background", BitmapFile(8, 8, 2)));
    EXPECT_EQ(stage->GetBackground(), nullptr);
    EXPECT_EQ(host.WindowsCreated(), 0);
}

TEST_F(StageLoadTest, StageObjectFillsTheSetUpAndCaption) {
    Load(Pair("FullScreen", "true") + Pair("HasFrame", "False") + Pair("ShowCursor", "False") +
         Pair("WindowRect", Pair("X", "5") + Pair("Y", "5") + Pair("Width", "10") + Pair("Height", "10")) +
         Pair("BackColor", "RGB24:123456") + Pair("UseColor", "False") + Pair("Caption", "One") +
         Pair("Caption", "Two") + Pair("Tag", "ignored") + Pair("Background", BitmapFile(8, 8, 2)));
    const RStageSetup& setup = stage->GetSetup();
    EXPECT_TRUE(setup.fullScreen);
    EXPECT_FALSE(setup.hasFrame);
    EXPECT_FALSE(setup.showCursor);
    EXPECT_EQ(setup.windowRect, (RRect{0, 0, 320, 240}));  // read and discarded
    EXPECT_EQ(setup.backColor, 0x123456);
    EXPECT_FALSE(setup.useColor);
    EXPECT_EQ(stage->GetCaption(), "Two");
    EXPECT_EQ(host.WindowTitle(), "Two");
    // Full screen takes the desktop's size, and the images follow the window.
    EXPECT_EQ(host.LastWindowSpec().style, platform::WindowStyle::FullScreen);
    EXPECT_EQ(stage->GetStageImage()->GetWidth(), 1024.0f);
    EXPECT_EQ(stage->GetBackground()->GetHeight(), 768.0f);
    EXPECT_FALSE(host.IsCursorVisible());
}

TEST_F(StageLoadTest, WindowHasTheSystemNamesAndTheSetUpRectangle) {
    stage->GetSetup().windowRect = {10, 20, 40, 30};
    Load(Pair("Background", BitmapFile(8, 8, 2)));
    const auto& spec = host.LastWindowSpec();
    EXPECT_EQ(spec.className, "QuellmoorWindowClass");
    EXPECT_EQ(spec.title, "Quellmoor Window");
    EXPECT_EQ(spec.style, platform::WindowStyle::Framed);
    EXPECT_EQ(spec.rect.x, 10);
    EXPECT_EQ(spec.rect.width, 40);
    EXPECT_TRUE(host.IsWindowVisible());
    // The background keeps its top-left pixels and grows with the window.
    EXPECT_EQ(stage->GetStageImage()->GetWidth(), 40.0f);
    EXPECT_EQ(stage->GetStageImage()->GetDib()->GetPixelIndex(7, 7), 2);
    EXPECT_EQ(stage->GetWindowRect(), (RRect{10, 20, 40, 30}));
}

TEST_F(StageLoadTest, BackgroundOfTheWrongLengthIsReported) {
    const std::string bitmap = BitmapFile(8, 8, 2);
    // The declared length claims four bytes more than the bitmap uses.
    const std::string value = std::to_string(bitmap.size() + 4) + "#" + bitmap + "XXXX";
    Load(Token("Background") + value);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].title, "Quellmoor Exception");
    EXPECT_EQ(host.MessageBoxes()[0].text, "LoadPropFromStream; Invalid length.");
}

TEST_F(StageLoadTest, SetBackColorFillsAndInvalidates) {
    Load(Pair("Background", BitmapFile(8, 8, 2)));
    stage->ClearDirtyRects();
    stage->SetBackColor(0xFF0000);  // blue: entry 0 of the test palette
    EXPECT_EQ(stage->GetBackground()->GetDib()->GetPixelIndex(3, 3), 0);
    EXPECT_EQ(stage->GetDirtyRects().size(), 1u);
}

TEST_F(StageLoadTest, ShowFiresBeforeShowOnceAndDraws) {
    int shown = 0;
    static int* counter = nullptr;
    counter = &shown;
    stage->AddEventHandler("OnBeforeShow", [](RComponent*, REvent*, RObject*) { ++*counter; }, nullptr);
    Load(Pair("Background", BitmapFile(8, 8, 2)));
    stage->Show();
    stage->Show();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(host.FrameCount(), 2);
}

// --- Content

TEST_F(StageLoadTest, MissingContentIsAClearException) {
    try {
        stage->OpenContent();
        FAIL() << "no exception";
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), "The program carries no embedded content (QUELLMOOR); there is nothing to show.");
    }
}

TEST_F(StageLoadTest, EmbeddedContentLoads) {
    const std::string stream = Stream("", StageObject(Pair("Caption", "Embedded") +
                                                      Pair("Background", BitmapFile(8, 8, 2))));
    host.SetEmbeddedContent({stream.begin(), stream.end()});
    auto in = stage->OpenContent();
    stage->AddComponentStream(in.get());
    EXPECT_EQ(stage->GetCaption(), "Embedded");
}

TEST_F(StageLoadTest, ProgramNameAndDirectory) {
    EXPECT_EQ(stage->GetProgramDir(), "/usr/lib/quellmoor");
    EXPECT_EQ(stage->GetProgramName(), "quellmoor");
}

TEST(StageProgramTest, ProgramNameWithoutDirectoryOrExtension) {
    platform::HeadlessPlatform host({.programPath = "C:\\Saver\\vexmon.scr"});
    platform::SetCurrentPlatform(&host);
    {
        RDibStage stage;
        EXPECT_EQ(stage.GetProgramDir(), "C:\\Saver");
        EXPECT_EQ(stage.GetProgramName(), "vexmon");
    }
    platform::SetCurrentPlatform(nullptr);
}

}  // namespace
}  // namespace quellmoor::testing
