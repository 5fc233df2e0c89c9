#include "encoder/encoder.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "decoder/code_step.h"
#include "decoder/decoder.h"
#include "decoder/dictionary.h"
#include "encoder/longest_match.h"

CompressFailure lastCompressFailure;

namespace {

const size_t OUTPUT_BLOCK = 1u << 16;
const size_t INPUT_BLOCK = 1u << 16;

void Fail(CompressFailureKind kind, uint64_t inputBytes, int systemError)
{
    lastCompressFailure.kind = kind;
    lastCompressFailure.inputBytes = inputBytes;
    lastCompressFailure.systemError = systemError;
}

// Bits in the decoder's order, most significant first, collected into blocks.
class BitWriter {
public:
    explicit BitWriter(FILE* stream) : out(stream), block(OUTPUT_BLOCK), used(0), pending(0), pendingBits(0), written(0), failed(false) {}

    // The low n (1..16) bits of value.
    void Write(uint32_t value, int n)
    {
        pending = (pending << n) | (value & ((1u << n) - 1u));
        pendingBits += n;
        while (pendingBits >= 8) {
            pendingBits -= 8;
            Put(static_cast<uint8_t>(pending >> pendingBits));
        }
        pending &= (1u << pendingBits) - 1u;
    }

    // Pads the last byte with zero bits and writes out the block. Returns
    // false if any write failed.
    bool Finish()
    {
        if (pendingBits > 0) {
            Put(static_cast<uint8_t>(pending << (8 - pendingBits)));
            pendingBits = 0;
            pending = 0;
        }
        Drain();
        return !failed;
    }

    uint64_t BytesWritten() const { return written; }

private:
    void Put(uint8_t byte)
    {
        block[used++] = byte;
        if (used == block.size()) {
            Drain();
        }
    }

    void Drain()
    {
        if (used > 0 && fwrite(block.data(), 1, used, out) != used) {
            failed = true;
        }
        written += used;
        used = 0;
    }

    FILE* out;
    std::vector<uint8_t> block;
    size_t used;
    uint32_t pending;
    int pendingBits;
    uint64_t written;
    bool failed;
};

// Bytes of input looked at before a code is chosen: the planned parse's
// horizon and the longest string that may start before it.
const size_t LOOK_AHEAD = static_cast<size_t>(PLAN_MAX_AHEAD) + static_cast<size_t>(MAX_STRING_LENGTH);

// The input with at least LOOK_AHEAD bytes in view while any remain, read
// block by block.
class InputWindow {
public:
    explicit InputWindow(FILE* stream) : in(stream), bytes(INPUT_BLOCK + LOOK_AHEAD), start(0), end(0), total(0), atEnd(false), readFailed(false) {}

    // Tops the window up when the look-ahead is short. False on a read error.
    bool Refill()
    {
        if (atEnd || end - start >= LOOK_AHEAD) {
            return true;
        }
        memmove(bytes.data(), bytes.data() + start, end - start);
        end -= start;
        start = 0;
        while (end < bytes.size()) {
            const size_t got = fread(bytes.data() + end, 1, bytes.size() - end, in);
            end += got;
            total += got;
            if (got == 0) {
                if (ferror(in)) {
                    readFailed = true;
                    return false;
                }
                atEnd = true;
                break;
            }
        }
        return true;
    }

    const uint8_t* Data() const { return bytes.data() + start; }
    size_t Available() const { return end - start; }
    void Consume(size_t n) { start += n; }
    uint64_t TotalRead() const { return total; }

private:
    FILE* in;
    std::vector<uint8_t> bytes;
    size_t start;
    size_t end;
    uint64_t total;
    bool atEnd;
    bool readFailed;
};

bool WriteLengthField(FILE* destination, uint32_t size)
{
    const unsigned char field[LENGTH_FIELD_BYTES] = {
        static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
        static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
    return fwrite(field, 1, sizeof field, destination) == sizeof field;
}

}  // namespace

int CompressStream(FILE* source, FILE* destination, uint64_t* storedBytes, ParseMode mode)
{
    lastCompressFailure = CompressFailure();
    fpos_t fieldPosition;
    if (fgetpos(destination, &fieldPosition) != 0 || !WriteLengthField(destination, 0)) {
        Fail(COMPRESS_WRITE_FAILED, 0, errno);
        return 0;
    }

    // The same dictionary code as the decoder, driven through the same steps;
    // the trie walks look children up by number, so the numbers are kept.
    dictionaryIndex.keepChildNumbers = true;
    ResetDictionary();
    CodeStep step;
    ResetCodeStep(&step);
    uint8_t decoded[MAX_STRING_LENGTH];
    InputWindow input(source);
    BitWriter bits(destination);
    uint64_t consumed = 0;
    // Kept across codes; too big for some threads' stacks.
    static ParsePlan plan;
    ResetParsePlan(&plan);

    for (;;) {
        if (!input.Refill()) {
            Fail(COMPRESS_READ_FAILED, input.TotalRead(), errno);
            return 0;
        }
        if (input.TotalRead() > MAX_UNCOMPRESSED_SIZE) {
            Fail(COMPRESS_TOO_LARGE, input.TotalRead(), 0);
            return 0;
        }
        if (input.Available() == 0) {
            break;
        }
        ApplyWidthRule(&step);
        int32_t matchLength = 0;
        const int32_t code = mode == PARSE_GREEDY
                                 ? FindLongestNameableMatch(step, input.Data(), input.Available(), &matchLength)
                                 : FindPlannedMatch(&plan, step, input.Data(), input.Available(), &matchLength);
        if (code < LITERAL_COUNT) {
            bits.Write(0, 1);
            bits.Write(static_cast<uint32_t>(code), 8);
        } else {
            bits.Write(1, 1);
            bits.Write(static_cast<uint32_t>(code - LITERAL_COUNT), step.codeWidth);
        }
        if (mode != PARSE_GREEDY) {
            NoteStepStart(&plan, step);
        }
        const int32_t length = TakeCodeInto(&step, code, decoded);
        if (mode != PARSE_GREEDY) {
            NoteStepEnd(&plan, length);
        }
        // What the decoder will write for this code must be the input here.
        if (length != matchLength || memcmp(decoded, input.Data(), static_cast<size_t>(length)) != 0) {
            Fail(COMPRESS_OUT_OF_STEP, consumed, 0);
            return 0;
        }
        input.Consume(static_cast<size_t>(length));
        consumed += static_cast<uint64_t>(length);
    }

    fpos_t endPosition;
    if (!bits.Finish() || fgetpos(destination, &endPosition) != 0 || fsetpos(destination, &fieldPosition) != 0 ||
        !WriteLengthField(destination, static_cast<uint32_t>(consumed)) || fsetpos(destination, &endPosition) != 0) {
        Fail(COMPRESS_WRITE_FAILED, consumed, errno);
        return 0;
    }
    if (storedBytes != nullptr) {
        *storedBytes = LENGTH_FIELD_BYTES + bits.BytesWritten();
    }
    return 1;
}

int CompressFile(const char* source, const char* destination, ParseMode mode)
{
    lastCompressFailure = CompressFailure();
    FILE* input = fopen(source, "rb");
    if (input == nullptr) {
        Fail(COMPRESS_SOURCE_NOT_OPENED, 0, errno);
        return 0;
    }
    FILE* output = fopen(destination, "wb");
    if (output == nullptr) {
        Fail(COMPRESS_DESTINATION_NOT_CREATED, 0, errno);
        fclose(input);
        return 0;
    }
    int compressed = CompressStream(input, output, nullptr, mode);
    fclose(input);
    if (fclose(output) != 0 && compressed) {
        Fail(COMPRESS_WRITE_FAILED, 0, errno);
        compressed = 0;
    }
    if (!compressed) {
        remove(destination);
    }
    return compressed;
}
