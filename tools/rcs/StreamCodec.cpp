#include "tools/rcs/StreamCodec.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "model/Exceptions.h"
#include "model/Text.h"

namespace rcs {

using quellmoor::EqualsIgnoreCase;

Value TextValue(std::string bytes) {
    Value v;
    v.bytes = std::move(bytes);
    return v;
}

namespace {

std::string Token(std::string_view content) { return std::to_string(content.size()) + "#" + std::string(content); }
std::string Int(std::int64_t n) { return std::to_string(n) + "#"; }

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\n";
    return out;
}

std::string EncodePairs(const std::vector<Pair>& pairs) {
    std::string out;
    for (const auto& p : pairs) out += Token(p.name) + Token(EncodeValue(p.Get()));
    return out;
}

std::string EncodeSequence(const Sequence& s) {
    std::string body = Token(s.name) + Int(static_cast<std::int64_t>(s.steps.size()));
    for (const auto& step : s.steps) {
        const std::string record = Token("Name") + Token(step.frame) + Token("DeltaX") + Int(step.deltaX) +
                                   Token("DeltaY") + Int(step.deltaY) + Token("DeltaZ") + Int(step.deltaZ) +
                                   Token("Time") + Token(step.time);
        body += Token("FrameRef") + Token(record);
    }
    return Token(body);
}

// A strict cursor over bytes: every read either succeeds whole or reports failure.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return pos_ >= bytes_.size(); }

    std::optional<std::int64_t> ReadInt() {
        std::size_t p = pos_;
        std::int64_t value = 0;
        bool negative = false;
        int digits = 0;
        while (p < bytes_.size() && bytes_[p] != '#') {
            const char c = bytes_[p];
            if (c == '-') {
                negative = true;
            } else if (c >= '0' && c <= '9') {
                if (++digits > 12) return std::nullopt;
                value = value * 10 + (c - '0');
            } else {
                return std::nullopt;
            }
            ++p;
        }
        if (p >= bytes_.size()) return std::nullopt;
        pos_ = p + 1;
        return negative ? -value : value;
    }

    std::optional<std::string_view> ReadToken() {
        const std::size_t start = pos_;
        auto n = ReadInt();
        if (!n || *n < 0 || static_cast<std::uint64_t>(*n) > bytes_.size() - pos_) {
            pos_ = start;
            return std::nullopt;
        }
        std::string_view content = bytes_.substr(pos_, static_cast<std::size_t>(*n));
        pos_ += static_cast<std::size_t>(*n);
        return content;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

std::optional<std::vector<std::string>> DecodeLineList(std::string_view content) {
    if (!content.empty() && content.back() != '\n') return std::nullopt;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find('\n', start);
        lines.emplace_back(content.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::optional<std::vector<Pair>> DecodePairs(std::string_view content, bool allowEmpty);
Value DecodeValue(std::string_view name, std::string_view content);

bool PrintableName(std::string_view name) {
    if (name.empty() || name[0] == '#' || name[0] == '|') return false;
    for (unsigned char c : name)
        if (c <= 32 || c >= 127 || c == '"' || c == '=') return false;
    return true;
}

std::optional<std::vector<Pair>> DecodePairs(std::string_view content, bool allowEmpty) {
    if (content.empty() && !allowEmpty) return std::nullopt;
    Cursor in(content);
    std::vector<Pair> pairs;
    while (!in.AtEnd()) {
        auto name = in.ReadToken();
        if (!name || !PrintableName(*name)) return std::nullopt;
        auto value = in.ReadToken();
        if (!value) return std::nullopt;
        Pair p;
        p.name = std::string(*name);
        p.value.push_back(DecodeValue(*name, *value));
        pairs.push_back(std::move(p));
    }
    return pairs;
}

std::optional<Value> DecodeLines(std::string_view content) {
    Cursor in(content);
    auto inner = in.ReadToken();
    if (!inner || !in.AtEnd()) return std::nullopt;
    auto lines = DecodeLineList(*inner);
    if (!lines) return std::nullopt;
    Value v;
    v.kind = Kind::Lines;
    v.lines = std::move(*lines);
    return v;
}

std::optional<Value> DecodeFrames(std::string_view content) {
    Cursor in(content);
    auto count = in.ReadInt();
    if (!count || *count < 0) return std::nullopt;
    Value v;
    v.kind = Kind::Frames;
    for (std::int64_t i = 0; i < *count; ++i) {
        auto record = in.ReadToken();
        if (!record) return std::nullopt;
        auto pairs = DecodePairs(*record, true);
        if (!pairs) return std::nullopt;
        v.frames.push_back(std::move(*pairs));
    }
    if (!in.AtEnd()) return std::nullopt;
    return v;
}

std::optional<Step> DecodeStep(Cursor& in) {
    auto className = in.ReadToken();
    if (!className || *className != "FrameRef") return std::nullopt;
    auto record = in.ReadToken();
    if (!record) return std::nullopt;
    Cursor r(*record);
    Step step;
    auto expect = [&r](std::string_view name) {
        auto n = r.ReadToken();
        return n && *n == name;
    };
    std::optional<std::string_view> text;
    std::optional<std::int64_t> n;
    if (!expect("Name") || !(text = r.ReadToken())) return std::nullopt;
    step.frame = std::string(*text);
    const std::pair<const char*, std::int32_t*> deltas[] = {
        {"DeltaX", &step.deltaX}, {"DeltaY", &step.deltaY}, {"DeltaZ", &step.deltaZ}};
    for (const auto& [deltaName, delta] : deltas) {
        if (!expect(deltaName) || !(n = r.ReadInt())) return std::nullopt;
        if (*n < INT32_MIN || *n > INT32_MAX) return std::nullopt;
        *delta = static_cast<std::int32_t>(*n);
    }
    if (!expect("Time") || !(text = r.ReadToken()) || !r.AtEnd()) return std::nullopt;
    step.time = std::string(*text);
    return step;
}

std::optional<Value> DecodeSequences(std::string_view content) {
    Cursor in(content);
    auto count = in.ReadInt();
    if (!count || *count < 0) return std::nullopt;
    Value v;
    v.kind = Kind::Sequences;
    for (std::int64_t i = 0; i < *count; ++i) {
        auto record = in.ReadToken();
        if (!record) return std::nullopt;
        Cursor r(*record);
        Sequence s;
        auto name = r.ReadToken();
        auto steps = r.ReadInt();
        if (!name || !steps || *steps < 0) return std::nullopt;
        s.name = std::string(*name);
        for (std::int64_t k = 0; k < *steps; ++k) {
            auto step = DecodeStep(r);
            if (!step) return std::nullopt;
            s.steps.push_back(std::move(*step));
        }
        if (!r.AtEnd()) return std::nullopt;
        v.sequences.push_back(std::move(s));
    }
    if (!in.AtEnd()) return std::nullopt;
    return v;
}

std::optional<Value> DecodeTupels(std::string_view content) {
    Cursor in(content);
    auto actors = in.ReadToken();
    auto size = in.ReadInt();
    if (!actors || !size) return std::nullopt;
    Value v;
    v.kind = Kind::Tupels;
    v.actors = std::string(*actors);
    while (!in.AtEnd()) {
        auto record = in.ReadToken();
        if (!record) return std::nullopt;
        Cursor r(*record);
        auto step = r.ReadToken();
        auto actor = r.ReadToken();
        auto assignments = r.ReadToken();
        if (!step || !actor || !assignments || !r.AtEnd()) return std::nullopt;
        v.keyframes.push_back({std::string(*step), std::string(*actor), std::string(*assignments)});
    }
    return v;
}

Value DecodeValue(std::string_view name, std::string_view content) {
    std::optional<Value> v;
    if (EqualsIgnoreCase(name, "Tag") || EqualsIgnoreCase(name, "Contents")) v = DecodeLines(content);
    else if (EqualsIgnoreCase(name, "FrameList")) v = DecodeFrames(content);
    else if (EqualsIgnoreCase(name, "SequenceList")) v = DecodeSequences(content);
    else if (EqualsIgnoreCase(name, "Tupels")) v = DecodeTupels(content);
    else if (LooksLikeBitmap(content)) {
        v = Value{};
        v->kind = Kind::Bitmap;
        v->bytes = std::string(content);
    } else if (EqualsIgnoreCase(name, "WindowRect")) {
        if (auto pairs = DecodePairs(content, false)) {
            v = Value{};
            v->kind = Kind::Pairs;
            v->pairs = std::move(*pairs);
        }
    }
    // Keep the structured reading only when it gives back the very same bytes.
    if (v && EncodeValue(*v) == content) return *v;
    return TextValue(std::string(content));
}

}  // namespace

Value DecodeNamedValue(std::string_view name, std::string_view content) { return DecodeValue(name, content); }

bool LooksLikeBitmap(std::string_view bytes) {
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const unsigned headerSize = static_cast<unsigned char>(bytes[14]) | static_cast<unsigned char>(bytes[15]) << 8;
    return headerSize == 40 || headerSize == 12;
}

std::string EncodeValue(const Value& value) {
    switch (value.kind) {
        case Kind::Text:
        case Kind::Bitmap:
            return value.bytes;
        case Kind::Lines:
            return Token(JoinLines(value.lines));
        case Kind::Pairs:
            return EncodePairs(value.pairs);
        case Kind::Frames: {
            std::string out = Int(static_cast<std::int64_t>(value.frames.size()));
            for (const auto& frame : value.frames) out += Token(EncodePairs(frame));
            return out;
        }
        case Kind::Sequences: {
            std::string out = Int(static_cast<std::int64_t>(value.sequences.size()));
            for (const auto& s : value.sequences) out += EncodeSequence(s);
            return out;
        }
        case Kind::Tupels: {
            std::string records;
            for (const auto& k : value.keyframes) records += Token(Token(k.step) + Token(k.actor) + Token(k.assignments));
            return Token(value.actors) + Int(static_cast<std::int64_t>(records.size())) + records;
        }
    }
    return {};
}

std::string EncodeStream(const Stream& stream) {
    std::string out = "RCS" + Token(stream.rawHeader ? stream.headerBytes : JoinLines(stream.header));
    for (const auto& o : stream.objects)
        out += Token(o.className) + Token(o.name) + Token(o.rawBody ? o.body : EncodePairs(o.pairs));
    return out;
}

Stream DecodeStream(std::string_view bytes) {
    using quellmoor::RStreamException;
    if (bytes.substr(0, 3) != "RCS") throw RStreamException("AddComponentStream encountered an invalid header.");
    Cursor in(bytes.substr(3));
    Stream stream;
    auto header = in.ReadToken();
    if (!header) throw RStreamException("The stream's header token is malformed.");
    if (auto lines = DecodeLineList(*header); lines && JoinLines(*lines) == *header) {
        stream.header = std::move(*lines);
    } else {
        stream.rawHeader = true;
        stream.headerBytes = std::string(*header);
    }
    while (!in.AtEnd()) {
        auto className = in.ReadToken();
        auto name = className ? in.ReadToken() : std::nullopt;
        auto body = name ? in.ReadToken() : std::nullopt;
        if (!body)
            throw RStreamException("Object " + std::to_string(stream.objects.size() + 1) +
                                   " of the stream is not a whole class, name and body.");
        Object o;
        o.className = std::string(*className);
        o.name = std::string(*name);
        if (auto pairs = DecodePairs(*body, true); pairs && EncodePairs(*pairs) == *body) {
            o.pairs = std::move(*pairs);
        } else {
            o.rawBody = true;
            o.body = std::string(*body);
        }
        stream.objects.push_back(std::move(o));
    }
    return stream;
}

}  // namespace rcs
