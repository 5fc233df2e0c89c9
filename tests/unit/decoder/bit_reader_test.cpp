#include <stdio.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec_test_support.h"
#include "decoder/bit_reader.h"

namespace {

using codec_testing::Bytes;
using codec_testing::Hex;
using testing_support::ScratchFolder;

// One request to the reader and what it must leave behind. width 0 means
// ReadBit; bytesFetched is the stream position afterwards.
struct Request {
    int width;
    uint32_t value;
    int32_t bitsLeft;
    long bytesFetched;
};

struct ReaderCase {
    const char* name;
    const char* input;
    std::vector<Request> requests;
};

const ReaderCase READER_CASES[] = {
    {"msb_first_sequence_then_end_reads_as_ones",
     "B4 5A",
     {{0, 1, 7, 1}, {3, 3, 4, 1}, {8, 0x45, 4, 2}, {4, 10, 0, 2}, {0, 1, 7, 2}, {5, 31, 2, 2}}},
    {"eight_bits_from_start_fetch_one_whole_byte", "B4 5A", {{8, 0xB4, 0, 1}}},
    {"twelve_bits_with_three_left_take_3_8_1", "B4 5A C3", {{5, 0x16, 3, 1}, {12, 0x8B5, 7, 3}}},
    {"width_equal_to_bits_left_fetches_nothing", "B4 5A", {{3, 5, 5, 1}, {5, 0x14, 0, 1}, {0, 0, 7, 2}}},
    {"empty_input_gives_all_ones", "", {{0, 1, 7, 0}, {8, 0xFF, 7, 0}, {12, 0xFFF, 3, 0}, {1, 1, 2, 0}}},
    {"end_inside_a_wide_request", "A5", {{4, 0xA, 4, 1}, {12, 0x5FF, 0, 1}, {0, 1, 7, 1}}},
};

class BitReaderTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(BitReaderTest, DeliversBitsInOrder)
{
    const ReaderCase& c = GetParam();
    ScratchFolder scratch("bitreader");
    const std::string path = scratch / "bits.bin";
    testing_support::WriteBytes(path, Hex(c.input));
    FILE* stream = fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    BitReader reader;
    EXPECT_EQ(reader.bitsLeft, 0);
    EXPECT_EQ(reader.currentByte, 0u);
    for (size_t i = 0; i < c.requests.size(); ++i) {
        const Request& r = c.requests[i];
        SCOPED_TRACE("request " + std::to_string(i));
        const uint32_t got = r.width == 0 ? static_cast<uint32_t>(reader.ReadBit(stream))
                                          : reader.ReadBits(stream, r.width);
        EXPECT_EQ(got, r.value);
        EXPECT_EQ(reader.bitsLeft, r.bitsLeft);
        EXPECT_EQ(ftell(stream), r.bytesFetched);
    }
    fclose(stream);
}

INSTANTIATE_TEST_SUITE_P(Cases, BitReaderTest, ::testing::ValuesIn(READER_CASES),
                         codec_testing::CaseName<ReaderCase>);

TEST(BitReaderReset, DropsTheUnreadBitsOfTheLastByte)
{
    ScratchFolder scratch("bitreader");
    testing_support::WriteBytes(scratch / "first.bin", Hex("B4"));
    testing_support::WriteBytes(scratch / "second.bin", Hex("5A"));
    FILE* first = fopen((scratch / "first.bin").c_str(), "rb");
    FILE* second = fopen((scratch / "second.bin").c_str(), "rb");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    bitReader.Reset();  // the shared reader may hold bits of an earlier test
    EXPECT_EQ(bitReader.ReadBits(first, 3), 5u);
    bitReader.Reset();
    EXPECT_EQ(bitReader.bitsLeft, 0);
    EXPECT_EQ(bitReader.currentByte, 0u);
    // Without the reset these bits would come from the rest of B4.
    EXPECT_EQ(bitReader.ReadBits(second, 8), 0x5Au);
    fclose(first);
    fclose(second);
}

TEST(BitReaderEnd, StaysAllOnesOnEveryLaterCall)
{
    ScratchFolder scratch("bitreader");
    testing_support::WriteBytes(scratch / "one.bin", Hex("00"));
    FILE* stream = fopen((scratch / "one.bin").c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    BitReader reader;
    EXPECT_EQ(reader.ReadBits(stream, 8), 0u);
    for (int width = 1; width <= 12; ++width) {
        EXPECT_EQ(reader.ReadBits(stream, width), (1u << width) - 1u) << "width " << width;
        EXPECT_EQ(reader.ReadBit(stream), 1);
        EXPECT_EQ(reader.currentByte, 0xFFFFFFFFu);
    }
    fclose(stream);
}

}  // namespace
