#include <stdio.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec_test_support.h"
#include "decoder/decoder.h"
#include "dictionary_check.h"
#include "encoder/encoder.h"

namespace {

using codec_testing::Bytes;
using codec_testing::CompressBytes;
using codec_testing::DecodeBytes;
using codec_testing::RandomBytes;
using codec_testing::TracedCode;
using testing_support::ScratchFolder;

Bytes Run(size_t size, uint8_t value)
{
    return Bytes(size, value);
}

// Words drawn with a fixed seed: text with repeats at many distances.
Bytes Text(size_t size, uint32_t seed)
{
    static const char* const WORDS[] = {"the ",    "launcher ", "unpacks ",  "a ",      "pack ",   "into ",
                                        "folder ", "and ",      "starts ",   "its ",    "installer. ",
                                        "Setup ",  "waits ",    "until ",    "done,\n", "then ",   "cleans ",
                                        "up. ",    "Each ",     "file ",     "is ",     "compressed "};
    std::mt19937 generator(seed);
    Bytes text;
    while (text.size() < size) {
        const char* word = WORDS[generator() % (sizeof WORDS / sizeof WORDS[0])];
        text.insert(text.end(), word, word + std::char_traits<char>::length(word));
    }
    text.resize(size);
    return text;
}

// Random blocks repeated with small changes: matches of distinct bytes, so
// one code adds many entries.
Bytes RepeatedBlocks(size_t size, uint32_t seed)
{
    std::mt19937 generator(seed);
    Bytes block = RandomBytes(300, seed);
    Bytes out;
    while (out.size() < size) {
        block[generator() % block.size()] = static_cast<uint8_t>(generator());
        out.insert(out.end(), block.begin(), block.end());
        if (generator() % 8 == 0) block = RandomBytes(300, static_cast<uint32_t>(generator()));
    }
    out.resize(size);
    return out;
}

Bytes EveryByteValue()
{
    Bytes bytes;
    for (int stride = 1; stride < 256; stride += 2) {
        for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<uint8_t>((i * stride) & 0xFF));
    }
    return bytes;
}

Bytes OwnProgram()
{
    return testing_support::ReadBytes(testing_support::SelfPath());
}

// What a round trip must have reached besides giving the input back.
struct Phases {
    int maxLengthAtLeast;   // longest string of one code
    bool fillsDictionary;   // entryCount reached 4096
    int reusesAtLeast;      // codes whose step reused an entry
};

struct RoundTripCase {
    const char* name;
    std::function<Bytes()> make;
    Phases phases;
    bool checkGreedy;  // compare every code with the longest nameable match
};

std::vector<RoundTripCase> RoundTripCases()
{
    return {
        {"empty", [] { return Bytes(); }, {0, false, 0}, true},
        {"one_byte", [] { return Bytes{0x41}; }, {1, false, 0}, true},
        {"run_of_one_byte_reaches_100", [] { return Run(40000, 'z'); }, {100, false, 0}, true},
        {"run_of_zero_bytes_long", [] { return Run(1 << 20, 0); }, {100, false, 0}, false},
        {"every_byte_value_as_literals_fills", EveryByteValue, {1, true, 1000}, true},
        {"text", [] { return Text(300000, 11u); }, {10, true, 10000}, true},
        {"random_bytes", [] { return RandomBytes(400000, 12345u); }, {2, true, 100000}, true},
        {"repeated_blocks", [] { return RepeatedBlocks(600000, 777u); }, {10, true, 100000}, true},
        {"own_program", OwnProgram, {50, true, 100000}, false},
    };
}

void PrintTo(const RoundTripCase& c, std::ostream* out)
{
    *out << c.name;
}

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, DecoderGivesBackTheInput)
{
    const RoundTripCase& c = GetParam();
    ScratchFolder scratch("roundtrip");
    const Bytes input = c.make();
    // Both parses write what the decoder reads; greedy is also checked code
    // by code against the longest nameable match.
    for (const ParseMode mode : {PARSE_GREEDY, PARSE_LOOKAHEAD}) {
        const bool checkGreedy = c.checkGreedy && mode == PARSE_GREEDY;
        printf("round trip %s, %s parse (seeds fixed in the case table)\n", c.name,
               mode == PARSE_GREEDY ? "greedy" : "look-ahead");
        SCOPED_TRACE(mode == PARSE_GREEDY ? "greedy parse" : "look-ahead parse");
        const Bytes compressed = CompressBytes(scratch, input, mode);
        ASSERT_GE(compressed.size(), 4u);
        const uint32_t field = static_cast<uint32_t>(compressed[0]) | (static_cast<uint32_t>(compressed[1]) << 8) |
                               (static_cast<uint32_t>(compressed[2]) << 16) | (static_cast<uint32_t>(compressed[3]) << 24);
        EXPECT_EQ(field, input.size());

        const codec_testing::DecodeOutcome decoded = DecodeBytes(scratch, compressed);
        ASSERT_EQ(decoded.result, 1) << "failure kind " << decoded.failure.kind << " at " << decoded.failure.outputOffset;
        ASSERT_EQ(decoded.output.size(), input.size());
        EXPECT_TRUE(decoded.output == input) << "decoded bytes differ";
        EXPECT_EQ(codec_testing::CheckDictionary(), "");

        const std::vector<TracedCode> trace = codec_testing::TraceDecode(compressed, scratch, checkGreedy ? &input : nullptr);
        int maxLength = 0;
        int reuses = 0;
        bool full = false;
        uint64_t produced = 0;
        for (const TracedCode& t : trace) {
            maxLength = std::max(maxLength, t.length);
            reuses += t.reusedEntry ? 1 : 0;
            full = full || t.entryCount == DICTIONARY_SIZE;
            EXPECT_LT(t.code - LITERAL_COUNT, 1 << t.codeWidth) << "code wider than its width";
            if (checkGreedy) {
                ASSERT_EQ(t.length, t.longestNameable) << "not the longest nameable match at " << t.produced;
            }
            produced += static_cast<uint64_t>(t.length);
        }
        EXPECT_EQ(produced, input.size()) << "the last code must end exactly at the input's end";
        EXPECT_GE(maxLength, c.phases.maxLengthAtLeast);
        EXPECT_LE(maxLength, MAX_STRING_LENGTH);
        EXPECT_EQ(full, c.phases.fillsDictionary);
        EXPECT_GE(reuses, c.phases.reusesAtLeast);
        printf("  %zu codes, %zu bytes, longest %d, full %d, codes that reused entries %d\n", trace.size(),
               compressed.size(), maxLength, full ? 1 : 0, reuses);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, RoundTripTest, ::testing::ValuesIn(RoundTripCases()),
                         codec_testing::CaseName<RoundTripCase>);

struct SmallerCase {
    const char* name;
    std::function<Bytes()> make;
};

TEST(LookAheadParse, IsSmallerThanGreedyOnTextAndPrograms)
{
    const SmallerCase cases[] = {
        {"text", [] { return Text(300000, 11u); }},
        {"repeated_blocks", [] { return RepeatedBlocks(600000, 777u); }},
        {"own_program", OwnProgram},
    };
    ScratchFolder scratch("roundtrip");
    for (const SmallerCase& c : cases) {
        const Bytes input = c.make();
        const size_t greedy = CompressBytes(scratch, input, PARSE_GREEDY).size();
        const size_t lookAhead = CompressBytes(scratch, input, PARSE_LOOKAHEAD).size();
        printf("%s: greedy %zu bytes, look-ahead %zu bytes (%.2f%% smaller)\n", c.name, greedy, lookAhead,
               100.0 - 100.0 * static_cast<double>(lookAhead) / static_cast<double>(greedy));
        // The planned parse's aim: at least 5% smaller than greedy.
        EXPECT_LT(lookAhead, greedy) << c.name;
        EXPECT_LE(lookAhead * 100, greedy * 95) << c.name;
    }
}

TEST(EncoderOutput, WritesTheKnownVectorsBitForBit)
{
    ScratchFolder scratch("roundtrip");
    EXPECT_EQ(CompressBytes(scratch, Bytes()), codec_testing::Hex("00 00 00 00"));
    EXPECT_EQ(CompressBytes(scratch, testing_support::TextBytes("A")), codec_testing::Hex("01 00 00 00 20 80"));
    EXPECT_EQ(CompressBytes(scratch, testing_support::TextBytes("ababba")), codec_testing::Hex("06 00 00 00 30 98 AA"));
}

TEST(CompressStream, WritesAtTheDestinationPositionAndReportsItsSize)
{
    ScratchFolder scratch("roundtrip");
    const Bytes input = Text(50000, 5u);
    testing_support::WriteBytes(scratch / "in.bin", input);
    FILE* source = fopen((scratch / "in.bin").c_str(), "rb");
    FILE* destination = fopen((scratch / "out.qz").c_str(), "w+b");
    ASSERT_NE(source, nullptr);
    ASSERT_NE(destination, nullptr);
    // Both streams mid-way: the rest of the source, after what destination holds.
    ASSERT_EQ(fseek(source, 1000, SEEK_SET), 0);
    ASSERT_EQ(fwrite("HEADER", 1, 6, destination), 6u);
    uint64_t stored = 0;
    ASSERT_EQ(CompressStream(source, destination, &stored), 1);
    EXPECT_EQ(ftell(destination), static_cast<long>(6 + stored));
    ASSERT_EQ(fwrite("TAIL", 1, 4, destination), 4u);
    ASSERT_EQ(fseek(destination, 6, SEEK_SET), 0);
    FILE* decoded = fopen((scratch / "decoded.bin").c_str(), "wb");
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(DecompressStream(destination, decoded), 1);
    EXPECT_EQ(ftell(destination), static_cast<long>(6 + stored));
    fclose(decoded);
    fclose(source);
    fclose(destination);
    EXPECT_EQ(testing_support::ReadBytes(scratch / "decoded.bin"), Bytes(input.begin() + 1000, input.end()));
    EXPECT_EQ(testing_support::ReadBytes(scratch / "out.qz").size(), 6 + stored + 4);
}

TEST(CompressFile, FailuresLeaveNoDestination)
{
    ScratchFolder scratch("roundtrip");
    EXPECT_EQ(CompressFile((scratch / "absent.bin").c_str(), (scratch / "out.qz").c_str()), 0);
    EXPECT_EQ(lastCompressFailure.kind, COMPRESS_SOURCE_NOT_OPENED);
    EXPECT_FALSE(testing_support::Exists(scratch / "out.qz"));

    testing_support::WriteBytes(scratch / "in.bin", Bytes{1, 2, 3});
    EXPECT_EQ(CompressFile((scratch / "in.bin").c_str(), (scratch / "missing/out.qz").c_str()), 0);
    EXPECT_EQ(lastCompressFailure.kind, COMPRESS_DESTINATION_NOT_CREATED);
    EXPECT_EQ(remove((scratch / "in.bin").c_str()), 0) << "source left open";
}

}  // namespace
