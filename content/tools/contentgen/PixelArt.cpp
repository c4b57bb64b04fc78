// Frames kept as text: a legend of symbols and a grid of symbols per frame.
//
//   legend
//     . clear
//     k black
//     v violet 9        (a ramp and its shade 0..15)
//   end
//   frame sk_1
//     ..kk..
//     .kvvk.
//   end
//
// Every row of a frame has the same width; "#" lines are comments. Errors
// name the file and line.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "content/tools/contentgen/Art.h"
#include "model/Exceptions.h"

namespace contentgen {

namespace {

const std::map<std::string, std::uint8_t>& Named() {
    static const std::map<std::string, std::uint8_t> named{
        {"clear", kClear}, {"black", kBlack}, {"white", kWhite}, {"skinkey", kSkinKey},
        {"paleyellow", kPaleYellow}, {"amber", kAmber}, {"hotorange", kHotOrange}, {"glowcyan", kGlowCyan},
        {"glowpink", kGlowPink}, {"glowlime", kGlowLime}, {"rose", kRose}, {"lavender", kLavender}};
    return named;
}

const std::map<std::string, Ramp>& Ramps() {
    static const std::map<std::string, Ramp> ramps{
        {"steel", Ramp::Steel}, {"violet", Ramp::Violet}, {"red", Ramp::Red}, {"orange", Ramp::Orange},
        {"gold", Ramp::Gold}, {"green", Ramp::Green}, {"teal", Ramp::Teal}, {"sky", Ramp::Sky},
        {"navy", Ramp::Navy}, {"pink", Ramp::Pink}, {"sand", Ramp::Sand}, {"rust", Ramp::Rust},
        {"peach", Ramp::Peach}, {"lime", Ramp::Lime}, {"grey", Ramp::Grey}};
    return ramps;
}

std::string Trim(const std::string& s) {
    const auto a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

void ReadArt(const std::filesystem::path& path, Frames& frames) {
    std::ifstream in(path);
    std::map<char, std::uint8_t> legend;
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& what) {
        throw quellmoor::RException(path.string() + ":" + std::to_string(lineNo) + ": " + what);
    };
    enum { Top, Legend, Frame } state = Top;
    std::string frameName;
    std::vector<std::string> rows;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string t = Trim(line);
        if (t.empty() || t[0] == '#') continue;
        if (state == Top) {
            if (t == "legend") state = Legend;
            else if (t.rfind("frame ", 0) == 0) {
                frameName = Trim(t.substr(6));
                if (frameName.empty()) fail("a frame needs a name");
                if (frames.count(frameName)) fail("frame '" + frameName + "' is drawn twice");
                rows.clear();
                state = Frame;
            } else fail("expected 'legend' or 'frame NAME', found '" + t + "'");
        } else if (state == Legend) {
            if (t == "end") {
                state = Top;
                continue;
            }
            std::istringstream words(t);
            std::string symbol, colour;
            int level = -1;
            words >> symbol >> colour >> level;
            if (symbol.size() != 1) fail("a legend symbol is one character, found '" + symbol + "'");
            if (auto n = Named().find(colour); n != Named().end()) legend[symbol[0]] = n->second;
            else if (auto r = Ramps().find(colour); r != Ramps().end() && level >= 0 && level <= 15)
                legend[symbol[0]] = Shade(r->second, level);
            else fail("unknown colour '" + Trim(t.substr(1)) + "' (a name such as clear, or a ramp and 0..15)");
        } else {
            if (t == "end") {
                if (rows.empty()) fail("frame '" + frameName + "' has no rows");
                Canvas c(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
                for (std::size_t y = 0; y < rows.size(); ++y)
                    for (std::size_t x = 0; x < rows[y].size(); ++x) c.Set(static_cast<int>(x), static_cast<int>(y), legend.at(rows[y][x]));
                frames[frameName] = std::move(c);
                state = Top;
                continue;
            }
            if (!rows.empty() && t.size() != rows[0].size())
                fail("row is " + std::to_string(t.size()) + " wide, the frame's first row " + std::to_string(rows[0].size()));
            for (char ch : t)
                if (!legend.count(ch)) fail(std::string("symbol '") + ch + "' is not in the legend");
            rows.push_back(t);
        }
    }
    if (state != Top) fail("the file ends inside a block; 'end' is missing");
}

}  // namespace

Frames PixelArtFrames(const std::string& dir) {
    Frames frames;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".art") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) ReadArt(f, frames);
    return frames;
}

}  // namespace contentgen
