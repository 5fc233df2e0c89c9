#include "decoder/dictionary.h"

Dictionary dictionary;

void ResetDictionary()
{
    Dictionary& d = dictionary;
    for (int32_t v = 0; v < LITERAL_COUNT; ++v) {
        d.parent[v] = NO_ENTRY;
        d.firstChild[v] = NO_ENTRY;
        d.prevSibling[v] = NO_ENTRY;
        d.nextSibling[v] = NO_ENTRY;
        d.byteValue[v] = static_cast<uint8_t>(v);
    }
    d.entryCount = LITERAL_COUNT;
    d.recencyHead = NO_ENTRY;
    d.recencyTail = NO_ENTRY;
}

int32_t FindChild(int32_t p, int32_t b)
{
    const Dictionary& d = dictionary;
    int32_t child = d.firstChild[p];
    while (child != NO_ENTRY && d.byteValue[child] != b) {
        child = d.nextSibling[child];
    }
    return child;
}

void AddChild(int32_t p, int32_t n, int32_t b)
{
    Dictionary& d = dictionary;
    d.byteValue[n] = static_cast<uint8_t>(b & 0xFF);
    d.firstChild[n] = NO_ENTRY;
    d.parent[n] = p;
    d.prevSibling[n] = NO_ENTRY;
    d.nextSibling[n] = d.firstChild[p];
    if (d.nextSibling[n] != NO_ENTRY) {
        d.prevSibling[d.nextSibling[n]] = n;
    }
    d.firstChild[p] = n;
}

void UnlinkChild(int32_t n)
{
    Dictionary& d = dictionary;
    if (d.prevSibling[n] == NO_ENTRY) {
        d.firstChild[d.parent[n]] = d.nextSibling[n];
    } else {
        d.nextSibling[d.prevSibling[n]] = d.nextSibling[n];
    }
    if (d.nextSibling[n] != NO_ENTRY) {
        d.prevSibling[d.nextSibling[n]] = d.prevSibling[n];
    }
}

void RecencyUnlink(int32_t n)
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

void RecencyInsert(int32_t n, int32_t after)
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

void AddExtensions(const int32_t* string, int32_t length, int32_t prevCode, int32_t prevLen)
{
    Dictionary& d = dictionary;
    if (prevCode == NO_ENTRY) {
        return;
    }
    for (int32_t i = 0; i < length; ++i) {
        if (prevLen + i + 1 > MAX_STRING_LENGTH) {
            return;
        }
        const int32_t b = string[i];
        if (FindChild(prevCode, b) != NO_ENTRY) {
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
        const int32_t after = prevCode < LITERAL_COUNT ? d.recencyTail : d.recencyPrev[prevCode];
        RecencyInsert(n, after);
    }
}
