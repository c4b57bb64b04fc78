#include "imaging/PngWriter.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

#include "model/Exceptions.h"

namespace quellmoor {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void PutBig32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(Bytes& out, std::string_view type, const Bytes& data) {
    PutBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
Bytes StoredZlib(const Bytes& raw) {
    Bytes out{0x78, 0x01};
    std::size_t pos = 0;
    do {
        const std::size_t size = std::min<std::size_t>(raw.size() - pos, 65535);
        const bool last = pos + size == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(size & 0xFF));
        out.push_back(static_cast<std::uint8_t>(size >> 8));
        out.push_back(static_cast<std::uint8_t>(~size & 0xFF));
        out.push_back(static_cast<std::uint8_t>((~size >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                   raw.begin() + static_cast<std::ptrdiff_t>(pos + size));
        pos += size;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;  // Adler-32
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, b << 16 | a);
    return out;
}

}  // namespace

void SavePng(const RDib& dib, const std::string& path) {
    const int width = dib.GetWidth();
    const int height = dib.GetHeight();
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    Bytes header;
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits, indexed colour, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);

    Bytes palette;
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& entry = dib.GetPaletteEntries()[i];
        palette.insert(palette.end(), {entry.red, entry.green, entry.blue});
    }
    PutChunk(png, "PLTE", palette);

    Bytes raw;
    raw.reserve(static_cast<std::size_t>(width + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height && dib.GetBits(); ++y) {
        raw.push_back(0);  // filter: none
        const std::uint8_t* row = dib.GetPixelAddr(0, y);
        raw.insert(raw.end(), row, row + width);
    }
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});

    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!file) throw RException("Cannot write the picture " + path + ".");
}

}  // namespace quellmoor
