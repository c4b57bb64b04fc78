#include "platform/text/FontDrawingContext.h"

#include <algorithm>
#include <cstdint>

#include "platform/DrawingCanvas.h"
#include "platform/text/FontFace.h"
#include "platform/text/PolygonRaster.h"
#include "platform/text/TextLayout.h"

namespace quellmoor {

namespace {

using platform::IndexedCanvas;
using platform::PixelRect;
using platform::Point;
using platform::TextSize;

constexpr std::string_view kDefaultFace = "sans-serif";
constexpr int kDefaultPixelHeight = 16;

// Pixels a draw may touch: [left, right) x [top, bottom), y from the top.
struct Clip {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class FontDrawingContext final : public platform::DrawingContext {
public:
    explicit FontDrawingContext(const IndexedCanvas& canvas) : canvas_(platform::CheckDrawingCanvas(canvas)) {}

    void SetFont(std::string_view face, int pixelHeight) override {
        face_ = text::FontFace::Get(face, pixelHeight);
    }

    TextSize MeasureLine(std::string_view line) override {
        return {RunWidth(line), Face().LineHeight()};
    }

    TextSize MeasureWrapped(std::string_view content, int maxWidth) override {
        const auto lines = Wrap(content, maxWidth);
        int width = 0;
        for (const text::TextLine& line : lines) width = std::max(width, line.width);
        return {width, static_cast<int>(lines.size()) * Face().LineHeight()};
    }

    void DrawWrappedCentred(std::string_view content, PixelRect box, std::uint8_t ink) override {
        const Clip clip = Intersect(CanvasClip(), {box.x, box.y, Add(box.x, box.width), Add(box.y, box.height)});
        long long top = box.y;
        for (const text::TextLine& line : Wrap(content, box.width)) {
            if (top >= clip.bottom) break;
            DrawRun(line.text, box.x + (static_cast<long long>(box.width) - line.width) / 2, top, ink, clip);
            top += Face().LineHeight();
        }
    }

    void DrawLine(std::string_view line, int x, int y, std::uint8_t ink) override {
        DrawRun(line, x, y, ink, CanvasClip());
    }

    void FillPolygon(std::span<const Point> points, std::uint8_t index) override {
        text::FillPolygonOn(canvas_, points, index);
    }

    void OutlinePolygon(std::span<const Point> points, std::uint8_t index) override {
        text::OutlinePolygonOn(canvas_, points, index);
    }

private:
    // Coordinates near the int limits must not wrap around into the canvas.
    static int Add(int a, int b) {
        const long long sum = static_cast<long long>(a) + b;
        return static_cast<int>(std::clamp<long long>(sum, INT32_MIN, INT32_MAX));
    }

    static Clip Intersect(Clip a, Clip b) {
        return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    }

    Clip CanvasClip() const { return {0, 0, canvas_.width, canvas_.height}; }

    text::FontFace& Face() {
        if (!face_) face_ = text::FontFace::Get(kDefaultFace, kDefaultPixelHeight);
        return *face_;
    }

    int RunWidth(std::string_view run) {
        text::FontFace& face = Face();
        int width = 0;
        for (const char c : run) {
            const auto byte = static_cast<unsigned char>(c);
            if (!platform::IsControlCharacter(byte)) width += face.GetGlyph(text::AnsiToUnicode(byte)).advance;
        }
        return width;
    }

    std::vector<text::TextLine> Wrap(std::string_view content, int maxWidth) {
        return text::WrapText(content, maxWidth, [this](std::string_view run) { return RunWidth(run); });
    }

    // One line with its cell's top-left at (x, top).
    void DrawRun(std::string_view run, long long x, long long top, std::uint8_t ink, Clip clip) {
        if (clip.left >= clip.right || clip.top >= clip.bottom) return;
        text::FontFace& face = Face();
        const long long baseline = top + face.Ascent();
        long long pen = x;
        for (const char c : run) {
            const auto byte = static_cast<unsigned char>(c);
            if (platform::IsControlCharacter(byte)) continue;
            const text::Glyph& glyph = face.GetGlyph(text::AnsiToUnicode(byte));
            DrawGlyph(glyph, pen + glyph.left, baseline - glyph.top, ink, clip);
            pen += glyph.advance;
            if (pen >= clip.right) break;
        }
    }

    void DrawGlyph(const text::Glyph& glyph, long long left, long long top, std::uint8_t ink, Clip clip) {
        // Clip the glyph box once, then walk only the visible bits.
        const long long firstRow = std::max<long long>(0, clip.top - top);
        const long long endRow = std::min<long long>(glyph.rows, clip.bottom - top);
        const long long firstColumn = std::max<long long>(0, clip.left - left);
        const long long endColumn = std::min<long long>(glyph.width, clip.right - left);
        for (long long row = firstRow; row < endRow; ++row) {
            const std::uint8_t* source = glyph.bits.data() + row * glyph.pitch;
            const long long y = top + row;
            std::uint8_t* target = canvas_.bits + (canvas_.height - 1 - y) * static_cast<long long>(canvas_.strideBytes);
            for (long long column = firstColumn; column < endColumn; ++column) {
                if (source[column >> 3] & (0x80u >> (column & 7))) target[left + column] = ink;
            }
        }
    }

    IndexedCanvas canvas_;
    std::shared_ptr<text::FontFace> face_;
};

}  // namespace

std::unique_ptr<platform::DrawingContext> CreateFontDrawingContext(const platform::IndexedCanvas& canvas) {
    return std::make_unique<FontDrawingContext>(canvas);
}

}  // namespace quellmoor
