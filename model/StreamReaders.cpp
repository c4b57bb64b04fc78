#include "model/StreamReaders.h"

#include <algorithm>
#include <limits>

#include "model/Exceptions.h"
#include "model/Text.h"

namespace quellmoor {

namespace {

constexpr int kMaxLengthFieldChars = 15;
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
// Token contents are read in pieces of this size, so a lying length field costs
// at most one piece of memory beyond the bytes that really arrive.
constexpr std::size_t kReadChunk = 64 * 1024;

int ReadByte(std::istream& in) {
    const auto c = in.get();
    return in ? static_cast<unsigned char>(c) : -1;
}

}  // namespace

bool AtEndOfStream(std::istream& in) {
    return in.peek() == std::char_traits<char>::eof();
}

void AddToCounter(int& counter, std::int64_t bytes) {
    const std::int64_t sum = static_cast<std::int64_t>(counter) + bytes;
    if (sum > kInt32Max || sum < -kInt32Max)
        throw RStreamException("Component stream byte count exceeds the supported size.");
    counter = static_cast<int>(sum);
}

std::string LoadStringFromStream(std::istream& in, int& counter) {
    // A token cut before its '#' is a truncated stream, not an empty text: reading
    // on as if it were would let a cut file load as a shorter, different one.
    if (AtEndOfStream(in)) throw RStreamException("LoadStringFromStream started at end of stream.");
    std::string field;
    for (;;) {
        const int c = ReadByte(in);
        if (c < 0) throw RStreamException("LoadStringFromStream reached unexpected end of stream.");
        if (c == '#') break;
        if (field.size() == kMaxLengthFieldChars)
            throw RStreamException("LoadStringFromStream encountered a length field that is too long.");
        field.push_back(static_cast<char>(c));
    }
    std::int64_t length = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            throw RStreamException("LoadStringFromStream encountered an invalid length field.");
        length = length * 10 + (c - '0');  // at most 15 digits: fits in 64 bits
    }
    if (length > kInt32Max)
        throw RStreamException("LoadStringFromStream encountered an invalid length field.");

    std::string text;
    while (static_cast<std::int64_t>(text.size()) < length) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(length - static_cast<std::int64_t>(text.size()), kReadChunk));
        const std::size_t have = text.size();
        text.resize(have + want);
        in.read(text.data() + have, static_cast<std::streamsize>(want));
        if (static_cast<std::size_t>(in.gcount()) != want)
            throw RStreamException("LoadStringFromStream reached unexpected end of stream.");
    }
    counter = 0;
    AddToCounter(counter, static_cast<std::int64_t>(field.size()) + 1 + length);
    return text;
}

std::int32_t LoadLongIntFromStream(std::istream& in, int& counter) {
    counter = 0;
    if (AtEndOfStream(in))
        throw RStreamException("LoadLongIntFromStream started at end of stream.");
    std::int64_t value = 0;
    bool negative = false;
    for (;;) {
        const int c = ReadByte(in);
        if (c < 0)
            throw RStreamException("LoadLongIntFromStream reached unexpected end of stream.");
        ++counter;
        if (c == '#') break;
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            if (value > kInt32Max)
                throw RStreamException("LoadLongIntFromStream read a number that is too large.");
        } else if (c == '-') {
            negative = true;
        } else {
            throw RStreamException("Invalid char encountered in function LoadLongIntFromStream.");
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

float LoadCooFromStream(std::istream& in, int& counter) {
    if (AtEndOfStream(in))
        throw RStreamException("LoadCooFromStream started at end of stream.");
    const std::int32_t length = LoadLongIntFromStream(in, counter);
    if (AtEndOfStream(in))
        throw RStreamException("LoadCooFromStream reached unexpected end of stream.");
    // A coordinate has at least one character; zero or less would read into the next token.
    if (length <= 0)
        throw RStreamException("LoadCooFromStream encountered an invalid length.");

    float value = 0.0f;
    float factor = -1.0f;
    bool negative = false;
    for (std::int32_t read = 0; read < length; ++read) {
        const int c = ReadByte(in);
        if (c < 0)
            throw RStreamException("LoadCooFromStream reached unexpected end of stream.");
        AddToCounter(counter, 1);
        if (c >= '0' && c <= '9') {
            const float digit = static_cast<float>(c - '0');
            if (factor == -1.0f) {
                value = value * 10.0f + digit;
            } else {
                value = value + digit * factor;
                factor = factor * 0.1f;
            }
        } else if (c == '.' && factor <= 0.0f) {
            factor = 0.1f;
        } else if (c == '-') {
            negative = true;
        } else {
            throw RStreamException("Invalid char encountered in function LoadCooFromStream.");
        }
    }
    return negative ? -value : value;
}

std::int32_t LoadColorFromStream(std::istream& in, int& counter) {
    std::string text = LoadStringFromStream(in, counter);
    const std::string prefix = SplitOff(text, ":");
    if (!EqualsIgnoreCase(prefix, "RGB24")) return -1;
    return TextToLong(text, 16);
}

void LoadStringListFromStream(std::vector<std::string>& list, std::istream& in, int& counter) {
    std::string text = LoadStringFromStream(in, counter);
    while (!text.empty()) list.push_back(SplitOff(text, "\n"));
}

void LoadWrappedStringList(std::vector<std::string>& list, std::istream& in, int& counter) {
    int outer = 0;
    LoadLongIntFromStream(in, outer);
    int inner = 0;
    LoadStringListFromStream(list, in, inner);
    counter = outer;
    AddToCounter(counter, inner);
}

void SkipBytes(std::istream& in, std::int64_t bytes) {
    if (bytes < 0) throw RStreamException("Component stream holds a negative length.");
    while (bytes > 0) {
        const auto step = std::min<std::int64_t>(bytes, std::numeric_limits<std::streamsize>::max());
        in.ignore(static_cast<std::streamsize>(step));
        if (in.gcount() != step)
            throw RStreamException("Component stream ends inside a skipped body.");
        bytes -= step;
    }
}

void SaveStringToStream(std::string_view text, std::ostream& out) {
    out << text.size() << '#';
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string GetValue(const std::vector<std::string>& lines, std::string_view key,
                     std::string_view fallback) {
    for (const std::string& line : lines) {
        const auto eq = line.find('=');
        const std::string_view lineKey = std::string_view(line).substr(0, eq);
        if (EqualsIgnoreCase(lineKey, key))
            return eq == std::string::npos ? std::string() : line.substr(eq + 1);
    }
    return std::string(fallback);
}

}  // namespace quellmoor
