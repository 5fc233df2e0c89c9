#include "codec_test_support.h"

#include <stdio.h>

#include <random>
#include <stdexcept>

#include <gtest/gtest.h>

#include "decoder/bit_reader.h"
#include "encoder/encoder.h"

namespace codec_testing {

Bytes Hex(const char* text)
{
    Bytes bytes;
    std::string digits;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != ' ') digits += *p;
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

CodeWriter& CodeWriter::Literal(uint32_t value)
{
    return Bits(0, 1).Bits(value, 8);
}

CodeWriter& CodeWriter::Index(uint32_t k, int width)
{
    return Bits(1, 1).Bits(k, width);
}

CodeWriter& CodeWriter::Bits(uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i) bits_.push_back(((value >> i) & 1u) != 0);
    return *this;
}

Bytes CodeWriter::Finish(uint32_t uncompressedSize) const
{
    Bytes bytes;
    testing_support::PutUint32(bytes, uncompressedSize);
    for (size_t i = 0; i < bits_.size(); i += 8) {
        uint8_t byte = 0;
        for (size_t j = 0; j < 8; ++j) {
            byte = static_cast<uint8_t>(byte << 1);
            if (i + j < bits_.size() && bits_[i + j]) byte |= 1;
        }
        bytes.push_back(byte);
    }
    return bytes;
}

DecodeOutcome DecodeBytes(const testing_support::ScratchFolder& scratch, const Bytes& compressed)
{
    const std::string source = scratch / "source.qz";
    const std::string destination = scratch / "decoded.bin";
    testing_support::WriteBytes(source, compressed);
    DecodeOutcome outcome;
    outcome.result = DecompressFile(source.c_str(), destination.c_str());
    outcome.failure = lastDecodeFailure;
    outcome.destinationExists = testing_support::Exists(destination);
    if (outcome.destinationExists) {
        outcome.output = testing_support::ReadBytes(destination);
        remove(destination.c_str());
    }
    // On Windows an open file cannot be deleted, so this also shows the
    // decoder closed its source.
    EXPECT_EQ(remove(source.c_str()), 0) << "source still open or missing";
    return outcome;
}

Bytes CompressBytes(const testing_support::ScratchFolder& scratch, const Bytes& input, ParseMode mode)
{
    const std::string source = scratch / "plain.bin";
    const std::string destination = scratch / "packed.qz";
    testing_support::WriteBytes(source, input);
    const int result = CompressFile(source.c_str(), destination.c_str(), mode);
    EXPECT_EQ(result, 1) << "CompressFile failed, kind " << lastCompressFailure.kind;
    Bytes packed = result == 1 ? testing_support::ReadBytes(destination) : Bytes();
    remove(source.c_str());
    remove(destination.c_str());
    return packed;
}

namespace {

// Longest string at position whose entry is below limit, walking the whole
// path as entries above the limit may lead to ones below it.
int32_t LongestMatch(const Bytes& input, uint64_t position, int32_t limit)
{
    int32_t node = input[position];
    int32_t best = 1;
    for (uint64_t j = 1; j < MAX_STRING_LENGTH && position + j < input.size(); ++j) {
        node = FindChild(node, input[position + j]);
        if (node == NO_ENTRY) break;
        if (node < limit) best = static_cast<int32_t>(j + 1);
    }
    return best;
}

}  // namespace

std::vector<TracedCode> TraceDecode(const Bytes& compressed, const testing_support::ScratchFolder& scratch,
                                    const Bytes* original)
{
    const std::string source = scratch / "traced.qz";
    testing_support::WriteBytes(source, compressed);
    FILE* input = fopen(source.c_str(), "rb");
    if (input == nullptr) throw std::runtime_error("cannot open " + source);
    uint8_t field[4] = {};
    const size_t got = fread(field, 1, 4, input);
    const uint32_t size = static_cast<uint32_t>(field[0]) | (static_cast<uint32_t>(field[1]) << 8) |
                          (static_cast<uint32_t>(field[2]) << 16) | (static_cast<uint32_t>(field[3]) << 24);
    std::vector<TracedCode> trace;
    decoderState.decoderInput = input;
    ResetDecoder();
    uint64_t produced = 0;
    while (got == 4 && produced < size) {
        TracedCode traced = {};
        traced.bitOffset = static_cast<uint64_t>(ftell(input)) * 8 - static_cast<uint64_t>(bitReader.bitsLeft);
        traced.produced = produced;
        traced.code = ReadCode();
        traced.codeWidth = decoderState.step.codeWidth;
        traced.entryCount = dictionary.entryCount;
        if (traced.code >= dictionary.entryCount || bitReader.currentByte > 0xFF) {
            ADD_FAILURE() << "trace met a bad code " << traced.code << " at output offset " << produced;
            break;
        }
        traced.longestNameable = -1;
        if (original != nullptr && produced < original->size()) {
            traced.longestNameable =
                LongestMatch(*original, produced, LITERAL_COUNT + decoderState.step.widthThreshold);
        }
        // The step of TakeCode, opened up to see which entry a reuse takes.
        const int32_t length = ReadOutString(traced.code, decoderState.stringBuffer);
        const int32_t head = dictionary.recencyHead;
        const int32_t headParent = head == NO_ENTRY ? NO_ENTRY : dictionary.parent[head];
        const uint8_t headByte = head == NO_ENTRY ? 0 : dictionary.byteValue[head];
        const bool full = dictionary.entryCount == DICTIONARY_SIZE;
        AddExtensions(decoderState.stringBuffer + (MAX_STRING_LENGTH - length), length, decoderState.step.prevCode,
                      decoderState.step.prevLen);
        decoderState.step.prevCode = traced.code;
        decoderState.step.prevLen = length;
        traced.reusedEntry = full && (dictionary.parent[head] != headParent || dictionary.byteValue[head] != headByte);
        traced.length = length;
        produced += static_cast<uint64_t>(length);
        trace.push_back(traced);
    }
    decoderState.decoderInput = nullptr;
    fclose(input);
    remove(source.c_str());
    return trace;
}

Bytes RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(generator() >> 24);
    return bytes;
}

}  // namespace codec_testing
