#include "tools/rcs/SourceWriter.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <cctype>

#include "model/Exceptions.h"
#include "tools/rcs/ValueChecks.h"

namespace rcs {

namespace {

const std::set<std::string> kKeywords{"bitmap", "lines", "pairs", "frames", "sequences", "tupels",
                                      "end", "frame", "sequence", "step", "object", "header", "body", "auto"};

bool IsWord(const std::string& s) {
    if (s.empty() || s[0] == '"' || s[0] == '#' || s[0] == '|' || kKeywords.count(s)) return false;
    for (unsigned char c : s)
        if (c <= 32 || c >= 127) return false;
    return true;
}

std::string Word(const std::string& s) { return IsWord(s) ? s : QuoteText(s); }

bool Printable(const std::string& s) {
    for (unsigned char c : s)
        if (c < 32 || c == 127) return false;
    return true;
}

std::string LineItem(const std::string& line) {
    const bool trimmed = !line.empty() && line.front() != ' ' && line.front() != '\t' && line.back() != ' ' &&
                         line.back() != '\t';
    if (trimmed && Printable(line) && line != "end" && line[0] != '|' && line[0] != '"' && line[0] != '#')
        return line;
    if (Printable(line) && (line.empty() || (line.back() != ' ' && line.back() != '\t')))
        return line.empty() ? "|" : "| " + line;
    return QuoteText(line);
}

// Object and property names make the bitmap's file name; a long name is cut,
// since file systems take names of 255 bytes at most (the "_N.bmp" comes on top).
constexpr std::size_t kMaxFileStem = 120;

std::string SafeFileName(const std::string& s) {
    std::string out;
    for (unsigned char c : s) out += (std::isalnum(c) || c == '-' || c == '_') ? static_cast<char>(c) : '_';
    if (out.size() > kMaxFileStem) out.resize(kMaxFileStem);
    return out.empty() ? "_" : out;
}

class Writer {
public:
    Writer(std::filesystem::path sourceDir, std::string bitmapDir)
        : sourceDir_(std::move(sourceDir)), bitmapDir_(std::move(bitmapDir)) {}

    std::string Run(const Stream& s) {
        if (s.rawHeader) {
            out_ << "header " << QuoteText(s.headerBytes) << "\n";
        } else {
            out_ << "header\n";
            for (const auto& line : s.header) out_ << "  " << LineItem(line) << "\n";
            out_ << "end\n";
        }
        for (const auto& o : s.objects) {
            out_ << "\n";
            const bool knownClass = CheckClassName(o.className).empty() && IsWord(o.className);
            out_ << "object " << (knownClass ? o.className : QuoteText(o.className)) << " " << Word(o.name);
            if (o.rawBody) {
                out_ << " body " << QuoteText(o.body) << "\n";
                continue;
            }
            out_ << "\n";
            WritePairs(o.pairs, Place::Object, 1, o.name);
            out_ << "end\n";
        }
        return out_.str();
    }

private:
    std::string Indent(int depth) const { return std::string(static_cast<std::size_t>(depth) * 2, ' '); }

    void WritePairs(const std::vector<Pair>& pairs, Place place, int depth, const std::string& stem) {
        for (const auto& p : pairs) {
            out_ << Indent(depth) << p.name << " = ";
            WriteValue(p.Get(), p.name, place, depth, stem + "_" + p.name);
        }
    }

    std::string SaveBitmap(const Value& v, const std::string& stem) {
        std::string name = SafeFileName(stem);
        std::string file = name + ".bmp";
        for (int n = 2; used_.count(file); ++n) file = name + "_" + std::to_string(n) + ".bmp";
        used_.insert(file);
        const std::filesystem::path dir = sourceDir_ / bitmapDir_;
        std::filesystem::create_directories(dir);
        std::ofstream f(dir / file, std::ios::binary);
        f.write(v.bytes.data(), static_cast<std::streamsize>(v.bytes.size()));
        if (!f) throw quellmoor::RException("cannot write " + (dir / file).string());
        return (std::filesystem::path(bitmapDir_) / file).generic_string();
    }

    void WriteValue(const Value& v, const std::string& name, Place place, int depth, const std::string& stem) {
        switch (v.kind) {
            case Kind::Text:
                if (IsWord(v.bytes) && CheckValue(place, name, v.bytes).empty())
                    out_ << v.bytes << "\n";
                else
                    out_ << QuoteText(v.bytes) << "\n";
                return;
            case Kind::Bitmap:
                out_ << "bitmap " << Word(SaveBitmap(v, stem)) << "\n";
                return;
            case Kind::Lines:
                out_ << "lines\n";
                for (const auto& line : v.lines) out_ << Indent(depth + 1) << LineItem(line) << "\n";
                break;
            case Kind::Pairs:
                out_ << "pairs\n";
                WritePairs(v.pairs, Place::Object, depth + 1, stem);
                break;
            case Kind::Frames:
                out_ << "frames\n";
                for (const auto& frame : v.frames) WriteFrame(frame, depth + 1, stem);
                break;
            case Kind::Sequences:
                out_ << "sequences\n";
                for (const auto& s : v.sequences) {
                    out_ << Indent(depth + 1) << "sequence " << Word(s.name) << "\n";
                    for (const auto& step : s.steps) {
                        out_ << Indent(depth + 2) << "step " << Word(step.frame) << " "
                             << (IsDuration(step.time) && IsWord(step.time) ? step.time : QuoteText(step.time));
                        if (step.deltaX || step.deltaY || step.deltaZ)
                            out_ << " " << step.deltaX << " " << step.deltaY << " " << step.deltaZ;
                        out_ << "\n";
                    }
                    out_ << Indent(depth + 1) << "end\n";
                }
                break;
            case Kind::Tupels:
                out_ << "tupels " << Word(v.actors) << "\n";
                for (const auto& k : v.keyframes) {
                    const bool stepOk = IsWord(k.step) && IsInteger(k.step) && k.step[0] != '-';
                    const bool assignOk = IsWord(k.assignments) && CheckAssignments(k.assignments).empty();
                    out_ << Indent(depth + 1) << (stepOk ? k.step : QuoteText(k.step)) << " " << Word(k.actor) << " "
                         << (assignOk ? k.assignments : QuoteText(k.assignments)) << "\n";
                }
                break;
        }
        out_ << Indent(depth) << "end\n";
    }

    void WriteFrame(const std::vector<Pair>& frame, int depth, const std::string& stem) {
        const auto& p = frame;
        const bool shorthand = p.size() == 5 && p[0].name == "Name" && p[0].Get().kind == Kind::Text &&
                               IsWord(p[0].Get().bytes) && p[1].name == "Transparent" &&
                               p[1].Get().kind == Kind::Text && p[1].Get().bytes == "RGB24:00FF00" &&
                               p[2].name == "HotSpotX" && p[3].name == "HotSpotY" && p[2].Get().kind == Kind::Text &&
                               p[3].Get().kind == Kind::Text && IsWord(p[2].Get().bytes) &&
                               IsWord(p[3].Get().bytes) && IsCoordinate(p[2].Get().bytes) &&
                               IsCoordinate(p[3].Get().bytes) && p[4].name == "Surface" &&
                               p[4].Get().kind == Kind::Bitmap;
        if (shorthand) {
            const std::string& name = p[0].Get().bytes;
            out_ << Indent(depth) << "frame " << name << " " << Word(SaveBitmap(p[4].Get(), stem + "_" + name));
            if (p[2].Get().bytes != "0" || p[3].Get().bytes != "0")
                out_ << " " << p[2].Get().bytes << " " << p[3].Get().bytes;
            out_ << "\n";
            return;
        }
        out_ << Indent(depth) << "frame\n";
        WritePairs(frame, Place::Frame, depth + 1, stem + "_frame");
        out_ << Indent(depth) << "end\n";
    }

    std::filesystem::path sourceDir_;
    std::string bitmapDir_;
    std::set<std::string> used_;
    std::ostringstream out_;
};

}  // namespace

std::string QuoteText(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : bytes) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            default:
                if (c < 32 || c >= 127) {
                    out += "\\x";
                    out += hex[c >> 4];
                    out += hex[c & 15];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string WriteSource(const Stream& stream, const std::filesystem::path& sourceDir, const std::string& bitmapDir) {
    return Writer(sourceDir, bitmapDir).Run(stream);
}

}  // namespace rcs
