// icongen: one 8-bit sprite frame into a Windows icon file (.ico).
//
//   icongen FRAME.bmp OUT.ico [SIZE]
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

Bytes MakeIcon(const Frame& f, int size) {
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

    const std::size_t xorStride = (static_cast<std::size_t>(size) + 3) & ~std::size_t{3};
    const std::size_t andStride = ((static_cast<std::size_t>(size) + 31) / 32) * 4;
    Bytes xorBits(xorStride * size, 0), andBits(andStride * size, 0xFF);
    for (int y = 0; y < outH; ++y)
        for (int x = 0; x < outW; ++x) {
            const std::uint8_t index = f.At(left + static_cast<int>(x / scale), top + static_cast<int>(y / scale));
            if (index == clear) continue;
            const std::size_t row = static_cast<std::size_t>(size - 1 - (y0 + y));  // icons are bottom-up
            const int column = x0 + x;
            xorBits[row * xorStride + column] = index;
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: icongen FRAME.bmp OUT.ico [SIZE]\n";
        return 2;
    }
    const int size = argc == 4 ? std::atoi(argv[3]) : 32;
    if (size < 16 || size > 256) Fail("SIZE is 16 to 256");
    const Bytes icon = MakeIcon(ReadFrame(argv[1]), size);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
    if (!out) Fail(std::string("cannot write ") + argv[2]);
    return 0;
}
