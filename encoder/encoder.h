#ifndef QDX_ENCODER_ENCODER_H
#define QDX_ENCODER_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The largest input the 4-byte length field can describe.
const uint64_t MAX_UNCOMPRESSED_SIZE = 0xFFFFFFFFu;

// Why the last CompressFile or CompressStream returned 0.
enum CompressFailureKind {
    COMPRESS_NO_FAILURE = 0,
    COMPRESS_SOURCE_NOT_OPENED,        // systemError holds errno
    COMPRESS_DESTINATION_NOT_CREATED,  // systemError holds errno
    COMPRESS_READ_FAILED,              // the source could not be read to its end
    COMPRESS_TOO_LARGE,                // the source has 2^32 bytes or more
    COMPRESS_WRITE_FAILED,             // the destination could not be written or positioned
    COMPRESS_OUT_OF_STEP               // internal: a code did not decode to the input it was chosen for
};

struct CompressFailure {
    CompressFailureKind kind;
    uint64_t inputBytes;  // bytes of the source read when it stopped
    int systemError;      // errno where the library set one, else 0
};
extern CompressFailure lastCompressFailure;

// How the encoder chooses each code. Both write what the decoder reads; they
// differ in size and speed.
//   PARSE_LOOKAHEAD  the first code of the cheapest coding, in bits, of the
//                    next 64 to 128 bytes with the dictionary as it stands
//                    (smaller; see FindPlannedMatch)
//   PARSE_GREEDY     the longest string the next code can name (faster)
enum ParseMode {
    PARSE_LOOKAHEAD = 0,
    PARSE_GREEDY
};

// Both functions drive the process-wide Dictionary that the decoder uses, so
// neither may run while a decode is under way (nothing here is reentrant).

// Compresses the file `source` into `destination` (created or emptied).
// Returns 1 on success; 0 with lastCompressFailure set otherwise, in which
// case no destination is left behind.
int CompressFile(const char* source, const char* destination, ParseMode mode = PARSE_LOOKAHEAD);

// Compresses the rest of `source` (an "rb" stream of a regular file) and
// writes the compressed file, length field then code stream, at the current
// position of `destination`, which must be seekable: the length field is
// filled in once the input is read. On 1, *storedBytes (if not null) is the
// number of bytes written and destination is positioned after them. On 0
// (read or write error, input of 2^32 bytes or more) lastCompressFailure
// says why and the bytes written so far stay in destination.
int CompressStream(FILE* source, FILE* destination, uint64_t* storedBytes, ParseMode mode = PARSE_LOOKAHEAD);

// One line (without file name) saying what lastCompressFailure records.
// Always terminated within size bytes; returns 0 if the text was cut short.
int FormatCompressFailure(const CompressFailure* failure, char* buffer, size_t size);

#endif
