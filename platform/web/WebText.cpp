// Text drawn by the browser's Canvas 2D fonts into an offscreen canvas, read
// back and thresholded: a pixel at least half covered becomes ink, the rest
// stays paper, so balloons keep the engine's 8-bit, unsmoothed look.
#include <emscripten.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/DrawingCanvas.h"
#include "platform/text/PolygonRaster.h"
#include "platform/text/TextLayout.h"
#include "platform/web/WebPlatform.h"

namespace quellmoor::platform {

namespace {

// clang-format off
EM_JS(void, qm_text_font, (const char* face, int pixels), {
    if (!Module.qmText) Module.qmText = document.createElement('canvas').getContext('2d', {willReadFrequently: true});
    // The engine names Windows faces; the browser picks the nearest it has.
    Module.qmText.font = pixels + 'px "' + UTF8ToString(face) + '", "Comic Neue", "Comic Sans MS", cursive, sans-serif';
});
EM_JS(int, qm_text_width, (const char* text), {
    return Math.ceil(Module.qmText.measureText(UTF8ToString(text)).width);
});
EM_JS(void, qm_text_mask, (const char* text, int width, int height, void* mask), {
    var context = Module.qmText, font = context.font, canvas = context.canvas;
    if (canvas.width < width || canvas.height < height) {
        canvas.width = Math.max(canvas.width, width);
        canvas.height = Math.max(canvas.height, height);
        context.font = font;  // resizing a canvas resets its state
    }
    context.clearRect(0, 0, width, height);
    context.textBaseline = 'top';
    context.fillStyle = '#000';
    context.fillText(UTF8ToString(text), 0, 0);
    var pixels = context.getImageData(0, 0, width, height).data;
    for (var i = 0; i < width * height; ++i) HEAPU8[mask + i] = pixels[i * 4 + 3] >= 128 ? 1 : 0;
});
// clang-format on

constexpr const char* kDefaultFace = "Comic Sans MS";
constexpr int kDefaultPixelHeight = 14;

// Windows-1252 text as UTF-8 for the browser, control characters left out.
std::string ToUtf8(std::string_view run) {
    std::string out;
    for (const char c : run) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsControlCharacter(byte)) continue;
        const char32_t u = text::AnsiToUnicode(byte);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

class WebDrawingContext final : public DrawingContext {
public:
    explicit WebDrawingContext(const IndexedCanvas& canvas) : canvas_(CheckDrawingCanvas(canvas)) {
        SetFont(kDefaultFace, kDefaultPixelHeight);
    }

    void SetFont(std::string_view face, int pixelHeight) override {
        face_ = face.empty() ? kDefaultFace : std::string(face);
        pixels_ = std::clamp(pixelHeight, 1, 512);
    }

    TextSize MeasureLine(std::string_view line) override { return {Width(line), LineHeight()}; }

    TextSize MeasureWrapped(std::string_view content, int maxWidth) override {
        const auto lines = Wrap(content, maxWidth);
        int width = 0;
        for (const text::TextLine& line : lines) width = std::max(width, line.width);
        return {width, static_cast<int>(lines.size()) * LineHeight()};
    }

    void DrawWrappedCentred(std::string_view content, PixelRect box, std::uint8_t ink) override {
        long long top = box.y;
        for (const text::TextLine& line : Wrap(content, box.width)) {
            if (top >= static_cast<long long>(box.y) + box.height) break;
            Draw(line.text, box.x + (static_cast<long long>(box.width) - line.width) / 2, top, ink, box);
            top += LineHeight();
        }
    }

    void DrawLine(std::string_view line, int x, int y, std::uint8_t ink) override {
        Draw(line, x, y, ink, {0, 0, canvas_.width, canvas_.height});
    }

    void FillPolygon(std::span<const Point> points, std::uint8_t index) override {
        text::FillPolygonOn(canvas_, points, index);
    }

    void OutlinePolygon(std::span<const Point> points, std::uint8_t index) override {
        text::OutlinePolygonOn(canvas_, points, index);
    }

private:
    int LineHeight() const { return pixels_ + (pixels_ + 4) / 5; }

    void Select() { qm_text_font(face_.c_str(), pixels_); }

    int Width(std::string_view run) {
        const std::string utf8 = ToUtf8(run);
        if (utf8.empty()) return 0;
        Select();
        return qm_text_width(utf8.c_str());
    }

    std::vector<text::TextLine> Wrap(std::string_view content, int maxWidth) {
        return text::WrapText(content, maxWidth, [this](std::string_view run) { return Width(run); });
    }

    void Draw(std::string_view run, long long x, long long top, std::uint8_t ink, PixelRect box) {
        const int width = Width(run), height = LineHeight();
        if (width <= 0) return;
        mask_.assign(static_cast<std::size_t>(width) * height, 0);
        qm_text_mask(ToUtf8(run).c_str(), width, height, mask_.data());
        const long long left = std::max<long long>({0, box.x}), right = std::min<long long>(canvas_.width, 1LL * box.x + box.width);
        const long long upper = std::max<long long>({0, box.y}), lower = std::min<long long>(canvas_.height, 1LL * box.y + box.height);
        for (int row = 0; row < height; ++row) {
            const long long y = top + row;
            if (y < upper || y >= lower) continue;
            std::uint8_t* target = canvas_.bits + (canvas_.height - 1 - y) * static_cast<long long>(canvas_.strideBytes);
            for (int column = 0; column < width; ++column) {
                const long long px = x + column;
                if (px >= left && px < right && mask_[static_cast<std::size_t>(row) * width + column]) target[px] = ink;
            }
        }
    }

    IndexedCanvas canvas_;
    std::string face_;
    int pixels_ = kDefaultPixelHeight;
    std::vector<std::uint8_t> mask_;
};

}  // namespace

std::unique_ptr<DrawingContext> WebPlatform::CreateDrawingContext(const IndexedCanvas& canvas) {
    return std::make_unique<WebDrawingContext>(canvas);
}

}  // namespace quellmoor::platform
