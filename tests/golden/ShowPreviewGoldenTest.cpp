// The show preview, played headless with a fixed seed, must keep making the
// frames listed in show-preview.manifest, whether it composes every frame whole
// or only what changed. See tests/golden/README.md for regenerating the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "animation/Registration.h"
#include "content/EmbeddedContent.h"
#include "imaging/Surface.h"
#include "platform/headless/HeadlessPlatform.h"
#include "stage/DibStage.h"
#include "tests/golden/GoldenFrames.h"
#include "tools/show-preview/Preview.h"

namespace quellmoor::golden {
namespace {

// 30 frames, one every 2 s of show time, at a size where the whole ship and the mascot's trip fit.
constexpr int kWidth = 480, kHeight = 360, kFrames = 30;
constexpr std::int64_t kEveryMs = 2000;
constexpr std::uint32_t kSeed = 1997;
const std::filesystem::path kManifest = QM_GOLDEN_MANIFEST;
const std::filesystem::path kOutput = QM_GOLDEN_OUTPUT;
const char* const kHeading =
    "Golden frames of show-preview: headless, seed 1997, 480x360, one frame every 2000 ms of show time.\n"
    "name, show time (ms) of the frame, size, FNV-1a 64 of size, indices and palette.\n"
    "Regenerate after a change that is meant: cmake --build build/release --target update-goldens";

bool Updating() { return std::getenv("QM_UPDATE_GOLDENS") != nullptr; }

std::string Hex(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", rgb);
    return text;
}

std::string Pixel(const Frame& frame, int x, int y) {
    return "index " + std::to_string(frame.IndexAt(x, y)) + " (" + Hex(frame.RgbAt(x, y)) + ")";
}

std::vector<Frame> PlayPreview(bool wholeFrames) {
    const auto bytes = EmbeddedMainStream();
    platform::HeadlessPlatform host({.desktop = {0, 0, kWidth, kHeight}, .keepScreen = false});
    host.SetEmbeddedContent({bytes.begin(), bytes.end()});
    platform::SetCurrentPlatform(&host);
    RegisterAnimationClasses();
    std::vector<Frame> frames;
    {
        RDibStage stage;
        host.SetFrameCallback([&](const platform::HeadlessFrame&) {
            const auto n = static_cast<std::int64_t>(frames.size());
            if (n == kFrames || stage.GetTime() < static_cast<double>(n * kEveryMs)) return;
            char name[16];
            std::snprintf(name, sizeof name, "frame_%02d", static_cast<int>(n));
            frames.push_back(CaptureFrame(*stage.GetStageImage()->GetDib(), name,
                                          static_cast<std::int64_t>(stage.GetTime())));
        });
        ShowPreview preview(stage, {.width = kWidth,
                                    .height = kHeight,
                                    .wholeFrames = wholeFrames,
                                    .seed = kSeed,
                                    .seconds = kFrames * kEveryMs / 1000.0});
        stage.Run();
        host.SetFrameCallback(nullptr);
    }
    platform::SetCurrentPlatform(nullptr);
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

struct Mode {
    const char* name;
    bool wholeFrames;
};

void PrintTo(const Mode& mode, std::ostream* os) { *os << mode.name; }

class ShowPreviewGolden : public ::testing::TestWithParam<Mode> {};

TEST_P(ShowPreviewGolden, MatchesTheManifest) {
    const std::vector<Frame> frames = PlayPreview(GetParam().wholeFrames);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(kFrames));
    std::vector<ManifestLine> actual;
    for (const Frame& frame : frames) actual.push_back(Describe(frame));
    std::filesystem::create_directories(kOutput / "accepted");

    if (Updating() && GetParam().wholeFrames) {
        std::ofstream(kManifest, std::ios::binary) << FormatManifest(kHeading, actual);
        for (const Frame& frame : frames) SaveRawFrame(frame, Accepted(FrameHash(frame)));
        std::printf("wrote %d frames to %s\n", kFrames, kManifest.string().c_str());
        return;
    }
    std::ifstream in(kManifest, std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << kManifest;
    std::stringstream text;
    text << in.rdbuf();
    const std::vector<ManifestLine> expected = ParseManifest(text.str());
    ASSERT_EQ(expected.size(), actual.size()) << "the manifest lists another number of frames";
    const auto folder = kOutput / GetParam().name;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] == expected[i]) {
            if (!std::filesystem::exists(Accepted(actual[i].hash))) SaveRawFrame(frames[i], Accepted(actual[i].hash));
            continue;
        }
        if (actual[i].hash == expected[i].hash)
            ADD_FAILURE() << frames[i].name << ": same picture, but the manifest says " << expected[i].name << " at "
                          << expected[i].timeMs << " ms, " << expected[i].width << "x" << expected[i].height;
        else
            ADD_FAILURE() << Explain(frames[i], expected[i], folder);
    }
}

INSTANTIATE_TEST_SUITE_P(Composing, ShowPreviewGolden,
                         ::testing::Values(Mode{"WholeFrames", true}, Mode{"ChangesOnly", false}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// Composing only what changed must give exactly the frames a whole compose gives.
TEST(ShowPreviewComposing, ChangesOnlyGivesTheWholeFrames) {
    const std::vector<Frame> whole = PlayPreview(true), changes = PlayPreview(false);
    ASSERT_EQ(whole.size(), changes.size());
    const auto folder = kOutput / "composing";
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

// A still show would match a manifest of still frames; this one must move.
TEST(ShowPreviewComposing, NoTwoFramesAreAlike) {
    const std::vector<Frame> frames = PlayPreview(true);
    std::vector<std::string> hashes;
    for (const Frame& frame : frames) hashes.push_back(FrameHash(frame));
    std::sort(hashes.begin(), hashes.end());
    EXPECT_EQ(std::unique(hashes.begin(), hashes.end()) - hashes.begin(), kFrames);
}

}  // namespace
}  // namespace quellmoor::golden
