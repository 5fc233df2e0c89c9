#include <stdio.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec_test_support.h"
#include "decoder/decoder.h"
#include "dictionary_check.h"

namespace {

using codec_testing::Bytes;
using codec_testing::CompressBytes;
using codec_testing::DecodeBytes;
using codec_testing::DecodeOutcome;
using testing_support::ScratchFolder;

uint32_t LengthField(const Bytes& compressed)
{
    return static_cast<uint32_t>(compressed[0]) | (static_cast<uint32_t>(compressed[1]) << 8) |
           (static_cast<uint32_t>(compressed[2]) << 16) | (static_cast<uint32_t>(compressed[3]) << 24);
}

// Overwrites count bits at bitOffset, most significant first.
void SetBits(Bytes& bytes, uint64_t bitOffset, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        const uint64_t bit = bitOffset + static_cast<uint64_t>(i);
        const uint8_t mask = static_cast<uint8_t>(0x80u >> (bit % 8));
        if ((value >> (count - 1 - i)) & 1u) {
            bytes[bit / 8] |= mask;
        } else {
            bytes[bit / 8] &= static_cast<uint8_t>(~mask);
        }
    }
}

// Whatever the bytes, a decode ends; a 0 leaves nothing, a 1 leaves at least
// the promised length, and the dictionary stays consistent.
void ExpectSoundOutcome(const DecodeOutcome& outcome, const Bytes& compressed)
{
    EXPECT_TRUE(outcome.result == 0 || outcome.result == 1);
    if (outcome.result == 0) {
        EXPECT_FALSE(outcome.destinationExists);
        EXPECT_NE(outcome.failure.kind, DECODE_NO_FAILURE);
    } else {
        ASSERT_TRUE(outcome.destinationExists);
        EXPECT_GE(outcome.output.size(), LengthField(compressed));
    }
    EXPECT_EQ(codec_testing::CheckDictionary(), "");
}

Bytes SmallFile(const ScratchFolder& scratch)
{
    return CompressBytes(scratch, testing_support::TextBytes(
                                      "Setup unpacks the pack into a fresh folder, starts the installer, waits "
                                      "for it to end and removes the folder again. Setup unpacks the pack."));
}

TEST(DamagedStream, TruncationAtEveryByteFailsWithoutDestination)
{
    ScratchFolder scratch("damaged");
    const Bytes whole = SmallFile(scratch);
    uint64_t lastOffset = 0;
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("kept " + std::to_string(length) + " of " + std::to_string(whole.size()) + " bytes");
        const DecodeOutcome outcome = DecodeBytes(scratch, Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
        EXPECT_EQ(outcome.result, 0);
        EXPECT_FALSE(outcome.destinationExists);
        if (length < 4) {
            EXPECT_EQ(outcome.failure.kind, DECODE_SOURCE_TOO_SHORT);
            continue;
        }
        EXPECT_EQ(outcome.failure.kind, DECODE_INPUT_ENDED);
        // A longer prefix decodes at least as far.
        EXPECT_GE(outcome.failure.outputOffset, lastOffset);
        EXPECT_LT(outcome.failure.outputOffset, LengthField(whole));
        lastOffset = outcome.failure.outputOffset;
    }
    EXPECT_EQ(DecodeBytes(scratch, whole).result, 1);
}

TEST(DamagedStream, EveryFlippedBitEndsSoundly)
{
    // Without a checksum a flipped literal bit is just another valid stream;
    // what must hold is that nothing crashes or hangs and a 0 leaves nothing.
    ScratchFolder scratch("damaged");
    const Bytes whole = SmallFile(scratch);
    int rejected = 0;
    for (size_t bit = 0; bit < whole.size() * 8; ++bit) {
        SCOPED_TRACE("flipped bit " + std::to_string(bit));
        Bytes damaged = whole;
        damaged[bit / 8] ^= static_cast<uint8_t>(0x80u >> (bit % 8));
        const DecodeOutcome outcome = DecodeBytes(scratch, damaged);
        ExpectSoundOutcome(outcome, damaged);
        rejected += outcome.result == 0 ? 1 : 0;
    }
    EXPECT_GT(rejected, 0);
    printf("%d of %zu flipped bits rejected\n", rejected, whole.size() * 8);
}

TEST(DamagedStream, FlippedFirstFlagMakesAnIndexCodeFirst)
{
    ScratchFolder scratch("damaged");
    Bytes damaged = SmallFile(scratch);
    damaged[4] ^= 0x80;
    const DecodeOutcome outcome = DecodeBytes(scratch, damaged);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_FALSE(outcome.destinationExists);
    EXPECT_EQ(outcome.failure.kind, DECODE_CODE_OUTSIDE_FORMAT);
    EXPECT_GE(outcome.failure.code, 256);
    EXPECT_EQ(outcome.failure.entryCount, 256);
    EXPECT_EQ(outcome.failure.outputOffset, 0u);
}

TEST(DamagedStream, IndexCodesBeyondTheTablesAtWidthTwelve)
{
    ScratchFolder scratch("damaged");
    const Bytes input = codec_testing::RandomBytes(100000, 31337u);
    const Bytes whole = CompressBytes(scratch, input);
    const std::vector<codec_testing::TracedCode> trace = codec_testing::TraceDecode(whole, scratch);
    size_t at = 0;
    while (at < trace.size() && (trace[at].codeWidth < 12 || trace[at].entryCount < DICTIONARY_SIZE)) ++at;
    ASSERT_LT(at, trace.size()) << "stream never reached width 12 with a full dictionary";
    // k = 3840 names 4096 (NO_ENTRY itself); all ones name 4351.
    for (uint32_t k : {3840u, 3841u, 4095u}) {
        SCOPED_TRACE("k " + std::to_string(k));
        Bytes damaged = whole;
        SetBits(damaged, trace[at].bitOffset, 1, 1);
        SetBits(damaged, trace[at].bitOffset + 1, k, 12);
        const DecodeOutcome outcome = DecodeBytes(scratch, damaged);
        EXPECT_EQ(outcome.result, 0);
        EXPECT_FALSE(outcome.destinationExists);
        EXPECT_EQ(outcome.failure.kind, DECODE_CODE_OUTSIDE_FORMAT);
        EXPECT_EQ(outcome.failure.code, static_cast<int32_t>(256 + k));
        EXPECT_EQ(outcome.failure.entryCount, DICTIONARY_SIZE);
        EXPECT_EQ(outcome.failure.outputOffset, trace[at].produced);
        EXPECT_EQ(codec_testing::CheckDictionary(), "");
    }
}

TEST(DamagedStream, RandomBytesNeverBreakTheDecoder)
{
    const uint32_t seed = 2718281u;
    printf("random streams seed %u\n", seed);
    std::mt19937 generator(seed);
    ScratchFolder scratch("damaged");
    for (int i = 0; i < 1500; ++i) {
        SCOPED_TRACE("stream " + std::to_string(i));
        Bytes bytes = codec_testing::RandomBytes(4 + generator() % 120, static_cast<uint32_t>(generator()));
        if (i % 2 == 0) {
            // Mostly plausible lengths, so decoding gets going before it stops.
            const uint32_t size = generator() % 4000;
            for (int b = 0; b < 4; ++b) bytes[static_cast<size_t>(b)] = static_cast<uint8_t>(size >> (8 * b));
        }
        ExpectSoundOutcome(DecodeBytes(scratch, bytes), bytes);
    }
}

}  // namespace
