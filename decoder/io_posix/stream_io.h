#ifndef QDX_DECODER_STREAM_IO_H
#define QDX_DECODER_STREAM_IO_H

#include <cstdio>

// One byte from a stream that only the calling thread uses: the POSIX
// unlocked forms, which read the stream's buffer inline and take no
// lock. The same result as getc.
inline int GetStreamByte(FILE* stream)
{
    return getc_unlocked(stream);
}

#endif
