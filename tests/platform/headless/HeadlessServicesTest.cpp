// The headless backend's records of what was asked: waits, files, sound,
// lock, programs, time; and that they stay bounded over long runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/Exceptions.h"
#include "platform/headless/HeadlessPlatform.h"

namespace quellmoor::testing {
namespace {

using platform::HeadlessPlatform;
namespace fs = std::filesystem;

std::string ReadDisk(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TempFolder {
public:
    TempFolder()
        : path_(fs::temp_directory_path() /
                (std::string("qm-headless-") + ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::remove_all(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

TEST(HeadlessWaits, AFullSimulatedDayKeepsTheRecordBounded) {
    HeadlessPlatform host;
    // A day of 25 ms ticks: 3.5 million waits. Every one used to be kept for ever.
    const std::int64_t waits = 24LL * 3600 * 1000 / 25;
    for (std::int64_t i = 1; i <= waits; ++i) host.WaitUntil(i * 25);
    EXPECT_EQ(host.WaitCount(), static_cast<std::uint64_t>(waits));
    const std::vector<std::int64_t> recent = host.WaitDeadlines();
    ASSERT_EQ(recent.size(), 1024u);
    EXPECT_EQ(recent.back(), waits * 25);
    EXPECT_EQ(recent.front(), (waits - 1023) * 25);
    EXPECT_EQ(host.NowMs(), waits * 25);
}

TEST(HeadlessSettings, LiveInMemoryAndAreRecorded) {
    HeadlessPlatform host;
    const std::string path = host.SettingsFilePath("control.ini");
    EXPECT_EQ(path, "headless:settings/control.ini");
    EXPECT_EQ(host.ReadFile(path), std::nullopt);
    host.ReplaceFileAtomically(path, "[Vexmon]\nDir=/scenes\n");
    EXPECT_EQ(host.ReadFile(path), "[Vexmon]\nDir=/scenes\n");
    EXPECT_FALSE(fs::exists(path));
    ASSERT_EQ(host.FilesReplaced().Recent().size(), 1u);
    EXPECT_EQ(host.FilesReplaced().Recent()[0], path);
    EXPECT_TRUE(host.Supports(platform::Feature::Settings));
}

TEST(HeadlessSettings, AFailingWriteThrowsAndLeavesTheOldFileWhole) {
    HeadlessPlatform host;
    const std::string path = host.SettingsFilePath("control.ini");
    host.ReplaceFileAtomically(path, "old");
    host.SetWritesFail(true);
    try {
        host.ReplaceFileAtomically(path, "new and longer");
        FAIL() << "the write should have failed";
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), "The file headless:settings/control.ini could not be written: no space left on the device.");
    }
    EXPECT_EQ(host.ReadFile(path), "old");
    host.SetWritesFail(false);
    host.ReplaceFileAtomically(path, "new");
    EXPECT_EQ(host.ReadFile(path), "new");
    EXPECT_EQ(host.FilesReplaced().Total(), 3u);
}

TEST(HeadlessSettings, AGivenFolderIsARealFolder) {
    TempFolder folder;
    HeadlessPlatform host({.settingsFolder = (folder.Path() / "vexmon").string()});
    const std::string path = host.SettingsFilePath("control.ini");
    EXPECT_EQ(fs::path(path), folder.Path() / "vexmon" / "control.ini");
    EXPECT_TRUE(fs::is_directory(folder.Path() / "vexmon"));
    host.ReplaceFileAtomically(path, "[Vexmon]\nSound=0\n");
    EXPECT_EQ(ReadDisk(path), "[Vexmon]\nSound=0\n");
    host.SetWritesFail(true);
    EXPECT_THROW(host.ReplaceFileAtomically(path, "x"), RException);
    EXPECT_EQ(ReadDisk(path), "[Vexmon]\nSound=0\n");
    // Nothing but the file itself is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path() / "vexmon"), fs::directory_iterator()), 1);
}

TEST(PortableReplace, AFolderThatCannotBeWrittenKeepsTheOldFile) {
    TempFolder folder;
    fs::create_directories(folder.Path());
    const fs::path file = folder.Path() / "control.ini";
    HeadlessPlatform host({.settingsFolder = folder.Path().string()});
    host.ReplaceFileAtomically(file.string(), "old");
    // A directory where the temporary file would go makes the write fail.
    fs::create_directories(folder.Path() / "control.ini.tmp");
    EXPECT_THROW(host.ReplaceFileAtomically(file.string(), "new"), RException);
    EXPECT_EQ(ReadDisk(file), "old");
}

TEST(HeadlessSound, PlaysOnlyFilesThatAreThereAndANewOneReplacesTheOld) {
    HeadlessPlatform host({.startMs = 100});
    host.SetFile("/show/Sounds/motor1.wav", "RIFF");
    host.SetFile("/show/Sounds/brax1.wav", "RIFF");
    host.PlaySoundFile("/show/Sounds/motor1.wav");
    EXPECT_EQ(host.CurrentSound(), "/show/Sounds/motor1.wav");
    host.PlaySoundFile("/show/Sounds/missing.wav");  // nothing at all: the motor plays on
    EXPECT_EQ(host.CurrentSound(), "/show/Sounds/motor1.wav");
    host.PlaySoundFile("/show/Sounds/brax1.wav");
    EXPECT_EQ(host.CurrentSound(), "/show/Sounds/brax1.wav");
    host.StopSound();
    EXPECT_EQ(host.CurrentSound(), "");
    const auto& requests = host.SoundRequests().Recent();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_TRUE(requests[0].played);
    EXPECT_FALSE(requests[1].played);
    EXPECT_EQ(requests[1].path, "/show/Sounds/missing.wav");
    EXPECT_EQ(requests[3].path, "");
    EXPECT_EQ(requests[3].timeMs, 100);
}

TEST(HeadlessSound, NothingPlaysWithoutSoundAndTheRecordStaysBounded) {
    HeadlessPlatform host;
    host.SetFile("a.wav", "RIFF");
    host.SetSoundAvailable(false);
    host.PlaySoundFile("a.wav");
    EXPECT_EQ(host.CurrentSound(), "");
    EXPECT_FALSE(host.SoundRequests().Recent().back().played);
    for (int i = 0; i < 1000; ++i) host.PlaySoundFile("a.wav");
    EXPECT_EQ(host.SoundRequests().Recent().size(), 256u);
    EXPECT_EQ(host.SoundRequests().Total(), 1001u);
}

TEST(HeadlessLock, OneInstanceAtATimeAndTheLockGoesWithItsHolder) {
    auto first = std::make_unique<HeadlessPlatform>();
    HeadlessPlatform second;
    EXPECT_TRUE(first->AcquireInstanceLock("vexmon"));
    EXPECT_TRUE(first->AcquireInstanceLock("vexmon"));  // asking again keeps it
    EXPECT_FALSE(second.AcquireInstanceLock("vexmon"));
    EXPECT_FALSE(second.HoldsInstanceLock());
    first.reset();
    EXPECT_TRUE(second.AcquireInstanceLock("vexmon"));
    second.ReleaseInstanceLock();
    HeadlessPlatform third;
    EXPECT_TRUE(third.AcquireInstanceLock("vexmon"));
}

TEST(HeadlessPrograms, StartsAndPagesAreRecordedNotRun) {
    HeadlessPlatform host;
    EXPECT_TRUE(host.StartProgram("/show/about", {"--from", "vexmon"}));
    EXPECT_TRUE(host.OpenWebPage("https://example.org/vexmon"));
    host.SetStartProgramResult(false);
    EXPECT_FALSE(host.StartProgram("/missing", {}));
    ASSERT_EQ(host.ProgramsStarted().Recent().size(), 2u);
    EXPECT_EQ(host.ProgramsStarted().Recent()[0].arguments, (std::vector<std::string>{"--from", "vexmon"}));
    EXPECT_EQ(host.WebPagesOpened().Recent()[0], "https://example.org/vexmon");
}

struct TimeCase {
    const char* name;
    std::int64_t advanceMs;
    platform::LocalDateTime expected;
};
void PrintTo(const TimeCase& c, std::ostream* out) { *out << c.name; }

class HeadlessTime : public ::testing::TestWithParam<TimeCase> {};

TEST_P(HeadlessTime, FollowsTheVirtualClock) {
    HeadlessPlatform host({.startMs = 5000});
    host.AdvanceMs(GetParam().advanceMs);
    const platform::LocalDateTime got = host.LocalTimeNow();
    const platform::LocalDateTime& want = GetParam().expected;
    EXPECT_EQ(got.year, want.year);
    EXPECT_EQ(got.month, want.month);
    EXPECT_EQ(got.day, want.day);
    EXPECT_EQ(got.hour, want.hour);
    EXPECT_EQ(got.minute, want.minute);
    EXPECT_EQ(got.second, want.second);
    EXPECT_EQ(got.millisecond, want.millisecond);
    EXPECT_EQ(got.weekday, want.weekday);
}

INSTANTIATE_TEST_SUITE_P(All, HeadlessTime,
                         ::testing::Values(TimeCase{"AtStart", 0, {2000, 1, 1, 12, 0, 0, 0, 6}},
                                           TimeCase{"PastMidnight", 13 * 3600 * 1000 + 1234, {2000, 1, 2, 1, 0, 1, 234, 0}},
                                           TimeCase{"LeapDay", 59LL * 86400 * 1000, {2000, 2, 29, 12, 0, 0, 0, 2}}),
                         [](const ::testing::TestParamInfo<TimeCase>& param) { return std::string(param.param.name); });

TEST(HeadlessScreens, MonitorsCursorSeedAndTopmostAreWhatTheTestSays) {
    HeadlessPlatform host({.desktop = {0, 0, 3840, 1080},
                           .monitors = {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
                           .randomSeed = 77});
    EXPECT_EQ(host.GetMonitorRects().size(), 2u);
    EXPECT_EQ(host.GetMonitorRects()[1].x, 1920);
    EXPECT_EQ(host.RandomSeed(), 77u);
    EXPECT_EQ(host.CursorScreenPosition(), std::nullopt);
    host.SetCursorScreenPosition(platform::Point{2500, 40});
    EXPECT_EQ(host.CursorScreenPosition()->x, 2500);
    platform::WindowSpec spec;
    spec.rect = {0, 0, 8, 8};
    const platform::WindowId window = host.OpenWindow(spec);
    EXPECT_FALSE(host.IsTopmost(window));
    host.SetTopmost(window, true);
    EXPECT_TRUE(host.IsTopmost(window));
}

TEST(HeadlessText, WithoutAFactoryThereIsNoTextAndItSaysSo) {
    HeadlessPlatform host;
    EXPECT_FALSE(host.Supports(platform::Feature::DrawingContexts));
    std::vector<std::uint8_t> bits(16, 0);
    std::array<platform::PaletteEntry, 256> palette{};
    try {
        host.CreateDrawingContext({bits.data(), 4, 4, 4, palette.data()});
        FAIL() << "a context without text";
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), "This system cannot draw text.");
    }
}

// A backend that overrides only what must be: every optional operation has its default.
class MinimalBackend final : public platform::Platform {
public:
    std::int64_t NowMs() override { return 0; }
    void WaitUntil(std::int64_t) override {}
    bool PollEvent(platform::InputEvent&) override { return false; }
    platform::WindowId OpenWindow(const platform::WindowSpec&) override { return 1; }
    void DestroyWindow() override {}
    void ShowWindow(bool) override {}
    void ResizeWindow(int, int) override {}
    void SetWindowTitle(std::string_view) override {}
    platform::PixelRect GetWindowRect(platform::WindowId) override { return {}; }
    bool WindowExists(platform::WindowId) override { return false; }
    platform::PixelRect GetDesktopRect() override { return {0, 0, 640, 480}; }
    int GetRefreshRateHz() override { return 0; }
    void ShowCursor(bool) override {}
    void PresentStretched(platform::WindowId, const platform::IndexedImage&, platform::PixelRect) override {}
    void PresentRects(platform::WindowId, const platform::IndexedImage&, std::span<const platform::PixelRect>) override {}
    void PresentRgb(platform::WindowId, const platform::RgbImage&, int, int) override {}
    platform::MessageBoxButton ShowMessageBox(std::string_view, std::string_view) override {
        return platform::MessageBoxButton::Ok;
    }
    std::string GetProgramPath() override { return "/minimal"; }
    std::vector<std::uint8_t> GetEmbeddedContent() override { return {}; }
};

TEST(PlatformDefaults, OptionalOperationsSayUnsupported) {
    MinimalBackend backend;
    EXPECT_FALSE(backend.Supports(platform::Feature::Sound));
    EXPECT_FALSE(backend.AttachWindow(platform::NativeWindow(42)));
    EXPECT_EQ(backend.GetMonitorRects().size(), 1u);
    EXPECT_EQ(backend.GetMonitorRects()[0].width, 640);
    EXPECT_EQ(backend.CursorScreenPosition(), std::nullopt);
    EXPECT_TRUE(backend.ReadPresentedPixels(1).pixels.empty());
    EXPECT_TRUE(backend.AcquireInstanceLock("x"));
    EXPECT_FALSE(backend.StartProgram("/bin/true", {}));
    EXPECT_FALSE(backend.OpenWebPage("https://example.org"));
    EXPECT_EQ(backend.SettingsFilePath("control.ini"), "");
    backend.PlaySoundFile("a.wav");
    backend.SetTopmost(1, true);
    EXPECT_THROW(backend.CreateDrawingContext({}), RException);
    const platform::LocalDateTime now = backend.LocalTimeNow();
    EXPECT_GE(now.year, 2024);
}

}  // namespace
}  // namespace quellmoor::testing
