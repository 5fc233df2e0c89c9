#include "decoder/decoder.h"

#include <cerrno>

#include "decoder/bit_reader.h"

DecoderState decoderState;
DecodeFailure lastDecodeFailure;

namespace {

// The decoded bytes gather here, each string written straight into place,
// and go to the output stream a block at a time. There is room for one
// whole string past the block size.
const size_t OUTPUT_BLOCK_BYTES = 1u << 16;
uint8_t outputBlock[OUTPUT_BLOCK_BYTES + MAX_STRING_LENGTH];

// Writes the first `used` bytes of outputBlock. False when the stream took
// fewer.
bool FlushOutput(FILE* output, size_t used)
{
    return used == 0 || fwrite(outputBlock, 1, used, output) == used;
}

// The next code from `reader`: the width rule, the flag bit, then 8 literal
// bits or codeWidth index bits. Gives the entry number named (0 to 4351).
inline int32_t ReadCodeWith(BitReader& reader, CodeStep& step, FILE* input)
{
    ApplyWidthRule(&step);
    if (reader.ReadBit(input) == 0) {
        return static_cast<int32_t>(reader.ReadBits(input, 8));
    }
    return static_cast<int32_t>(reader.ReadBits(input, step.codeWidth)) + LITERAL_COUNT;
}

// The code stream as DecodeStream reads it: the bits BitReader delivers, in
// the same order, but fetched from the stream a block at a time and taken
// from a 64-bit window, so that a code costs a few shifts and no call. The
// bytes read ahead are handed back at the end, so the stream is left where
// BitReader would leave it: after the last byte its codes reach into.
const size_t CODE_BLOCK_BYTES = 1u << 16;
uint8_t codeBlock[CODE_BLOCK_BYTES];

struct CodeBits {
    FILE* stream;
    const uint8_t* next;  // the next byte of codeBlock not in the window
    const uint8_t* end;   // the end of what the last read put in codeBlock
    uint64_t window;      // the bits not taken yet, the next one at the top
    int32_t count;        // bits in window, 0 to 64
    int32_t padding;      // of them, the last ones stand past the stream's end
    bool atEnd;           // the stream has given all its bytes
};

void StartCodeBits(CodeBits* bits, FILE* stream)
{
    bits->stream = stream;
    bits->next = codeBlock;
    bits->end = codeBlock;
    bits->window = 0;
    bits->count = 0;
    bits->padding = 0;
    bits->atEnd = false;
}

// Fills the window to at least 57 bits. Past the end of the stream it is
// filled with one bits, which are counted as padding, as BitReader reads
// ones there.
void RefillCodeBitsSlowly(CodeBits* bits)
{
    while (bits->count <= 56) {
        uint64_t byte = 0xFF;
        if (bits->next == bits->end && !bits->atEnd) {
            const size_t got = fread(codeBlock, 1, sizeof codeBlock, bits->stream);
            bits->next = codeBlock;
            bits->end = codeBlock + got;
            bits->atEnd = got == 0;
        }
        if (bits->next < bits->end) {
            byte = *bits->next++;
        } else {
            bits->padding += 8;
        }
        bits->window |= byte << (56 - bits->count);
        bits->count += 8;
    }
}

inline void RefillCodeBits(CodeBits* bits)
{
    if (bits->end - bits->next >= 8) {
        // Eight bytes at once, most significant first; only the whole bytes
        // that fit below the bits held count as taken.
        uint64_t word = 0;
        for (int i = 0; i < 8; ++i) {
            word = (word << 8) | bits->next[i];
        }
        const int32_t taken = (64 - bits->count) >> 3;
        bits->window |= word >> bits->count;
        bits->next += taken;
        bits->count += taken * 8;
    } else {
        RefillCodeBitsSlowly(bits);
    }
}

// Seeks the stream back over the bytes read but not reached by a code. A
// stream that cannot seek stays where it is.
void HandBackCodeBits(const CodeBits* bits)
{
    const long unread = static_cast<long>(bits->end - bits->next) + (bits->count - bits->padding) / 8;
    if (unread > 0) {
        fseek(bits->stream, -unread, SEEK_CUR);
    }
}

// The next code, as ReadCodeWith reads it. *ended is set when the code took
// bits past the end of the stream.
inline int32_t TakeCodeBits(CodeBits* bits, CodeStep& step, bool* ended)
{
    ApplyWidthRule(&step);
    // A code is at most 13 bits: one flag bit and up to 12 value bits.
    if (bits->count < 13) {
        RefillCodeBits(bits);
    }
    const uint64_t window = bits->window;
    const bool index = (window >> 63) != 0;
    const int32_t width = index ? step.codeWidth : 8;
    const int32_t value = static_cast<int32_t>((window << 1) >> (64 - width));
    const int32_t used = 1 + width;
    *ended = used > bits->count - bits->padding;
    bits->window = window << used;
    bits->count -= used;
    if (bits->padding > bits->count) {
        bits->padding = bits->count;
    }
    return index ? value + LITERAL_COUNT : value;
}

void ClearFailure()
{
    lastDecodeFailure = DecodeFailure();
}

void RecordStop(DecodeFailureKind kind, int32_t code, uint64_t produced)
{
    lastDecodeFailure.kind = kind;
    lastDecodeFailure.code = code;
    lastDecodeFailure.entryCount = dictionary.entryCount;
    lastDecodeFailure.outputOffset = produced;
}

// Reads the little-endian length field. Returns 0, recording a source too
// short, when fewer than 4 bytes are there.
int ReadLengthField(FILE* source, uint32_t* uncompressedSize)
{
    unsigned char field[LENGTH_FIELD_BYTES];
    const size_t got = fread(field, 1, sizeof field, source);
    if (got < sizeof field) {
        lastDecodeFailure.kind = DECODE_SOURCE_TOO_SHORT;
        lastDecodeFailure.sourceBytes = static_cast<int32_t>(got);
        return 0;
    }
    *uncompressedSize = static_cast<uint32_t>(field[0]) | (static_cast<uint32_t>(field[1]) << 8) |
                        (static_cast<uint32_t>(field[2]) << 16) | (static_cast<uint32_t>(field[3]) << 24);
    lastDecodeFailure.uncompressedSize = *uncompressedSize;
    return 1;
}

int DecodeBetween(FILE* source, FILE* destination, uint32_t uncompressedSize)
{
    decoderState.decoderInput = source;
    decoderState.decoderOutput = destination;
    const int decoded = DecodeStream(uncompressedSize);
    decoderState.decoderInput = nullptr;
    decoderState.decoderOutput = nullptr;
    return decoded;
}

}  // namespace

void ResetDecoder()
{
    // The decoder never looks a child up by number (see DictionaryIndex).
    dictionaryIndex.keepChildNumbers = false;
    ResetDictionary();
    ResetCodeStep(&decoderState.step);
    bitReader.Reset();
}

int32_t ReadCode()
{
    return ReadCodeWith(bitReader, decoderState.step, decoderState.decoderInput);
}

int DecodeStream(uint32_t uncompressedSize)
{
    ResetDecoder();
    // 64 bits so that a last string carrying past 2^32 - 1 cannot wrap around.
    uint64_t produced = 0;
    FILE* output = decoderState.decoderOutput;
    CodeBits bits;
    StartCodeBits(&bits, decoderState.decoderInput);
    // A local copy, so that the writes into the tables cannot make the
    // compiler reload it for every code; it goes back to the static when the
    // loop ends, whichever way.
    CodeStep step = decoderState.step;
    DecodeFailureKind stop = DECODE_NO_FAILURE;
    int32_t code = NO_ENTRY;
    size_t used = 0;
    bool written = true;
    while (produced < uncompressedSize) {
        bool ended = false;
        code = TakeCodeBits(&bits, step, &ended);
        // A valid stream holds every bit of its codes; bits past the end
        // mean the file was cut short, and their all-ones are not a code.
        if (ended) {
            stop = DECODE_INPUT_ENDED;
            break;
        }
        if (code >= dictionary.entryCount) {
            stop = DECODE_CODE_OUTSIDE_FORMAT;
            break;
        }
        const int32_t length = TakeCodeInto(&step, code, outputBlock + used);
        used += static_cast<size_t>(length);
        produced += static_cast<uint64_t>(length);
        if (used >= OUTPUT_BLOCK_BYTES) {
            written = FlushOutput(output, used) && written;
            used = 0;
        }
    }
    // The bytes of every code before a stop are written, as they would be
    // one at a time.
    written = FlushOutput(output, used) && written;
    decoderState.step = step;
    HandBackCodeBits(&bits);
    if (stop != DECODE_NO_FAILURE) {
        RecordStop(stop, code, produced);
        return 0;
    }
    if (!written || ferror(output)) {
        RecordStop(DECODE_WRITE_FAILED, decoderState.step.prevCode, produced);
        return 0;
    }
    return 1;
}

int DecompressStream(FILE* source, FILE* destination)
{
    ClearFailure();
    uint32_t uncompressedSize = 0;
    if (!ReadLengthField(source, &uncompressedSize)) {
        return 0;
    }
    return DecodeBetween(source, destination, uncompressedSize);
}

int DecompressFile(const char* source, const char* destination)
{
    ClearFailure();
    FILE* input = fopen(source, "rb");
    if (input == nullptr) {
        lastDecodeFailure.kind = DECODE_SOURCE_NOT_OPENED;
        lastDecodeFailure.systemError = errno;
        return 0;
    }
    // Checked before the destination exists, so a stub source leaves nothing.
    uint32_t uncompressedSize = 0;
    if (!ReadLengthField(input, &uncompressedSize)) {
        fclose(input);
        return 0;
    }
    FILE* output = fopen(destination, "wb");
    if (output == nullptr) {
        lastDecodeFailure.kind = DECODE_DESTINATION_NOT_CREATED;
        lastDecodeFailure.systemError = errno;
        fclose(input);
        return 0;
    }
    int decoded = DecodeBetween(input, output, uncompressedSize);
    fclose(input);
    if (fclose(output) != 0 && decoded) {
        lastDecodeFailure.kind = DECODE_WRITE_FAILED;
        lastDecodeFailure.systemError = errno;
        decoded = 0;
    }
    if (!decoded) {
        // No damaged file may be left looking complete.
        remove(destination);
    }
    return decoded;
}
