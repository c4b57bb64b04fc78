// Golden frames: pictures a run must keep making, held as hashes in a text
// manifest and compared pixel by pixel when a hash no longer matches.
//
// A Frame is an 8-bit image (rows top first, no padding) with its palette. The
// manifest has one line per frame, "name time-ms WIDTHxHEIGHT hash", and '#'
// comment lines. Frames that matched are kept as raw files named by their hash,
// so a later mismatch can show what changed against the frame it replaced.
//
//   Frame frame = CaptureFrame(*stage.GetStageImage()->GetDib(), "frame_00", 0);
//   const auto difference = FirstDifference(expected, actual);   // nullopt: alike
//   SaveFramePng(DifferenceImage(expected, actual), "diff.png");
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "imaging/Dib.h"

namespace quellmoor::golden {

struct Frame {
    std::string name;
    std::int64_t timeMs = 0;
    int width = 0, height = 0;
    std::vector<std::uint8_t> indices;  // width × height, top row first
    Palette palette{};

    std::uint8_t IndexAt(int x, int y) const { return indices[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t RgbAt(int x, int y) const;  // 0xRRGGBB
};

struct ManifestLine {
    std::string name;
    std::int64_t timeMs = 0;
    int width = 0, height = 0;
    std::string hash;
    bool operator==(const ManifestLine&) const = default;
};

struct Difference {
    int x = 0, y = 0;       // the first differing pixel, rows from the top
    long count = 0;         // pixels that differ in all
};

Frame CaptureFrame(const RDib& dib, std::string name, std::int64_t timeMs);
// 64-bit FNV-1a of the size, the indices and the palette's colours, as 16 hex digits.
std::string FrameHash(const Frame& frame);
ManifestLine Describe(const Frame& frame);

std::string FormatManifest(const std::string& heading, const std::vector<ManifestLine>& lines);
// Throws RException naming the line that is not "name time WxH hash".
std::vector<ManifestLine> ParseManifest(const std::string& text);

// By colour, so a palette that moved entries but shows the same picture is alike;
// nullopt when the frames look the same. Frames of different sizes differ at (0, 0).
std::optional<Difference> FirstDifference(const Frame& expected, const Frame& actual);
// The actual frame dimmed to grey, with every pixel that differs in full red.
Frame DifferenceImage(const Frame& expected, const Frame& actual);

void SaveFramePng(const Frame& frame, const std::filesystem::path& path);
// A frame exactly as captured, for comparing with later runs; Load answers nullopt when missing or damaged.
void SaveRawFrame(const Frame& frame, const std::filesystem::path& path);
std::optional<Frame> LoadRawFrame(const std::filesystem::path& path);

}  // namespace quellmoor::golden
