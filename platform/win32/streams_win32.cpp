#include "platform/streams.h"

int64_t StreamPosition(FILE* stream)
{
    return _ftelli64(stream);
}

int64_t StreamLength(FILE* stream)
{
    int64_t here = _ftelli64(stream);
    if (here < 0 || _fseeki64(stream, 0, SEEK_END) != 0) return -1;
    int64_t end = _ftelli64(stream);
    if (_fseeki64(stream, here, SEEK_SET) != 0) return -1;
    return end;
}
