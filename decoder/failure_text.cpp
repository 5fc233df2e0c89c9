#include <cinttypes>
#include <cstring>

#include "decoder/decoder.h"

// Kept apart from decoder.cpp so that the launcher, which shows nothing, does
// not link the formatting.
int FormatDecodeFailure(const DecodeFailure* failure, char* buffer, size_t size)
{
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    int written = 0;
    switch (failure->kind) {
    case DECODE_NO_FAILURE:
        written = snprintf(buffer, size, "no failure");
        break;
    case DECODE_SOURCE_NOT_OPENED:
        written = snprintf(buffer, size, "cannot open: %s", strerror(failure->systemError));
        break;
    case DECODE_SOURCE_TOO_SHORT:
        written = snprintf(buffer, size, "too short for a compressed file (%d bytes, the length field needs %d)",
                           static_cast<int>(failure->sourceBytes), static_cast<int>(LENGTH_FIELD_BYTES));
        break;
    case DECODE_DESTINATION_NOT_CREATED:
        written = snprintf(buffer, size, "cannot create: %s", strerror(failure->systemError));
        break;
    case DECODE_CODE_OUTSIDE_FORMAT:
        written = snprintf(buffer, size,
                           "damaged: code %d names no entry in use (entry count %d) at output offset %" PRIu64,
                           static_cast<int>(failure->code), static_cast<int>(failure->entryCount),
                           failure->outputOffset);
        break;
    case DECODE_INPUT_ENDED:
        written = snprintf(buffer, size,
                           "truncated: the code stream ends at output offset %" PRIu64 " of %" PRIu32
                           " (entry count %d)",
                           failure->outputOffset, failure->uncompressedSize, static_cast<int>(failure->entryCount));
        break;
    case DECODE_WRITE_FAILED:
        written = snprintf(buffer, size, "write failed after %" PRIu64 " bytes%s%s", failure->outputOffset,
                           failure->systemError != 0 ? ": " : "",
                           failure->systemError != 0 ? strerror(failure->systemError) : "");
        break;
    }
    return written >= 0 && static_cast<size_t>(written) < size;
}
