// Reading a length-prefixed record of a class-specific list (frames,
// sequences, steps, keyframes) without trusting its length.
//
// Every read is charged against the record; reading past the record's end or
// the stream's end is an RStreamException, so loops over records always make
// progress and stop.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

namespace quellmoor {

class RecordReader {
public:
    // Reads the record's length header; `what` names the list in messages.
    RecordReader(std::istream& in, const char* what);

    bool HasMore() const { return remaining_ > 0; }
    std::int64_t Remaining() const { return remaining_; }
    // Bytes taken from the stream, header included.
    int Consumed() const { return consumed_; }

    std::string ReadText();
    std::int32_t ReadInteger();
    float ReadCoordinate();
    std::int32_t ReadColor();
    // Accounts for bytes some other reader took from the stream.
    void Charge(std::int64_t bytes);

private:
    void CheckNotAtEnd();

    std::istream& in_;
    const char* what_;
    std::int64_t remaining_ = 0;
    int consumed_ = 0;
};

}  // namespace quellmoor
