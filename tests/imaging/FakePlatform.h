// A platform that only counts: drawing contexts made and destroyed, and the
// images handed to presenting. Installed by the tests that need one.
#pragma once

#include <vector>

#include "model/Exceptions.h"
#include "platform/Platform.h"

namespace quellmoor::test {

class FakePlatform : public platform::Platform {
public:
    struct Context : platform::DrawingContext {
        explicit Context(FakePlatform& owner, const platform::IndexedCanvas& target) : owner_(owner), canvas(target) {
            ++owner_.contextsAlive;
        }
        ~Context() override { --owner_.contextsAlive; }
        void SetFont(std::string_view, int) override {}
        platform::TextSize MeasureLine(std::string_view) override { return {}; }
        platform::TextSize MeasureWrapped(std::string_view, int) override { return {}; }
        void DrawWrappedCentred(std::string_view, platform::PixelRect, std::uint8_t) override {}
        void DrawLine(std::string_view, int, int, std::uint8_t) override {
            if (owner_.drawThrows) throw RException("The font could not be drawn.");
        }
        void FillPolygon(std::span<const platform::Point>, std::uint8_t) override {}
        void OutlinePolygon(std::span<const platform::Point>, std::uint8_t) override {}
        FakePlatform& owner_;
        platform::IndexedCanvas canvas;
    };

    FakePlatform() { platform::SetCurrentPlatform(this); }
    ~FakePlatform() override { platform::SetCurrentPlatform(nullptr); }

    std::int64_t NowMs() override { return 0; }
    void WaitUntil(std::int64_t) override {}
    bool PollEvent(platform::InputEvent&) override { return false; }
    platform::WindowId OpenWindow(const platform::WindowSpec&) override { return 1; }
    void DestroyWindow() override {}
    void ShowWindow(bool) override {}
    void ResizeWindow(int, int) override {}
    void SetWindowTitle(std::string_view) override {}
    platform::PixelRect GetWindowRect(platform::WindowId) override { return {}; }
    bool WindowExists(platform::WindowId) override { return true; }
    platform::PixelRect GetDesktopRect() override { return {}; }
    int GetRefreshRateHz() override { return 0; }
    void PresentStretched(platform::WindowId target, const platform::IndexedImage& image,
                          platform::PixelRect destination) override {
        lastTarget = target;
        lastImage = image;
        stretched.push_back(destination);
    }
    void PresentRects(platform::WindowId target, const platform::IndexedImage& image,
                      std::span<const platform::PixelRect> rects) override {
        lastTarget = target;
        lastImage = image;
        rectCalls.emplace_back(rects.begin(), rects.end());
    }
    void PresentRgb(platform::WindowId, const platform::RgbImage&, int, int) override {}
    void ShowCursor(bool) override {}
    platform::MessageBoxButton ShowMessageBox(std::string_view, std::string_view) override {
        return platform::MessageBoxButton::Ok;
    }
    std::string GetProgramPath() override { return {}; }
    std::vector<std::uint8_t> GetEmbeddedContent() override { return {}; }
    std::unique_ptr<platform::DrawingContext> CreateDrawingContext(const platform::IndexedCanvas& canvas) override {
        ++contextsMade;
        lastCanvas = canvas;
        return std::make_unique<Context>(*this, canvas);
    }

    bool drawThrows = false;  // DrawLine throws, as a failing font would
    int contextsMade = 0;
    int contextsAlive = 0;
    platform::IndexedCanvas lastCanvas;
    platform::IndexedImage lastImage;
    platform::WindowId lastTarget;
    std::vector<platform::PixelRect> stretched;
    std::vector<std::vector<platform::PixelRect>> rectCalls;
};

}  // namespace quellmoor::test
