#include "platform/streams.h"

#include <sys/types.h>

int64_t StreamPosition(FILE* stream)
{
    return static_cast<int64_t>(ftello(stream));
}

int64_t StreamLength(FILE* stream)
{
    off_t here = ftello(stream);
    if (here < 0 || fseeko(stream, 0, SEEK_END) != 0) return -1;
    off_t end = ftello(stream);
    if (fseeko(stream, here, SEEK_SET) != 0) return -1;
    return static_cast<int64_t>(end);
}
