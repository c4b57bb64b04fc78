// Every built stream loads with all animation classes registered, and every
// director of the show can play every step over the loaded components.
#include <gtest/gtest.h>

#include <sstream>

#include "animation/Director.h"
#include "animation/Picture.h"
#include "animation/Registration.h"
#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "animation/TextBlock.h"
#include "imaging/Surface.h"
#include "model/Text.h"
#include "stage/OffscreenStage.h"
#include "tests/content/ContentFiles.h"

namespace quellmoor {
namespace {

using namespace contenttest;

// A stage without a window, with every loadable class registered.
class ContentStage : public ROffscreenStage {
public:
    ContentStage() : ROffscreenStage("content-test") { RegisterAnimationClasses(); }
    void Load(const std::string& bytes) { LoadStream(bytes); }
};

void PlayEveryStep(const RComponentManager& library) {
    for (RComponent* c : library.GetComponents()) {
        auto* director = dynamic_cast<RDirector*>(c);
        if (!director) continue;
        SCOPED_TRACE(director->GetName());
        for (int step = 1; step <= director->GetLastStep(); ++step) EXPECT_NO_THROW(director->GotoStep(step)) << step;
    }
}

TEST(ContentLoad, MainStreamLoadsIntoTheStage) {
    ContentStage stage;
    ASSERT_NO_THROW(stage.Load(ReadBytes(MainStreamPath())));
    EXPECT_EQ(stage.GetHeaderValue("Version", ""), "0.1b");
    auto& vexmon = stage.FindComponentAs<RSprite>("Vexmon");
    EXPECT_NO_THROW(vexmon.FindFrameByName("s_l90"));
    EXPECT_NO_THROW(vexmon.FindFrameByName("s_l135"));
    for (const char* s : {"TALK", "STAND", "getmic", "awaymic", "TALKSIT", "LISTENSIT"}) EXPECT_TRUE(vexmon.FindSequence(s)) << s;
    for (const char* p : {"Ship-Outline", "Ship-Skin", "Ship-Inside", "Ship-Land", "deur1", "deur2", "Screen1", "Screen2"})
        EXPECT_NO_THROW(stage.FindComponentAs<RPicture>(p)) << p;
    auto& screen = stage.FindComponentAs<RPicture>("Screen1");
    EXPECT_EQ(screen.GetWidth(), 608.0f);
    EXPECT_EQ(screen.GetHeight(), 448.0f);
    EXPECT_EQ(stage.FindComponentAs<RPicture>("Ship-Outline").GetHeight(), 237.0f);
    auto& engine = stage.FindComponentAs<RSprite>("Ship-Engine");
    for (const char* s : {"ON_1", "OFF_1", "ON_2", "OFF_2"}) EXPECT_TRUE(engine.FindSequence(s)) << s;
    int stars = 0;
    for (RComponent* c : stage.GetComponents())
        if (dynamic_cast<RSprite*>(c) && TextToBool(c->GetTagValue("Sterretje", ""))) ++stars;
    EXPECT_GE(stars, 3);
    float x = 0, y = 0, z = 0;
    EXPECT_TRUE(stage.FindComponentAs<RDirector>("GetOut").GetStartPosition("Ship-Inside", x, y, z));
    PlayEveryStep(stage);
    // Every sequence of every sprite starts (its first frame exists).
    for (RComponent* c : stage.GetComponents()) {
        if (auto* sprite = dynamic_cast<RSprite*>(c)) {
            for (RPixieSequencer* seq : sprite->GetSequences()) EXPECT_NO_THROW(sprite->Run(seq->GetName(), 1, 0, 0, 0)) << seq->GetName();
        }
    }
}

TEST(ContentLoad, EverySceneFileLoadsAndItsDirectorsPlay) {
    ContentStage stage;
    stage.Load(ReadBytes(MainStreamPath()));
    for (const auto& path : SceneFiles()) {
        SCOPED_TRACE(path.string());
        RComponentManager library(path.string(), &stage);
        std::istringstream in(ReadBytes(path));
        ASSERT_NO_THROW(library.AddComponentStream(&in));
        EXPECT_NE(library.GetHeaderValue("Type", ""), "");
        EXPECT_FALSE(library.GetComponents().empty());
        library.AddComponentsTo(stage);
        PlayEveryStep(library);
        for (RComponent* c : library.GetComponents()) {
            auto* text = dynamic_cast<RTextBlock*>(c);
            EXPECT_TRUE(!text || !text->GetContents().empty()) << c->GetName();
        }
        library.RemoveComponentsFrom(stage);
    }
}

}  // namespace
}  // namespace quellmoor
