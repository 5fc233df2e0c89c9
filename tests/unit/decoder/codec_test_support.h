#pragma once
// Helpers for the decoder and encoder tests: hex and hand-built code streams,
// whole-file decoding and encoding through scratch files, and a code-by-code
// trace of a stream.
#include <stdint.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "decoder/decoder.h"
#include "encoder/encoder.h"
#include "support/test_support.h"

namespace codec_testing {

using testing_support::Bytes;

// "06 00 00 00 30 98 AA" as bytes.
Bytes Hex(const char* text);

// Builds a compressed file code by code, in the decoder's bit order.
class CodeWriter {
public:
    CodeWriter& Literal(uint32_t value);
    CodeWriter& Index(uint32_t k, int width);
    // Raw bits, most significant first.
    CodeWriter& Bits(uint32_t value, int count);
    // The length field, then the codes padded with zero bits.
    Bytes Finish(uint32_t uncompressedSize) const;

private:
    std::vector<bool> bits_;
};

struct DecodeOutcome {
    int result = -1;
    bool destinationExists = false;
    Bytes output;
    DecodeFailure failure = {};
};

// Writes compressed to a scratch file and runs DecompressFile on it.
DecodeOutcome DecodeBytes(const testing_support::ScratchFolder& scratch, const Bytes& compressed);

// Compresses input through CompressFile; fails the test if that returns 0.
Bytes CompressBytes(const testing_support::ScratchFolder& scratch, const Bytes& input,
                    ParseMode mode = PARSE_LOOKAHEAD);

// One code of a stream as the decoder met it.
struct TracedCode {
    uint64_t bitOffset;   // of the code's flag bit, from the start of the file
    int32_t code;
    int32_t codeWidth;    // the width it was read with
    int32_t entryCount;   // before its dictionary step
    int32_t length;       // of its string
    uint64_t produced;    // bytes before it
    bool reusedEntry;     // its step gave the least recent entry a new string
    int32_t longestNameable;  // longest match here that the width can name, -1 without the input
};

// Decodes a valid compressed file code by code with the decoder's own
// functions; fails the test at a code outside the format. Given the input,
// also finds for every code the longest string at its position that the
// width could name.
std::vector<TracedCode> TraceDecode(const Bytes& compressed, const testing_support::ScratchFolder& scratch,
                                    const Bytes* input = nullptr);

// Names parameterised cases after their `name` field.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// Deterministic pseudo-random bytes.
Bytes RandomBytes(size_t size, uint32_t seed);

}  // namespace codec_testing
