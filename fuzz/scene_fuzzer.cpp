// Arbitrary bytes as the one scene file of a content directory, played by the
// whole show (the main stream, the ship, the sky, the scene manager) on the
// headless backend's virtual clock for a few simulated seconds on a small
// stage. The show must load it or leave it out, and play on; anything but that
// (a crash, a leak, a hang, undefined behaviour) is a bug.
// SCENE_FUZZ_VERBOSE=1 prints the show's reports and whether the scene started.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "content/EmbeddedContent.h"
#include "scenes/Control.h"
#include "scenes/Report.h"
#include "stage/DibStage.h"
#include "tools/show-preview/HeadlessShow.h"
#include "tools/show-preview/Preview.h"

namespace {

namespace fs = std::filesystem;
using namespace quellmoor;

constexpr int kWidth = 160, kHeight = 120;
constexpr double kSeconds = 3.0;

bool Verbose() {
    static const bool verbose = std::getenv("SCENE_FUZZ_VERBOSE") != nullptr;
    return verbose;
}

fs::path MakeContentDir() {
    const fs::path dir = fs::temp_directory_path() / ("scene-fuzz-" + std::to_string(::getpid()));
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    fs::create_directories(dir);
    for (const char* shared : {"Sounds", "Skins"})
        fs::create_directory_symlink(fs::path(BuiltContentDir()) / shared, dir / shared, ignored);
    std::atexit([] {
        std::error_code error;
        fs::remove_all(fs::temp_directory_path() / ("scene-fuzz-" + std::to_string(::getpid())), error);
    });
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path dir = MakeContentDir();
    static const bool once = [] {
        SetReportSink([](const std::string& message) {
            if (Verbose()) std::fprintf(stderr, "report: %s\n", message.c_str());
        });
        return true;
    }();
    (void)once;
    {
        std::ofstream file(dir / "Fuzz.RCS", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ForgetReports();

    HeadlessShowHost show(kWidth, kHeight);
    {
        RDibStage stage;
        PreviewSettings settings;
        settings.width = kWidth;
        settings.height = kHeight;
        settings.seconds = kSeconds;
        settings.dir = dir.string();
        ShowPreview preview(stage, settings);
        stage.Run();
        // The main stream is ours: the show must always be built.
        if (!preview.Error().empty()) std::abort();
        if (Verbose())
            std::fprintf(stderr, "scene %s; %zu message box(es)\n",
                         ReadControl("Fuzz.RCS", "0") == "1" ? "started" : "never started",
                         show.Host().MessageBoxes().size());
    }
    return 0;
}
