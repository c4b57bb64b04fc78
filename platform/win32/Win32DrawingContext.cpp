#include "platform/win32/Win32DrawingContext.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "model/Exceptions.h"
#include "platform/DrawingCanvas.h"
#include "platform/text/TextLayout.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

namespace quellmoor::platform {

namespace {

constexpr const char* kDefaultFace = "Arial";
constexpr int kDefaultPixelHeight = 16;
constexpr int kMaxPixelHeight = 1000;

// The colour that stands for palette index `index` in the section's table.
COLORREF IndexColour(std::uint8_t index) { return RGB(index, index, index); }

struct SectionInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

class Win32DrawingContext final : public DrawingContext {
public:
    explicit Win32DrawingContext(const IndexedCanvas& canvas) : canvas_(CheckDrawingCanvas(canvas)) {
        SectionInfo info{};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = std::max(canvas_.width, 1);
        info.header.biHeight = std::max(canvas_.height, 1);  // bottom-up, like the canvas
        info.header.biPlanes = 1;
        info.header.biBitCount = 8;
        info.header.biCompression = BI_RGB;
        info.header.biClrUsed = 256;
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<BYTE>(i);
            info.colours[i] = {v, v, v, 0};
        }
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        section_ = dc_ ? CreateDIBSection(dc_, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                          nullptr, 0)
                       : nullptr;
        if (!section_) {
            if (dc_) DeleteDC(dc_);
            throw RException("Windows could not make a bitmap to draw text on.");
        }
        sectionBits_ = static_cast<std::uint8_t*>(bits);
        sectionStride_ = (info.header.biWidth + 3) / 4 * 4;
        oldBitmap_ = SelectObject(dc_, section_);
        SetBkMode(dc_, TRANSPARENT);
        SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        SetPolyFillMode(dc_, ALTERNATE);
        SetFont(kDefaultFace, kDefaultPixelHeight);
    }

    ~Win32DrawingContext() override {
        if (oldFont_) SelectObject(dc_, oldFont_);
        if (font_) DeleteObject(font_);
        SelectObject(dc_, oldBitmap_);
        DeleteObject(section_);
        DeleteDC(dc_);
    }
    Win32DrawingContext(const Win32DrawingContext&) = delete;
    Win32DrawingContext& operator=(const Win32DrawingContext&) = delete;

    void SetFont(std::string_view face, int pixelHeight) override {
        const std::string name(face.substr(0, LF_FACESIZE - 1));
        // A positive height asks for the cell (ascent plus descent), as the other backends measure it.
        const HFONT font = CreateFontA(std::clamp(pixelHeight, 1, kMaxPixelHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                       FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, name.c_str());
        if (!font) throw RException("The system has no font to draw text with.");
        const HGDIOBJ previous = SelectObject(dc_, font);
        if (!oldFont_) oldFont_ = previous;
        if (font_) DeleteObject(font_);
        font_ = font;
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc_, &metrics);
        lineHeight_ = std::max<int>(metrics.tmHeight, 1);
    }

    TextSize MeasureLine(std::string_view line) override { return {RunWidth(line), lineHeight_}; }

    TextSize MeasureWrapped(std::string_view content, int maxWidth) override {
        const auto lines = Wrap(content, maxWidth);
        int width = 0;
        for (const text::TextLine& line : lines) width = std::max(width, line.width);
        return {width, static_cast<int>(lines.size()) * lineHeight_};
    }

    void DrawWrappedCentred(std::string_view content, PixelRect box, std::uint8_t ink) override {
        const PixelRect area = CanvasPart(box);
        if (area.width <= 0) return;
        Begin(area, ink);
        long long top = box.y;
        for (const text::TextLine& line : Wrap(content, box.width)) {
            if (top >= area.y + area.height) break;
            const std::string printable = WithoutControlCharacters(line.text);
            const long long left = box.x + (static_cast<long long>(box.width) - line.width) / 2;
            TextOutA(dc_, static_cast<int>(left), static_cast<int>(top), printable.data(),
                     static_cast<int>(printable.size()));
            top += lineHeight_;
        }
        End(area);
    }

    void DrawLine(std::string_view line, int x, int y, std::uint8_t ink) override {
        const std::string printable = WithoutControlCharacters(line);
        const PixelRect area = CanvasPart({x, y, RunWidth(printable) + lineHeight_, lineHeight_});
        if (area.width <= 0) return;
        Begin(area, ink);
        TextOutA(dc_, x, y, printable.data(), static_cast<int>(printable.size()));
        End(area);
    }

    void FillPolygon(std::span<const Point> points, std::uint8_t index) override {
        Shape(points, index, true);
    }

    void OutlinePolygon(std::span<const Point> points, std::uint8_t index) override {
        Shape(points, index, false);
    }

private:
    int RunWidth(std::string_view run) {
        const std::string printable = WithoutControlCharacters(run);
        SIZE size{};
        if (!printable.empty())
            GetTextExtentPoint32A(dc_, printable.data(), static_cast<int>(printable.size()), &size);
        return size.cx;
    }

    std::vector<text::TextLine> Wrap(std::string_view content, int maxWidth) {
        return text::WrapText(content, maxWidth, [this](std::string_view run) { return RunWidth(run); });
    }

    // `rect` within the canvas; width 0 when nothing of it is.
    PixelRect CanvasPart(PixelRect rect) const {
        const long long left = std::max<long long>(rect.x, 0), top = std::max<long long>(rect.y, 0);
        const long long right = std::min<long long>(static_cast<long long>(rect.x) + rect.width, canvas_.width);
        const long long bottom = std::min<long long>(static_cast<long long>(rect.y) + rect.height, canvas_.height);
        if (right <= left || bottom <= top) return {};
        return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                static_cast<int>(bottom - top)};
    }

    // Copies one area's rows between the canvas and the section (both bottom-up).
    void Copy(const PixelRect& area, bool toSection) {
        for (int y = area.y; y < area.y + area.height; ++y) {
            const std::size_t row = static_cast<std::size_t>(canvas_.height - 1 - y);
            std::uint8_t* canvasRow = canvas_.bits + row * canvas_.strideBytes + area.x;
            std::uint8_t* sectionRow = sectionBits_ + row * sectionStride_ + area.x;
            if (toSection)
                std::memcpy(sectionRow, canvasRow, static_cast<std::size_t>(area.width));
            else
                std::memcpy(canvasRow, sectionRow, static_cast<std::size_t>(area.width));
        }
    }

    void Begin(const PixelRect& area, std::uint8_t ink) {
        GdiFlush();
        Copy(area, true);
        SelectClipRgn(dc_, nullptr);
        IntersectClipRect(dc_, area.x, area.y, area.x + area.width, area.y + area.height);
        SetTextColor(dc_, IndexColour(ink));
    }

    void End(const PixelRect& area) {
        // GDI may batch: the section's bits are only final after a flush.
        GdiFlush();
        Copy(area, false);
    }

    void Shape(std::span<const Point> points, std::uint8_t index, bool fill) {
        if (points.size() < 2) return;
        long long left = points[0].x, top = points[0].y, right = left, bottom = top;
        std::vector<POINT> corners;
        corners.reserve(points.size());
        for (const Point& p : points) {
            left = std::min<long long>(left, p.x);
            right = std::max<long long>(right, p.x);
            top = std::min<long long>(top, p.y);
            bottom = std::max<long long>(bottom, p.y);
            corners.push_back({p.x, p.y});
        }
        const PixelRect area = CanvasPart({static_cast<int>(std::max<long long>(left, -1)),
                                           static_cast<int>(std::max<long long>(top, -1)),
                                           static_cast<int>(std::min<long long>(right - left + 1, 1 << 20)),
                                           static_cast<int>(std::min<long long>(bottom - top + 1, 1 << 20))});
        if (area.width <= 0) return;
        Begin(area, index);
        const HPEN pen = fill ? nullptr : CreatePen(PS_SOLID, 1, IndexColour(index));
        const HBRUSH brush = fill ? CreateSolidBrush(IndexColour(index)) : nullptr;
        const HGDIOBJ oldPen = SelectObject(dc_, pen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
        const HGDIOBJ oldBrush = SelectObject(dc_, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
        Polygon(dc_, corners.data(), static_cast<int>(corners.size()));
        SelectObject(dc_, oldPen);
        SelectObject(dc_, oldBrush);
        if (pen) DeleteObject(pen);
        if (brush) DeleteObject(brush);
        End(area);
    }

    IndexedCanvas canvas_;
    HDC dc_ = nullptr;
    HBITMAP section_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
    HFONT font_ = nullptr;
    std::uint8_t* sectionBits_ = nullptr;
    int sectionStride_ = 0;
    int lineHeight_ = 1;
};

}  // namespace

std::unique_ptr<DrawingContext> CreateWin32DrawingContext(const IndexedCanvas& canvas) {
    return std::make_unique<Win32DrawingContext>(canvas);
}

std::unique_ptr<DrawingContext> Win32Platform::CreateDrawingContext(const IndexedCanvas& canvas) {
    return CreateWin32DrawingContext(canvas);
}

}  // namespace quellmoor::platform
