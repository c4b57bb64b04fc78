// A window stage on the headless backend, plus small builders: a palette with
// easy colours, surfaces filled in code, a pixie that draws one surface, and
// streams with a "Stage" object.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/BmpWriter.h"
#include "imaging/Surface.h"
#include "model/ClassFactory.h"
#include "model/EventLinks.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "stage/Application.h"
#include "stage/DibStage.h"
#include "stage/Pixie.h"
#include "stage/Timer.h"
#include "tests/model/StreamBuilder.h"

namespace quellmoor::testing {

// Entry i is red i, green i / 2, blue 255 - i; entry 250 is pure green, the see-through colour.
inline Palette TestPalette() {
    Palette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2),
                                                static_cast<std::uint8_t>(i), 0};
    palette[250] = {0, 255, 0, 0};
    return palette;
}

inline std::uint32_t TestRgb(int index) {
    const PaletteEntry e = TestPalette()[static_cast<std::size_t>(index)];
    return (std::uint32_t{e.red} << 16) | (std::uint32_t{e.green} << 8) | e.blue;
}

// A surface of one colour index with the test palette.
inline std::unique_ptr<RDibSurface> MakeSurface(int width, int height, std::uint8_t index) {
    auto surface = std::make_unique<RDibSurface>(static_cast<float>(width), static_cast<float>(height));
    surface->GetDib()->SetPalette(TestPalette());
    surface->GetDib()->Fill(index);
    return surface;
}

// The bytes of a bitmap file of one colour index.
inline std::string BitmapFile(int width, int height, std::uint8_t index) {
    auto surface = MakeSurface(width, height, index);
    std::ostringstream out;
    SaveBmp(*surface->GetDib(), out);
    return out.str();
}

// A pixie that draws its own surface with the surface's transparent colour.
class TestPixie : public RPlacedPixie {
public:
    TestPixie(std::string name, RComponent* owner, std::unique_ptr<RSurface> surface)
        : RPlacedPixie(std::move(name), owner), surface_(std::move(surface)) {}

    bool UpdateBounds() override { return false; }
    void Draw(RSurface& destination, float x, float y, const std::vector<RRect>*) override {
        ++draws;
        const float w = surface_->GetWidth(), h = surface_->GetHeight();
        destination.CopyFrom(surface_.get(), 0, 0, w, h, x, y, w, h, false, false);
    }
    RSurface& Surface() { return *surface_; }
    int draws = 0;

private:
    std::unique_ptr<RSurface> surface_;
};

// A timer that counts its ticks and runs an optional action.
class CountingTimer : public RTimer {
public:
    CountingTimer(std::string name, RComponent* owner, double intervalMs, std::function<void()> action = {})
        : RTimer(std::move(name), owner, intervalMs, true), action_(std::move(action)) {}
    void OnTimerTick() override {
        ticks.push_back(CurrentStage()->GetTime());
        if (action_) action_();
        RTimer::OnTimerTick();
    }
    std::vector<double> ticks;

private:
    std::function<void()> action_;
};

inline std::string StageObject(std::string_view pairs) {
    return Object("RStage", "Stage", pairs);
}

class StageTest : public ::testing::Test {
protected:
    // Stage tests draw real text (the frame rate, balloons): the FreeType contexts.
    static platform::HeadlessOptions WithText(platform::HeadlessOptions options) {
        if (!options.drawingContexts) options.drawingContexts = CreateFontDrawingContext;
        return options;
    }
    explicit StageTest(platform::HeadlessOptions options = {}) : host(WithText(std::move(options))) {
        ClearPendingEventLinks();
        platform::SetCurrentPlatform(&host);
        stage = std::make_unique<RDibStage>();
    }
    ~StageTest() override {
        stage.reset();
        platform::SetCurrentPlatform(nullptr);
    }

    // Loads a stream whose "Stage" object carries `pairs` (a background by default).
    void Load(const std::string& pairs) {
        std::istringstream in(Stream("", StageObject(pairs)));
        stage->AddComponentStream(&in);
    }
    void LoadBackground(int width, int height, std::uint8_t index) {
        stage->GetSetup().windowRect = {0, 0, static_cast<float>(width), static_cast<float>(height)};
        Load(Pair("Background", BitmapFile(width, height, index)));
    }
    // Adds a pixie owned by the stage and registered in its list.
    TestPixie* AddPixie(const std::string& name, std::unique_ptr<RSurface> surface, float x, float y, float z) {
        auto* pixie = MakeOwned<TestPixie>(name, stage.get(), std::move(surface));
        stage->RegisterComponent(pixie);
        pixie->SetXPos(x);
        pixie->SetYPos(y);
        pixie->SetZPos(z);
        pixie->SetVisible(true);
        return pixie;
    }
    std::uint8_t FrameIndex(int x, int y) const { return host.LastFrame()->IndexAt(x, y); }
    // Queues a close at `atMs`, so Run ends there.
    void CloseAt(std::int64_t atMs) { host.QueueInput(atMs, {.type = platform::InputEvent::Type::Close}); }

    platform::HeadlessPlatform host;
    std::unique_ptr<RDibStage> stage;
};

}  // namespace quellmoor::testing
