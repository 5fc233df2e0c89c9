#include "decoder/bit_reader.h"

BitReader bitReader;

namespace {

// The low n bits set, for n from 0 to 32.
inline uint32_t LowMask(int32_t n)
{
    return n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1u;
}

// getc gives EOF (-1) at the end or on a read error; as unsigned that is
// 0xFFFFFFFF, whose bits all read as 1.
inline uint32_t FetchByte(FILE* stream)
{
    return static_cast<uint32_t>(getc(stream));
}

}  // namespace

BitReader::BitReader() : bitsLeft(0), currentByte(0) {}

void BitReader::Reset()
{
    bitsLeft = 0;
    currentByte = 0;
}

int BitReader::ReadBit(FILE* stream)
{
    bitsLeft -= 1;
    if (bitsLeft >= 0) {
        return static_cast<int>((currentByte >> bitsLeft) & 1u);
    }
    bitsLeft = 7;
    currentByte = FetchByte(stream);
    return static_cast<int>((currentByte >> 7) & 1u);
}

uint32_t BitReader::ReadBits(FILE* stream, int32_t n)
{
    uint32_t result = 0;
    if (n > bitsLeft) {
        do {
            n -= bitsLeft;
            result |= (currentByte & LowMask(bitsLeft)) << n;
            currentByte = FetchByte(stream);
            bitsLeft = 8;
        } while (n > 8);
    }
    bitsLeft -= n;
    return result | ((currentByte >> bitsLeft) & LowMask(n));
}
