// The structured form of a component stream that rcs compiles and decompiles.
//
// A stream is a header and a list of objects; an object is a class, a name and
// a body of name/value pairs. Every value is one token in the stream; the
// structured kinds (lines, nested pairs, frame lists, sequence lists, keyframe
// tables) say how that token's content is laid out. Text holds raw bytes, so
// anything a kind cannot express exactly is kept as text and still round-trips.
//
//   Stream s = ParseSource(text, "scene.rcsrc", {});   // SourceParser.h
//   std::string bytes = EncodeStream(s);                // StreamCodec.h
//   Stream back = DecodeStream(bytes);                  // same bytes again
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rcs {

struct Value;

struct Pair {
    std::string name;
    std::vector<Value> value;  // exactly one element; a vector keeps Value incomplete-safe
    int line = 0;              // source line, 0 when decoded from bytes

    const Value& Get() const { return value.front(); }
    Value& Get() { return value.front(); }
};

enum class Kind { Text, Bitmap, Lines, Pairs, Frames, Sequences, Tupels };

struct Step {
    std::string frame;
    std::string time;  // "MS:110"
    std::int32_t deltaX = 0, deltaY = 0, deltaZ = 0;
};

struct Sequence {
    std::string name;
    std::vector<Step> steps;
};

struct Keyframe {
    std::string step;     // decimal text
    std::string actor;
    std::string assignments;  // "Key=Value;Key=Value;"
};

struct Value {
    Kind kind = Kind::Text;
    std::string bytes;                      // Text: content; Bitmap: the file's bytes
    std::string path;                       // Bitmap: where it came from or goes to
    bool quoted = false;                    // Text written in quotes: taken as is, not checked
    std::vector<std::string> lines;         // Lines
    std::vector<Pair> pairs;                // Pairs
    std::vector<std::vector<Pair>> frames;  // Frames: each frame's pairs
    std::vector<Sequence> sequences;        // Sequences
    std::string actors;                     // Tupels: the actor list text
    std::vector<Keyframe> keyframes;        // Tupels
};

struct Object {
    std::string className;
    std::string name;
    std::vector<Pair> pairs;
    bool rawBody = false;  // body kept as bytes because it is not a list of pairs
    std::string body;
    int line = 0;
};

struct Stream {
    std::vector<std::string> header;  // Key=Value lines, each ended by LF in the stream
    bool rawHeader = false;           // header kept as bytes (no final LF, stray bytes)
    std::string headerBytes;
    std::vector<Object> objects;
};

Value TextValue(std::string bytes);

}  // namespace rcs
