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
    // Every index row goes stale at once. Epoch 0 is never current, so the
    // zeroed rows of a fresh process start stale; should the count wrap, the
    // epochs start over with every row marked stale.
    DictionaryIndex& x = dictionaryIndex;
    for (int32_t v = 0; v < LITERAL_COUNT; ++v) {
        x.stringLength[v] = 1;
    }
    x.epoch += 1;
    if (x.epoch == 0) {
        for (uint32_t& epoch : x.childRowEpoch) {
            epoch = 0;
        }
        x.epoch = 1;
    }
}

void OpenChildRow(int32_t p)
{
    DictionaryIndex& x = dictionaryIndex;
    if (x.childRowEpoch[p] == x.epoch) {
        return;
    }
    for (uint16_t& slot : x.childRows[p]) {
        slot = static_cast<uint16_t>(NO_ENTRY);
    }
    x.childRowEpoch[p] = x.epoch;
    x.childCount[p] = 0;
}

void AddExtensions(const int32_t* string, int32_t length, int32_t prevCode, int32_t prevLen)
{
    AddExtensionsOf(string, length, prevCode, prevLen);
}
