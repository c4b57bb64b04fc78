// The whole saver run with its world going wrong under it: the content folder
// missing, empty or damaged, the sounds gone, the host window of a hack
// destroyed. Each time the show goes on with what exists, or ends cleanly.
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "platform/text/FontDrawingContext.h"
#include "scenes/Scene.h"
#include "tests/saver/SaverStage.h"

namespace quellmoor::testing {
namespace {

namespace fs = std::filesystem;

constexpr double kShowMs = 5 * 60 * 1000.0;

void CopyBuiltContent(const fs::path& to) {
    fs::copy(QM_CONTENT_DIR, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::vector<fs::path> SceneFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".RCS") files.push_back(entry.path());
    return files;
}

void CutShort(const fs::path& dir) {
    for (const fs::path& file : SceneFiles(dir)) fs::resize_file(file, fs::file_size(file) / 2);
}

void FillWithNoise(const fs::path& dir) {
    std::mt19937 noise(1997);
    for (const fs::path& file : SceneFiles(dir)) {
        std::string bytes(static_cast<std::size_t>(fs::file_size(file)), '\0');
        for (char& byte : bytes) byte = static_cast<char>(noise());
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    }
}

struct ContentFault {
    const char* name;
    std::function<void(const fs::path&)> prepare;  // given the content folder, which is empty
    bool scenesPlay;
    bool reportsEachScene;  // one report per scene file, naming it: damaged, or cannot play
    bool soundsMissing;     // each missing sound reported once
};
void PrintTo(const ContentFault& fault, std::ostream* out) { *out << fault.name; }

// The saver as the program runs it, with text, composing only what changed.
class ContentFaultTest : public ::testing::TestWithParam<ContentFault> {
protected:
    void SetUp() override {
        RegisterAnimationClasses();
        platform::SetCurrentPlatform(&host);
        host.SetEmbeddedContent(MainStream());
        // Each case runs in a process of its own, and addresses repeat between
        // processes: the folder's name must not come from one.
        std::string folder = "vexmon-faults-";
        folder += GetParam().name;
        folder += '-';
        folder += std::to_string(std::random_device{}());
        dir = fs::temp_directory_path() / folder / "Vexmon";
        fs::remove_all(dir.parent_path());
        fs::create_directories(dir);
        SetReportSink([this](const std::string& message) { reports.push_back(message); });
    }
    void TearDown() override {
        SetReportSink({});
        ForgetReports();
        platform::SetCurrentPlatform(nullptr);
        std::error_code ignored;
        fs::remove_all(dir.parent_path(), ignored);
    }

    platform::HeadlessPlatform host{{.keepScreen = false, .drawingContexts = CreateFontDrawingContext}};
    fs::path dir;
    std::vector<std::string> reports;
};

TEST_P(ContentFaultTest, TheShowGoesOnWithWhatExists) {
    const ContentFault& fault = GetParam();
    fault.prepare(dir);
    RDibStage stage;
    stage.SetPresentDirtyOnly(true);
    SaverOptions options;
    options.settings.dir = dir.string();
    options.settings.seed = 7;
    auto* saver = MakeOwned<RScreensaver>(stage, std::make_unique<RLinuxSaverEngine>(Line(SaverMode::Fullscreen)),
                                          options);
    stage.AddComponentStream(stage.OpenContent().get());

    int scenesStarted = 0;
    const RScene* playing = nullptr;
    host.SetFrameCallback([&](const platform::HeadlessFrame&) {
        const RScene* now = saver->GetShow().manager ? saver->GetShow().manager->GetCurrentScene() : nullptr;
        if (now && now != playing) ++scenesStarted;
        playing = now;
    });
    auto* stop = MakeOwned<RTimer>("Stop", &stage, kShowMs, true);
    stop->AddEventHandler("OnTimer", [](RComponent*, REvent*, RObject*) { CurrentStage()->Quit(); }, nullptr);
    stage.Run();

    EXPECT_EQ(saver->Error(), "");
    EXPECT_TRUE(host.MessageBoxes().empty());
    ASSERT_NE(host.LastFrame(), nullptr);
    EXPECT_GE(static_cast<double>(host.LastFrame()->timeMs), kShowMs - 1000.0);  // frames to the end
    EXPECT_EQ(scenesStarted > 0, fault.scenesPlay) << scenesStarted << " scenes started";
    std::size_t sceneReports = 0, soundReports = 0;
    for (const std::string& report : reports) {
        if (report.rfind("The scene ", 0) == 0 && report.find(".RCS ") != std::string::npos) {
            ++sceneReports;
        } else if (report.rfind("The sound ", 0) == 0 && report.ends_with(" is not in " + dir.string() + ".")) {
            ++soundReports;
        } else {
            ADD_FAILURE() << "unexpected report: " << report;
        }
    }
    EXPECT_EQ(sceneReports, fault.reportsEachScene ? SceneFiles(dir).size() : 0u);
    EXPECT_EQ(soundReports > 0, fault.soundsMissing) << soundReports << " sounds reported missing";
}

INSTANTIATE_TEST_SUITE_P(
    Content, ContentFaultTest,
    ::testing::Values(ContentFault{"Whole", CopyBuiltContent, true, false, false},
                      ContentFault{"FolderMissing", [](const fs::path& dir) { fs::remove(dir); }, false, false, true},
                      ContentFault{"FolderEmpty", [](const fs::path&) {}, false, false, true},
                      ContentFault{"SoundsMissing",
                                   [](const fs::path& dir) {
                                       CopyBuiltContent(dir);
                                       fs::remove_all(dir / "Sounds");
                                   },
                                   true, false, true},
                      ContentFault{"ScenesCutShort",
                                   [](const fs::path& dir) {
                                       CopyBuiltContent(dir);
                                       CutShort(dir);
                                   },
                                   false, true, false},
                      ContentFault{"ScenesOfNoise",
                                   [](const fs::path& dir) {
                                       CopyBuiltContent(dir);
                                       FillWithNoise(dir);
                                   },
                                   false, true, false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SaverStage, AHackWhoseWindowIsDestroyedEndsQuietly) {
    const platform::NativeWindow hostWindow = Host().AddForeignWindow({0, 0, 640, 480});
    Make(HackLine(hostWindow), true);
    ASSERT_FALSE(stage.IsQuitting());
    Host().SetWaitCallback([&](std::int64_t) {
        if (Host().NowMs() >= 2000) Host().RemoveForeignWindow(hostWindow);
    });
    stage.Run();
    EXPECT_TRUE(stage.IsQuitting());
    EXPECT_LT(stage.GetTime(), 2200.0);
    EXPECT_EQ(saver->Error(), "");
    EXPECT_EQ(reports, std::vector<std::string>{});
    EXPECT_TRUE(Host().MessageBoxes().empty());
}

}  // namespace
}  // namespace quellmoor::testing
