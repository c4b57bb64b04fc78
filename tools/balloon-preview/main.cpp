// balloon-preview: draws one speech balloon into an 8-bit picture and saves it
// as a PNG, to look at how balloons come out on Linux (face, wrapping, shape).
//
//   balloon-preview [--preview] [--text TEXT] OUTPUT.png
//
// The balloon is built the way the show builds it: its width from the text's
// one-line size, the wrapped text's height, a box with 45-degree corners 50
// pixels above the tail's tip, white fill, black outline, black centred text.
// --preview uses the 32-pixel face of the small preview window.
#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "imaging/Dib.h"
#include "imaging/PngWriter.h"
#include "model/Exceptions.h"
#include "platform/text/FontDrawingContext.h"
#include "tools/common/Options.h"

namespace {

using quellmoor::platform::PixelRect;
using quellmoor::platform::Point;

constexpr std::uint8_t kInk = 0;
constexpr std::uint8_t kPaper = 255;
constexpr std::uint8_t kSky = 1;
constexpr const char* kFace = "Comic Sans MS";

quellmoor::Palette MakePalette() {
    quellmoor::Palette palette{};
    palette[kInk] = {0, 0, 0, 0};
    palette[kPaper] = {255, 255, 255, 0};
    palette[kSky] = {230, 170, 110, 0};  // blue, green, red: a light sky
    return palette;
}

// Draws the balloon with its tail's tip at (x, y); answers the box it used.
PixelRect DrawBalloon(quellmoor::platform::DrawingContext& dc, const std::string& text, int x, int y) {
    const quellmoor::platform::TextSize line = dc.MeasureLine(text);
    const int w = static_cast<int>(std::sqrt(2.0 * line.width * line.height));
    const int left = x - 2 * w / 3;
    // The page's closing line feed adds no line to the measured height.
    const std::string measured = text.empty() ? text : text.substr(0, text.size() - 1);
    const quellmoor::platform::TextSize wrapped = dc.MeasureWrapped(measured, w);
    const int right = left + std::max(w, wrapped.width);
    const int top = y - wrapped.height - 50;
    const int bottom = y - 50;
    const Point shape[] = {
        {x, y},
        {left + w / 2 - 5, bottom + 5},
        {left, bottom + 5},
        {left - 5, bottom},
        {left - 5, top},
        {left, top - 5},
        {right, top - 5},
        {right + 5, top},
        {right + 5, bottom},
        {right, bottom + 5},
        {left + w / 2 + 5, bottom + 5},
    };
    dc.FillPolygon(shape, kPaper);
    dc.OutlinePolygon(shape, kInk);
    const PixelRect box{left, top, right - left, bottom - top};
    dc.DrawWrappedCentred(text, box, kInk);
    return box;
}

}  // namespace

int main(int argc, char** argv) {
    bool preview = false;
    std::string text = "Hello! Ready for a trip to the rings of Zorblax?";
    std::string output;
    quellmoor::tools::OptionParser options("balloon-preview",
                                           "Draws a speech balloon with TEXT and saves it as a PNG file.");
    options.Flag("preview", "use the 32-pixel face of the small preview window", preview);
    options.Text("text", "TEXT", "what the balloon says (default: a greeting)", text);
    options.Positional("OUTPUT.png", "the picture to write", output);
    if (auto exit = options.ParseOrExit(argc, argv, std::cout, std::cerr)) return *exit;
    text += "\n";
    try {
        const int pixelHeight = preview ? 32 : 19;
        quellmoor::RDib dib(preview ? 480 : 320, preview ? 320 : 200);
        dib.SetPalette(MakePalette());
        dib.Fill(kSky);
        const quellmoor::platform::IndexedCanvas canvas{dib.GetBits(), dib.GetWidth(), dib.GetHeight(),
                                                        dib.GetStride(), dib.GetPaletteEntries()};
        auto dc = quellmoor::CreateFontDrawingContext(canvas);
        dc->SetFont(kFace, pixelHeight);
        const int tipX = dib.GetWidth() / 2 - 20, tipY = dib.GetHeight() - 20;
        const PixelRect box = DrawBalloon(*dc, text, tipX, tipY);
        quellmoor::SavePng(dib, output);
        std::cout << "balloon: tip (" << tipX << ", " << tipY << "), text box (" << box.x << ", " << box.y
                  << ") " << box.width << " x " << box.height << ", face " << kFace << " " << pixelHeight
                  << " px, saved " << output << "\n";
    } catch (const quellmoor::RException& e) {
        std::cerr << "balloon-preview: " << e.GetMessage() << "\n";
        return 1;
    }
    return 0;
}
