// The stage plays a path only while its sound switch is on; what the backend
// was asked to play is the evidence.
#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

class SoundTest : public StageTest {
protected:
    SoundTest() {
        host.SetFile("/show/Sounds/motor1.wav", "RIFF");
        host.SetFile("/show/Sounds/brax3.wav", "RIFF");
    }
    std::vector<std::string> Requests() const {
        std::vector<std::string> paths;
        for (const auto& request : host.SoundRequests().Recent())
            paths.push_back(request.path.empty() ? "<stop>" : request.path + (request.played ? "" : " (silent)"));
        return paths;
    }
};

TEST_F(SoundTest, PlaysThePathWhileSoundIsOn) {
    ASSERT_TRUE(stage->IsSoundEnabled());  // on until the saver reads its setting
    stage->PlaySound("/show/Sounds/motor1.wav");
    EXPECT_EQ(host.CurrentSound(), "/show/Sounds/motor1.wav");
    stage->PlaySound("/show/Sounds/brax3.wav");  // replaces the one playing
    EXPECT_EQ(host.CurrentSound(), "/show/Sounds/brax3.wav");
    EXPECT_EQ(Requests(), (std::vector<std::string>{"/show/Sounds/motor1.wav", "/show/Sounds/brax3.wav"}));
}

TEST_F(SoundTest, AsksForNothingWhileSoundIsOff) {
    stage->SetSoundEnabled(false);
    stage->PlaySound("/show/Sounds/motor1.wav");
    EXPECT_EQ(Requests(), (std::vector<std::string>{"<stop>"}));  // switching off, nothing played
    EXPECT_EQ(host.CurrentSound(), "");
    stage->SetSoundEnabled(true);
    stage->PlaySound("/show/Sounds/motor1.wav");
    EXPECT_EQ(host.CurrentSound(), "/show/Sounds/motor1.wav");
}

TEST_F(SoundTest, SwitchingOffSilencesThePlayingSound) {
    stage->PlaySound("/show/Sounds/motor1.wav");
    stage->SetSoundEnabled(false);
    EXPECT_EQ(host.CurrentSound(), "");
    stage->SetSoundEnabled(false);  // already off: no second stop
    EXPECT_EQ(Requests(), (std::vector<std::string>{"/show/Sounds/motor1.wav", "<stop>"}));
}

TEST_F(SoundTest, StopWorksWhateverTheSwitch) {
    stage->PlaySound("/show/Sounds/motor1.wav");
    stage->StopSound();
    EXPECT_EQ(host.CurrentSound(), "");
    stage->SetSoundEnabled(false);
    stage->PlaySound("/show/Sounds/motor1.wav");
    stage->StopSound();
    EXPECT_EQ(Requests(), (std::vector<std::string>{"/show/Sounds/motor1.wav", "<stop>", "<stop>", "<stop>"}));
}

TEST_F(SoundTest, MissingFileLeavesTheCurrentSoundPlaying) {
    stage->PlaySound("/show/Sounds/motor1.wav");
    stage->PlaySound("/show/Sounds/none.wav");
    EXPECT_EQ(host.CurrentSound(), "/show/Sounds/motor1.wav");
    EXPECT_EQ(Requests().back(), "/show/Sounds/none.wav (silent)");
}

}  // namespace
}  // namespace quellmoor::testing
