// The host every headless run of the show uses (the golden frames, the soak,
// the scene fuzzer, the start-up benchmark): a desktop of the given size, the
// embedded main stream, and balloons drawn with the system's text wherever
// that backend is built. It is the current platform while it lives.
//
//   HeadlessShowHost show(800, 600);
//   RDibStage stage;
//   ShowPreview preview(stage, settings);
//   show.Host().SetFrameCallback(...);
//   stage.Run();
#pragma once

#include "platform/headless/HeadlessPlatform.h"

namespace quellmoor {

class HeadlessShowHost {
public:
    HeadlessShowHost(int width, int height);
    ~HeadlessShowHost();
    HeadlessShowHost(const HeadlessShowHost&) = delete;
    HeadlessShowHost& operator=(const HeadlessShowHost&) = delete;

    platform::HeadlessPlatform& Host() { return host_; }

private:
    platform::HeadlessPlatform host_;
};

}  // namespace quellmoor
