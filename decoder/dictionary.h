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
// numbers, NO_ENTRY where there is none.
struct Dictionary {
    int32_t recencyHead;                    // least recent string entry
    int32_t recencyTail;                    // most recent string entry
    int32_t recencyPrev[DICTIONARY_SIZE];   // next less recent entry
    int32_t recencyNext[DICTIONARY_SIZE];   // next more recent entry
    int32_t entryCount;                     // entries below it are in use, 256..4096
    int32_t prevSibling[DICTIONARY_SIZE];   // previous entry in the parent's child list
    int32_t nextSibling[DICTIONARY_SIZE];   // next entry in the parent's child list
    int32_t firstChild[DICTIONARY_SIZE];    // front of the entry's own child list
    int32_t parent[DICTIONARY_SIZE];        // the entry this one extends by one byte
    uint8_t byteValue[DICTIONARY_SIZE];     // last byte of the entry's string
};

// The one dictionary of the process; zero until the first reset.
extern Dictionary dictionary;

// Literal entries back to single bytes without children, no string entry in
// use, empty recency list. String entries are not cleared: each is rewritten
// when taken into use.
void ResetDictionary();

// The child of p whose byteValue is b (0..255), or NO_ENTRY.
int32_t FindChild(int32_t p, int32_t b);

// Makes n a childless entry extending p by b, at the front of p's child list.
void AddChild(int32_t p, int32_t n, int32_t b);

// Takes n out of its parent's child list; n's own fields stay as they are.
void UnlinkChild(int32_t n);

// Takes n out of the recency list. n must be in the list and not recencyTail;
// recencyTail and n's own links stay as they are.
void RecencyUnlink(int32_t n);

// Puts n, which is not in the list, right after `after` (an entry in the
// list), at the least recent end when `after` is NO_ENTRY, or as the only
// element when the list is empty.
void RecencyInsert(int32_t n, int32_t after);

// The update after each code: adds the missing extensions of prevCode's string
// by string[0], string[1], ... (length bytes, 1..100) as children of prevCode,
// reusing the least recent entry once the table is full. prevCode is NO_ENTRY
// (nothing is added) or an entry in use whose string is prevLen bytes long.
void AddExtensions(const int32_t* string, int32_t length, int32_t prevCode, int32_t prevLen);

#endif
