#include "decoder/decoder.h"

#include <cerrno>

#include "decoder/bit_reader.h"

DecoderState decoderState;
DecodeFailure lastDecodeFailure;

namespace {

// The input stream's buffer in DecompressFile: larger than the C library's
// default, so fewer reads reach the system, and static, so nothing is
// allocated per file.
const size_t STREAM_BUFFER_BYTES = 1u << 16;
char inputBuffer[STREAM_BUFFER_BYTES];

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
    FILE* input = decoderState.decoderInput;
    FILE* output = decoderState.decoderOutput;
    // Local copies, so that the writes into the tables cannot make the
    // compiler reload them for every code; they go back to the statics when
    // the loop ends, whichever way.
    BitReader reader = bitReader;
    CodeStep step = decoderState.step;
    DecodeFailureKind stop = DECODE_NO_FAILURE;
    int32_t code = NO_ENTRY;
    size_t used = 0;
    bool written = true;
    while (produced < uncompressedSize) {
        code = ReadCodeWith(reader, step, input);
        // A valid stream holds every bit of its codes; a fetch past the end
        // means the file was cut short, and its all-ones bits are not a code.
        if (reader.currentByte > 0xFF) {
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
    bitReader = reader;
    decoderState.step = step;
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
    setvbuf(input, inputBuffer, _IOFBF, sizeof inputBuffer);
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
