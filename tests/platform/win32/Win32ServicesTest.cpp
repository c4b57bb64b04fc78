// The Win32 backend's services: settings files per user and their one-time
// move from the Windows directory, atomic replacement, the instance lock, the
// content resource, programs and sounds that are not there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/Exceptions.h"
#include "platform/Backends.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

namespace quellmoor::testing {
namespace {

namespace fs = std::filesystem;
using platform::Win32Options;
using platform::Win32Platform;

std::string ReadDisk(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteDisk(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A fresh folder per test: the per-user root and the old Windows directory.
class Win32ServicesTest : public ::testing::Test {
protected:
    Win32ServicesTest()
        : root_(fs::temp_directory_path() /
                (std::string("qm-win32-") + ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::remove_all(root_);
        fs::create_directories(root_ / "AppData");
        fs::create_directories(root_ / "Windows");
    }
    ~Win32ServicesTest() override { fs::remove_all(root_); }
    Win32Options Options() const {
        return {.settingsRoot = (root_ / "AppData").string(), .legacySettingsFolder = (root_ / "Windows").string()};
    }
    fs::path root_;
};

TEST_F(Win32ServicesTest, SettingsLiveInTheUsersOwnFolder) {
    Win32Platform backend(Options());
    const std::string path = backend.SettingsFilePath("control.ini");
    EXPECT_EQ(fs::path(path), root_ / "AppData" / "Vexmon" / "control.ini");
    EXPECT_TRUE(fs::is_directory(root_ / "AppData" / "Vexmon"));
    EXPECT_EQ(backend.ReadFile(path), std::nullopt);
}

TEST_F(Win32ServicesTest, TheWindowsDirectorysFileIsCopiedOnceThenLeftAlone) {
    WriteDisk(root_ / "Windows" / "control.ini", "[Vexmon]\nSkin=Tiger\n");
    Win32Platform backend(Options());
    const std::string path = backend.SettingsFilePath("control.ini");
    EXPECT_EQ(backend.ReadFile(path), "[Vexmon]\nSkin=Tiger\n");
    // The user's choice is kept where it can be written...
    backend.ReplaceFileAtomically(path, "[Vexmon]\nSkin=Moo\n");
    // ...and a later change of the old file no longer counts.
    WriteDisk(root_ / "Windows" / "control.ini", "[Vexmon]\nSkin=Midnight\n");
    EXPECT_EQ(backend.SettingsFilePath("control.ini"), path);
    EXPECT_EQ(backend.ReadFile(path), "[Vexmon]\nSkin=Moo\n");
    EXPECT_EQ(ReadDisk(root_ / "Windows" / "control.ini"), "[Vexmon]\nSkin=Midnight\n");
}

TEST_F(Win32ServicesTest, WithoutAnyRootThereAreNoSettings) {
    Win32Platform backend({.settingsRoot = (root_ / "missing" / "deeper").string()});
    EXPECT_EQ(backend.SettingsFilePath("control.ini"), "");
}

TEST_F(Win32ServicesTest, AFailedReplacementSaysWhyAndKeepsTheOldFile) {
    Win32Platform backend(Options());
    const std::string path = backend.SettingsFilePath("control.ini");
    backend.ReplaceFileAtomically(path, "[Vexmon]\nSound=0\n");
    // A folder where the temporary file would go makes the write fail.
    fs::create_directories(path + ".new");
    try {
        backend.ReplaceFileAtomically(path, "[Vexmon]\nSound=1\n");
        ADD_FAILURE() << "the write was reported as done";
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage().rfind("The file " + path + " could not be written: ", 0), 0u) << e.GetMessage();
        EXPECT_EQ(e.GetMessage().back(), '.');
    }
    EXPECT_EQ(ReadDisk(path), "[Vexmon]\nSound=0\n");
}

TEST_F(Win32ServicesTest, ReplacementWritesEveryByteAndLeavesNoTemporaryFile) {
    Win32Platform backend(Options());
    const std::string path = backend.SettingsFilePath("big.ini");
    std::string contents(3 << 20, 'x');  // more than one write call
    contents[12345] = '\0';
    backend.ReplaceFileAtomically(path, contents);
    EXPECT_EQ(ReadDisk(path), contents);
    backend.ReplaceFileAtomically(path, "");
    EXPECT_EQ(ReadDisk(path), "");
    EXPECT_FALSE(fs::exists(path + ".new"));
}

TEST_F(Win32ServicesTest, OneInstanceHoldsTheLockUntilItGivesItUp) {
    Win32Platform first, second;
    EXPECT_TRUE(first.AcquireInstanceLock("QuellmoorTestLock"));
    EXPECT_FALSE(second.AcquireInstanceLock("QuellmoorTestLock"));
    first.ReleaseInstanceLock();
    EXPECT_TRUE(second.AcquireInstanceLock("QuellmoorTestLock"));
    // A name with a backslash is still a name, not a namespace that fails.
    EXPECT_TRUE(first.AcquireInstanceLock("Vexmon\\Preview"));
}

TEST_F(Win32ServicesTest, ContentComesFromTheOptionsOrTheResource) {
    Win32Platform given({.content = {'R', 'C', 'S'}});
    EXPECT_EQ(given.GetEmbeddedContent(), (std::vector<std::uint8_t>{'R', 'C', 'S'}));
    // This test program carries no "QUELLMOOR" resource.
    Win32Platform bare;
    EXPECT_TRUE(bare.GetEmbeddedContent().empty());
}

TEST_F(Win32ServicesTest, TheProgramPathIsThisProgram) {
    Win32Platform backend;
    const std::string path = backend.GetProgramPath();
    EXPECT_EQ(fs::path(path).filename(), "platform_win32_tests.exe");
    EXPECT_TRUE(fs::is_regular_file(path));
}

TEST_F(Win32ServicesTest, MissingProgramsAndSoundsFailQuietly) {
    Win32Platform backend;
    EXPECT_FALSE(backend.StartProgram((root_ / "NoSuchAbout.exe").string(), {"a b", "c\"d"}));
    backend.PlaySoundFile((root_ / "brax1.wav").string());
    backend.PlaySoundFile(root_.string());  // a folder is no sound either
    backend.StopSound();
}

TEST_F(Win32ServicesTest, ARealProgramStartsWithItsArguments) {
    Win32Platform backend;
    const fs::path marker = root_ / "started.txt";
    // cmd.exe writes its arguments: proof that the program ran and read them whole.
    EXPECT_TRUE(backend.StartProgram("cmd.exe", {"/c", "echo", "done", ">", marker.string()}));
    for (int i = 0; i < 100 && ReadDisk(marker).empty(); ++i) Sleep(50);
    EXPECT_EQ(ReadDisk(marker).substr(0, 4), "done");
}

TEST(Win32Backends, WindowsIsTheDefaultHereAndGetsTheContentHandedIn) {
    EXPECT_EQ(platform::DefaultBackendName(), "win32");
    auto backend = platform::CreateBackend("win32", {.content = {'R', 'C', 'S'}});
    ASSERT_NE(dynamic_cast<Win32Platform*>(backend.get()), nullptr);
    EXPECT_EQ(backend->GetEmbeddedContent(), (std::vector<std::uint8_t>{'R', 'C', 'S'}));
    // The windowless backend draws its text with GDI here.
    auto headless = platform::CreateBackend("headless", {});
    std::vector<std::uint8_t> bits(16 * 16, 0);
    EXPECT_NE(headless->CreateDrawingContext({bits.data(), 16, 16, 16, nullptr}), nullptr);
}

}  // namespace
}  // namespace quellmoor::testing
