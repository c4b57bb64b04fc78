// Builds the bytes of 8-bit bitmap files for the tests, field by field, so a
// test can write a valid file and then break exactly one thing in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellmoor::test {

struct BmpSpec {
    std::int32_t width = 2;
    std::int32_t height = 2;
    bool os2 = false;                 // 12-byte core header, 3-byte colour entries
    std::uint32_t colorsUsed = 0;     // the header field (Windows only); 0 means 256
    int paletteEntries = 256;         // entries actually written
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 0;     // 0: 40 or 12 by `os2`
    std::int64_t pixelOffset = -1;    // -1: straight after the palette
    int gapBytes = 0;                 // bytes between palette and pixels (offset moves with them)
    std::vector<std::uint8_t> rows;   // stored rows, bottom-up, padded; empty: pattern
};

// Colour of entry i in the files the tests write: distinct, easy to recompute.
inline std::uint8_t TestRed(int i) { return static_cast<std::uint8_t>(i * 7 + 1); }
inline std::uint8_t TestGreen(int i) { return static_cast<std::uint8_t>(i * 13 + 2); }
inline std::uint8_t TestBlue(int i) { return static_cast<std::uint8_t>(255 - i); }

inline int TestStride(int width) { return (width + 3) / 4 * 4; }

// Stored byte at (column x, storage row r) of the default pattern.
inline std::uint8_t PatternByte(int x, int r) { return static_cast<std::uint8_t>((x * 3 + r * 5) % 251); }

inline void Put16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

inline void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

inline std::string BuildBmp(const BmpSpec& spec) {
    const std::uint32_t headerSize = spec.headerSize ? spec.headerSize : (spec.os2 ? 12u : 40u);
    const int entryBytes = spec.os2 ? 3 : 4;
    const std::int64_t naturalOffset = 14 + headerSize + spec.paletteEntries * entryBytes + spec.gapBytes;
    const std::int64_t offset = spec.pixelOffset >= 0 ? spec.pixelOffset : naturalOffset;
    std::string rows(spec.rows.begin(), spec.rows.end());
    if (spec.rows.empty() && spec.width > 0 && spec.height > 0 && spec.width < 4096 && spec.height < 4096)
        for (int r = 0; r < spec.height; ++r)
            for (int x = 0; x < TestStride(spec.width); ++x) rows.push_back(static_cast<char>(PatternByte(x, r)));

    std::string s = "BM";
    Put32(s, static_cast<std::uint32_t>(naturalOffset + static_cast<std::int64_t>(rows.size())));
    Put32(s, 0);
    Put32(s, static_cast<std::uint32_t>(offset));
    Put32(s, headerSize);
    if (spec.os2) {
        Put16(s, static_cast<std::uint32_t>(spec.width));
        Put16(s, static_cast<std::uint32_t>(spec.height));
        Put16(s, 1);
        Put16(s, spec.bitCount);
    } else {
        Put32(s, static_cast<std::uint32_t>(spec.width));
        Put32(s, static_cast<std::uint32_t>(spec.height));
        Put16(s, 1);
        Put16(s, spec.bitCount);
        Put32(s, spec.compression);
        Put32(s, static_cast<std::uint32_t>(rows.size()));
        Put32(s, 2835);
        Put32(s, 2835);
        Put32(s, spec.colorsUsed);
        Put32(s, 0);
    }
    for (int i = 0; i < spec.paletteEntries; ++i) {
        s.push_back(static_cast<char>(TestBlue(i)));
        s.push_back(static_cast<char>(TestGreen(i)));
        s.push_back(static_cast<char>(TestRed(i)));
        if (!spec.os2) s.push_back(0);
    }
    s.append(static_cast<std::size_t>(spec.gapBytes), '\x55');
    return s + rows;
}

}  // namespace quellmoor::test
