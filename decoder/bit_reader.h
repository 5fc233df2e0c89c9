#ifndef QDX_DECODER_BIT_READER_H
#define QDX_DECODER_BIT_READER_H

#include <cstdint>
#include <cstdio>

// Delivers the code stream bit by bit: bytes in file order, the most
// significant bit of each byte first. Holds no reference to the stream; every
// operation is handed the stream it reads from.
class BitReader {
public:
    // The start state: nothing cached, so the first bit asked for fetches.
    BitReader();

    // Back to the start state; the unread bits of the cached byte are dropped.
    void Reset();

    // The next bit, 0 or 1. Past the end of the stream every bit is 1.
    int ReadBit(FILE* stream);

    // The next n bits (0 to 24) as one number, the first bit read the most
    // significant. Past the end of the stream every bit is 1, so the result is
    // 2^n - 1 from then on; it is never wider than n bits.
    uint32_t ReadBits(FILE* stream, int32_t n);

    // Bits of currentByte not delivered yet: the low bitsLeft bits, 0 to 7
    // between operations.
    int32_t bitsLeft;
    // The byte fetched last, 0 to 255, or 0xFFFFFFFF once a fetch met the end.
    uint32_t currentByte;
};

// The one reader of the process, used by the decoder.
extern BitReader bitReader;

#endif
