#include <stdio.h>

#include <algorithm>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec_test_support.h"
#include "decoder/decoder.h"
#include "dictionary_check.h"

namespace {

using codec_testing::Bytes;
using codec_testing::CodeWriter;
using codec_testing::DecodeBytes;
using codec_testing::DecodeOutcome;
using codec_testing::Hex;
using testing_support::ScratchFolder;
using testing_support::TextBytes;

struct ValidCase {
    const char* name;
    const char* compressed;
    const char* output;
};

const ValidCase VALID_CASES[] = {
    {"empty_file_reads_nothing_after_length", "00 00 00 00", ""},
    {"empty_file_ignores_following_bytes", "00 00 00 00 FF", ""},
    {"one_literal_unread_bits_ignored", "01 00 00 00 20 80", "A"},
    {"one_literal_trailing_bytes_ignored", "01 00 00 00 20 80 FF FF", "A"},
    {"literals_then_index_codes_width_grows", "06 00 00 00 30 98 AA", "ababba"},
    {"last_string_written_whole_past_size", "05 00 00 00 30 98 AA", "ababba"},
    // After a, b, c two string entries exist: equal to the threshold 2, so the
    // fourth code (bc, index 1) is read at width 2.
    {"width_grows_when_entries_reach_threshold", "05 00 00 00 30 98 8C 74", "abcbc"},
};

class DecodeValidTest : public ::testing::TestWithParam<ValidCase> {};

TEST_P(DecodeValidTest, WritesTheBytesOfTheCodes)
{
    ScratchFolder scratch("decode");
    const DecodeOutcome outcome = DecodeBytes(scratch, Hex(GetParam().compressed));
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.failure.kind, DECODE_NO_FAILURE);
    ASSERT_TRUE(outcome.destinationExists);
    EXPECT_EQ(outcome.output, TextBytes(GetParam().output));
    EXPECT_EQ(codec_testing::CheckDictionary(), "");
}

INSTANTIATE_TEST_SUITE_P(Vectors, DecodeValidTest, ::testing::ValuesIn(VALID_CASES),
                         codec_testing::CaseName<ValidCase>);

TEST(DecodeStreamState, WidthAndDictionaryAfterTheAbabbaVector)
{
    ScratchFolder scratch("decode");
    ASSERT_EQ(DecodeBytes(scratch, Hex("06 00 00 00 30 98 AA")).result, 1);
    // Four codes: a, b, ab, ba; the fourth was read at width 2.
    EXPECT_EQ(decoderState.step.codeWidth, 2);
    EXPECT_EQ(decoderState.step.widthThreshold, 4);
    EXPECT_EQ(decoderState.step.prevCode, 257);
    EXPECT_EQ(decoderState.step.prevLen, 2);
    EXPECT_EQ(dictionary.entryCount, 261);
    EXPECT_EQ(dictionary.recencyHead, 259);
    EXPECT_EQ(dictionary.recencyTail, 257);
}

// Failures with their full record: kind, code, entry count, output offset.
struct FailureCase {
    const char* name;
    Bytes compressed;
    DecodeFailureKind kind;
    int32_t code;
    int32_t entryCount;
    uint64_t outputOffset;
};

std::vector<FailureCase> FailureCases()
{
    return {
        {"first_code_is_an_index_code", CodeWriter().Index(0, 1).Literal('a').Finish(2), DECODE_CODE_OUTSIDE_FORMAT,
         256, 256, 0},
        {"index_names_an_entry_not_yet_made", CodeWriter().Literal('a').Literal('b').Index(1, 1).Finish(4),
         DECODE_CODE_OUTSIDE_FORMAT, 257, 257, 2},
        {"index_at_wider_width_beyond_entry_count",
         CodeWriter().Literal('a').Literal('b').Index(0, 1).Index(3, 2).Finish(9), DECODE_CODE_OUTSIDE_FORMAT, 259,
         259, 4},
        {"stream_ends_before_size", Hex("07 00 00 00 30 98 AA"), DECODE_INPUT_ENDED, 255, 261, 6},
        {"length_without_codes", Hex("FF FF FF FF"), DECODE_INPUT_ENDED, 257, 256, 0},
    };
}

class DecodeFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DecodeFailureTest, StopsAtTheBadCodeAndLeavesNoDestination)
{
    const FailureCase& c = GetParam();
    ScratchFolder scratch("decode");
    const DecodeOutcome outcome = DecodeBytes(scratch, c.compressed);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_FALSE(outcome.destinationExists);
    EXPECT_EQ(outcome.failure.kind, c.kind);
    EXPECT_EQ(outcome.failure.code, c.code);
    EXPECT_EQ(outcome.failure.entryCount, c.entryCount);
    EXPECT_EQ(outcome.failure.outputOffset, c.outputOffset);
    EXPECT_EQ(codec_testing::CheckDictionary(), "");
}

INSTANTIATE_TEST_SUITE_P(Vectors, DecodeFailureTest, ::testing::ValuesIn(FailureCases()),
                         codec_testing::CaseName<FailureCase>);

TEST(DecompressFileSource, ShorterThanTheLengthFieldMakesNoDestination)
{
    for (const char* hex : {"", "01", "01 00", "01 00 00"}) {
        SCOPED_TRACE(std::string("source \"") + hex + "\"");
        ScratchFolder scratch("decode");
        const DecodeOutcome outcome = DecodeBytes(scratch, Hex(hex));
        EXPECT_EQ(outcome.result, 0);
        EXPECT_FALSE(outcome.destinationExists);
        EXPECT_EQ(outcome.failure.kind, DECODE_SOURCE_TOO_SHORT);
        EXPECT_EQ(outcome.failure.sourceBytes, static_cast<int32_t>(Hex(hex).size()));
    }
}

TEST(DecompressFileSource, MissingSourceMakesNoDestination)
{
    ScratchFolder scratch("decode");
    const std::string destination = scratch / "out.bin";
    EXPECT_EQ(DecompressFile((scratch / "absent.qz").c_str(), destination.c_str()), 0);
    EXPECT_EQ(lastDecodeFailure.kind, DECODE_SOURCE_NOT_OPENED);
    EXPECT_NE(lastDecodeFailure.systemError, 0);
    EXPECT_FALSE(testing_support::Exists(destination));
}

TEST(DecompressFileDestination, UncreatableDestinationClosesTheSource)
{
    ScratchFolder scratch("decode");
    const std::string source = scratch / "in.qz";
    testing_support::WriteBytes(source, Hex("01 00 00 00 20 80"));
    EXPECT_EQ(DecompressFile(source.c_str(), (scratch / "no-such-folder/out.bin").c_str()), 0);
    EXPECT_EQ(lastDecodeFailure.kind, DECODE_DESTINATION_NOT_CREATED);
    EXPECT_EQ(remove(source.c_str()), 0) << "source left open";
}

TEST(DecompressFileDestination, DamagedStreamRemovesAnExistingDestination)
{
    ScratchFolder scratch("decode");
    const std::string source = scratch / "in.qz";
    const std::string destination = scratch / "out.bin";
    testing_support::WriteBytes(destination, TextBytes("an older file"));
    testing_support::WriteBytes(source, CodeWriter().Literal('a').Index(0, 1).Finish(3));
    EXPECT_EQ(DecompressFile(source.c_str(), destination.c_str()), 0);
    EXPECT_FALSE(testing_support::Exists(destination));
}

TEST(DecompressSequence, AFileDecodesTheSameAfterAnother)
{
    ScratchFolder scratch("decode");
    const Bytes big = codec_testing::CompressBytes(scratch, codec_testing::RandomBytes(60000, 99u));
    const Bytes small = Hex("06 00 00 00 30 98 AA");
    const DecodeOutcome alone = DecodeBytes(scratch, small);
    const DecodeOutcome first = DecodeBytes(scratch, big);
    const DecodeOutcome after = DecodeBytes(scratch, small);
    const DecodeOutcome bigAgain = DecodeBytes(scratch, big);
    ASSERT_EQ(alone.result, 1);
    ASSERT_EQ(first.result, 1);
    EXPECT_EQ(after.result, 1);
    EXPECT_EQ(after.output, alone.output);
    EXPECT_EQ(bigAgain.output, first.output);
    EXPECT_EQ(first.output, codec_testing::RandomBytes(60000, 99u));
}

TEST(DecompressStream, BytesOfTheCodesBeforeACutAreAllWritten)
{
    // The decoder gathers its output in blocks; a stop must still leave
    // exactly the bytes of every code before it, as one putc each would.
    struct CutCase {
        const char* name;
        size_t inputSize;
        size_t keptFraction;  // of the compressed bytes, in percent
    };
    const CutCase cases[] = {
        {"inside_the_first_block", 40000, 50},
        {"after_several_blocks", 400000, 60},
        {"just_before_the_end", 400000, 99},
    };
    for (const CutCase& c : cases) {
        ScratchFolder scratch("decode");
        const Bytes input = codec_testing::RandomBytes(c.inputSize, 4242u);
        Bytes compressed = codec_testing::CompressBytes(scratch, input);
        compressed.resize(compressed.size() * c.keptFraction / 100);
        const std::string source = scratch / "cut.qz";
        const std::string destination = scratch / "cut.bin";
        testing_support::WriteBytes(source, compressed);
        FILE* in = fopen(source.c_str(), "rb");
        FILE* out = fopen(destination.c_str(), "wb");
        ASSERT_NE(in, nullptr);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(DecompressStream(in, out), 0) << c.name;
        fclose(in);
        fclose(out);
        EXPECT_EQ(lastDecodeFailure.kind, DECODE_INPUT_ENDED) << c.name;
        const Bytes written = testing_support::ReadBytes(destination);
        ASSERT_EQ(written.size(), lastDecodeFailure.outputOffset) << c.name;
        EXPECT_GT(written.size(), c.inputSize * c.keptFraction / 200) << c.name;
        EXPECT_TRUE(std::equal(written.begin(), written.end(), input.begin())) << c.name;
    }
}

TEST(DecompressStream, StreamsBackToBackDecodeOneAfterTheOther)
{
    // A stream's codes end in its last byte, so the source is left right at
    // the next stream's length field.
    ScratchFolder scratch("decode");
    const Bytes first = Hex("06 00 00 00 30 98 AA");
    const Bytes second = codec_testing::CompressBytes(scratch, TextBytes("second stream, second stream"));
    Bytes joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    const std::string source = scratch / "joined.qz";
    testing_support::WriteBytes(source, joined);
    FILE* input = fopen(source.c_str(), "rb");
    FILE* output = fopen((scratch / "out.bin").c_str(), "wb");
    ASSERT_NE(input, nullptr);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(DecompressStream(input, output), 1);
    EXPECT_EQ(ftell(input), static_cast<long>(first.size()));
    EXPECT_EQ(DecompressStream(input, output), 1);
    EXPECT_EQ(ftell(input), static_cast<long>(joined.size()));
    EXPECT_EQ(DecompressStream(input, output), 0);
    EXPECT_EQ(lastDecodeFailure.kind, DECODE_SOURCE_TOO_SHORT);
    fclose(input);
    fclose(output);
    EXPECT_EQ(testing_support::ReadBytes(scratch / "out.bin"), TextBytes("ababbasecond stream, second stream"));
}

struct TextCase {
    const char* name;
    DecodeFailure failure;
    size_t bufferSize;
    const char* text;
    int complete;
};

const TextCase TEXT_CASES[] = {
    {"code_outside_format", {DECODE_CODE_OUTSIDE_FORMAT, 4351, 300, 1234, 5000, 0, 0}, 128,
     "damaged: code 4351 names no entry in use (entry count 300) at output offset 1234", 1},
    {"input_ended", {DECODE_INPUT_ENDED, 4351, 4096, 77, 5000, 0, 0}, 128,
     "truncated: the code stream ends at output offset 77 of 5000 (entry count 4096)", 1},
    {"too_short", {DECODE_SOURCE_TOO_SHORT, 0, 0, 0, 0, 3, 0}, 128,
     "too short for a compressed file (3 bytes, the length field needs 4)", 1},
    {"cut_to_the_buffer", {DECODE_CODE_OUTSIDE_FORMAT, 4351, 300, 1234, 5000, 0, 0}, 13, "damaged: cod", 0},
};

class FailureTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(FailureTextTest, NamesWhatIsWrongWithinTheBuffer)
{
    const TextCase& c = GetParam();
    std::vector<char> buffer(c.bufferSize + 8, '#');
    EXPECT_EQ(FormatDecodeFailure(&c.failure, buffer.data(), c.bufferSize), c.complete);
    EXPECT_STREQ(buffer.data(), c.text);
    for (size_t i = c.bufferSize; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '#') << "written past the buffer";
}

INSTANTIATE_TEST_SUITE_P(Cases, FailureTextTest, ::testing::ValuesIn(TEXT_CASES),
                         codec_testing::CaseName<TextCase>);

}  // namespace
