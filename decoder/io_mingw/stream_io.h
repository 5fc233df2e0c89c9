#ifndef QDX_DECODER_STREAM_IO_H
#define QDX_DECODER_STREAM_IO_H

#include <cstdio>

// One byte from a stream that only the calling thread uses: the
// Microsoft C library's no-lock forms, which mingw-w64 expands inline over the
// stream's buffer. The same result as getc.
inline int GetStreamByte(FILE* stream)
{
    return _getc_nolock(stream);
}

#endif
