#include <cinttypes>
#include <cstring>

#include "encoder/encoder.h"

int FormatCompressFailure(const CompressFailure* failure, char* buffer, size_t size)
{
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const char* reason = failure->systemError != 0 ? strerror(failure->systemError) : nullptr;
    int written = 0;
    switch (failure->kind) {
    case COMPRESS_NO_FAILURE:
        written = snprintf(buffer, size, "no failure");
        break;
    case COMPRESS_SOURCE_NOT_OPENED:
        written = snprintf(buffer, size, "cannot open: %s", reason != nullptr ? reason : "unknown error");
        break;
    case COMPRESS_DESTINATION_NOT_CREATED:
        written = snprintf(buffer, size, "cannot create: %s", reason != nullptr ? reason : "unknown error");
        break;
    case COMPRESS_READ_FAILED:
        written = snprintf(buffer, size, "read failed after %" PRIu64 " bytes%s%s", failure->inputBytes,
                           reason != nullptr ? ": " : "", reason != nullptr ? reason : "");
        break;
    case COMPRESS_TOO_LARGE:
        written = snprintf(buffer, size, "too large: the compressed format holds at most %" PRIu64 " bytes",
                           MAX_UNCOMPRESSED_SIZE);
        break;
    case COMPRESS_WRITE_FAILED:
        written = snprintf(buffer, size, "write failed%s%s", reason != nullptr ? ": " : "",
                           reason != nullptr ? reason : "");
        break;
    case COMPRESS_OUT_OF_STEP:
        written = snprintf(buffer, size, "internal error: encoder out of step with the decoder at input offset %" PRIu64,
                           failure->inputBytes);
        break;
    }
    return written >= 0 && static_cast<size_t>(written) < size;
}
