// The show, played headless through show-preview's code with a fixed seed,
// must keep making the frames its manifests list, whether it composes every
// frame whole or only what changed, and both ways must give the same frames.
// One manifest per run: the whole show (show-preview.manifest) and each scene
// class played alone (scene-<file>.manifest). See tests/golden/README.md.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "imaging/Surface.h"
#include "scenes/Report.h"
#include "scenes/Scene.h"
#include "scenes/SceneManager.h"
#include "stage/DibStage.h"
#include "tests/golden/GoldenFrames.h"
#include "tests/golden/GoldenRuns.h"
#include "tools/show-preview/HeadlessShow.h"
#include "tools/show-preview/Preview.h"

namespace quellmoor::golden {

// Found by the test's parameter printer beside GoldenRun.
void PrintTo(const GoldenRun& run, std::ostream* os) { *os << run.name; }

namespace {

const std::filesystem::path kGoldenDir = QM_GOLDEN_DIR;
const std::filesystem::path kOutput = QM_GOLDEN_OUTPUT;

bool Updating() { return std::getenv("QM_UPDATE_GOLDENS") != nullptr; }

std::filesystem::path ManifestOf(const GoldenRun& run) { return kGoldenDir / (std::string(run.name) + ".manifest"); }

std::string Heading(const GoldenRun& run) {
    const std::string scene = *run.scene ? std::string(" --scene ") + run.scene : std::string();
    return "Golden frames of show-preview" + scene + " (" + run.what + "): headless, seed " + std::to_string(kRunSeed) +
           ", " + std::to_string(kRunWidth) + "x" + std::to_string(kRunHeight) + ", one frame every " +
           std::to_string(run.everyMs) + " ms of show time.\n"
           "name, show time (ms) of the frame, size, FNV-1a 64 of size, indices and palette.\n"
           "Regenerate after a change that is meant: cmake --build build/release --target update-goldens";
}

std::string Hex(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", rgb);
    return text;
}

std::string Pixel(const Frame& frame, int x, int y) {
    return "index " + std::to_string(frame.IndexAt(x, y)) + " (" + Hex(frame.RgbAt(x, y)) + ")";
}

std::vector<Frame> PlayPreview(const GoldenRun& run, bool wholeFrames) {
    HeadlessShowHost show(kRunWidth, kRunHeight);
    // Each run reports afresh (the sink stays standard error).
    ForgetReports();
    std::vector<Frame> frames;
    {
        RDibStage stage;
        FrameSampler sampler(run);
        show.Host().SetFrameCallback([&](const platform::HeadlessFrame&) {
            sampler.Presented(CaptureFrame(*stage.GetStageImage()->GetDib(), "", 0), stage.GetTime());
        });
        ShowPreview preview(stage, RunSettings(run, wholeFrames));
        stage.Run();
        show.Host().SetFrameCallback(nullptr);
        frames = sampler.Finish();
        EXPECT_EQ(preview.Error(), "");
        // A scene played alone is the only scene the manager holds.
        if (*run.scene && preview.GetShow().manager) {
            const auto& scenes = preview.GetShow().manager->GetScenes();
            EXPECT_EQ(scenes.size(), 1u);
            if (!scenes.empty()) {
                EXPECT_EQ(scenes.front()->GetName(), run.scene);
            }
        }
    }
    return frames;
}

std::filesystem::path Accepted(const std::string& hash) { return kOutput / "accepted" / (hash + ".frame"); }

// Writes what a mismatch needs looking at and says where the frames part.
std::string Explain(const Frame& actual, const ManifestLine& expected, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const auto actualPng = folder / (actual.name + "-actual.png");
    SaveFramePng(actual, actualPng);
    std::string text = actual.name + " at " + std::to_string(actual.timeMs) + " ms: hash " + FrameHash(actual) +
                       ", manifest " + expected.hash + "; actual frame in " + actualPng.string();
    const std::optional<Frame> before = LoadRawFrame(Accepted(expected.hash));
    if (!before)
        return text + "; no earlier frame with the manifest's hash in " + (kOutput / "accepted").string() +
               " to compare with (every passing run keeps its frames there)";
    const auto expectedPng = folder / (actual.name + "-expected.png"), diffPng = folder / (actual.name + "-diff.png");
    SaveFramePng(*before, expectedPng);
    SaveFramePng(DifferenceImage(*before, actual), diffPng);
    text += ", expected in " + expectedPng.string() + ", differences in red in " + diffPng.string();
    const std::optional<Difference> d = FirstDifference(*before, actual);
    if (!d) return text + "; the colours are alike, only indices or unused palette entries differ";
    if (before->width != actual.width || before->height != actual.height)
        return text + "; sizes differ: expected " + std::to_string(before->width) + "x" +
               std::to_string(before->height);
    return text + "; first differing pixel (" + std::to_string(d->x) + ", " + std::to_string(d->y) +
           "): expected " + Pixel(*before, d->x, d->y) + ", actual " + Pixel(actual, d->x, d->y) + "; " +
           std::to_string(d->count) + " pixels differ";
}

std::vector<ManifestLine> Describe(const std::vector<Frame>& frames) {
    std::vector<ManifestLine> lines;
    for (const Frame& frame : frames) lines.push_back(golden::Describe(frame));
    return lines;
}

void ExpectManifest(const GoldenRun& run, const std::vector<Frame>& frames, const std::string& mode) {
    std::ifstream in(ManifestOf(run), std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << ManifestOf(run) << " (make it with the update-goldens target)";
    std::stringstream text;
    text << in.rdbuf();
    const std::vector<ManifestLine> expected = ParseManifest(text.str());
    const std::vector<ManifestLine> actual = Describe(frames);
    ASSERT_EQ(expected.size(), actual.size()) << mode << ": the manifest lists another number of frames";
    const auto folder = kOutput / run.name / mode;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] == expected[i]) {
            if (!std::filesystem::exists(Accepted(actual[i].hash))) SaveRawFrame(frames[i], Accepted(actual[i].hash));
            continue;
        }
        if (actual[i].hash == expected[i].hash)
            ADD_FAILURE() << mode << ", " << frames[i].name << ": same picture, but the manifest says "
                          << expected[i].name << " at " << expected[i].timeMs << " ms, " << expected[i].width << "x"
                          << expected[i].height;
        else
            ADD_FAILURE() << mode << ", " << Explain(frames[i], expected[i], folder);
    }
}

// Composing only what changed must give exactly the frames a whole compose gives.
void ExpectAlike(const GoldenRun& run, const std::vector<Frame>& whole, const std::vector<Frame>& changes) {
    ASSERT_EQ(whole.size(), changes.size());
    const auto folder = kOutput / run.name / "composing";
    for (std::size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(whole[i].timeMs, changes[i].timeMs) << whole[i].name;
        if (FrameHash(whole[i]) == FrameHash(changes[i])) continue;
        std::filesystem::create_directories(folder);
        SaveFramePng(whole[i], folder / (whole[i].name + "-whole.png"));
        SaveFramePng(changes[i], folder / (whole[i].name + "-changes.png"));
        SaveFramePng(DifferenceImage(whole[i], changes[i]), folder / (whole[i].name + "-diff.png"));
        const std::optional<Difference> d = FirstDifference(whole[i], changes[i]);
        ADD_FAILURE() << whole[i].name << " at " << whole[i].timeMs << " ms differs (pictures in " << folder.string()
                      << ")"
                      << (d ? "; first differing pixel (" + std::to_string(d->x) + ", " + std::to_string(d->y) +
                                  "): whole " + Pixel(whole[i], d->x, d->y) + ", changes only " +
                                  Pixel(changes[i], d->x, d->y) + "; " + std::to_string(d->count) + " pixels differ"
                            : std::string("; the colours are alike, the indices or palettes are not"));
    }
}

class ShowGolden : public ::testing::TestWithParam<GoldenRun> {};

TEST_P(ShowGolden, MatchesTheManifestComposedWholeAndChangesOnly) {
    const GoldenRun& run = GetParam();
    const std::vector<Frame> whole = PlayPreview(run, true);
    ASSERT_EQ(whole.size(), static_cast<std::size_t>(run.frames));
    std::filesystem::create_directories(kOutput / "accepted");
    if (Updating()) {
        std::ofstream(ManifestOf(run), std::ios::binary) << FormatManifest(Heading(run), Describe(whole));
        for (const Frame& frame : whole) SaveRawFrame(frame, Accepted(FrameHash(frame)));
        std::printf("wrote %d frames to %s\n", run.frames, ManifestOf(run).string().c_str());
    }
    ExpectManifest(run, whole, "WholeFrames");
    const std::vector<Frame> changes = PlayPreview(run, false);
    ExpectManifest(run, changes, "ChangesOnly");
    ExpectAlike(run, whole, changes);
    // The show never stands still for two seconds. (Frames further apart may
    // match: a visitor's dance on a planet without a sky comes round again.)
    for (std::size_t i = 1; i < whole.size(); ++i)
        EXPECT_NE(FrameHash(whole[i]), FrameHash(whole[i - 1])) << "frames " << i - 1 << " and " << i;
}

INSTANTIATE_TEST_SUITE_P(Runs, ShowGolden, ::testing::ValuesIn(kGoldenRuns), [](const auto& param) {
    std::string name = param.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

}  // namespace
}  // namespace quellmoor::golden
