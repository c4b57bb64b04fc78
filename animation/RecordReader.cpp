#include "animation/RecordReader.h"

#include "model/Exceptions.h"
#include "model/StreamReaders.h"

namespace quellmoor {

RecordReader::RecordReader(std::istream& in, const char* what) : in_(in), what_(what) {
    const std::int32_t length = LoadLongIntFromStream(in, consumed_);
    if (length < 0) throw RStreamException(std::string(what_) + " holds a record with a negative length.");
    remaining_ = length;
}

void RecordReader::CheckNotAtEnd() {
    if (AtEndOfStream(in_)) throw RStreamException(std::string(what_) + " reached unexpected end of stream.");
}

void RecordReader::Charge(std::int64_t bytes) {
    remaining_ -= bytes;
    AddToCounter(consumed_, bytes);
    if (remaining_ < 0) throw RStreamException(std::string(what_) + " holds a record longer than its length.");
}

std::string RecordReader::ReadText() {
    CheckNotAtEnd();
    int used = 0;
    std::string text = LoadStringFromStream(in_, used);
    if (used == 0) throw RStreamException(std::string(what_) + " reached unexpected end of stream.");
    Charge(used);
    return text;
}

std::int32_t RecordReader::ReadInteger() {
    CheckNotAtEnd();
    int used = 0;
    const std::int32_t value = LoadLongIntFromStream(in_, used);
    Charge(used);
    return value;
}

float RecordReader::ReadCoordinate() {
    CheckNotAtEnd();
    int used = 0;
    const float value = LoadCooFromStream(in_, used);
    Charge(used);
    return value;
}

std::int32_t RecordReader::ReadColor() {
    CheckNotAtEnd();
    int used = 0;
    const std::int32_t value = LoadColorFromStream(in_, used);
    Charge(used);
    return value;
}

}  // namespace quellmoor
