#include "tests/golden/GoldenFrames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "imaging/PngWriter.h"
#include "model/Exceptions.h"

namespace quellmoor::golden {

namespace {

constexpr char kRawMagic[8] = {'Q', 'M', 'F', 'R', 'A', 'M', 'E', '1'};
constexpr std::uint8_t kDiffRed = 255;

std::uint32_t Rgb(const PaletteEntry& entry) {
    return static_cast<std::uint32_t>(entry.red) << 16 | static_cast<std::uint32_t>(entry.green) << 8 | entry.blue;
}

RDib ToDib(const Frame& frame) {
    RDib dib(frame.width, frame.height);
    dib.SetPalette(frame.palette);
    for (int y = 0; y < frame.height; ++y)
        std::copy_n(frame.indices.begin() + static_cast<std::ptrdiff_t>(y) * frame.width, frame.width,
                    dib.GetPixelAddr(0, y));
    return dib;
}

void PutLe32(std::ostream& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.put(static_cast<char>((value >> shift) & 0xFF));
}

std::optional<std::uint32_t> GetLe32(std::istream& in) {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int c = in.get();
        if (c == EOF) return std::nullopt;
        value |= static_cast<std::uint32_t>(c) << shift;
    }
    return value;
}

}  // namespace

std::uint32_t Frame::RgbAt(int x, int y) const { return Rgb(palette[IndexAt(x, y)]); }

Frame CaptureFrame(const RDib& dib, std::string name, std::int64_t timeMs) {
    Frame frame{std::move(name), timeMs, dib.GetWidth(), dib.GetHeight(), {}, {}};
    frame.indices.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
    for (int y = 0; y < frame.height; ++y)
        std::copy_n(dib.GetPixelAddr(0, y), frame.width,
                    frame.indices.begin() + static_cast<std::ptrdiff_t>(y) * frame.width);
    std::copy_n(dib.GetPaletteEntries(), frame.palette.size(), frame.palette.begin());
    return frame;
}

std::string FrameHash(const Frame& frame) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto mix = [&hash](std::uint8_t byte) { hash = (hash ^ byte) * 0x100000001b3ULL; };
    for (const int side : {frame.width, frame.height})
        for (int shift = 0; shift < 32; shift += 8) mix(static_cast<std::uint8_t>((side >> shift) & 0xFF));
    for (const std::uint8_t index : frame.indices) mix(index);
    // The reserved byte is not a colour; what it holds must not change the hash.
    for (const PaletteEntry& entry : frame.palette) {
        mix(entry.red);
        mix(entry.green);
        mix(entry.blue);
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

ManifestLine Describe(const Frame& frame) {
    return {frame.name, frame.timeMs, frame.width, frame.height, FrameHash(frame)};
}

std::string FormatManifest(const std::string& heading, const std::vector<ManifestLine>& lines) {
    std::ostringstream out;
    std::istringstream comments(heading);
    for (std::string line; std::getline(comments, line);) out << "# " << line << "\n";
    for (const ManifestLine& line : lines)
        out << line.name << " " << line.timeMs << " " << line.width << "x" << line.height << " " << line.hash << "\n";
    return out.str();
}

std::vector<ManifestLine> ParseManifest(const std::string& text) {
    std::vector<ManifestLine> lines;
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty() || line.front() == '#') continue;
        std::istringstream fields(line);
        ManifestLine parsed;
        std::string size, rest;
        char x = 0;
        std::istringstream sizeFields;
        const bool read = static_cast<bool>(fields >> parsed.name >> parsed.timeMs >> size >> parsed.hash) &&
                          !(fields >> rest);
        sizeFields.str(size);
        const bool sized = read && (sizeFields >> parsed.width >> x >> parsed.height) && x == 'x' &&
                           sizeFields.peek() == EOF && parsed.width > 0 && parsed.height > 0;
        const bool hashed = parsed.hash.size() == 16 &&
                            std::all_of(parsed.hash.begin(), parsed.hash.end(),
                                        [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
        if (!sized || !hashed)
            throw RException("manifest line " + std::to_string(number) + " is not \"name time WxH hash\": " + line);
        lines.push_back(parsed);
    }
    return lines;
}

std::optional<Difference> FirstDifference(const Frame& expected, const Frame& actual) {
    if (expected.width != actual.width || expected.height != actual.height)
        return Difference{0, 0, static_cast<long>(std::max(expected.indices.size(), actual.indices.size()))};
    std::optional<Difference> first;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            if (expected.RgbAt(x, y) != actual.RgbAt(x, y)) {
                if (!first) first = Difference{x, y, 0};
                ++first->count;
            }
    return first;
}

Frame DifferenceImage(const Frame& expected, const Frame& actual) {
    Frame diff{actual.name + "-diff", actual.timeMs, actual.width, actual.height, actual.indices, {}};
    for (int i = 0; i < 255; ++i) {
        const auto level = static_cast<std::uint8_t>(i / 3);  // a dim grey, so the red stands out
        diff.palette[static_cast<std::size_t>(i)] = {level, level, level, 0};
    }
    diff.palette[kDiffRed] = {0, 0, 255, 0};
    const bool sameSize = expected.width == actual.width && expected.height == actual.height;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x) {
            const PaletteEntry& colour = actual.palette[actual.IndexAt(x, y)];
            const int light = (colour.red * 3 + colour.green * 6 + colour.blue) / 10;
            const bool differs = !sameSize || expected.RgbAt(x, y) != actual.RgbAt(x, y);
            diff.indices[static_cast<std::size_t>(y) * actual.width + x] =
                differs ? kDiffRed : static_cast<std::uint8_t>(std::min(light, 254));
        }
    return diff;
}

void SaveFramePng(const Frame& frame, const std::filesystem::path& path) { SavePng(ToDib(frame), path.string()); }

void SaveRawFrame(const Frame& frame, const std::filesystem::path& path) {
    const auto part = path.string() + ".part";
    {
        std::ofstream out(part, std::ios::binary);
        out.write(kRawMagic, sizeof kRawMagic);
        PutLe32(out, static_cast<std::uint32_t>(frame.width));
        PutLe32(out, static_cast<std::uint32_t>(frame.height));
        for (const PaletteEntry& entry : frame.palette) out.put(static_cast<char>(entry.red)).put(static_cast<char>(entry.green)).put(static_cast<char>(entry.blue));
        out.write(reinterpret_cast<const char*>(frame.indices.data()), static_cast<std::streamsize>(frame.indices.size()));
        if (!out.flush()) throw RException("cannot write " + part);
    }
    std::filesystem::rename(part, path);
}

std::optional<Frame> LoadRawFrame(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[sizeof kRawMagic] = {};
    if (!in.read(magic, sizeof magic) || std::memcmp(magic, kRawMagic, sizeof magic) != 0) return std::nullopt;
    const auto width = GetLe32(in), height = GetLe32(in);
    if (!width || !height || *width == 0 || *height == 0 || *width > 8192 || *height > 8192) return std::nullopt;
    Frame frame{path.stem().string(), 0, static_cast<int>(*width), static_cast<int>(*height), {}, {}};
    for (PaletteEntry& entry : frame.palette) {
        char rgb[3];
        if (!in.read(rgb, 3)) return std::nullopt;
        entry = {static_cast<std::uint8_t>(rgb[2]), static_cast<std::uint8_t>(rgb[1]), static_cast<std::uint8_t>(rgb[0]), 0};
    }
    frame.indices.resize(static_cast<std::size_t>(*width) * *height);
    if (!in.read(reinterpret_cast<char*>(frame.indices.data()), static_cast<std::streamsize>(frame.indices.size())))
        return std::nullopt;
    return frame;
}

}  // namespace quellmoor::golden
