#include "content/tools/contentgen/Output.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "imaging/BmpWriter.h"
#include "imaging/Dib.h"
#include "imaging/PngWriter.h"

namespace contentgen {

namespace {

quellmoor::RDib ToDib(const Canvas& canvas, int zoom) {
    quellmoor::RDib dib(canvas.Width() * zoom, canvas.Height() * zoom);
    quellmoor::Palette palette{};
    const auto& shared = SharedPalette();
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = {shared[i].b, shared[i].g, shared[i].r, 0};
    dib.SetPalette(palette);
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x) *dib.GetPixelAddr(x, y) = canvas.Get(x / zoom, y / zoom);
    return dib;
}

void MakeParent(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
}

}  // namespace

void SaveBitmap(const Canvas& canvas, const std::string& path) {
    MakeParent(path);
    quellmoor::SaveBmp(ToDib(canvas, 1), path);
}

void SavePreview(const Canvas& canvas, const std::string& path, int zoom) {
    MakeParent(path);
    quellmoor::SavePng(ToDib(canvas, zoom), path);
}

Canvas ContactSheet(const std::vector<const Canvas*>& frames, int columns, std::uint8_t background) {
    int cellW = 1, cellH = 1;
    for (const Canvas* f : frames) {
        cellW = std::max(cellW, f->Width() + 4);
        cellH = std::max(cellH, f->Height() + 4);
    }
    const int n = static_cast<int>(frames.size());
    const int rows = std::max(1, (n + columns - 1) / columns);
    Canvas sheet(cellW * std::min(n, columns), cellH * rows, background);
    for (int i = 0; i < n; ++i) sheet.Stamp(*frames[static_cast<std::size_t>(i)], (i % columns) * cellW + 2, (i / columns) * cellH + 2);
    return sheet;
}

}  // namespace contentgen
