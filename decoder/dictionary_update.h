#ifndef QDX_DECODER_DICTIONARY_UPDATE_H
#define QDX_DECODER_DICTIONARY_UPDATE_H

// The update rule after each code, for the decoder's own units only: one
// body for AddExtensions over the slots of a string buffer and for the
// decoder's step over plain bytes, so that both run the same rule.
#include <cstdint>

#include "decoder/dictionary.h"

// AddExtensions (see dictionary.h) over a string of any integer element.
template <typename Byte>
inline void AddExtensionsOf(const Byte* string, int32_t length, int32_t prevCode, int32_t prevLen)
{
    if (prevCode == NO_ENTRY) {
        return;
    }
    Dictionary& d = dictionary;
    // Position i would add an entry of prevLen + 1 bytes, but the rule stops
    // at the first i with prevLen + i + 1 > MAX_STRING_LENGTH.
    const int32_t room = MAX_STRING_LENGTH - prevLen;
    const int32_t end = length < room ? length : room;
    for (int32_t i = 0; i < end; ++i) {
        const int32_t b = static_cast<int32_t>(string[i]) & 0xFF;
        if (HasChild(prevCode, b)) {
            continue;
        }
        int32_t n;
        if (d.entryCount < DICTIONARY_SIZE) {
            n = d.entryCount;
            d.entryCount += 1;
        } else {
            // Full: the least recent entry is a leaf (every ancestor is more
            // recent), so its number can take on the new string.
            n = d.recencyHead;
            if (n == prevCode) {
                return;
            }
            RecencyUnlink(n);
            UnlinkChild(n);
        }
        AddChild(prevCode, n, b);
        // RecencyInsert(n, after) with `after` read now: the tail for a
        // literal parent; for a string parent its less recent neighbour, so n
        // lands right before the parent (at the head when the parent is it).
        if (prevCode < LITERAL_COUNT) {
            RecencyInsert(n, d.recencyTail);
        } else {
            const int32_t before = d.recencyPrev[prevCode];
            d.recencyPrev[n] = before;
            d.recencyNext[n] = prevCode;
            d.recencyPrev[prevCode] = n;
            if (before == NO_ENTRY) {
                d.recencyHead = n;
            } else {
                d.recencyNext[before] = n;
            }
        }
    }
}

#endif
