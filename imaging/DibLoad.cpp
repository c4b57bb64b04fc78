// Loading Windows (40-byte header) and OS/2 (12-byte header) 8-bit bitmap files.
#include <cstring>
#include <limits>

#include "imaging/Dib.h"
#include "imaging/DibInternal.h"
#include "model/Exceptions.h"

namespace quellmoor {

namespace {

constexpr std::uint16_t kBitmapMagic = 0x4D42;  // "BM"
constexpr int kFileHeaderBytes = 14;
constexpr std::uint32_t kWindowsHeaderBytes = 40;
constexpr std::uint32_t kOs2HeaderBytes = 12;
// No real file puts its pixels a gigabyte in; a larger offset is a broken header,
// and keeping it this small keeps every byte count inside an int.
constexpr std::int64_t kMaxPixelOffset = std::int64_t{1} << 30;

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t U32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t I32(const unsigned char* p) { return static_cast<std::int32_t>(U32(p)); }

// Reads up to `count` bytes and returns how many arrived.
std::int64_t ReadSome(std::istream& in, void* destination, std::int64_t count) {
    if (count <= 0 || !in.good()) return 0;
    in.read(static_cast<char*>(destination), static_cast<std::streamsize>(count));
    return in.gcount();
}

std::int64_t SkipSome(std::istream& in, std::int64_t count) {
    if (count <= 0 || !in.good()) return 0;
    in.ignore(static_cast<std::streamsize>(count));
    return in.gcount();
}

void ReadExactly(std::istream& in, void* destination, std::int64_t count) {
    if (ReadSome(in, destination, count) != count) throw RException("The bitmap file ends inside its header.");
}

}  // namespace

// Parses into a separate bitmap and takes it over only when everything has
// been read, so a failure leaves this bitmap untouched. Every size from the
// file is checked before memory is asked for.
void RDib::LoadFromStream(std::istream& in, int& consumed) {
    unsigned char fileHeader[kFileHeaderBytes];
    if (ReadSome(in, fileHeader, kFileHeaderBytes) != kFileHeaderBytes || U16(fileHeader) != kBitmapMagic)
        throw RException("Not a bitmap file");
    const std::int64_t pixelOffset = U32(fileHeader + 10);

    detail::LoadedDib loaded;
    unsigned char info[kWindowsHeaderBytes] = {};
    ReadExactly(in, info, 4);
    const std::uint32_t headerSize = U32(info);
    BitmapInfoHeader& header = loaded.header;
    int entryBytes = 4;
    if (headerSize == kWindowsHeaderBytes) {
        ReadExactly(in, info + 4, kWindowsHeaderBytes - 4);
        header.width = I32(info + 4);
        header.height = I32(info + 8);
        header.planes = U16(info + 12);
        header.bitCount = U16(info + 14);
        header.compression = U32(info + 16);
        header.sizeImage = U32(info + 20);
        header.xPelsPerMeter = I32(info + 24);
        header.yPelsPerMeter = I32(info + 28);
        header.colorsUsed = U32(info + 32);
        header.colorsImportant = U32(info + 36);
    } else if (headerSize == kOs2HeaderBytes) {
        ReadExactly(in, info + 4, kOs2HeaderBytes - 4);
        header = BitmapInfoHeader{};
        header.width = U16(info + 4);
        header.height = U16(info + 6);
        header.planes = U16(info + 8);
        header.bitCount = U16(info + 10);
        header.compression = 0;
        header.xPelsPerMeter = 0;
        header.yPelsPerMeter = 0;
        header.colorsUsed = 0;
        entryBytes = 3;
    } else {
        throw RException(" File is not Windows or PM DIB format");
    }
    std::int64_t taken = kFileHeaderBytes + headerSize;

    if (header.bitCount != 8 || header.compression != 0) throw RException("Only 8 bit DIBs are supported");

    // A colour count beyond 256 is read as 256 entries, the rest skipped with the gap below.
    const std::int64_t colours = header.colorsUsed == 0 ? 256 : header.colorsUsed;
    header.colorsUsed = 256;
    if (pixelOffset > kMaxPixelOffset || pixelOffset < taken + colours * entryBytes)
        throw RException("Not a bitmap file");

    // Top-down files (negative height) and empty ones are refused with the sizes too large to hold.
    loaded.bits = detail::AllocatePixels(header.width, header.height, "Out of memory while loading new DIB from stream");

    loaded.palette = palette_;  // entries the file does not give keep their values
    const std::int64_t entries = colours < 256 ? colours : 256;
    unsigned char table[256 * 4];
    const std::int64_t tableBytes = ReadSome(in, table, entries * entryBytes);
    taken += tableBytes;
    for (std::int64_t i = 0; i < tableBytes / entryBytes; ++i) {
        const unsigned char* entry = table + i * entryBytes;
        loaded.palette[static_cast<std::size_t>(i)] = {entry[0], entry[1], entry[2],
                                                       entryBytes == 4 ? entry[3] : std::uint8_t{0}};
    }

    taken += SkipSome(in, pixelOffset - taken);
    const std::int64_t pixelBytes = DibStride(header.width) * header.height;
    taken += ReadSome(in, loaded.bits.get(), pixelBytes);

    // A short stream loads what arrived; the count tells the caller how much that was.
    consumed = static_cast<int>(taken);
    ReplaceWith(std::move(loaded));
}

}  // namespace quellmoor
