// Composing and presenting one frame: a background, one 300 x 200 picture and
// 60 small see-through sprites that move every frame, at three screen sizes.
//
//   Compose          sort, copy the background, draw the pixies
//   ComposePresent   the same, then what the window backend does with the
//                    frame: find the changed spans against the last frame and
//                    convert only those to 32 bits through the palette table
//   ComposeConvertAll the same, converting the whole frame every time
//   RedrawChanges    the stage composes and presents only the rectangles its
//                    pixies report changed, and those alone are converted
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "animation/PixieDrawing.h"
#include "imaging/Surface.h"
#include "platform/Platform.h"
#include "platform/sdl/ChangedSpans.h"
#include "stage/DibStage.h"
#include "stage/Pixie.h"

namespace {

using namespace quellmoor;

// A backend that keeps a 32-bit "screen" the way the SDL backend's window surface does.
class BenchPlatform final : public platform::Platform {
public:
    bool convertAll = false;

    std::int64_t NowMs() override { return now; }
    void WaitUntil(std::int64_t deadline) override { now = std::max(now, deadline); }
    bool PollEvent(platform::InputEvent&) override { return false; }
    platform::WindowId OpenWindow(const platform::WindowSpec& spec) override {
        rect = spec.rect;
        return 1;
    }
    void DestroyWindow() override {}
    void ShowWindow(bool) override {}
    void ResizeWindow(int, int) override {}
    void SetWindowTitle(std::string_view) override {}
    platform::PixelRect GetWindowRect(platform::WindowId) override { return rect; }
    bool WindowExists(platform::WindowId window) override { return window == 1; }
    platform::PixelRect GetDesktopRect() override { return rect; }
    int GetRefreshRateHz() override { return 60; }
    void Prepare(const platform::IndexedImage& image) {
        if (kept.size() != static_cast<std::size_t>(image.width) * image.height) {
            kept.assign(static_cast<std::size_t>(image.width) * image.height, 0);
            screen.assign(kept.size(), 0);
        }
        for (int i = 0; i < 256; ++i)
            lookup[i] = (std::uint32_t{image.palette[i].red} << 16) | (std::uint32_t{image.palette[i].green} << 8) |
                        image.palette[i].blue;
    }
    void Convert(const platform::IndexedImage& image, int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* source = platform::TopDownRow(image, y);
            std::copy(source + left, source + right, kept.begin() + static_cast<std::ptrdiff_t>(y) * image.width + left);
            std::uint32_t* target = screen.data() + static_cast<std::size_t>(y) * image.width;
            for (int x = left; x < right; ++x) target[x] = lookup[source[x]];
        }
    }
    void PresentStretched(platform::WindowId, const platform::IndexedImage& image, platform::PixelRect) override {
        Prepare(image);
        const auto convert = [&](int left, int top, int right, int bottom) { Convert(image, left, top, right, bottom); };
        if (convertAll) {
            convert(0, 0, image.width, image.height);
            return;
        }
        for (int top = 0; top < image.height; top += platform::kBandRows)
            platform::ForEachChangedSpan(image, kept, top, std::min(top + platform::kBandRows, image.height), tiles,
                                         convert);
    }
    void PresentRects(platform::WindowId, const platform::IndexedImage& image,
                      std::span<const platform::PixelRect> rects) override {
        Prepare(image);
        for (const platform::PixelRect& r : rects) Convert(image, r.x, r.y, r.x + r.width, r.y + r.height);
    }
    void PresentRgb(platform::WindowId, const platform::RgbImage&, int, int) override {}
    void ShowCursor(bool) override {}
    platform::MessageBoxButton ShowMessageBox(std::string_view, std::string_view) override {
        return platform::MessageBoxButton::Ok;
    }
    std::string GetProgramPath() override { return "/bench"; }
    std::vector<std::uint8_t> GetEmbeddedContent() override { return {}; }
    std::unique_ptr<platform::DrawingContext> CreateDrawingContext(const platform::IndexedCanvas&) override {
        return nullptr;
    }

    std::int64_t now = 0;
    platform::PixelRect rect{};
    std::array<std::uint32_t, 256> lookup{};
    std::vector<std::uint8_t> kept, tiles;
    std::vector<std::uint32_t> screen;
};

class BenchPixie : public RPlacedPixie {
public:
    BenchPixie(std::string name, RComponent* owner, std::unique_ptr<RSurface> surface)
        : RPlacedPixie(std::move(name), owner), surface_(std::move(surface)) {
        SetVisible(true);
    }
    bool UpdateBounds() override { return UpdateCoveredArea(*this, area_, surface_->GetWidth(), surface_->GetHeight()); }
    void Draw(RSurface& destination, float x, float y, const std::vector<RRect>*) override {
        const float w = surface_->GetWidth(), h = surface_->GetHeight();
        destination.CopyFrom(surface_.get(), 0, 0, w, h, x, y, w, h, false, false);
    }

private:
    std::unique_ptr<RSurface> surface_;
    CoveredArea area_;
};

Palette BenchPalette() {
    Palette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                                static_cast<std::uint8_t>(i / 2), 0};
    return palette;
}

std::unique_ptr<RSurface> Surface(int width, int height, std::uint8_t index) {
    auto surface = std::make_unique<RDibSurface>(static_cast<float>(width), static_cast<float>(height));
    surface->GetDib()->SetPalette(BenchPalette());
    surface->GetDib()->Fill(index);
    return surface;
}

// The scene: a background with stripes, a 300 x 200 picture, 60 rings of 12 x 12.
struct Scene {
    explicit Scene(int width, int height, bool convertAll) : w(width), h(height) {
        host.convertAll = convertAll;
        platform::SetCurrentPlatform(&host);
        stage = std::make_unique<RDibStage>();
        stage->GetSetup().windowRect = {0, 0, static_cast<float>(width), static_cast<float>(height)};
        std::string stream = "RCS0#";
        std::istringstream empty(stream);
        stage->AddComponentStream(&empty);
        auto background = Surface(width, height, 10);
        for (int y = 0; y < height; y += 8) background->GetDib()->FillRect({0, static_cast<float>(y), static_cast<float>(width), 4}, 20);
        stage->GetBackground()->Assign(*background);
        stage->GetStageImage()->Assign(*background);
        Add(Surface(300, 200, 30), static_cast<float>(width / 2 - 150), static_cast<float>(height / 2 - 100), 10);
        for (int i = 0; i < 60; ++i) {
            auto ring = Surface(12, 12, 0);
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 12; ++x) {
                    const double d = (x - 5.5) * (x - 5.5) + (y - 5.5) * (y - 5.5);
                    if (d <= 36.0 && d >= 9.0) *ring->GetDib()->GetPixelAddr(x, y) = 200;
                }
            ring->SetTransColor(ring->GetDib()->GetPixel(0, 0));
            sprites.push_back(Add(std::move(ring), 0, 0, -1));
        }
    }
    ~Scene() {
        stage.reset();
        platform::SetCurrentPlatform(nullptr);
    }
    BenchPixie* Add(std::unique_ptr<RSurface> surface, float x, float y, float z) {
        std::string name = "pixie";
        name += std::to_string(stage->GetComponents().size());
        auto* pixie = MakeOwned<BenchPixie>(name, stage.get(), std::move(surface));
        stage->RegisterComponent(pixie);
        pixie->SetPosition(x, y, z);
        return pixie;
    }
    void Step() {
        ++frame;
        for (std::size_t i = 0; i < sprites.size(); ++i) {
            const double phase = static_cast<double>(frame) / 20.0 + static_cast<double>(i);
            const int n = static_cast<int>(i);
            sprites[i]->MoveTo(static_cast<float>((n * 53) % w + 20.0 * std::cos(phase)),
                               static_cast<float>((n * 29) % h + 20.0 * std::sin(phase)));
        }
    }

    int w, h;
    long frame = 0;
    BenchPlatform host;
    std::unique_ptr<RDibStage> stage;
    std::vector<BenchPixie*> sprites;
};

void BM_Compose(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), false);
    for (auto _ : state) {
        scene.Step();
        benchmark::DoNotOptimize(scene.stage->Compose());
    }
}

void BM_ComposePresent(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), false);
    for (auto _ : state) {
        scene.Step();
        scene.stage->Redraw();
    }
}

void BM_ComposeConvertAll(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true);
    for (auto _ : state) {
        scene.Step();
        scene.stage->Redraw();
    }
}

void BM_RedrawChanges(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), false);
    scene.stage->SetPresentDirtyOnly(true);
    scene.stage->Redraw();
    for (auto _ : state) {
        scene.Step();
        scene.stage->Redraw();
    }
}

#define QM_SIZES Args({800, 600})->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Compose)->QM_SIZES;
BENCHMARK(BM_ComposePresent)->QM_SIZES;
BENCHMARK(BM_ComposeConvertAll)->QM_SIZES;
BENCHMARK(BM_RedrawChanges)->QM_SIZES;

}  // namespace
