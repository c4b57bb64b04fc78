#include "tools/rcs/StreamDump.h"

#include <cstdint>
#include <sstream>
#include <string>

#include "model/Exceptions.h"
#include "model/StreamReaders.h"
#include "model/Text.h"
#include "tools/rcs/SourceWriter.h"
#include "tools/rcs/StreamCodec.h"

namespace rcs {

using namespace quellmoor;

namespace {

std::uint32_t Little(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

bool DescribeBitmap(const std::string& bytes, std::string& description) {
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const std::uint32_t headerSize = Little(bytes, 14, 4);
    std::int64_t width = 0, height = 0, bits = 0;
    if (headerSize == 12) {
        width = Little(bytes, 18, 2);
        height = Little(bytes, 20, 2);
        bits = Little(bytes, 24, 2);
    } else if (bytes.size() >= 30) {
        width = static_cast<std::int32_t>(Little(bytes, 18, 4));
        height = static_cast<std::int32_t>(Little(bytes, 22, 4));
        bits = Little(bytes, 28, 2);
    }
    description = "bitmap " + std::to_string(width) + "x" + std::to_string(height) + ", " +
                  std::to_string(bits) + " bit, " + std::to_string(bytes.size()) + " bytes";
    return true;
}

// Dump and decompile show bytes the same way.
std::string Quote(const std::string& text) { return QuoteText(text); }

// Reads `content` as name/value token pairs; false when it is not exactly that.
bool SplitPairs(const std::string& content, std::vector<std::pair<std::string, std::string>>& pairs) {
    if (content.empty()) return false;
    std::istringstream in(content);
    try {
        while (!AtEndOfStream(in)) {
            int used = 0;
            std::string name = LoadStringFromStream(in, used);
            if (AtEndOfStream(in) || name.empty()) return false;
            for (unsigned char c : name)
                if (c < 32 || c > 126) return false;
            std::string value = LoadStringFromStream(in, used);
            pairs.emplace_back(std::move(name), std::move(value));
        }
    } catch (const RStreamException&) {
        return false;
    }
    return true;
}

void DumpValue(const std::string& name, const std::string& value, std::ostream& out, int depth);

void DumpPairs(const std::vector<std::pair<std::string, std::string>>& pairs, std::ostream& out, int depth) {
    for (const auto& [name, value] : pairs) DumpValue(name, value, out, depth);
}

// Frame lists, sequence lists, keyframe tables and text contents, read the way rcs decompiles them.
bool DumpStructured(const std::string& name, const std::string& value, std::ostream& out, const std::string& indent) {
    const rcs::Value v = rcs::DecodeNamedValue(name, value);
    switch (v.kind) {
        case rcs::Kind::Frames:
            out << indent << name << ": " << v.frames.size() << " frame(s)\n";
            for (const auto& frame : v.frames) {
                std::string frameName = "?", bitmap = "no bitmap";
                for (const auto& p : frame) {
                    if (p.name == "Name") frameName = p.Get().bytes;
                    if (p.Get().kind == rcs::Kind::Bitmap) DescribeBitmap(p.Get().bytes, bitmap);
                }
                out << indent << "  " << Quote(frameName) << ": " << bitmap << "\n";
            }
            return true;
        case rcs::Kind::Sequences:
            out << indent << name << ": " << v.sequences.size() << " sequence(s)\n";
            for (const auto& s : v.sequences) {
                out << indent << "  " << Quote(s.name) << ":";
                for (const auto& step : s.steps) {
                    out << " " << step.frame << " " << step.time;
                    if (step.deltaX || step.deltaY || step.deltaZ)
                        out << " (" << step.deltaX << "," << step.deltaY << "," << step.deltaZ << ")";
                }
                out << "\n";
            }
            return true;
        case rcs::Kind::Tupels:
            out << indent << name << ": actors " << Quote(v.actors) << ", " << v.keyframes.size() << " keyframe(s)\n";
            for (const auto& k : v.keyframes) out << indent << "  " << k.step << " " << k.actor << " " << k.assignments << "\n";
            return true;
        case rcs::Kind::Lines:
            if (EqualsIgnoreCase(name, "Tag")) return false;
            out << indent << name << ": " << v.lines.size() << " line(s)\n";
            for (const auto& line : v.lines) out << indent << "  " << Quote(line) << "\n";
            return true;
        default:
            return false;
    }
}

void DumpValue(const std::string& name, const std::string& value, std::ostream& out, int depth) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    std::string bitmap;
    if (DescribeBitmap(value, bitmap)) {
        out << indent << name << ": " << bitmap << "\n";
        return;
    }
    if (EqualsIgnoreCase(name, "Tag")) {
        std::istringstream in(value);
        std::vector<std::string> lines;
        int used = 0;
        try {
            LoadStringListFromStream(lines, in, used);
            out << indent << name << ": " << lines.size() << " line(s)\n";
            for (const auto& line : lines) out << indent << "  " << Quote(line) << "\n";
            return;
        } catch (const RStreamException&) {
        }
    }
    if (DumpStructured(name, value, out, indent)) return;
    std::vector<std::pair<std::string, std::string>> nested;
    if (SplitPairs(value, nested)) {
        out << indent << name << ":\n";
        DumpPairs(nested, out, depth + 1);
        return;
    }
    out << indent << name << ": " << Quote(value) << "\n";
}

}  // namespace

int DumpStream(std::istream& in, std::ostream& out) {
    for (char expected : {'R', 'C', 'S'}) {
        const auto c = in.get();
        if (!in || c != expected) throw RStreamException("AddComponentStream encountered an invalid header.");
    }
    int used = 0;
    std::vector<std::string> header;
    LoadStringListFromStream(header, in, used);
    out << "header: " << header.size() << " line(s)\n";
    for (const auto& line : header) out << "  " << Quote(line) << "\n";

    int objects = 0;
    while (!AtEndOfStream(in)) {
        const std::string className = LoadStringFromStream(in, used);
        if (AtEndOfStream(in)) break;
        const std::string objectName = LoadStringFromStream(in, used);
        const std::string body = LoadStringFromStream(in, used);
        if (used == 0) throw RStreamException("LoadStringFromStream reached unexpected end of stream.");
        ++objects;
        out << "object " << className << " " << Quote(objectName) << " (" << body.size() << " bytes)\n";
        std::vector<std::pair<std::string, std::string>> pairs;
        if (body.empty()) continue;
        if (SplitPairs(body, pairs))
            DumpPairs(pairs, out, 1);
        else
            out << "  (body is not a list of name/value pairs)\n";
    }
    return objects;
}

}  // namespace rcs
