// A drawing context that draws nothing and measures every text as empty.
//
// Backends hand it out while the shared text library (platform/text) is not
// part of the build, so the engine runs, just without balloon text or the
// frame-rate figure. Header only, so every backend can use it without linking
// another backend.
#pragma once

#include "platform/Platform.h"

namespace quellmoor::platform {

class NullDrawingContext final : public DrawingContext {
public:
    void SetFont(std::string_view, int) override {}
    TextSize MeasureLine(std::string_view) override { return {}; }
    TextSize MeasureWrapped(std::string_view, int) override { return {}; }
    void DrawWrappedCentred(std::string_view, PixelRect, std::uint8_t) override {}
    void DrawLine(std::string_view, int, int, std::uint8_t) override {}
    void FillPolygon(std::span<const Point>, std::uint8_t) override {}
    void OutlinePolygon(std::span<const Point>, std::uint8_t) override {}
};

}  // namespace quellmoor::platform
