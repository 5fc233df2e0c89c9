#ifndef QDX_DECODER_BIT_READER_H
#define QDX_DECODER_BIT_READER_H

#include <cstdint>
#include <cstdio>

#include "stream_io.h"

// Delivers the code stream bit by bit: bytes in file order, the most
// significant bit of each byte first. Holds no reference to the stream; every
// operation is handed the stream it reads from. The operations are inline:
// the decoder calls them twice per code.
class BitReader {
public:
    // The start state: nothing cached, so the first bit asked for fetches.
    BitReader() : bitsLeft(0), currentByte(0) {}

    // Back to the start state; the unread bits of the cached byte are dropped.
    void Reset()
    {
        bitsLeft = 0;
        currentByte = 0;
    }

    // The next bit, 0 or 1. Past the end of the stream every bit is 1.
    int ReadBit(FILE* stream) { return static_cast<int>(ReadBits(stream, 1)); }

    // The next n bits (0 to 24) as one number, the first bit read the most
    // significant. Past the end of the stream every bit is 1, so the result is
    // 2^n - 1 from then on; it is never wider than n bits. Fetches exactly the
    // bytes the n bits reach into, one getc each.
    uint32_t ReadBits(FILE* stream, int32_t n)
    {
        // The bits not delivered yet stand at the bottom of `bits`, with each
        // fetched byte shifted in below them; anything above is never used.
        // A fetch at the end gives EOF, whose low 8 bits are all ones.
        uint32_t bits = currentByte;
        int32_t have = bitsLeft;
        while (have < n) {
            currentByte = static_cast<uint32_t>(GetStreamByte(stream));
            bits = (bits << 8) | (currentByte & 0xFFu);
            have += 8;
        }
        bitsLeft = have - n;
        return (bits >> bitsLeft) & ((1u << n) - 1u);
    }

    // Bits of currentByte not delivered yet: the low bitsLeft bits, 0 to 7
    // between operations.
    int32_t bitsLeft;
    // The byte fetched last, 0 to 255, or 0xFFFFFFFF once a fetch met the end.
    uint32_t currentByte;
};

// The one reader of the process, used by the decoder.
extern BitReader bitReader;

#endif
