// icongen: one 8-bit sprite frame into a program icon: a Windows icon file
// (.ico) or, for the Linux desktop, a PNG with transparency (.png).
//
//   icongen FRAME.bmp OUT.ico [SIZE]
//   icongen FRAME.bmp OUT.png [SIZE]
//
// The frame's corner colour is its transparent colour: the icon's mask leaves
// those pixels out. The figure is cut to its bounding box and scaled (nearest
// neighbour, aspect kept) to fit SIZE x SIZE (default 32), centred. Frames are
// the bitmaps contentgen draws: uncompressed, 8 bits per pixel, 256 colours.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <png.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Read32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct Frame {
    int width = 0, height = 0;
    Bytes palette;                  // 256 x BGRA
    std::vector<std::uint8_t> pixels;  // top row first
    std::uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "icongen: " << message << "\n";
    std::exit(1);
}

Frame ReadFrame(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') Fail(path + " is no bitmap file");
    const std::uint32_t offset = Read32(b, 10), header = Read32(b, 14);
    Frame f;
    f.width = static_cast<int>(Read32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(Read32(b, 22));
    f.height = std::abs(rawHeight);
    const unsigned bits = b[28] | b[29] << 8;
    if (bits != 8 || Read32(b, 30) != 0 || f.width <= 0 || f.height <= 0 || f.width > 4096 || f.height > 4096)
        Fail(path + " is not an uncompressed 8-bit bitmap");
    const std::size_t paletteAt = 14 + header;
    const std::size_t stride = (static_cast<std::size_t>(f.width) + 3) & ~std::size_t{3};
    if (paletteAt + 1024 > b.size() || offset + stride * f.height > b.size()) Fail(path + " is cut short");
    f.palette.assign(b.begin() + static_cast<long>(paletteAt), b.begin() + static_cast<long>(paletteAt + 1024));
    f.pixels.resize(static_cast<std::size_t>(f.width) * f.height);
    for (int y = 0; y < f.height; ++y) {
        const int source = rawHeight > 0 ? f.height - 1 - y : y;  // bottom-up unless the height is negative
        std::copy_n(b.begin() + static_cast<long>(offset + stride * source), f.width,
                    f.pixels.begin() + static_cast<long>(y) * f.width);
    }
    return f;
}

// The figure fitted into SIZE x SIZE: palette indices, top row first, and
// which of them are part of it.
struct Fitted {
    int size = 0;
    Bytes indices;
    std::vector<bool> shown;
};

Fitted Fit(const Frame& f, int size) {
    const std::uint8_t clear = f.At(0, 0);
    int left = f.width, top = f.height, right = -1, bottom = -1;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            if (f.At(x, y) != clear) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) Fail("the frame is empty");
    const int w = right - left + 1, h = bottom - top + 1;
    const double scale = std::min(1.0 * size / w, 1.0 * size / h);
    const int outW = std::max(1, static_cast<int>(w * scale)), outH = std::max(1, static_cast<int>(h * scale));
    const int x0 = (size - outW) / 2, y0 = (size - outH) / 2;

    const auto cells = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    Fitted fitted{size, Bytes(cells, 0), std::vector<bool>(cells, false)};
    for (int y = 0; y < outH; ++y)
        for (int x = 0; x < outW; ++x) {
            const std::uint8_t index = f.At(left + static_cast<int>(x / scale), top + static_cast<int>(y / scale));
            if (index == clear) continue;
            const auto at = static_cast<std::size_t>(y0 + y) * static_cast<std::size_t>(size) +
                            static_cast<std::size_t>(x0 + x);
            fitted.indices[at] = index;
            fitted.shown[at] = true;
        }
    return fitted;
}

Bytes MakeIcon(const Frame& f, const Fitted& fitted) {
    const int size = fitted.size;
    const std::size_t xorStride = (static_cast<std::size_t>(size) + 3) & ~std::size_t{3};
    const std::size_t andStride = ((static_cast<std::size_t>(size) + 31) / 32) * 4;
    Bytes xorBits(xorStride * size, 0), andBits(andStride * size, 0xFF);
    for (int y = 0; y < size; ++y)
        for (int column = 0; column < size; ++column) {
            const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(column);
            if (!fitted.shown[at]) continue;
            const std::size_t row = static_cast<std::size_t>(size - 1 - y);  // icons are bottom-up
            xorBits[row * xorStride + column] = fitted.indices[at];
            andBits[row * andStride + column / 8] &= static_cast<std::uint8_t>(~(0x80 >> (column % 8)));
        }

    Bytes image;
    Put32(image, 40);
    Put32(image, static_cast<std::uint32_t>(size));
    Put32(image, static_cast<std::uint32_t>(size * 2));  // colour and mask together
    Put16(image, 1);
    Put16(image, 8);
    Put32(image, 0);
    Put32(image, static_cast<std::uint32_t>(xorBits.size() + andBits.size()));
    for (int i = 0; i < 4; ++i) Put32(image, 0);
    Bytes palette = f.palette;
    for (std::size_t i = 3; i < palette.size(); i += 4) palette[i] = 0;
    image.insert(image.end(), palette.begin(), palette.end());
    image.insert(image.end(), xorBits.begin(), xorBits.end());
    image.insert(image.end(), andBits.begin(), andBits.end());

    Bytes icon;
    Put16(icon, 0);
    Put16(icon, 1);  // an icon
    Put16(icon, 1);  // one image
    icon.push_back(static_cast<std::uint8_t>(size < 256 ? size : 0));
    icon.push_back(static_cast<std::uint8_t>(size < 256 ? size : 0));
    icon.push_back(0);  // 256 colours
    icon.push_back(0);
    Put16(icon, 1);
    Put16(icon, 8);
    Put32(icon, static_cast<std::uint32_t>(image.size()));
    Put32(icon, 22);
    icon.insert(icon.end(), image.begin(), image.end());
    return icon;
}

void WritePng(const Frame& f, const Fitted& fitted, const std::string& path) {
    Bytes rgba;
    rgba.reserve(fitted.indices.size() * 4);
    for (std::size_t i = 0; i < fitted.indices.size(); ++i) {
        const std::size_t entry = static_cast<std::size_t>(fitted.indices[i]) * 4;  // palette is BGRA
        rgba.insert(rgba.end(), {f.palette[entry + 2], f.palette[entry + 1], f.palette[entry],
                                 static_cast<std::uint8_t>(fitted.shown[i] ? 255 : 0)});
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(fitted.size);
    image.height = static_cast<png_uint_32>(fitted.size);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr))
        Fail("cannot write " + path + ": " + image.message);
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: icongen FRAME.bmp OUT.ico|OUT.png [SIZE]\n";
        return 2;
    }
    const int size = argc == 4 ? std::atoi(argv[3]) : 32;
    if (size < 16 || size > 256) Fail("SIZE is 16 to 256");
    const std::string out = argv[2];
    const Frame frame = ReadFrame(argv[1]);
    const Fitted fitted = Fit(frame, size);
    if (EndsWith(out, ".png")) {
        WritePng(frame, fitted, out);
        return 0;
    }
    if (!EndsWith(out, ".ico")) Fail("OUT is a .ico or a .png file");
    const Bytes icon = MakeIcon(frame, fitted);
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
    if (!file) Fail("cannot write " + out);
    return 0;
}
