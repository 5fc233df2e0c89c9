#ifndef QDX_DECODER_DECODER_H
#define QDX_DECODER_DECODER_H

#include <cstdint>
#include <cstdio>

#include "decoder/code_step.h"
#include "decoder/dictionary.h"

// A compressed file: uncompressedSize as 4 bytes little-endian, then codes of
// one flag bit each followed by 8 literal bits (flag 0) or codeWidth index bits
// (flag 1, naming string entry 256 + k), without alignment between codes.
const int32_t LENGTH_FIELD_BYTES = 4;

// Process-wide state of the file being decoded; the streams are meaningful only
// during a call of DecompressFile or DecompressStream.
struct DecoderState {
    FILE* decoderOutput;
    FILE* decoderInput;
    CodeStep step;                              // codeWidth, widthThreshold, prevCode, prevLen
    int32_t stringBuffer[MAX_STRING_LENGTH];    // the current string, ending at the last slot
};
extern DecoderState decoderState;

// Why the last DecompressFile or DecompressStream returned 0.
enum DecodeFailureKind {
    DECODE_NO_FAILURE = 0,
    DECODE_SOURCE_NOT_OPENED,        // systemError holds errno
    DECODE_SOURCE_TOO_SHORT,         // sourceBytes (0 to 3) is all there was
    DECODE_DESTINATION_NOT_CREATED,  // systemError holds errno
    DECODE_CODE_OUTSIDE_FORMAT,      // code names no entry in use (code >= entryCount)
    DECODE_INPUT_ENDED,              // the code at outputOffset needed bits past the end
    DECODE_WRITE_FAILED              // the destination could not be written completely
};

// A plain record, rewritten by every call: where decoding stopped and why.
struct DecodeFailure {
    DecodeFailureKind kind;
    int32_t code;               // the code decoding stopped at
    int32_t entryCount;         // entries in use when it was read
    uint64_t outputOffset;      // bytes written before that code
    uint32_t uncompressedSize;  // the length field, once read
    int32_t sourceBytes;        // bytes of a source too short for the length field
    int systemError;            // errno of a failed open, else 0
};
extern DecodeFailure lastDecodeFailure;

// Decodes the compressed file `source` into `destination` (created or
// emptied). Returns 1 when uncompressedSize bytes (or more, when the last
// string carries past it) were written. Returns 0, with lastDecodeFailure
// set, when the source cannot be opened or is shorter than the length field
// (no destination is made then), when the destination cannot be created, or
// when the stream is damaged or cut short; in the last cases decoding stops at
// the bad code, both files are closed and the partial destination is removed.
int DecompressFile(const char* source, const char* destination);

// The same for open streams: reads the length field at source's position,
// then the code stream, writing to destination. Neither stream is closed and
// nothing is removed; on 0 the destination holds whatever was written.
int DecompressStream(FILE* source, FILE* destination);

// Decodes codes from decoderInput to decoderOutput until uncompressedSize
// bytes are produced. Returns 1 then; returns 0 at the first code that names
// no entry in use or reads past the end of the input, which is not followed.
int DecodeStream(uint32_t uncompressedSize);

// The entry number that the next code names: 0..255 for a literal code,
// 256 + k for an index code (up to 4351, so check it against entryCount).
// Applies the width rule first.
int32_t ReadCode();

// Dictionary, width state and bit reader back to the start of a file.
void ResetDecoder();

// One line (without file name) saying what lastDecodeFailure records, e.g.
// "code 4351 names no entry in use (entry count 300) at output offset 1234".
// Always terminated within size bytes; returns 0 if the text was cut short.
int FormatDecodeFailure(const DecodeFailure* failure, char* buffer, size_t size);

#endif
