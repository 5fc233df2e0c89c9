#ifndef QDX_DECODER_DICTIONARY_H
#define QDX_DECODER_DICTIONARY_H

#include <cstdint>

// Format constants of the string dictionary. Changing any of them changes
// which entries exist and what numbers they get, so every existing file would
// decode to different bytes.
//   DICTIONARY_SIZE    entries in all: 0..255 literal, 256..4095 string entries
//   LITERAL_COUNT      the literal entries; entry v is the one-byte string v
//   NO_ENTRY           marks a missing entry in every link
//   MAX_STRING_LENGTH  no entry's string is longer; also the decoder's buffer
const int32_t DICTIONARY_SIZE = 4096;
const int32_t LITERAL_COUNT = 256;
const int32_t NO_ENTRY = 4096;
const int32_t MAX_STRING_LENGTH = 100;

// The string table shared by decoder and encoder. Entries form a tree (each
// string entry extends its parent by byteValue) and all string entries in use
// stand in the recency list, least recently used first. Links are entry
// numbers, NO_ENTRY where there is none. The children of an entry are kept
// in the child index of DictionaryIndex, not here.
struct Dictionary {
    int32_t recencyHead;                    // least recent string entry
    int32_t recencyTail;                    // most recent string entry
    int32_t recencyPrev[DICTIONARY_SIZE];   // next less recent entry
    int32_t recencyNext[DICTIONARY_SIZE];   // next more recent entry
    int32_t entryCount;                     // entries below it are in use, 256..4096
    int32_t parent[DICTIONARY_SIZE];        // the entry this one extends by one byte
    uint8_t byteValue[DICTIONARY_SIZE];     // last byte of the entry's string
};

// The one dictionary of the process; zero until the first reset.
extern Dictionary dictionary;

// The tables beside the Dictionary: the children of every entry, and the
// string lengths.
//
// childBits is the only record of which entries have which children: bit b
// of row p (bit b % 64 of word b / 64) is set when p has a child with byte b.
// A row is cleared when its entry is taken into use, and the literal rows at
// every reset, so the row of every entry in use is exact; rows of entries not
// in use are never read. At 32 bytes a row the bits of all entries fit in
// the processor's nearer caches, which is what keeps the update rule's
// per-byte test fast.
//
// childRows[p][b] is the number of the child of p with byte b, for the trie
// walks of the encoder. Only a caller that asks for them has them kept: a
// store per new entry into a table of 2 MB costs the decoder more than the
// rest of its update, and the decoder never looks a child's number up. The
// request, keepChildNumbers, is taken up by the next reset and holds until
// the reset after it, so the rows of one file are kept whole or not at all.
// A kept slot is valid only where the bit is set; the others hold whatever
// an earlier child left there. As the children of one entry have distinct
// bytes, one slot per byte holds them all.
//
// stringLength[n] is the length of n's string, set when n is taken into use,
// so that a string can be written front to back straight into the output.
const int32_t CHILD_WORDS = LITERAL_COUNT / 64;
struct DictionaryIndex {
    uint64_t childBits[DICTIONARY_SIZE][CHILD_WORDS];
    uint16_t childRows[DICTIONARY_SIZE][LITERAL_COUNT];
    uint8_t stringLength[DICTIONARY_SIZE];
    bool keepChildNumbers;  // asked for by the caller, before a reset
    bool childNumbersKept;  // childRows is kept since the last reset
};
extern DictionaryIndex dictionaryIndex;

// Literal entries back to single bytes without children, no string entry in
// use, empty recency list. String entries are not cleared: each is rewritten
// when taken into use.
void ResetDictionary();

// The word of p's child bits that holds byte b (0..255), and b's bit in it.
inline uint64_t& ChildWord(int32_t p, int32_t b)
{
    return dictionaryIndex.childBits[p][(b & 0xFF) >> 6];
}
inline uint64_t ChildBit(int32_t b)
{
    return uint64_t(1) << (b & 63);
}

// Whether p has a child whose byteValue is b (0..255).
inline bool HasChild(int32_t p, int32_t b)
{
    return (ChildWord(p, b) & ChildBit(b)) != 0;
}

// The child of p with byte b when the rows are not kept: a search of every
// entry in use, for checks and tools, never for a hot path.
int32_t SearchChild(int32_t p, int32_t b);

// The child of p whose byteValue is b (0..255), or NO_ENTRY. Fast while the
// child numbers are kept (see DictionaryIndex), correct either way.
inline int32_t FindChild(int32_t p, int32_t b)
{
    const DictionaryIndex& x = dictionaryIndex;
    if (!HasChild(p, b)) {
        return NO_ENTRY;
    }
    return x.childNumbersKept ? x.childRows[p][b & 0xFF] : SearchChild(p, b);
}

// Makes n a childless entry extending p by b: from now on FindChild(p, b)
// gives n. n must be the child of no entry, and p must have no child with
// byte b.
inline void AddChild(int32_t p, int32_t n, int32_t b)
{
    Dictionary& d = dictionary;
    DictionaryIndex& x = dictionaryIndex;
    b &= 0xFF;
    ChildWord(p, b) |= ChildBit(b);
    if (x.childNumbersKept) {
        x.childRows[p][b] = static_cast<uint16_t>(n);
    }
    for (uint64_t& word : x.childBits[n]) {
        word = 0;
    }
    x.stringLength[n] = static_cast<uint8_t>(x.stringLength[p] + 1);
    d.byteValue[n] = static_cast<uint8_t>(b);
    d.parent[n] = p;
}

// Takes n out of its parent's children; n's own fields stay as they are.
inline void UnlinkChild(int32_t n)
{
    const Dictionary& d = dictionary;
    ChildWord(d.parent[n], d.byteValue[n]) &= ~ChildBit(d.byteValue[n]);
}

// Takes n out of the recency list. n must be in the list and not recencyTail;
// recencyTail and n's own links stay as they are.
inline void RecencyUnlink(int32_t n)
{
    Dictionary& d = dictionary;
    if (n == d.recencyHead) {
        d.recencyHead = d.recencyNext[n];
        d.recencyPrev[d.recencyHead] = NO_ENTRY;
    } else {
        d.recencyNext[d.recencyPrev[n]] = d.recencyNext[n];
        d.recencyPrev[d.recencyNext[n]] = d.recencyPrev[n];
    }
}

// Puts n, which is not in the list, right after `after` (an entry in the
// list), at the least recent end when `after` is NO_ENTRY, or as the only
// element when the list is empty.
inline void RecencyInsert(int32_t n, int32_t after)
{
    Dictionary& d = dictionary;
    if (d.recencyTail == NO_ENTRY) {
        d.recencyHead = n;
        d.recencyTail = n;
        d.recencyPrev[n] = NO_ENTRY;
        d.recencyNext[n] = NO_ENTRY;
    } else if (after == NO_ENTRY) {
        d.recencyPrev[n] = NO_ENTRY;
        d.recencyNext[n] = d.recencyHead;
        d.recencyPrev[d.recencyHead] = n;
        d.recencyHead = n;
    } else if (after == d.recencyTail) {
        d.recencyNext[n] = NO_ENTRY;
        d.recencyPrev[n] = d.recencyTail;
        d.recencyNext[d.recencyTail] = n;
        d.recencyTail = n;
    } else {
        d.recencyPrev[n] = after;
        d.recencyNext[n] = d.recencyNext[after];
        d.recencyPrev[d.recencyNext[after]] = n;
        d.recencyNext[after] = n;
    }
}

// The update after each code: adds the missing extensions of prevCode's string
// by string[0], string[1], ... (length bytes, 1..100) as children of prevCode,
// reusing the least recent entry once the table is full. prevCode is NO_ENTRY
// (nothing is added) or an entry in use whose string is prevLen bytes long.
void AddExtensions(const int32_t* string, int32_t length, int32_t prevCode, int32_t prevLen);

#endif
