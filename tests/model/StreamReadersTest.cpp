#include "model/StreamReaders.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/Exceptions.h"

namespace quellmoor {
namespace {

using Reader = void (*)(std::istream&, int&);

struct FailureCase {
    const char* name;
    const char* bytes;
    Reader read;
    const char* message;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

void ReadLong(std::istream& in, int& c) { LoadLongIntFromStream(in, c); }
void ReadCoo(std::istream& in, int& c) { LoadCooFromStream(in, c); }
void ReadText(std::istream& in, int& c) { LoadStringFromStream(in, c); }

class ReaderFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ReaderFailure, ThrowsStreamExceptionWithExactMessage) {
    const FailureCase& c = GetParam();
    std::istringstream in{std::string(c.bytes)};
    int counter = 0;
    try {
        c.read(in, counter);
        FAIL() << "no exception for " << c.name;
    } catch (const RStreamException& e) {
        EXPECT_EQ(e.GetMessage(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FailureTable, ReaderFailure,
    ::testing::Values(
        FailureCase{"LongAtEnd", "", ReadLong, "LoadLongIntFromStream started at end of stream."},
        FailureCase{"LongBadChar", "1x#", ReadLong, "Invalid char encountered in function LoadLongIntFromStream."},
        FailureCase{"LongEndsInside", "12", ReadLong, "LoadLongIntFromStream reached unexpected end of stream."},
        FailureCase{"LongElevenDigits", "99999999999#", ReadLong, "LoadLongIntFromStream read a number that is too large."},
        FailureCase{"CooAtEnd", "", ReadCoo, "LoadCooFromStream started at end of stream."},
        FailureCase{"CooTwoPoints", "4#1.2.", ReadCoo, "Invalid char encountered in function LoadCooFromStream."},
        FailureCase{"CooLetter", "3#1a2", ReadCoo, "Invalid char encountered in function LoadCooFromStream."},
        FailureCase{"CooEndsAfterHeader", "3#", ReadCoo, "LoadCooFromStream reached unexpected end of stream."},
        FailureCase{"CooEndsInside", "3#12", ReadCoo, "LoadCooFromStream reached unexpected end of stream."},
        FailureCase{"CooZeroLength", "0#5", ReadCoo, "LoadCooFromStream encountered an invalid length."},
        FailureCase{"CooNegativeLength", "-2#55", ReadCoo, "LoadCooFromStream encountered an invalid length."},
        FailureCase{"TextFieldTooLong", "1234567890123456#", ReadText, "LoadStringFromStream encountered a length field that is too long."},
        FailureCase{"TextNegative", "-3#abc", ReadText, "LoadStringFromStream encountered an invalid length field."},
        FailureCase{"TextNonNumeric", "1x#abc", ReadText, "LoadStringFromStream encountered an invalid length field."},
        FailureCase{"TextLongerThanStream", "999999999#abc", ReadText, "LoadStringFromStream reached unexpected end of stream."},
        FailureCase{"TextAtEnd", "", ReadText, "LoadStringFromStream started at end of stream."},
        FailureCase{"TextEndsInsideField", "12", ReadText, "LoadStringFromStream reached unexpected end of stream."},
        FailureCase{"TextEndsBeforeContent", "3#", ReadText, "LoadStringFromStream reached unexpected end of stream."},
        FailureCase{"TextHugeLength", "999999999999999#abc", ReadText, "LoadStringFromStream encountered an invalid length field."}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(LoadStringFromStream, ReadsBinarySafeContentAndCountsBytes) {
    std::istringstream in(std::string("5#a#b#cREST", 11));
    int counter = -7;
    EXPECT_EQ(LoadStringFromStream(in, counter), "a#b#c");
    EXPECT_EQ(counter, 7);
    EXPECT_EQ(in.get(), 'R');

    std::istringstream withNul(std::string("3#\0\n#", 5));
    EXPECT_EQ(LoadStringFromStream(withNul, counter), std::string("\0\n#", 3));
}

TEST(LoadStringFromStream, EmptyTokenGivesEmptyText) {
    std::istringstream empty("0#");
    int counter = 0;
    EXPECT_EQ(LoadStringFromStream(empty, counter), "");
    EXPECT_EQ(counter, 2);
}

TEST(LoadStringFromStream, CutLengthFieldLeavesTheCounterAsItWas) {
    std::istringstream cut("12");
    int counter = 5;
    EXPECT_THROW(LoadStringFromStream(cut, counter), RStreamException);
    EXPECT_EQ(counter, 5);
}

TEST(LoadLongIntFromStream, AcceptsMinusAnywhereAndEmptyField) {
    struct Case { const char* bytes; int value; int counter; };
    for (const Case& c : {Case{"#", 0, 1}, Case{"1-2#", -12, 4}, Case{"400#", 400, 4},
                          Case{"2147483647#", 2147483647, 11}}) {
        SCOPED_TRACE(c.bytes);
        std::istringstream in(c.bytes);
        int counter = 99;
        EXPECT_EQ(LoadLongIntFromStream(in, counter), c.value);
        EXPECT_EQ(counter, c.counter);
    }
}

TEST(LoadCooFromStream, ParsesCoordinates) {
    struct Case { const char* bytes; float value; int counter; };
    for (const Case& c : {Case{"3#1.5", 1.5f, 5}, Case{"2#-3", -3.0f, 4}, Case{"1#0", 0.0f, 3},
                          Case{"4#12.5", 12.5f, 6}}) {
        SCOPED_TRACE(c.bytes);
        std::istringstream in(c.bytes);
        int counter = 0;
        EXPECT_FLOAT_EQ(LoadCooFromStream(in, counter), c.value);
        EXPECT_EQ(counter, c.counter);
    }
}

TEST(LoadColorFromStream, ReadsRgb24Values) {
    struct Case { const char* content; int value; };
    for (const Case& c : {Case{"RGB24:FFFFFF", 16777215}, Case{"rgb24:00ff00", 65280}, Case{"RGB:FFFFFF", -1},
                          Case{"RGB24", 0}, Case{"RGB24:FFFFFFFF", 2147483647}, Case{"RGB24:-1", -1}}) {
        SCOPED_TRACE(c.content);
        std::istringstream in(std::to_string(std::string(c.content).size()) + "#" + c.content);
        int counter = 0;
        EXPECT_EQ(LoadColorFromStream(in, counter), c.value);
    }
}

TEST(LoadStringListFromStream, SplitsLinesAndAppends) {
    std::vector<std::string> list{"old"};
    std::istringstream in("9#a=1\n\nb=2\n");
    int counter = 0;
    LoadStringListFromStream(list, in, counter);
    EXPECT_EQ(list, (std::vector<std::string>{"old", "a=1", "", "b=2"}));
    EXPECT_EQ(counter, 11);
}

TEST(SaveStringToStream, RoundTripsThroughReader) {
    std::ostringstream out;
    SaveStringToStream(std::string("x#\0y", 4), out);
    SaveStringToStream("", out);
    EXPECT_EQ(out.str(), std::string("4#x#\0y0#", 8));
    std::istringstream in(out.str());
    int counter = 0;
    EXPECT_EQ(LoadStringFromStream(in, counter), std::string("x#\0y", 4));
    EXPECT_EQ(LoadStringFromStream(in, counter), "");
}

TEST(GetValue, FindsFirstKeyIgnoringCase) {
    const std::vector<std::string> lines{"Type=RPlanetScene", "frequency=5", "Flag", "type=Other", "Empty="};
    EXPECT_EQ(GetValue(lines, "TYPE", "x"), "RPlanetScene");
    EXPECT_EQ(GetValue(lines, "Frequency", "x"), "5");
    EXPECT_EQ(GetValue(lines, "flag", "x"), "");
    EXPECT_EQ(GetValue(lines, "Empty", "x"), "");
    EXPECT_EQ(GetValue(lines, "Missing", "fallback"), "fallback");
}

TEST(AtEndOfStream, IsTrueAfterFailedSeek) {
    std::istringstream in("abc");
    in.seekg(10, std::ios::cur);
    EXPECT_TRUE(AtEndOfStream(in));
}

}  // namespace
}  // namespace quellmoor
