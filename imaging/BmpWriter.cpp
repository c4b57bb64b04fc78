#include "imaging/BmpWriter.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "model/Exceptions.h"

namespace quellmoor {

namespace {

void Put16(std::vector<char>& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::vector<char>& bytes, std::uint32_t value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

}  // namespace

void SaveBmp(const RDib& dib, std::ostream& out) {
    constexpr std::uint32_t kPixelOffset = 14 + 40 + 256 * 4;
    const auto pixelBytes = static_cast<std::uint32_t>(dib.GetStride()) * static_cast<std::uint32_t>(dib.GetHeight());
    std::vector<char> head;
    head.reserve(kPixelOffset);
    Put16(head, 0x4D42);  // "BM"
    Put32(head, kPixelOffset + pixelBytes);
    Put32(head, 0);
    Put32(head, kPixelOffset);
    Put32(head, 40);
    Put32(head, static_cast<std::uint32_t>(dib.GetWidth()));
    Put32(head, static_cast<std::uint32_t>(dib.GetHeight()));
    Put16(head, 1);
    Put16(head, 8);
    Put32(head, 0);
    Put32(head, pixelBytes);
    Put32(head, 3780);
    Put32(head, 3780);
    Put32(head, 256);
    Put32(head, 0);
    const PaletteEntry* palette = dib.GetPaletteEntries();
    for (int i = 0; i < 256; ++i) {
        head.push_back(static_cast<char>(palette[i].blue));
        head.push_back(static_cast<char>(palette[i].green));
        head.push_back(static_cast<char>(palette[i].red));
        head.push_back(0);
    }
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    if (dib.GetBits()) out.write(reinterpret_cast<const char*>(dib.GetBits()), static_cast<std::streamsize>(pixelBytes));
    if (!out) throw RException("The bitmap could not be written.");
}

void SaveBmp(const RDib& dib, const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    if (!file) throw RException("Cannot create the bitmap file " + path + ".");
    SaveBmp(dib, file);
}

}  // namespace quellmoor
