#include "tools/rcs/SourceParser.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "model/Exceptions.h"
#include "model/Text.h"
#include "tools/rcs/StreamCodec.h"
#include "tools/rcs/ValueChecks.h"

namespace rcs {

using quellmoor::EqualsIgnoreCase;

namespace {

struct Word {
    std::string text;
    bool quoted = false;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

// The bit depth of a BMP file that LooksLikeBitmap accepts: its place depends
// on the header (12 bytes: the OS/2 one; 40: the Windows one).
std::optional<unsigned> BitsPerPixel(std::string_view bytes) {
    const std::size_t at = static_cast<unsigned char>(bytes[14]) == 12 ? 24 : 28;
    if (bytes.size() < at + 2) return std::nullopt;
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    Parser(std::string_view text, std::string fileName, const SourceOptions& options)
        : file_(std::move(fileName)), options_(options) {
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find('\n', start);
            lines_.emplace_back(text.substr(start, end == std::string_view::npos ? text.size() - start : end - start));
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
    }

    Stream Run() {
        Stream stream;
        bool sawHeader = false;
        while (auto line = NextLine()) {
            auto words = Split(*line);
            const std::string& keyword = words[0].text;
            if (!words[0].quoted && keyword == "header") {
                if (sawHeader) Fail("a stream has one header");
                sawHeader = true;
                if (words.size() == 2 && words[1].quoted) {
                    stream.rawHeader = true;
                    stream.headerBytes = words[1].text;
                } else {
                    Expect(words.size() == 1, "'header' stands alone on its line; the lines follow until 'end'");
                    stream.header = ReadLines(true);
                }
            } else if (!words[0].quoted && keyword == "object") {
                stream.objects.push_back(ReadObject(words));
            } else {
                Fail("expected 'header' or 'object', found '" + keyword + "'");
            }
        }
        return stream;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw quellmoor::RParamException(file_ + ":" + std::to_string(lineNo_) + ": " + what);
    }
    void Expect(bool ok, const std::string& what) const {
        if (!ok) Fail(what);
    }

    // The next line that is not blank or a comment, trimmed; none at the end.
    std::optional<std::string_view> NextLine() {
        while (next_ < lines_.size()) {
            lineNo_ = static_cast<int>(++next_);
            std::string_view line = Trim(lines_[next_ - 1]);
            if (line.empty() || line.front() == '#') continue;
            return line;
        }
        return std::nullopt;
    }

    std::string_view NeedLine(const std::string& context) {
        auto line = NextLine();
        if (!line) {
            lineNo_ = static_cast<int>(lines_.size());
            Fail("file ends inside " + context + "; 'end' is missing");
        }
        return *line;
    }

    std::string Unquote(std::string_view s, std::size_t& i) const {
        std::string out;
        ++i;  // opening quote
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c != '\\') {
                out += c;
                continue;
            }
            Expect(i < s.size(), "a backslash ends the line inside a quoted text");
            c = s[i++];
            switch (c) {
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case '0': out += '\0'; break;
                case '\\': out += '\\'; break;
                case '"': out += '"'; break;
                case 'x': {
                    const int hi = i < s.size() ? HexDigit(s[i]) : -1;
                    const int lo = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
                    Expect(hi >= 0 && lo >= 0, "\\x needs two hexadecimal digits");
                    out += static_cast<char>(hi * 16 + lo);
                    i += 2;
                    break;
                }
                default:
                    Fail(std::string("unknown escape '\\") + c + "' (use \\n \\r \\t \\0 \\\\ \\\" \\xHH)");
            }
        }
        Expect(i < s.size(), "a quoted text is not closed on its line");
        ++i;  // closing quote
        return out;
    }

    std::vector<Word> Split(std::string_view s) const {
        std::vector<Word> words;
        std::size_t i = 0;
        while (true) {
            while (i < s.size() && IsSpace(s[i])) ++i;
            if (i >= s.size()) break;
            if (s[i] == '"') {
                words.push_back({Unquote(s, i), true});
                Expect(i >= s.size() || IsSpace(s[i]), "a quoted text must be followed by a space or the line's end");
            } else {
                const std::size_t start = i;
                while (i < s.size() && !IsSpace(s[i])) ++i;
                words.push_back({std::string(s.substr(start, i - start)), false});
            }
        }
        return words;
    }

    // Lines of a header or a "lines" value: "| text" (verbatim), "quoted", or the trimmed line.
    std::vector<std::string> ReadLines(bool header) {
        std::vector<std::string> out;
        const std::string context = header ? "the header" : "a 'lines' block";
        while (true) {
            std::string_view line = NeedLine(context);
            if (line == "end") break;
            // Take the raw line again: a verbatim line keeps its trailing blanks.
            std::string_view raw = lines_[next_ - 1];
            if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
            while (!raw.empty() && IsSpace(raw.front())) raw.remove_prefix(1);
            if (raw.front() == '|') {
                raw.remove_prefix(1);
                if (!raw.empty() && raw.front() == ' ') raw.remove_prefix(1);
                out.emplace_back(raw);
            } else if (raw.front() == '"') {
                auto words = Split(line);
                Expect(words.size() == 1 && words[0].quoted, "a quoted line must be the only thing on its line");
                out.push_back(words[0].text);
            } else {
                out.emplace_back(line);
                if (header) CheckHeaderLine(out.back());
            }
        }
        return out;
    }

    void CheckHeaderLine(const std::string& line) const {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || !EqualsIgnoreCase(line.substr(0, eq), "Type")) return;
        const std::string type = line.substr(eq + 1);
        for (const char* t : {"RPlanetScene", "RMeetingScene", "RMovingScene", "RInShipScene", "RFloatLib", "RFloatScene"})
            if (EqualsIgnoreCase(type, t)) return;
        Fail("unknown Type '" + type + "' (RPlanetScene, RMeetingScene, RMovingScene, RInShipScene, RFloatLib)");
    }

    Object ReadObject(const std::vector<Word>& words) {
        Object o;
        o.line = lineNo_;
        Expect(words.size() >= 3, "'object' needs a class and a name: object RSprite Vexmon");
        o.className = words[1].text;
        o.name = words[2].text;
        if (!words[1].quoted) {
            const std::string problem = CheckClassName(o.className);
            Expect(problem.empty(), problem);
        }
        if (words.size() == 5 && !words[3].quoted && words[3].text == "body" && words[4].quoted) {
            o.rawBody = true;
            o.body = words[4].text;
            return o;
        }
        if (words.size() != 3) Fail("unexpected '" + words[3].text + "' after the object's name");
        o.pairs = ReadPairs(Place::Object, "object '" + o.name + "'");
        return o;
    }

    std::vector<Pair> ReadPairs(Place place, const std::string& context) {
        std::vector<Pair> pairs;
        while (true) {
            std::string_view line = NeedLine(context);
            if (line == "end") break;
            pairs.push_back(ReadPair(line, place));
        }
        return pairs;
    }

    Pair ReadPair(std::string_view line, Place place) {
        const std::size_t eq = line.find('=');
        Expect(eq != std::string_view::npos, "expected 'Name = value', found '" + std::string(line) + "'");
        Pair p;
        p.line = lineNo_;
        p.name = std::string(Trim(line.substr(0, eq)));
        Expect(!p.name.empty() && p.name.find_first_of(" \t\"") == std::string::npos,
               "a property name is one word before '='");
        auto words = Split(line.substr(eq + 1));
        Expect(!words.empty(), p.name + " has no value after '='");
        p.value.push_back(ReadValue(p.name, words, place));
        return p;
    }

    Value ReadValue(const std::string& name, const std::vector<Word>& words, Place place) {
        const Word& first = words[0];
        if (first.quoted) {
            Expect(words.size() == 1, name + ": a quoted value must be the only thing after '='");
            Value v = TextValue(first.text);
            v.quoted = true;
            return v;
        }
        const std::string& k = first.text;
        if (k == "bitmap") {
            Expect(words.size() == 2, name + ": 'bitmap' takes one file name");
            return LoadBitmap(words[1].text);
        }
        if (k == "lines" || k == "pairs" || k == "frames" || k == "sequences") {
            Expect(words.size() == 1, name + ": '" + k + "' takes nothing after it; its block follows until 'end'");
            Value v;
            if (k == "lines") {
                v.kind = Kind::Lines;
                v.lines = ReadLines(false);
            } else if (k == "pairs") {
                v.kind = Kind::Pairs;
                v.pairs = ReadPairs(Place::Object, "the pairs of " + name);
            } else if (k == "frames") {
                v.kind = Kind::Frames;
                ReadFrames(v);
            } else {
                v.kind = Kind::Sequences;
                ReadSequences(v);
            }
            return v;
        }
        if (k == "tupels") {
            Expect(words.size() == 2, name + ": 'tupels' takes the actor list (or auto)");
            Value v;
            v.kind = Kind::Tupels;
            ReadTupels(v, words[1]);
            return v;
        }
        Expect(words.size() == 1, name + ": a value with spaces must be in double quotes");
        const std::string problem = CheckValue(place, name, k);
        Expect(problem.empty(), problem + ", found '" + k + "'");
        return TextValue(k);
    }

    Value LoadBitmap(const std::string& file) {
        namespace fs = std::filesystem;
        std::vector<fs::path> tried;
        fs::path found;
        if (fs::path(file).is_absolute()) {
            tried.push_back(file);
        } else {
            tried.push_back(options_.baseDir / file);
            for (const auto& dir : options_.searchDirs) tried.push_back(dir / file);
        }
        for (const auto& candidate : tried) {
            std::error_code ec;
            if (fs::is_regular_file(candidate, ec)) {
                found = candidate;
                break;
            }
        }
        Expect(!found.empty(), "bitmap file '" + file + "' not found");
        std::ifstream in(found, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        Value v;
        v.kind = Kind::Bitmap;
        v.bytes = bytes.str();
        v.path = file;
        Expect(LooksLikeBitmap(v.bytes), "'" + file + "' is not a BMP file");
        const auto bits = BitsPerPixel(v.bytes);
        Expect(bits.has_value(), "'" + file + "' is a truncated BMP file");
        Expect(*bits == 8, "'" + file + "' has " + std::to_string(*bits) + " bits per pixel; the engine needs 8");
        return v;
    }

    void ReadFrames(Value& v) {
        while (true) {
            std::string_view line = NeedLine("a 'frames' block");
            if (line == "end") break;
            auto words = Split(line);
            Expect(!words[0].quoted && words[0].text == "frame", "expected 'frame NAME FILE [HOTX HOTY]' or 'end'");
            if (words.size() == 1) {
                v.frames.push_back(ReadPairs(Place::Frame, "a frame"));
                continue;
            }
            Expect(words.size() == 3 || words.size() == 5, "expected 'frame NAME FILE [HOTX HOTY]'");
            std::string hotX = "0", hotY = "0";
            if (words.size() == 5) {
                hotX = words[3].text;
                hotY = words[4].text;
                Expect(IsCoordinate(hotX) && IsCoordinate(hotY), "a frame's hot spot needs two coordinates");
            }
            std::vector<Pair> frame;
            auto add = [&frame, this](const char* n, Value value) {
                Pair p;
                p.name = n;
                p.line = lineNo_;
                p.value.push_back(std::move(value));
                frame.push_back(std::move(p));
            };
            add("Name", TextValue(words[1].text));
            add("Transparent", TextValue("RGB24:00FF00"));
            add("HotSpotX", TextValue(hotX));
            add("HotSpotY", TextValue(hotY));
            add("Surface", LoadBitmap(words[2].text));
            v.frames.push_back(std::move(frame));
        }
    }

    std::int32_t ReadDelta(const Word& w) const {
        Expect(IsInteger(w.text) && w.text.size() < 11, "a step's deltas are whole numbers, found '" + w.text + "'");
        return static_cast<std::int32_t>(std::stol(w.text));
    }

    void ReadSequences(Value& v) {
        while (true) {
            std::string_view line = NeedLine("a 'sequences' block");
            if (line == "end") break;
            auto words = Split(line);
            Expect(!words[0].quoted && words[0].text == "sequence" && words.size() == 2,
                   "expected 'sequence NAME' or 'end'");
            Sequence s;
            s.name = words[1].text;
            while (true) {
                std::string_view stepLine = NeedLine("sequence '" + s.name + "'");
                if (stepLine == "end") break;
                auto w = Split(stepLine);
                Expect(!w[0].quoted && w[0].text == "step" && (w.size() == 3 || w.size() == 6),
                       "expected 'step FRAME MS:TIME [DX DY DZ]' or 'end'");
                Step step;
                step.frame = w[1].text;
                step.time = w[2].text;
                Expect(w[2].quoted || IsDuration(step.time), "a step's time looks like MS:110, found '" + step.time + "'");
                if (w.size() == 6) {
                    step.deltaX = ReadDelta(w[3]);
                    step.deltaY = ReadDelta(w[4]);
                    step.deltaZ = ReadDelta(w[5]);
                }
                s.steps.push_back(std::move(step));
            }
            v.sequences.push_back(std::move(s));
        }
    }

    void ReadTupels(Value& v, const Word& actors) {
        while (true) {
            std::string_view line = NeedLine("a 'tupels' block");
            if (line == "end") break;
            auto w = Split(line);
            Expect(w.size() == 3, "expected 'STEP ACTOR ASSIGNMENTS' (quote an item that has spaces)");
            Keyframe k{w[0].text, w[1].text, w[2].text};
            if (!w[0].quoted) Expect(IsInteger(k.step) && k.step[0] != '-', "a keyframe's step is a whole number, found '" + k.step + "'");
            if (!w[2].quoted) {
                const std::string problem = CheckAssignments(k.assignments);
                Expect(problem.empty(), problem);
            }
            v.keyframes.push_back(std::move(k));
        }
        if (!actors.quoted && actors.text == "auto") {
            for (const auto& k : v.keyframes) {
                const std::string entry = k.actor + ";";
                bool seen = false;
                for (std::size_t at = 0; (at = v.actors.find(entry, at)) != std::string::npos; at += entry.size())
                    if (at == 0 || v.actors[at - 1] == ';') seen = true;
                if (!seen) v.actors += entry;
            }
        } else {
            v.actors = actors.text;
        }
    }

    std::string file_;
    const SourceOptions& options_;
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    int lineNo_ = 0;
};

}  // namespace

Stream ParseSource(std::string_view text, const std::string& fileName, const SourceOptions& options) {
    return Parser(text, fileName, options).Run();
}

Stream ParseSourceFile(const std::filesystem::path& path, std::vector<std::filesystem::path> searchDirs) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw quellmoor::RParamException(path.string() + ": cannot open the source file");
    std::ostringstream text;
    text << in.rdbuf();
    SourceOptions options;
    options.baseDir = path.parent_path();
    options.searchDirs = std::move(searchDirs);
    return ParseSource(text.str(), path.string(), options);
}

}  // namespace rcs
