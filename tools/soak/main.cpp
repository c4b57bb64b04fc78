// soak: the show for a long while, headless and as fast as the machine goes,
// to see that it keeps playing and keeps its memory.
//
//   soak                        a simulated hour: seed 1997, 800x600, the built content
//   soak --minutes 5 --check    exit code 1 unless every scene played, memory stayed
//                               flat and nothing escaped
//   soak --max-seconds 20       with --check: also fail past 20 s of wall time
//
// The show runs through show-preview's code (scenes/Show.h start-up, the
// stage's own loop) on the headless backend's virtual clock, composing only
// what changed. It prints the wall time, the simulated time, how often each
// scene started, every report and exception, and the resident memory at each
// sample (every 10 simulated minutes; every half of a shorter run) with the
// growth from the first sample to the end.
#include <chrono>
#include <ctime>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scenes/Control.h"
#include "scenes/Report.h"
#include "scenes/Scene.h"
#include "scenes/SceneManager.h"
#include "stage/DibStage.h"
#include "tools/common/Options.h"
#include "tools/show-preview/HeadlessShow.h"
#include "tools/show-preview/Preview.h"
#include "tools/soak/Memory.h"

namespace {

using namespace quellmoor;

constexpr double kMsPerMinute = 60'000.0;
constexpr double kMemorySampleMinutes = 10.0;
constexpr double kMostGrowthPercent = 1.0;

struct Options {
    double minutes = 60;
    long seed = 1997;
    int width = 800, height = 600;
    std::string dir;
    bool check = false;
    double maxSeconds = 0;
};

struct MemorySample {
    double minutes = 0;
    std::optional<std::uint64_t> bytes;
};

struct Results {
    double wallSeconds = 0, cpuSeconds = 0, simulatedMs = 0;
    long framesPresented = 0;
    std::map<std::string, long> started;  // every scene of the manager, started or not
    std::vector<std::string> reports, exceptions;
    std::vector<MemorySample> memory;
    std::string buildError;
};

std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
    tools::OptionParser parser("soak",
                               "Plays the show headless on the virtual clock as fast as possible and tells how it went:\n"
                               "wall time, scenes started, reports, exceptions and resident memory.");
    parser.Number("minutes", "N", "simulated minutes to play (default 60)", options.minutes, 0.1, 1e6);
    parser.Integer("seed", "N", "seed of the show's randomness (default 1997)", options.seed, 0, 4294967295L);
    parser.Size("size", "window size (default 800x600)", options.width, options.height, 8192);
    parser.Text("dir", "D", "content directory (default: the built one)", options.dir);
    parser.Flag("check", "exit code 1 when a scene never played, memory grew more than 1% after the first sample "
                         "or the wall time passed --max-seconds",
                options.check);
    parser.Number("max-seconds", "S", "with --check: the wall time allowed (default: any)", options.maxSeconds, 0,
                  1e7);
    return parser.ParseOrExit(argc, argv, std::cout, std::cerr);
}

// Every start writes the scene's key "1" (if it was not); setting it back to
// "0" makes the next start write again. Only loading reads these keys.
void CountStarts(const RSceneManager& manager, Results& results) {
    for (const RScene* scene : manager.GetScenes()) {
        if (ReadControl(scene->GetName(), "0") != "1") continue;
        ++results.started[scene->GetName()];
        WriteControl(scene->GetName(), "0");
    }
}

Results Play(const Options& options) {
    Results results;
    HeadlessShowHost show(options.width, options.height);
    platform::HeadlessPlatform& host = show.Host();
    SetReportSink([&results](const std::string& message) { results.reports.push_back(message); });

    const double endMs = options.minutes * kMsPerMinute;
    const double sampleMinutes = std::min(kMemorySampleMinutes, options.minutes / 2);
    const auto wallStart = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    {
        RDibStage stage;
        PreviewSettings settings;
        settings.width = options.width;
        settings.height = options.height;
        settings.seed = static_cast<std::uint32_t>(options.seed);
        settings.seconds = endMs / 1000.0;
        settings.dir = options.dir;
        ShowPreview preview(stage, settings);
        std::uint64_t writesSeen = 0;
        double nextSampleMs = sampleMinutes * kMsPerMinute;
        // Once per round of the stage's loop, before it waits.
        host.SetWaitCallback([&](std::int64_t) {
            const RSceneManager* manager = preview.GetShow().manager;
            if (!manager) return;
            if (host.FilesReplaced().Total() != writesSeen) {
                CountStarts(*manager, results);
                writesSeen = host.FilesReplaced().Total();
            }
            if (stage.GetTime() >= nextSampleMs) {
                results.memory.push_back({nextSampleMs / kMsPerMinute, soak::ResidentBytes()});
                nextSampleMs += sampleMinutes * kMsPerMinute;
            }
        });
        stage.Run();
        host.SetWaitCallback(nullptr);
        results.simulatedMs = stage.GetTime();
        results.buildError = preview.Error();
        if (const RSceneManager* manager = preview.GetShow().manager) {
            CountStarts(*manager, results);
            for (const RScene* scene : manager->GetScenes()) results.started.try_emplace(scene->GetName(), 0);
        }
        if (results.memory.empty() || results.memory.back().minutes < options.minutes - 1e-9)
            results.memory.push_back({results.simulatedMs / kMsPerMinute, soak::ResidentBytes()});
    }
    results.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    results.cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    results.framesPresented = host.FrameCount();
    for (const auto& box : host.MessageBoxes()) results.exceptions.push_back(box.text);
    SetReportSink({});
    return results;
}

std::string Megabytes(const std::optional<std::uint64_t>& bytes) {
    if (!bytes) return "unknown";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(*bytes) / (1024.0 * 1024.0));
    return text;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

// Prints what happened; answers the reasons the check fails (empty: passed).
std::vector<std::string> Print(const Options& options, const Results& results) {
    std::vector<std::string> failures;
    std::printf("soak: seed %ld, %dx%d, changes-only composing\n", options.seed, options.width, options.height);
    // On a shared machine the processor time tells more than the wall time.
    std::printf("wall time: %.2f s (processor time %.2f s) for %.2f simulated minutes\n", results.wallSeconds,
                results.cpuSeconds, results.simulatedMs / kMsPerMinute);
    std::printf("frames presented: %ld (%.1f per simulated second)\n", results.framesPresented,
                results.simulatedMs > 0 ? static_cast<double>(results.framesPresented) * 1000.0 / results.simulatedMs
                                        : 0.0);
    if (options.maxSeconds > 0 && results.wallSeconds > options.maxSeconds)
        failures.push_back("the wall time passed the budget of " + Seconds(options.maxSeconds));

    std::printf("scenes started:\n");
    for (const auto& [name, count] : results.started) {
        std::printf("  %-28s %ld\n", name.c_str(), count);
        if (count == 0) failures.push_back("the scene " + name + " never played");
    }
    std::printf("reports: %zu\n", results.reports.size());
    for (const std::string& report : results.reports) std::printf("  %s\n", report.c_str());
    std::printf("exceptions: %zu\n", results.exceptions.size());
    for (const std::string& exception : results.exceptions) std::printf("  %s\n", exception.c_str());

    std::printf("resident memory:\n");
    for (const MemorySample& sample : results.memory)
        std::printf("  at %6.1f min: %s\n", sample.minutes, Megabytes(sample.bytes).c_str());
    if (results.memory.size() >= 2 && results.memory.front().bytes && results.memory.back().bytes) {
        const double first = static_cast<double>(*results.memory.front().bytes);
        const double last = static_cast<double>(*results.memory.back().bytes);
        const double growth = (last - first) / first * 100.0;
        std::printf("memory after %.1f minutes vs end: %s -> %s (%+.2f%%)\n", results.memory.front().minutes,
                    Megabytes(results.memory.front().bytes).c_str(), Megabytes(results.memory.back().bytes).c_str(),
                    growth);
        if (soak::kSanitizedMemory)
            std::printf("  (not checked: the address sanitizer keeps freed memory in quarantine)\n");
        else if (growth > kMostGrowthPercent)
            failures.push_back("memory grew by more than 1% after the first sample");
    } else {
        std::printf("memory after the first sample vs end: unknown\n");
    }
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (auto exit = ParseOptions(argc, argv, options)) return *exit;
    Results results;
    try {
        results = Play(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soak: %s\n", e.what());
        return 1;
    }
    if (!results.buildError.empty()) {
        std::fprintf(stderr, "soak: the show could not be built: %s\n", results.buildError.c_str());
        return 1;
    }
    const std::vector<std::string> failures = Print(options, results);
    if (!results.exceptions.empty()) {
        std::printf("failed: an exception escaped to the stage\n");
        return 1;
    }
    if (!options.check) return 0;
    for (const std::string& failure : failures) std::printf("check failed: %s\n", failure.c_str());
    if (failures.empty()) std::printf("check passed\n");
    return failures.empty() ? 0 : 1;
}
