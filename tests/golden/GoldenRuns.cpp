#include "tests/golden/GoldenRuns.h"

#include <cstdio>
#include <limits>

namespace quellmoor::golden {

int FrameSampler::Presented(Frame frame, double timeMs) {
    const int emitted = EmitUpTo(timeMs);
    frame.timeMs = static_cast<std::int64_t>(timeMs);
    last_ = std::move(frame);
    return emitted;
}

std::vector<Frame> FrameSampler::Finish() {
    EmitUpTo(std::numeric_limits<double>::infinity());
    return std::move(frames_);
}

int FrameSampler::EmitUpTo(double timeMs) {
    int emitted = 0;
    while (last_ && static_cast<int>(frames_.size()) < run_.frames &&
           static_cast<double>(static_cast<std::int64_t>(frames_.size()) * run_.everyMs) < timeMs) {
        char name[24];  // "frame_" and any int
        std::snprintf(name, sizeof name, "frame_%02d", static_cast<int>(frames_.size()));
        Frame frame = *last_;
        frame.name = name;
        frame.timeMs = static_cast<std::int64_t>(frames_.size()) * run_.everyMs;
        frames_.push_back(std::move(frame));
        ++emitted;
    }
    return emitted;
}

}  // namespace quellmoor::golden
