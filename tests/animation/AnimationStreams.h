// Builders for animation test streams: bitmap files, frame lists, sequence
// lists and keyframe tables, written byte for byte as the loaders read them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/model/StreamBuilder.h"

namespace quellmoor::testing {

// Palette used by the tests: 0 black, 1 red, 2 green (transparent), 3 blue, 255 white.
inline std::array<std::uint32_t, 256> TestPalette() {
    std::array<std::uint32_t, 256> colours{};  // 0xRRGGBB
    for (int i = 0; i < 256; ++i) colours[i] = static_cast<std::uint32_t>(i * 0x010101 / 2);
    colours[0] = 0x000000;
    colours[1] = 0xFF0000;
    colours[2] = 0x00FF00;
    colours[3] = 0x0000FF;
    colours[255] = 0xFFFFFF;
    return colours;
}

inline void PutLittle(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A Windows 8-bit bitmap file; `rows` top row first, one character per pixel
// giving the palette index as a digit ('0'..'9').
inline std::string Bitmap(const std::vector<std::string>& rows) {
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows.front().size());
    const int stride = (width + 3) / 4 * 4;
    const auto palette = TestPalette();
    std::string out = "BM";
    PutLittle(out, static_cast<std::uint32_t>(54 + 1024 + stride * height), 4);
    PutLittle(out, 0, 4);
    PutLittle(out, 54 + 1024, 4);
    PutLittle(out, 40, 4);
    PutLittle(out, static_cast<std::uint32_t>(width), 4);
    PutLittle(out, static_cast<std::uint32_t>(height), 4);
    PutLittle(out, 1, 2);
    PutLittle(out, 8, 2);
    PutLittle(out, 0, 4);
    PutLittle(out, static_cast<std::uint32_t>(stride * height), 4);
    PutLittle(out, 3780, 4);
    PutLittle(out, 3780, 4);
    PutLittle(out, 256, 4);
    PutLittle(out, 0, 4);
    for (std::uint32_t rgb : palette) {
        out.push_back(static_cast<char>(rgb & 0xFF));
        out.push_back(static_cast<char>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<char>((rgb >> 16) & 0xFF));
        out.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x)
            out.push_back(x < width ? static_cast<char>(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] - '0') : 0);
    }
    return out;
}

// An integer in the header form ("-12#").
inline std::string Int(long value) { return std::to_string(value) + "#"; }

// A record: its length header, then its bytes.
inline std::string Record(const std::string& bytes) { return Int(static_cast<long>(bytes.size())) + bytes; }

struct FrameSource {
    std::string name;
    std::vector<std::string> rows;
    std::string transparent = "RGB24:00FF00";
};

inline std::string FrameList(const std::vector<FrameSource>& frames) {
    std::string inner = Int(static_cast<long>(frames.size()));
    for (const FrameSource& f : frames) {
        const std::string bmp = Bitmap(f.rows);
        inner += Record(Pair("Name", f.name) + Pair("Transparent", f.transparent) + Pair("HotSpotX", "0") +
                        Pair("HotSpotY", "0") + Token("Surface") + Record(bmp));
    }
    return Record(inner);
}

struct StepSource {
    std::string frame;
    long dx = 0, dy = 0, dz = 0;
    std::string time = "MS:100";
};

inline std::string SequenceBody(const std::vector<StepSource>& steps) {
    std::string body = Int(static_cast<long>(steps.size()));
    for (const StepSource& s : steps) {
        body += Token("FrameRef") + Record(Pair("Name", s.frame) + Token("DeltaX") + Int(s.dx) + Token("DeltaY") +
                                           Int(s.dy) + Token("DeltaZ") + Int(s.dz) + Pair("Time", s.time));
    }
    return body;
}

inline std::string SequenceList(const std::vector<std::pair<std::string, std::vector<StepSource>>>& sequences) {
    std::string inner = Int(static_cast<long>(sequences.size()));
    for (const auto& [name, steps] : sequences) inner += Record(Token(name) + SequenceBody(steps));
    return Record(inner);
}

struct KeyframeSource {
    int step;
    std::string actor;
    std::string assignments;
};

inline std::string Tupels(const std::string& actors, const std::vector<KeyframeSource>& keyframes) {
    std::string records;
    for (const KeyframeSource& k : keyframes)
        records += Record(Token(std::to_string(k.step)) + Token(k.actor) + Token(k.assignments));
    return Record(Token(actors) + Record(records));
}

inline std::string Coo(float value) {
    std::string text = std::to_string(value);
    return Token(text);
}

}  // namespace quellmoor::testing
