// Balloons must keep looking as they did when someone last looked at them.
// Text comes from the system (FreeType over fontconfig on Linux, GDI on
// Windows and under Wine), so each text backend keeps a manifest of its own:
// balloons-<backend>.manifest. A mismatch writes the actual frame, and a
// difference image against the last accepted one, into the output folder.
//
// After a change that is meant: QM_UPDATE_GOLDENS=1 rewrites the manifest
// (under Wine: run the Windows test program so, see tests/golden/README.md).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "animation/Balloon.h"
#include "imaging/Surface.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "tests/animation/TestStage.h"
#include "tests/golden/GoldenFrames.h"

namespace quellmoor::golden {
namespace {

#ifdef _WIN32
constexpr const char* kTextBackend = "gdi";
constexpr const char* kManifestFile = "balloons-gdi.manifest";
constexpr const char* kOutputFolder = "balloons-gdi";
#else
constexpr const char* kTextBackend = "freetype";
constexpr const char* kManifestFile = "balloons-freetype.manifest";
constexpr const char* kOutputFolder = "balloons-freetype";
#endif

const std::filesystem::path kGoldenDir = QM_GOLDEN_DIR;
const std::filesystem::path kOutput = QM_GOLDEN_OUTPUT;
constexpr int kWidth = 320, kHeight = 180;

struct BalloonCase {
    const char* name;
    std::vector<std::string> lines;
    bool preview;
};

// Our own words: a greeting, a long line that wraps the box wide, and the
// preview's larger type.
const BalloonCase kBalloons[] = {
    {"greeting", {"Hello there!"}, false},
    {"two_lines", {"Ready for a trip", "to the rings of Zorblax?"}, false},
    {"long_line", {"Gears down, flame low, and mind the comets on the left."}, false},
    {"preview", {"Bravo! Encore!"}, true},
};

std::filesystem::path Manifest() { return kGoldenDir / kManifestFile; }

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Frame DrawBalloon(const BalloonCase& balloonCase) {
    platform::HeadlessPlatform host{{.drawingContexts = CreateFontDrawingContext}};
    platform::SetCurrentPlatform(&host);
    Frame frame;
    {
        testing::TestStage stage(kWidth, kHeight);
        stage.SetPreviewMode(balloonCase.preview);
        auto* balloon = MakeOwned<RBalloon>("Balloon", &stage);
        stage.RegisterComponent(balloon);
        balloon->Say(balloonCase.lines, kWidth / 2, kHeight - 10, nullptr, nullptr, nullptr, nullptr);
        stage.Redraw();
        frame = CaptureFrame(*stage.GetStageImage()->GetDib(), balloonCase.name, 0);
    }
    platform::SetCurrentPlatform(nullptr);
    return frame;
}

TEST(BalloonGolden, EachBalloonLooksAsAccepted) {
    std::vector<Frame> frames;
    std::vector<ManifestLine> lines;
    for (const BalloonCase& balloonCase : kBalloons) {
        frames.push_back(DrawBalloon(balloonCase));
        lines.push_back(Describe(frames.back()));
    }
    const std::filesystem::path output = kOutput / kOutputFolder;
    std::filesystem::create_directories(output / "accepted");
    if (std::getenv("QM_UPDATE_GOLDENS")) {
        std::ostringstream heading;
        heading << "Golden balloons drawn with the " << kTextBackend << " text backend, " << kWidth << "x" << kHeight
                << ". Regenerate after a change that is meant: QM_UPDATE_GOLDENS=1.";
        std::ofstream(Manifest(), std::ios::binary) << FormatManifest(heading.str(), lines);
    }
    const std::vector<ManifestLine> expected = ParseManifest(Slurp(Manifest()));
    ASSERT_EQ(expected.size(), frames.size()) << Manifest();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(frames[i].name);
        const std::filesystem::path accepted = output / "accepted" / (expected[i].hash + ".frame");
        if (lines[i] == expected[i]) {
            SaveRawFrame(frames[i], accepted);
            SaveFramePng(frames[i], output / (frames[i].name + ".png"));
            continue;
        }
        SaveFramePng(frames[i], output / (frames[i].name + "-actual.png"));
        std::ostringstream detail;
        detail << "hash " << lines[i].hash << ", manifest " << expected[i].hash;
        if (const auto before = LoadRawFrame(accepted)) {
            SaveFramePng(*before, output / (frames[i].name + "-expected.png"));
            SaveFramePng(DifferenceImage(*before, frames[i]), output / (frames[i].name + "-diff.png"));
            if (const auto difference = FirstDifference(*before, frames[i]))
                detail << "; first differing pixel (" << difference->x << ", " << difference->y << "), "
                       << difference->count << " pixels differ";
        }
        ADD_FAILURE() << "balloon " << frames[i].name << " changed: " << detail.str() << "; pictures in " << output;
    }
}

}  // namespace
}  // namespace quellmoor::golden
