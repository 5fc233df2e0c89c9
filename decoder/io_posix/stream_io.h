#ifndef QDX_DECODER_STREAM_IO_H
#define QDX_DECODER_STREAM_IO_H

#include <cstdio>

// One byte from or to a stream that only the calling thread uses: the POSIX
// unlocked forms, which read and write the stream's buffer inline and take no
// lock. The same results as getc and putc.
inline int GetStreamByte(FILE* stream)
{
    return getc_unlocked(stream);
}

inline int PutStreamByte(int byte, FILE* stream)
{
    return putc_unlocked(byte, stream);
}

#endif
