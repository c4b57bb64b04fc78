// Needs a display: CTest runs it under xvfb-run.
#include "platform/sdl/SdlPlatform.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <SDL.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "model/Exceptions.h"
#include "tests/platform/headless/PlatformConformance.h"
#include "tests/platform/sdl/XWindows.h"

namespace quellmoor::testing {
namespace {

namespace fs = std::filesystem;

fs::path TestFolder(const char* name) {
    const fs::path folder = fs::temp_directory_path() / ("qm-sdl-" + std::to_string(::getpid())) / name;
    fs::create_directories(folder);
    return folder;
}

BackendUnderTest Sdl(std::string name, const char* present) {
    return {std::move(name),
            [present] {
                ::setenv("XDG_CONFIG_HOME", TestFolder("config").c_str(), 1);
                ::setenv("QM_SDL_PRESENT", present, 1);
                return std::make_unique<platform::SdlPlatform>();
            },
            [](platform::Platform&) { return MakeXForeignWindows(); }};
}

INSTANTIATE_TEST_SUITE_P(Sdl, PlatformConformance,
                         ::testing::Values(Sdl("ChosenWay", ""), Sdl("WindowSurface", "surface"),
                                           Sdl("StreamingTexture", "texture")),
                         BackendName);

TEST(SdlPresenterTest, OnlyChangedBandsAreConverted) {
    platform::SdlPlatform sdl;
    platform::WindowSpec spec;
    spec.rect = {0, 0, 256, 128};
    const platform::WindowId window = sdl.OpenWindow(spec);
    sdl.ShowWindow(true);
    TestImage image(256, 128);
    sdl.PresentStretched(window, image.Image(), {0, 0, 256, 128});
    EXPECT_EQ(sdl.UploadedPixels(), 256u * 128u);
    sdl.PresentStretched(window, image.Image(), {0, 0, 256, 128});
    EXPECT_EQ(sdl.UploadedPixels(), 256u * 128u);  // nothing changed, nothing converted
    image.bits[static_cast<std::size_t>(127 - 40) * image.stride + 70] = 3;  // pixel (70, 40)
    sdl.PresentStretched(window, image.Image(), {0, 0, 256, 128});
    EXPECT_EQ(sdl.UploadedPixels(), 256u * 128u + 64u * 16u);  // one tile column of one band
    image.palette[1].red = 7;  // a new palette converts everything
    sdl.PresentStretched(window, image.Image(), {0, 0, 256, 128});
    EXPECT_EQ(sdl.UploadedPixels(), 2u * 256u * 128u + 64u * 16u);
}

TEST(SdlPlatformTest, ClockIsSixtyFourBitAndTheCursorIsOnTheScreen) {
    platform::SdlPlatform sdl;
    const std::int64_t a = sdl.NowMs();
    EXPECT_GE(sdl.NowMs(), a);
    EXPECT_FALSE(sdl.GetProgramPath().empty());
    const auto cursor = sdl.CursorScreenPosition();
    ASSERT_TRUE(cursor.has_value());
    const platform::PixelRect desktop = sdl.GetDesktopRect();
    EXPECT_GE(cursor->x, desktop.x);
    EXPECT_LT(cursor->x, desktop.x + desktop.width);
}

TEST(SdlFiles, SettingsFollowXdgConfigHome) {
    const fs::path config = TestFolder("xdg");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    platform::SdlPlatform sdl;
    EXPECT_EQ(fs::path(sdl.SettingsFilePath("control.ini")), config / "vexmon" / "control.ini");
    EXPECT_TRUE(fs::is_directory(config / "vexmon"));
    ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    ::setenv("HOME", config.c_str(), 1);
    EXPECT_EQ(fs::path(sdl.SettingsFilePath("control.ini")), config / ".config" / "vexmon" / "control.ini");
}

TEST(SdlFiles, AReplacedFileLeavesNoTemporaryAndAFailureKeepsTheOld) {
    const fs::path folder = TestFolder("replace");
    platform::SdlPlatform sdl;
    const std::string path = (folder / "control.ini").string();
    sdl.ReplaceFileAtomically(path, "old");
    sdl.ReplaceFileAtomically(path, "new");
    EXPECT_EQ(sdl.ReadFile(path), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    const std::string nowhere = (folder / "missing" / "control.ini").string();
    try {
        sdl.ReplaceFileAtomically(nowhere, "x");
        FAIL() << "a file in a missing folder cannot be written";
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), "The file " + nowhere + " could not be written: No such file or directory.");
    }
    EXPECT_EQ(sdl.ReadFile(path), "new");
}

TEST(SdlLock, AHeldLockFileRefusesOthersUntilReleased) {
    const fs::path runtime = TestFolder("runtime");
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    platform::SdlPlatform sdl;
    const std::string path = platform::SdlPlatform::LockFilePath("vexmon");
    EXPECT_EQ(fs::path(path), runtime / "vexmon.lock");
    ASSERT_TRUE(sdl.AcquireInstanceLock("vexmon"));
    // Another process opens the file on its own; flock treats a second open the same way.
    const int other = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    sdl.ReleaseInstanceLock();
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(sdl.AcquireInstanceLock("vexmon"));  // now the other holds it
    ::close(other);
    EXPECT_TRUE(sdl.AcquireInstanceLock("vexmon"));
}

TEST(SdlPrograms, StartsWithoutWaitingAndReportsWhatCannotRun) {
    const fs::path folder = TestFolder("programs");
    platform::SdlPlatform sdl;
    const fs::path marker = folder / "ran";
    ASSERT_TRUE(sdl.StartProgram("sh", {"-c", "echo ran > '" + marker.string() + "'"}));
    for (int i = 0; i < 200 && !fs::exists(marker); ++i) ::usleep(10'000);
    EXPECT_TRUE(fs::exists(marker));
    EXPECT_FALSE(sdl.StartProgram("/nonexistent/about-program", {}));
}

// A second of 16-bit mono silence at 8 kHz.
void WriteWav(const fs::path& path) {
    const std::uint32_t samples = 8000, bytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    const std::vector<char> silence(bytes, 0);
    out.write(silence.data(), bytes);
}

TEST(SdlSoundTest, PlaysReplacesAndStopsOnADevice) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path folder = TestFolder("sound");
    WriteWav(folder / "motor1.wav");
    platform::SdlPlatform sdl;
    ASSERT_TRUE(sdl.Supports(platform::Feature::Sound));
    sdl.PlaySoundFile((folder / "motor1.wav").string());
    EXPECT_TRUE(sdl.IsSoundPlaying());
    sdl.PlaySoundFile((folder / "missing.wav").string());  // nothing at all
    EXPECT_TRUE(sdl.IsSoundPlaying());
    sdl.PlaySoundFile((folder / "motor1.wav").string());  // replaces, from its start
    EXPECT_TRUE(sdl.IsSoundPlaying());
    sdl.StopSound();
    EXPECT_FALSE(sdl.IsSoundPlaying());
    ::unsetenv("SDL_AUDIODRIVER");
}

// Sounds an author broke: each plays nothing, and a good one still plays after.
TEST(SdlSoundTest, FilesThatAreNoWaveSoundPlayNothing) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path folder = TestFolder("badsound");
    WriteWav(folder / "good.wav");
    std::ofstream(folder / "text.wav") << "[Vexmon]\nSound=1\n";
    std::ofstream(folder / "empty.wav");
    fs::create_directory(folder / "folder.wav");
    const auto good = fs::file_size(folder / "good.wav");
    fs::copy_file(folder / "good.wav", folder / "cut.wav");
    fs::resize_file(folder / "cut.wav", good / 2);  // its data length claims twice what is there
    platform::SdlPlatform sdl;
    ASSERT_TRUE(sdl.Supports(platform::Feature::Sound));
    for (const char* name : {"text.wav", "empty.wav", "folder.wav"}) {
        SCOPED_TRACE(name);
        sdl.PlaySoundFile((folder / name).string());
        EXPECT_FALSE(sdl.IsSoundPlaying());
    }
    sdl.PlaySoundFile((folder / "cut.wav").string());  // what arrived, or nothing: never a crash
    sdl.PlaySoundFile((folder / "good.wav").string());
    EXPECT_TRUE(sdl.IsSoundPlaying());
    ::unsetenv("SDL_AUDIODRIVER");
}

// A show with sound off must not reach a sound server (it leaves folders in a
// fresh runtime folder); a missing file starts nothing either.
TEST(SdlSoundTest, AudioStartsWithTheFirstSoundPlayed) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path folder = TestFolder("lazy");
    WriteWav(folder / "brax1.wav");
    platform::SdlPlatform sdl;
    platform::WindowSpec spec;
    spec.rect = {0, 0, 16, 16};
    sdl.OpenWindow(spec);
    sdl.StopSound();
    EXPECT_FALSE(sdl.IsSoundPlaying());
    sdl.PlaySoundFile((folder / "missing.wav").string());
    EXPECT_EQ(0u, SDL_WasInit(SDL_INIT_AUDIO));
    sdl.PlaySoundFile((folder / "brax1.wav").string());
    EXPECT_NE(0u, SDL_WasInit(SDL_INIT_AUDIO));
    EXPECT_TRUE(sdl.IsSoundPlaying());
    ::unsetenv("SDL_AUDIODRIVER");
}

TEST(SdlSoundTest, WithoutADeviceTheShowGoesOnSilently) {
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const fs::path folder = TestFolder("silent");
    WriteWav(folder / "brax1.wav");
    platform::SdlPlatform sdl;  // video still starts
    EXPECT_FALSE(sdl.Supports(platform::Feature::Sound));
    sdl.PlaySoundFile((folder / "brax1.wav").string());
    EXPECT_FALSE(sdl.IsSoundPlaying());
    platform::WindowSpec spec;
    spec.rect = {0, 0, 16, 16};
    EXPECT_TRUE(sdl.OpenWindow(spec));
    ::unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
}  // namespace quellmoor::testing
