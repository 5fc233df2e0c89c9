#include "decoder/dictionary.h"

#include "decoder/dictionary_update.h"

Dictionary dictionary;
DictionaryIndex dictionaryIndex;

void ResetDictionary()
{
    Dictionary& d = dictionary;
    for (int32_t v = 0; v < LITERAL_COUNT; ++v) {
        d.parent[v] = NO_ENTRY;
        d.byteValue[v] = static_cast<uint8_t>(v);
    }
    d.entryCount = LITERAL_COUNT;
    d.recencyHead = NO_ENTRY;
    d.recencyTail = NO_ENTRY;
    DictionaryIndex& x = dictionaryIndex;
    x.childNumbersKept = x.keepChildNumbers;
    for (int32_t v = 0; v < LITERAL_COUNT; ++v) {
        x.stringLength[v] = 1;
        for (uint64_t& word : x.childBits[v]) {
            word = 0;
        }
    }
}

int32_t SearchChild(int32_t p, int32_t b)
{
    const Dictionary& d = dictionary;
    for (int32_t n = LITERAL_COUNT; n < d.entryCount; ++n) {
        if (d.parent[n] == p && d.byteValue[n] == (b & 0xFF)) {
            return n;
        }
    }
    return NO_ENTRY;
}

void AddExtensions(const int32_t* string, int32_t length, int32_t prevCode, int32_t prevLen)
{
    AddExtensionsOf(string, length, prevCode, prevLen);
}
